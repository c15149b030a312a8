// The sample operations: save, render, process and load.
#include "app/vision/VSKCSampleOperations.h"

#include <mutex>

#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"

Ref<VSKCOperationImageSampleSave> VSKCOperationImageSampleSave::operationWithImageSample(Ref<VSKCImageSample> sample,
                                                                                         std::string folder) {
  if (!sample || folder.empty()) return nullptr;
  return makeRef<VSKCOperationImageSampleSave>(std::move(sample), std::move(folder));
}

bool VSKFImageSampleSave(VSKCImageSample& sample, const std::string& folder) {
  if (!VSKFImageSampleNameIsSafe(sample.name())) {
    LLKFLog("VSKCOperationImageSampleSave - refused to save a sample named \"%s\" in %s", sample.name().c_str(),
            folder.c_str());
    return false;
  }
  // A sample of the feed is the labelling of the image it names: it replaces that image's
  // earlier labelling, which the classifier then replays.
  const std::string path = sample.file().empty() ? VSKFImageSamplePath(folder, sample.name()) : sample.file();
  if (!sample.encode(path)) return false;
  sample.setFile(path);
  sample.markUnchanged();
  return true;
}

void VSKCOperationImageSampleSave::onExecute() {
  bool written = false;
  {
    std::lock_guard lock(sample_->monitor());
    written = VSKFImageSampleSave(*sample_, folder_);
  }
  Ref<LLKCMessage> complete = onComplete();
  Ref<LLKCMessage> message = complete ? complete->copy() : nullptr;
  if (!message) return;
  (void)message->details().storeBool(written, "outcome");
  // A report asked for later waits among the window's timers, not on a scheduler thread.
  if (const uint32_t reportDelayMs = message->ctx()) {
    if (Ref<QELBWidget> widget = target()) (void)widget->poke(message, reportDelayMs);
    return;
  }
  notify(message);
}

std::string VSKFImageSamplePath(const std::string& folder, const std::string& name) {
  return folder + "/" + name + ".bin";
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
    // The annotations mapped are the sample as it came: what revert gives back.
    if (!sample_->touched()) sample_->markUnchanged();
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
  const std::string path = VSKFImageSamplePath(folder_, name_);
  const bool safe = VSKFImageSampleNameIsSafe(name_);
  if (!safe)
    LLKFLog("VSKCOperationImageSampleLoad - refused to load a sample named \"%s\" from %s", name_.c_str(),
            folder_.c_str());
  if (safe && !LLKFDoesFilePathExists(path.c_str())) {
    notify(complete);
    return;
  }
  Ref<VSKCImageSample> sample = safe ? VSKCImageSample::sampleFromPath(path) : nullptr;
  // Named after its file, whatever name it holds: the samples list then leads back to this file,
  // and a save writes the name that matches it.
  if (sample) sample->setName(name_);
  notify(complete ? LLKCMessage::messageWithCode(complete->code(), sample) : nullptr);
}
