// The sample operations: save, render, process and load.
#include "app/vision/VSKCSampleOperations.h"

#include <chrono>
#include <mutex>
#include <thread>

#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"

Ref<VSKCOperationImageSampleSave> VSKCOperationImageSampleSave::operationWithImageSample(Ref<VSKCImageSample> sample,
                                                                                         std::string folder) {
  if (!sample || folder.empty()) return nullptr;
  return makeRef<VSKCOperationImageSampleSave>(std::move(sample), std::move(folder));
}

void VSKCOperationImageSampleSave::onExecute() {
  bool written = false;
  {
    std::lock_guard lock(sample_->monitor());
    if (!VSKFImageSampleNameIsSafe(sample_->name())) {
      LLKFLog("VSKCOperationImageSampleSave - refused to save a sample named \"%s\" in %s", sample_->name().c_str(),
              folder_.c_str());
    } else {
      written = sample_->encode(folder_ + "/" + sample_->name() + ".bin");
      if (written) sample_->setTouched(false);
    }
  }
  Ref<LLKCMessage> complete = onComplete();
  Ref<LLKCMessage> message = complete ? complete->copy() : nullptr;
  if (!message) return;
  (void)message->details().storeBool(written, "outcome");
  if (message->ctx()) std::this_thread::sleep_for(std::chrono::milliseconds(message->ctx()));
  notify(message);
}

void VSKBOperationImageSampleMapping::onExecute() {
  Ref<LLKCMessage> complete = onComplete();
  Ref<LLKCMessage> message = complete ? LLKCMessage::messageWithCode(complete->code(), bitmap_) : nullptr;
  if (complete && !message) {
    notify(complete);
    return;
  }
  {
    std::lock_guard lock(sample_->monitor());
    sample_->processCocoDataWithLabels(labels_.get());
    if (paints_) {
      const OGLTSize size = bitmap_->size();
      sample_->render(bitmap_->bytes(), uint32_t(size.w), uint32_t(size.h));
    }
  }
  notify(message);
}

Ref<VSKCOperationImageSampleRender> VSKCOperationImageSampleRender::operationWithImageSample(
    Ref<VSKCImageSample> sample, Ref<QELCBitmap> bitmap, Ref<LLKCData> labels) {
  if (!sample || !bitmap || !labels) return nullptr;
  return makeRef<VSKCOperationImageSampleRender>(std::move(sample), std::move(bitmap), std::move(labels));
}

Ref<VSKCOperationImageSampleProcess> VSKCOperationImageSampleProcess::operationWithImageSample(
    Ref<VSKCImageSample> sample, Ref<QELCBitmap> bitmap, Ref<LLKCData> labels) {
  if (!sample || !bitmap || !labels) return nullptr;
  return makeRef<VSKCOperationImageSampleProcess>(std::move(sample), std::move(bitmap), std::move(labels));
}

Ref<VSKCOperationImageSampleLoad> VSKCOperationImageSampleLoad::operationWithPath(std::string folder,
                                                                                  std::string name) {
  if (folder.empty() || name.empty()) return nullptr;
  return makeRef<VSKCOperationImageSampleLoad>(std::move(folder), std::move(name));
}

void VSKCOperationImageSampleLoad::onExecute() {
  Ref<LLKCMessage> complete = onComplete();
  const std::string path = folder_ + "/" + name_ + ".bin";
  const bool safe = VSKFImageSampleNameIsSafe(name_);
  if (!safe)
    LLKFLog("VSKCOperationImageSampleLoad - refused to load a sample named \"%s\" from %s", name_.c_str(),
            folder_.c_str());
  if (safe && !LLKFDoesFilePathExists(path.c_str())) {
    notify(complete);
    return;
  }
  Ref<VSKCImageSample> sample = safe ? VSKCImageSample::sampleFromPath(path) : nullptr;
  notify(complete ? LLKCMessage::messageWithCode(complete->code(), sample) : nullptr);
}
