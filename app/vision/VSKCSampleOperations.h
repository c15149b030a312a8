#pragma once
// The vision views' background work on image samples: four small operations, each submitted to
// the UI application's scheduler with a target view and a completion message. onExecute does the
// work on a scheduler thread and hands a completion message to the target with notify, which
// delivers it to the view's onMessaged on the window's thread.
//
//   operation          work                                          message delivered
//   sample save        VSKFImageSampleSave                           copy of onComplete, "outcome" (bool);
//                                                                    delivered ctx ms later when ctx is set
//   sample render      COCO mapping, then the superpixels painted    onComplete's code, the bitmap
//   sample process     COCO mapping                                  onComplete's code, the bitmap
//                      (an untouched sample is unchanged as mapped)
//   sample load        <folder>/<name>.bin read, named <name> and    onComplete's code, the sample (none when
//                      belonging to that file                        unreadable); onComplete itself when no file
//
// New messages carry only onComplete's code; copies keep its payload and details. Without an
// onComplete the work is done and nothing is delivered. When a new message cannot be made,
// onComplete itself is delivered (render and process then do no work).
//
// The sample and bitmap belong to the submitting view, which leaves them alone until the
// completion arrives. Sample operations hold the sample's monitor while they work, so two
// operations on one sample never run at once. Sample names that are not plain file names ("",
// ".", "..", or with "/") are refused: the save delivers "outcome" NO, the load no payload.
#include <string>

#include "framework/core/LLKCData.h"
#include "imagekit/VSKCImageSample.h"
#include "ui/widgets/QELBOperation.h"
#include "ui/widgets/QELCBitmap.h"

// The longest sample name a file takes.
inline constexpr size_t kVSKSampleNameMax = 127;
// "<folder>/<name>.bin".
std::string VSKFImageSamplePath(const std::string& folder, const std::string& name);
// Writes the sample (atomically) to its own file or, for one that has none yet (a frame of the
// feed, a clone), to <folder>/<name>.bin, replacing the labelling of the image it names; once
// written that is its file, and the sample is unchanged (touched cleared). False, with a log line,
// when its name is not a plain file name or the file cannot be written. The caller holds the
// sample's monitor.
bool VSKFImageSampleSave(VSKCImageSample& sample, const std::string& folder);

class VSKCOperationImageSampleSave : public QELBOperation {
public:
  // Null without a sample or a folder.
  [[nodiscard]] static Ref<VSKCOperationImageSampleSave> operationWithImageSample(Ref<VSKCImageSample> sample,
                                                                                  std::string folder);
  void onExecute() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCOperationImageSampleSave(Ref<VSKCImageSample> sample, std::string folder)
      : sample_(std::move(sample)), folder_(std::move(folder)) {}
  Ref<VSKCImageSample> sample_;
  std::string folder_;
};

// Render and process share their inputs; process maps the annotations only.
class VSKBOperationImageSampleMapping : public QELBOperation {
public:
  void onExecute() override;

protected:
  VSKBOperationImageSampleMapping(Ref<VSKCImageSample> sample, Ref<QELCBitmap> bitmap, Ref<LLKCData> labels,
                                  bool paints)
      : sample_(std::move(sample)), bitmap_(std::move(bitmap)), labels_(std::move(labels)), paints_(paints) {}

private:
  Ref<VSKCImageSample> sample_;
  Ref<QELCBitmap> bitmap_;
  Ref<LLKCData> labels_;
  bool paints_;
};

class VSKCOperationImageSampleRender : public VSKBOperationImageSampleMapping {
public:
  // Null without a sample, a bitmap or labels.
  [[nodiscard]] static Ref<VSKCOperationImageSampleRender> operationWithImageSample(Ref<VSKCImageSample> sample,
                                                                                    Ref<QELCBitmap> bitmap,
                                                                                    Ref<LLKCData> labels);

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCOperationImageSampleRender(Ref<VSKCImageSample> sample, Ref<QELCBitmap> bitmap, Ref<LLKCData> labels)
      : VSKBOperationImageSampleMapping(std::move(sample), std::move(bitmap), std::move(labels), true) {}
};

class VSKCOperationImageSampleProcess : public VSKBOperationImageSampleMapping {
public:
  // Null without a sample, a bitmap or labels.
  [[nodiscard]] static Ref<VSKCOperationImageSampleProcess> operationWithImageSample(Ref<VSKCImageSample> sample,
                                                                                     Ref<QELCBitmap> bitmap,
                                                                                     Ref<LLKCData> labels);

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCOperationImageSampleProcess(Ref<VSKCImageSample> sample, Ref<QELCBitmap> bitmap, Ref<LLKCData> labels)
      : VSKBOperationImageSampleMapping(std::move(sample), std::move(bitmap), std::move(labels), false) {}
};

class VSKCOperationImageSampleLoad : public QELBOperation {
public:
  // Null for an empty folder or name.
  [[nodiscard]] static Ref<VSKCOperationImageSampleLoad> operationWithPath(std::string folder, std::string name);
  void onExecute() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCOperationImageSampleLoad(std::string folder, std::string name)
      : folder_(std::move(folder)), name_(std::move(name)) {}
  std::string folder_;
  std::string name_;
};
