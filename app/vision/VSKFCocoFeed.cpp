#include "app/vision/VSKFCocoFeed.h"

#include "framework/core/JSKCReader.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFRandom.h"
#include "framework/substrate/MRKFTerms.h"

Ref<LLKCFSFile> VSKFCocoFeedViewNextFileWithExtension(LLKCFSFolder& folder, const char* extension, bool random) {
  while (Ref<LLKBFSEntry> entry = folder.nextEntry()) {
    LLKCFSFile* file = entry->asFile();
    if (!file || file->extension() != extension) continue;
    if (!random || LLKFRandomDraw() < 0.5) return Ref<LLKCFSFile>(file);
  }
  return nullptr;
}

bool VSKFCocoFeedViewNext(LLKCFSFolder& folder, Ref<LLKCFSFile>* image, Ref<LLKCFSFile>* annotations, bool random,
                          bool* atEnd) {
  *image = nullptr;
  *annotations = nullptr;
  Ref<LLKCFSFile> jpg = VSKFCocoFeedViewNextFileWithExtension(folder, "jpg", random);
  if (atEnd) *atEnd = !jpg;
  if (!jpg) return false;
  Ref<LLKCFSFile> json = LLKCFSFile::fileWithParent(folder, jpg->basename() + ".json");
  if (!json || !json->exists()) return false;
  *image = std::move(jpg);
  *annotations = std::move(json);
  return true;
}

Ref<MRKCFrame> VSKFCocoFeedReadAnnotations(const std::string& path, std::string* why) {
  std::string text;
  if (!LLKFReadFile(path.c_str(), text, why, kVSKCocoAnnotationFileLimit)) return nullptr;
  return VSKFCocoFeedDecodeAnnotations(text, why);
}

Ref<MRKCFrame> VSKFCocoFeedDecodeAnnotations(std::string_view text, std::string* why) {
  Ref<JSKCFrame> json = JSKCReader::reader()->readFromString(text);
  if (!json) {
    if (why) *why = "is not a JSON object";
    return nullptr;
  }
  std::string error;
  Ref<MRKCFrame> frame = MRKFJSONDecodeFrame(json.get(), kMRKJSONStrings, &error);
  if (!frame && why) *why = "cannot be decoded: " + (error.empty() ? std::string("out of memory") : error);
  return frame;
}
