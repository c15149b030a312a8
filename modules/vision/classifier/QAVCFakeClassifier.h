#pragma once
// Stands in for an object detector: for every image statement it follows, it looks for the
// labelled image sample saved under the image's sample name ("<folder>/<sample>.bin") and, when
// there is one with labelled objects, publishes the image again with the objects as detections
// under "objects" in the ancillary frame: per object [slot, class symbol, outlines], the outlines
// of its superpixels united and resampled to 64 points.
//
// Properties: "inputs"; "folder" the folder of the sample files (required); "output" the label
// it publishes on (default its own). Class names come from "./rsc/labels.json", read on the
// offloader at attach: one array of names per channel, name i (from 1) for label value i of the
// samples of images received on that channel; a channel the file has no names for takes those of
// "qav.stream.peri.seg", and the log says so once. A file that cannot be read, and a channel left
// without names, are logged once, naming the file. What uniting a sample's outlines did beside
// uniting them (an outline crossing itself taken as its hull) is logged once per object of a
// sample, not for every frame that replays it.
//
// Samples read are kept (up to 64, while their file is unchanged), so that an image fed again
// is not read and parsed again. A file is only trusted to be unchanged once its times are
// seconds old: file systems keep time coarsely, and a file saved again within one tick of their
// clock, at the same size, would look the same. Hooks run one at a time; the class table and the kept samples
// are also guarded, as the labels file's completion comes from the offloader.
#include <array>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/substrate/MRKCClassRegistry.h"
#include "imagekit/VSKCImageSample.h"
#include "modules/vision/classifier/QAVCFakeClassifierActionLoad.h"
#include "modules/vision/classifier/QAVFFakeClassifier.h"
#include "modules/vision/processors/QAVBProcessor.h"

class QAVCFakeClassifier : public QAVBProcessor {
public:
  static constexpr const char* kLabelsPath = "./rsc/labels.json";
  // The names of the channels that the labels file has none for.
  static constexpr const char* kFallbackChannel = "qav.stream.peri.seg";
  static constexpr size_t kKeptSamples = 64;

  [[nodiscard]] static Ref<QAVCFakeClassifier> classifierWithGuid(const std::string& guid, const std::string& label,
                                                                  const std::string& alias, Ref<MRKCFrame> properties);

  void onAttached() override;
  void onReceivedSquib(MRKCSquib* squib, const std::string& source) override;
  // Fills the class table from what the labels file held.
  void onActionCompleted(QAVCFakeClassifierActionLoad* action);

  // The statement to publish for an image received on channel, or null when there is none.
  Ref<MRKCStatement> process(const QAVTImageStatement& image, const std::string& channel);

private:
  friend class MRKTClassRegistrar<QAVCFakeClassifier>;
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  using QAVBProcessor::QAVBProcessor;

  // What tells a file unchanged: device, inode, size, modification and status change times.
  using Stamp = std::array<int64_t, 5>;
  struct Kept {
    Ref<VSKCImageSample> sample;
    Stamp stamp{};
  };

  Ref<MRKCStatement> replay(const QAVTImageStatement& image, const std::string& channel);
  // The sample at path, read or kept; null (said) when it cannot be read.
  Ref<VSKCImageSample> sampleAt(const std::string& path);
  // The detections of the sample's labelled objects, named from the channel's classes.
  Ref<MRKCList> detections(const VSKCImageSample& sample, const std::string& channel);
  Ref<MRKCSymbol> classFor(const std::string& channel, uint8_t value);
  // True the first time an object slot of the sample is given: its outline note is logged then only.
  bool firstNote(const std::string& sample, uint32_t slot);

  std::string folder_;  // read at attach; empty: every squib is ignored
  std::mutex mutex_;
  QAVTFakeClassifierClasses classes_;
  // Once the labels file gave names: its full path, and the channels said to have none.
  bool classesRead_ = false;
  std::string labelsFile_;
  std::set<std::string> unnamed_;
  std::set<std::string> fellBack_;                    // channels said to take the fallback's names
  std::set<std::pair<std::string, uint32_t>> noted_;  // objects of samples whose outline notes were logged
  std::map<std::string, Kept> kept_;
};
