#pragma once
// libjpeg reports fatal errors through its error manager's error_exit, whose standard version
// ends the process. This one logs the message and jumps back to the caller's setjmp, which then
// destroys its codec and answers an error, so a bad stream or size never takes the process down.
// Between the setjmp and the jump there must be only C frames and trivially destructible locals.
//
//   IMKTJPEGErrors errors;
//   info.err = IMKFJPEGErrorsInit(&errors, "label");
//   if (setjmp(errors.jump)) { jpeg_destroy_...(&info); return failure; }
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

struct IMKTJPEGErrors {
  jpeg_error_mgr manager;
  const char* label;  // first on every logged line
  void (*standardEmitMessage)(j_common_ptr info, int level);
  std::jmp_buf jump;
};

// Sets the manager up; the answer goes into the codec's err.
jpeg_error_mgr* IMKFJPEGErrorsInit(IMKTJPEGErrors* errors, const char* label);
// The manager of a codec whose err IMKFJPEGErrorsInit gave.
IMKTJPEGErrors& IMKFJPEGErrorsOf(j_common_ptr info);
// Logs the pending message and jumps back to the caller's setjmp.
[[noreturn]] void IMKFJPEGErrorExit(j_common_ptr info);
