#pragma once
// Image statements: how every image travels between the vision processors and the views.
//
//   terms [head, meta frame, pixel binary, ancillary frame], value copied along the way
//
// The meta frame holds "format" (symbol), "width", "height" (unsigned) and, as sources and
// processors add them, "frameid", "stamp", "length", "source", "sample", "offset.x", "offset.y",
// "left", "top". Pixels are rows top to bottom without padding, in the pixel format the meta frame
// names ("mjpeg" holds one compressed JPEG stream).
//
// Every reader checks a statement with QAVFImageStatementRead before touching its pixels.
#include <cstdint>
#include <vector>

#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCStatement.h"
#include "framework/substrate/MRKCSymbol.h"

// The parts of a checked image statement, borrowed from it: valid while the statement is held.
struct QAVTImageStatement {
  MRKCStatement* statement = nullptr;
  MRKBTerm* head = nullptr;
  MRKCFrame* meta = nullptr;
  MRKCBinary* pixels = nullptr;
  MRKCFrame* ancillary = nullptr;
  MRKCSymbol* format = nullptr;
  // The image kit's number for the format's name ("mjpeg" 0, "rgb" 1, "rgba" 2, "bgr" 3,
  // "bgra" 4), or -1 for another name (its pixels are then not checked; readers that take only
  // some formats refuse it themselves).
  int32_t pixelFormat = -1;
  uint32_t width = 0;
  uint32_t height = 0;
};

enum QAVTImageCheck : int {
  // The parts are set and the pixel binary holds the whole image.
  kQAVImageValid = 0,
  // Not an image statement: not four terms, no meta frame, pixel binary, ancillary frame or
  // "format", or a width or height that is 0 or beyond 32 bits. Readers skip it without a word.
  kQAVImageMalformed = 1,
  // The pixel binary is shorter than width, height and format require (for "mjpeg": empty, or
  // far too short for the image it announces). Readers drop it, saying so when verbose.
  kQAVImageShortPixels = 2,
};

// Checks the term as an image statement and fills image (left untouched unless valid).
QAVTImageCheck QAVFImageStatementRead(MRKBTerm* term, QAVTImageStatement* image);

// The image kit's number for a pixel format name, as QAVTImageStatement::pixelFormat.
int32_t QAVFImagePixelFormatNamed(const MRKCSymbol* name);

// Whether length bytes can hold a width x height image of the kit's pixel format: a raw image
// needs all its bytes; a JPEG stream needs at least one, and no more than 1024 times as many
// pixel bytes once decoded when those exceed 256 MiB (the image kit's guard against streams that
// announce far more than they carry). False for format numbers the kit does not know.
bool QAVFImageBytesSuffice(uint32_t width, uint32_t height, int32_t pixelFormat, uint64_t length);

// A copy of the image's meta frame with "format", "width", "height" and "length" (the bytes of
// the pixels it will describe) replaced; the received frame stays as it was. Null when out of
// memory.
Ref<MRKCFrame> QAVFImageMetaCopy(const QAVTImageStatement& image, MRKCSymbol* format, uint32_t width, uint32_t height,
                                 uint64_t length);

// The statement [image's head, meta, pixels, image's ancillary frame] on label with the image's
// value. Null for an empty label or a null part.
Ref<MRKCStatement> QAVFImageStatementMake(std::string_view label, const QAVTImageStatement& image, MRKCFrame* meta,
                                          MRKCBinary* pixels);

// A zero-filled buffer for length bytes of pixels; false, buffer untouched, when it cannot be had.
bool QAVFPixelBufferMake(uint64_t length, std::vector<uint8_t>* buffer);
