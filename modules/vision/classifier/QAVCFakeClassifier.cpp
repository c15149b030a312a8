#include "modules/vision/classifier/QAVCFakeClassifier.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/VSKFPolygon.h"
#include "modules/vision/classifier/QAVFFakeClassifier.h"

namespace {
// The path as the log shows it: the labels file's is relative to the working folder.
std::string absolute(const std::string& path) {
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(path, error);
  return error ? path : full.lexically_normal().string();
}

// A file whose times are this close to now may still change without changing them.
constexpr int64_t kSettledNs = 2'000'000'000;

int64_t nanoseconds(const timespec& time) { return int64_t(time.tv_sec) * 1'000'000'000 + time.tv_nsec; }

// The file's stamp; true only when its times are old enough for a later change to show in them.
bool settledStamp(const std::string& path, std::array<int64_t, 5>* stamp) {
  struct stat status {};
  timespec now{};
  if (stat(path.c_str(), &status) != 0 || clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
  const int64_t modified = nanoseconds(status.st_mtim), changed = nanoseconds(status.st_ctim);
  *stamp = {int64_t(status.st_dev), int64_t(status.st_ino), int64_t(status.st_size), modified, changed};
  return nanoseconds(now) - std::max(modified, changed) >= kSettledNs;
}
}  // namespace

Ref<QAVCFakeClassifier> QAVCFakeClassifier::classifierWithGuid(const std::string& guid, const std::string& label,
                                                               const std::string& alias, Ref<MRKCFrame> properties) {
  return makeRef<QAVCFakeClassifier>(guid, label, alias, std::move(properties));
}

void QAVCFakeClassifier::onAttached() {
  QAVBProcessor::onAttached();
  MRKCString* folder = MRKFFrameFetchString(properties(), "folder");
  folder_ = folder ? folder->value() : "";
  if (folder_.empty()) LLKFLog("%s : 'folder' property is requiered", label().c_str());
  Ref<QAVCFakeClassifierActionLoad> action = QAVCFakeClassifierActionLoad::actionWithPath(kLabelsPath);
  MRKCSubstrate* host = substrate();
  if (!action || !host || !host->runtime()->offloader()->submit(action, this, [this](LLKBOperation* done) {
        onActionCompleted(static_cast<QAVCFakeClassifierActionLoad*>(done));
      }))
    LLKFLog("%s : the labels file could not be read", label().c_str());
}

void QAVCFakeClassifier::onActionCompleted(QAVCFakeClassifierActionLoad* action) {
  if (!action) return;
  const std::string file = absolute(action->path());
  if (action->outcome() != 0 || !action->content() || !action->problem().empty()) {
    LLKFLog("%s : no class names, so nothing is published: %s %s", label().c_str(), file.c_str(),
            action->problem().empty() ? "cannot be read" : action->problem().c_str());
    return;
  }
  QAVTFakeClassifierClasses classes = QAVFFakeClassifierClassTable(*action->content());
  if (classes.empty()) {
    LLKFLog("%s : no class names, so nothing is published: %s holds no array of names", label().c_str(), file.c_str());
    return;
  }
  std::lock_guard lock(mutex_);
  classes_ = std::move(classes);
  classesRead_ = true;
  labelsFile_ = file;
}

void QAVCFakeClassifier::onReceivedSquib(MRKCSquib* squib, const std::string& source) {
  if (folder_.empty() || !squib) return;
  const std::string channel = squib->label();
  forEachImage(squib, source, [&](const QAVTImageStatement& image) { publishImage(process(image, channel).get()); });
}

Ref<MRKCStatement> QAVCFakeClassifier::process(const QAVTImageStatement& image, const std::string& channel) {
  return guarded([&] { return replay(image, channel); });
}

Ref<MRKCStatement> QAVCFakeClassifier::replay(const QAVTImageStatement& image, const std::string& channel) {
  MRKCString* name = MRKFFrameFetchString(image.meta, "sample");
  // A name that would reach outside the folder names no sample of ours.
  if (!name || !VSKFImageSampleNameIsSafe(name->value())) return nullptr;
  const std::string path = folder_ + "/" + name->value() + ".bin";
  if (!LLKFDoesFilePathExists(path.c_str())) return nullptr;
  Ref<VSKCImageSample> sample = sampleAt(path);
  if (!sample) return nullptr;
  Ref<MRKCList> objects = detections(*sample, channel);
  if (!objects || objects->count() == 0) return nullptr;

  Ref<MRKCFrame> ancillary = image.ancillary->copy();
  if (!ancillary || ancillary->store(objects.get(), "objects") != 0) return nullptr;
  return MRKFMakeStatementWith4Terms(outputLabel(), image.head, image.meta, image.pixels, ancillary.get(), 1.0);
}

Ref<VSKCImageSample> QAVCFakeClassifier::sampleAt(const std::string& path) {
  Stamp stamp{};
  const bool settled = settledStamp(path, &stamp);
  if (settled) {
    std::lock_guard lock(mutex_);
    auto kept = kept_.find(path);
    if (kept != kept_.end() && kept->second.stamp == stamp) return kept->second.sample;
  }
  Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromPath(path);
  if (!sample) {
    LLKFLog("%s - failed to open %s", label().c_str(), path.c_str());
    return nullptr;
  }
  std::lock_guard lock(mutex_);
  if (!settled) {
    kept_.erase(path);
    return sample;
  }
  if (kept_.size() >= kKeptSamples) kept_.clear();
  kept_[path] = {sample, stamp};
  return sample;
}

Ref<MRKCSymbol> QAVCFakeClassifier::classFor(const std::string& channel, uint8_t value) {
  std::lock_guard lock(mutex_);
  auto classes = classes_.find(channel);
  if (classes == classes_.end()) {
    classes = classes_.find(kFallbackChannel);
    if (classes != classes_.end() && fellBack_.insert(channel).second)
      LLKFLog("%s : %s names no classes for %s: the names of %s are taken", label().c_str(), labelsFile_.c_str(),
              channel.c_str(), kFallbackChannel);
  }
  if (classes == classes_.end()) {
    if (classesRead_ && unnamed_.insert(channel).second)
      LLKFLog("%s : no class names for %s, so nothing of it is published: %s has none for it nor for %s",
              label().c_str(), channel.c_str(), labelsFile_.c_str(), kFallbackChannel);
    return nullptr;
  }
  if (value == 0 || value > classes->second.size()) return nullptr;
  return classes->second[value - 1u];
}

bool QAVCFakeClassifier::firstNote(const std::string& sample, uint32_t slot) {
  std::lock_guard lock(mutex_);
  return noted_.insert({sample, slot}).second;
}

Ref<MRKCList> QAVCFakeClassifier::detections(const VSKCImageSample& sample, const std::string& channel) {
  Ref<MRKCList> found = MRKCList::list();
  for (uint32_t slot = 0; slot < kVSKObjectSlots; ++slot) {
    const uint8_t value = sample.objects()[slot];
    if (value == 0) continue;
    Ref<MRKCSymbol> name = classFor(channel, value);
    Ref<LLKCObjectDeque> outlines = sample.polygonsForObject(slot + 1);
    if (!name || !outlines || outlines->count() == 0) continue;
    Ref<LLKCObjectDeque> united = LLKCObjectDeque::deque();
    std::string note;
    const bool made = united && VSKFPolygonsUnion(outlines.get(), united.get(), &note);
    if (!note.empty() && firstNote(sample.name(), slot))
      LLKFLog("%s - object %u of sample %s: %s", label().c_str(), slot, sample.name().c_str(), note.c_str());
    if (!made) continue;
    // An outline that cannot be resampled is published as it is.
    Ref<LLKCObjectDeque> resampled = LLKCObjectDeque::deque();
    for (size_t i = 0; resampled && i < united->count(); ++i) {
      Ref<NRKCPolygon> outline = united->fetchAtIndexAs<NRKCPolygon>(i);
      Ref<NRKCPolygon> even = VSKFPolygonResample(outline, kQAVDetectionPoints);
      if (resampled->append(even ? even : outline) != 0) resampled = nullptr;
    }
    if (!resampled) continue;
    if (Ref<MRKCList> entry = QAVFFakeClassifierMakeTerms(slot, name.get(), resampled.get()))
      found->append(entry.get());
  }
  return found;
}
