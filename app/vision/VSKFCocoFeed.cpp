#include "app/vision/VSKFCocoFeed.h"

#include "framework/core/LLKFRandom.h"

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
