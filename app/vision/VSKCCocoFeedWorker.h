#pragma once
// The COCO feed's worker: on its own thread it reads the next image of the dataset folder and
// its annotations, decodes the image to BGR and publishes it on "qav.stream.raw" as an image
// statement whose ancillary frame holds the annotations under "coco". Nothing is published
// until it is asked (next or repeat); each request publishes at most one image.
//
// When a request cannot be met (no folder, the end of the folder, an image or annotation file
// that cannot be read) the worker drops the request and pokes its target with kVSKCocoFeedTell
// carrying a short text as payload ("no more images", "cannot read <file>"; the log line adds
// the details), then waits for the next request. The log gets one line per event: asking again
// for what was just refused is not logged again. An image whose annotations cannot be read is
// not published: it would pass for an image without objects. In random order the folder wraps
// around at its end.
//
// A worker runs once; the view that attaches again carries its state over into a successor
// (workerFollowing): the source guid, the random order and the frame count.
//
// Threads: messages are posted from any thread (post); onMessaged and onRunning run on the
// worker's thread, which alone touches its fields but the target. The target is not retained: its
// owner stops and joins the worker before the target goes, or, when the worker does not end in
// time, makes it forget the target. A worker asked to stop publishes and tells nothing more of
// the image it was reading.
#include <mutex>
#include <string>

#include "framework/core/LLKBHandler.h"
#include "framework/core/LLKCFSFile.h"
#include "framework/core/LLKCFSFolder.h"
#include "ui/widgets/QELBWidget.h"

// The feed's message uid and tags.
enum : uint32_t {
  kVSKCocoFeedUid = 0xB000,
  kVSKCocoFeedFolder = 1,  // to the view: open the folder dialog; to the worker: the folder as payload
  kVSKCocoFeedNext = 2,
  kVSKCocoFeedRepeat = 3,
  kVSKCocoFeedRewind = 4,
  kVSKCocoFeedPicked = 5,  // the folder dialog's selection, "folder" in the details
  kVSKCocoFeedRandom = 6,
  kVSKCocoFeedTell = 7,  // from the worker: "text" for the user
};

class VSKCCocoFeedWorker : public LLKBHandler {
public:
  [[nodiscard]] static Ref<VSKCCocoFeedWorker> workerWithTarget(QELBWidget* target);
  // A worker for the same target that goes on where a stopped and joined one left off.
  [[nodiscard]] static Ref<VSKCCocoFeedWorker> workerFollowing(const VSKCCocoFeedWorker& stopped);
  ~VSKCCocoFeedWorker() override;

  const std::string& guid() const { return guid_; }
  // Tells the target nothing more: its owner lets go of a worker that did not stop in time (an
  // image that takes for ever to read) before the target goes. Any thread.
  void forgetTarget();

protected:
  bool onMessaged(const Ref<LLKCMessage>& message) override;
  bool onRunning() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCCocoFeedWorker(QELBWidget* target, std::string guid) : target_(target), guid_(std::move(guid)) {}

  // Finds the next pair; false when the request ends here (told), true to look again.
  bool seekPair();
  // Publishes the current pair; false when it cannot be read (told).
  bool publishPair();
  void forgetPair();
  // Ends the request and tells the user why: the text, short enough for the view's status bar,
  // to the target; the text and the detail to the log.
  void tell(const std::string& text, const std::string& detail);

  mutable std::mutex targetMutex_;
  QELBWidget* target_ = nullptr;  // guarded by targetMutex_
  std::string guid_;
  Ref<LLKCFSFolder> folder_;
  Ref<LLKCFSFile> jpg_;
  Ref<LLKCFSFile> json_;
  bool seek_ = false;
  bool random_ = false;
  // Times the folder wrapped around during the current request (random order only).
  uint32_t wraps_ = 0;
  uint64_t frames_ = 0;
  // What was last told, logged once until the feed moves on.
  std::string told_;
};
