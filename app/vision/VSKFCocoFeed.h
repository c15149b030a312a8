#pragma once
// Walking a COCO-style dataset folder: every "jpg" image that has its "<basename>.json"
// annotation file beside it is one entry of the feed. The folder lists its entries in name
// order and keeps its position, so the feed's position is the folder's.
#include <string>
#include <string_view>

#include "framework/core/LLKCFSFile.h"
#include "framework/core/LLKCFSFolder.h"
#include "framework/substrate/MRKCFrame.h"

// The next file of the folder, from its current position, whose extension is exactly the given
// one (case counts: "JPG" is not "jpg"). In random mode each such file is taken with a chance of
// one half and otherwise passed over. Null at the end of the folder; the folder is never rewound.
[[nodiscard]] Ref<LLKCFSFile> VSKFCocoFeedViewNextFileWithExtension(LLKCFSFolder& folder, const char* extension,
                                                                    bool random);

// The next "jpg" image (as above) and the ".json" file of its basename in the same folder. True
// with both set when both exist; false with both null otherwise (the folder has moved past the
// image either way). *atEnd, when given, says whether the folder had no further image.
bool VSKFCocoFeedViewNext(LLKCFSFolder& folder, Ref<LLKCFSFile>* image, Ref<LLKCFSFile>* annotations, bool random,
                          bool* atEnd = nullptr);

// The largest annotation file read: decoding one takes some sixty times its size in memory, and
// the annotations of one image are seldom more than a few hundred KiB.
inline constexpr size_t kVSKCocoAnnotationFileLimit = size_t{8} << 20;

// An image's annotations as the frame published under "coco" (strings stay strings). Null, with
// the reason in *why, for a file that cannot be read (missing, a folder, a pipe, larger than
// kVSKCocoAnnotationFileLimit: "is larger than 8 MiB") or
// whose text is not one JSON object: cut short, a number out of range, NaN. Never an empty frame
// in place of a failure, so that an unreadable file is not taken for an image without objects.
[[nodiscard]] Ref<MRKCFrame> VSKFCocoFeedReadAnnotations(const std::string& path, std::string* why);
[[nodiscard]] Ref<MRKCFrame> VSKFCocoFeedDecodeAnnotations(std::string_view text, std::string* why);
