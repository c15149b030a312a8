#include "imagekit/IMKTJPEGErrors.h"

#include "framework/core/LLKFLog.h"

namespace {

void outputMessage(j_common_ptr info) {
  char text[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, text);
  LLKFLog("%s : %s", IMKFJPEGErrorsOf(info).label, text);
}

}  // namespace

jpeg_error_mgr* IMKFJPEGErrorsInit(IMKTJPEGErrors* errors, const char* label) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors->manager);
  errors->label = label;
  errors->standardEmitMessage = manager->emit_message;
  manager->error_exit = IMKFJPEGErrorExit;
  manager->output_message = outputMessage;
  return manager;
}

IMKTJPEGErrors& IMKFJPEGErrorsOf(j_common_ptr info) { return *reinterpret_cast<IMKTJPEGErrors*>(info->err); }

void IMKFJPEGErrorExit(j_common_ptr info) {
  (*info->err->output_message)(info);
  std::longjmp(IMKFJPEGErrorsOf(info).jump, 1);
}
