#include "app/vision/VSKCFileOperations.h"

#include "framework/core/LLKCObjectTuple.h"
#include "imagekit/IMKFImageDump.h"
#include "imagekit/IMKFImageFormat.h"
#include "ui/widgets/QELBApplication.h"

Ref<VSKCOperationJSONLoad> VSKCOperationJSONLoad::operationWithFilePaths(std::vector<std::string> paths) {
  if (paths.empty()) return nullptr;
  return makeRef<VSKCOperationJSONLoad>(std::move(paths));
}

void VSKCOperationJSONLoad::onExecute() {
  Ref<LLKCMessage> complete = onComplete();
  Ref<LLKCObjectTuple> frames = LLKCObjectTuple::tupleWithCapacity(paths_.size());
  Ref<LLKCMessage> message = complete && frames ? LLKCMessage::messageWithCode(complete->code(), frames) : nullptr;
  if (!message) {
    notify(complete);
    return;
  }
  for (size_t i = 0; i < paths_.size(); ++i) (void)frames->store(QELFApplicationReadJSON(paths_[i].c_str()), i);
  notify(message);
}

Ref<VSKCOperationJSONSave> VSKCOperationJSONSave::operationWithFilePath(std::string path, Ref<JSKCFrame> content) {
  if (path.empty() || !content) return nullptr;
  return makeRef<VSKCOperationJSONSave>(std::move(path), std::move(content));
}

void VSKCOperationJSONSave::onExecute() {
  const bool written = QELFApplicationWriteJSON(path_.c_str(), content_.get());
  Ref<LLKCMessage> complete = onComplete();
  Ref<LLKCMessage> message = complete ? complete->copy() : nullptr;
  if (message) (void)message->details().storeBool(written, "outcome");
  notify(message);
}

Ref<VSKCOperationBitmapSave> VSKCOperationBitmapSave::operationWithName(const std::string& name,
                                                                        Ref<QELCBitmap> bitmap) {
  if (name.empty()) return nullptr;
  return operationWithPath(name + ".ppm", std::move(bitmap));
}

Ref<VSKCOperationBitmapSave> VSKCOperationBitmapSave::operationWithPath(std::string path, Ref<QELCBitmap> bitmap) {
  if (path.empty() || !bitmap) return nullptr;
  return makeRef<VSKCOperationBitmapSave>(std::move(path), std::move(bitmap));
}

void VSKCOperationBitmapSave::onExecute() {
  const OGLTSize size = bitmap_->size();
  const int status = IMKFImageDumpIntoFile(path_.c_str(), IMKPixelFormatRGBA, bitmap_->bytes(), bitmap_->length(),
                                           uint32_t(size.w), uint32_t(size.h));
  Ref<LLKCMessage> complete = onComplete();
  Ref<LLKCMessage> message = complete ? complete->copy() : nullptr;
  if (message) (void)message->details().storeSint(status, "status");
  notify(message);
}
