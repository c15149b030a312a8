#include "modules/vision/classifier/QAVCFakeClassifier.h"

#include <filesystem>

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCString.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/VSKFPolygon.h"
#include "modules/vision/classifier/QAVFFakeClassifier.h"

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
  if (!action || action->outcome() != 0 || !action->content()) return;
  const JSKCFrame& content = *action->content();
  std::map<std::string, std::vector<Ref<MRKCSymbol>>> classes;
  for (size_t m = 0; m < content.count(); ++m) {
    Ref<JSKBValue> value = content.fetchAtIndex(m);
    const JSKCArray* names = value ? value->asArray() : nullptr;
    if (!names) continue;
    std::vector<Ref<MRKCSymbol>>& symbols = classes[content.labelAtIndex(m)];
    for (size_t i = 0; i < names->count(); ++i) {
      Ref<JSKBValue> name = names->atIndex(i);
      const JSKCString* text = name ? name->asString() : nullptr;
      symbols.push_back(text ? MRKCSymbol::symbolWithValue(text->string()) : nullptr);
    }
  }
  std::lock_guard lock(mutex_);
  classes_ = std::move(classes);
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
  std::error_code error;
  const auto modified = std::filesystem::last_write_time(path, error).time_since_epoch().count();
  const uint64_t size = error ? 0 : std::filesystem::file_size(path, error);
  {
    std::lock_guard lock(mutex_);
    auto kept = kept_.find(path);
    if (!error && kept != kept_.end() && kept->second.modified == modified && kept->second.size == size)
      return kept->second.sample;
  }
  Ref<VSKCImageSample> sample = VSKCImageSample::sampleFromPath(path);
  if (!sample) {
    LLKFLog("%s - failed to open %s", label().c_str(), path.c_str());
    return nullptr;
  }
  if (!error) {
    std::lock_guard lock(mutex_);
    if (kept_.size() >= kKeptSamples) kept_.clear();
    kept_[path] = {sample, modified, size};
  }
  return sample;
}

Ref<MRKCSymbol> QAVCFakeClassifier::classFor(const std::string& channel, uint8_t value) {
  std::lock_guard lock(mutex_);
  auto classes = classes_.find(channel);
  if (value == 0 || classes == classes_.end() || value > classes->second.size()) return nullptr;
  return classes->second[value - 1u];
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
    if (!note.empty())
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
