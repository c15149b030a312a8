#pragma once
// The image sample file ("<name>.bin"): a flat sequence of fields, no padding, no trailer.
// Integers and floats are little-endian on every machine (floats as their IEEE 754 bits).
//
//   offset   size  field
//   0        1     'B'
//   1        1     ' '
//   2        32    object slots, one label byte each, slot 0 first
//   34       4     n, the name's length: 1 to 127
//   38       n     the name, no terminator
//   38+n     2     feed (its low 16 bits)
//   40+n     2     rows      (not 0)
//   42+n     2     cols      (not 0)
//   44+n     2     size, the grid step (not 0)
//   46+n     8     offset x, y (floats)
//   54+n     4     count of superpixel entries, at most rows x cols
//   58+n     ...   the entries, in record order
//
// One entry, p points and q pattern values: 68 + 8p + 4q bytes.
//
//   0        4     id (0xFFFFFFFF: empty superpixel)
//   4        4     mask, one bit per object slot
//   8        8     centroid x, y
//   16       16    bbox left, top, right, bottom
//   32       16    colour red, green, blue, alpha
//   48       12    lab L, a, b
//   60       4     p
//   64       8p    points x, y
//   64+8p    4     q
//   68+8p    4q    pattern
//
// A reader takes nothing on trust: every count is checked against the bytes that remain before
// anything is allocated, every float must be finite, and the name must be a safe file name
// (VSKFImageSampleNameIsSafe). Bytes after the last entry are not read. The writer refuses a
// sample the reader would refuse.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imagekit/VSKCImageSample.h"

class VSKImageSampleFile {
public:
  // False, with the reason in *why, for a sample that does not make a readable file.
  static bool write(const VSKCImageSample& sample, std::vector<uint8_t>* bytes, std::string* why);
  // Null, with the reason in *why, for bytes that are not a sound sample file.
  static Ref<VSKCImageSample> read(const uint8_t* bytes, size_t length, std::string* why);

  static constexpr size_t kHeaderBytes = 58;  // without the name
  static constexpr size_t kEntryBytes = 68;   // without points and pattern
};
