#include "app/vision/VSKCCocoFeedWorker.h"

#include "app/vision/VSKFCocoFeed.h"
#include "framework/core/LLKCGuid.h"
#include "framework/core/LLKCString.h"
#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKCBitmap.h"
#include "imagekit/IMKFImageFormat.h"
#include "imagekit/IMKFImageLoad.h"

namespace {
constexpr const char* kChannel = "qav.stream.raw";
// In random order every image is passed over with a chance of one half; a request that finds
// nothing in this many passes over the folder gives up (a folder without any pair ends there).
constexpr uint32_t kMaxWraps = 16;
}  // namespace

Ref<VSKCCocoFeedWorker> VSKCCocoFeedWorker::workerWithTarget(QELBWidget* target) {
  return makeRef<VSKCCocoFeedWorker>(target, LLKCGuid::guid()->string());
}

Ref<VSKCCocoFeedWorker> VSKCCocoFeedWorker::workerFollowing(const VSKCCocoFeedWorker& stopped) {
  QELBWidget* target = nullptr;
  {
    std::lock_guard lock(stopped.targetMutex_);
    target = stopped.target_;
  }
  Ref<VSKCCocoFeedWorker> worker = makeRef<VSKCCocoFeedWorker>(target, stopped.guid_);
  worker->random_ = stopped.random_;
  worker->frames_ = stopped.frames_;
  return worker;
}

VSKCCocoFeedWorker::~VSKCCocoFeedWorker() { stopAndJoin(); }

bool VSKCCocoFeedWorker::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message || message->uid() != kVSKCocoFeedUid) return false;
  switch (message->tag()) {
    case kVSKCocoFeedFolder:
      if (Ref<LLKCFSFolder> folder = message->payloadAs<LLKCFSFolder>()) {
        folder_ = std::move(folder);
        folder_->rewind();
        told_.clear();
      }
      return true;
    case kVSKCocoFeedNext:
      seek_ = true;
      wraps_ = 0;
      forgetPair();
      return true;
    case kVSKCocoFeedRepeat:
      seek_ = true;
      wraps_ = 0;
      return true;
    case kVSKCocoFeedRewind:
      if (folder_) folder_->rewind();
      forgetPair();
      told_.clear();
      return true;
    case kVSKCocoFeedRandom:
      random_ = !random_;
      return true;
    default:
      return false;
  }
}

bool VSKCCocoFeedWorker::onRunning() {
  if (!seek_) return false;
  if (!jpg_ && !seekPair()) return false;
  if (!jpg_) return true;
  if (!publishPair()) return false;
  seek_ = false;
  return false;
}

bool VSKCCocoFeedWorker::seekPair() {
  if (!folder_) {
    tell("no source folder", "choose one with \"Set source folder\"");
    return false;
  }
  bool atEnd = false;
  if (VSKFCocoFeedViewNext(*folder_, &jpg_, &json_, random_, &atEnd)) return true;
  // A "jpg" without its ".json" was passed over: look further on the next run.
  if (atEnd) {
    if (!random_ || ++wraps_ > kMaxWraps) {
      tell("no more images", folder_->absFullPath() + " is at its end: press \"Rewind\" or choose another folder");
      return false;
    }
    folder_->rewind();
  }
  return true;
}

bool VSKCCocoFeedWorker::publishPair() {
  const std::string name = jpg_->name();
  int loaded = IMKResultDone;
  Ref<IMKCBitmap> bitmap = IMKCBitmap::bitmapfromPath(jpg_->absFullPath(), IMKPixelFormatBGR, &loaded);
  if (stopping()) return false;
  if (!bitmap) {
    const char* why = IMKFImageLoadFailure(loaded);
    tell("cannot read " + name, std::string(why ? why : "out of memory") + ": press \"Submit\" for the next one");
    return false;
  }
  std::string why;
  Ref<MRKCFrame> annotations = VSKFCocoFeedReadAnnotations(json_->absFullPath(), &why);
  if (!annotations) {
    tell("cannot read " + json_->name(),
         json_->name() + " " + why + ", so " + name + " is not published: press \"Submit\" for the next one");
    return false;
  }
  Ref<MRKCBinary> pixels = MRKCBinary::binaryWithValue(bitmap->data().get());
  Ref<MRKCFrame> meta = MRKCFrame::frame();
  Ref<MRKCFrame> ancillary = MRKCFrame::frame();
  Ref<MRKCSymbol> head = MRKCSymbol::symbolWithValue("image");
  Ref<MRKCSymbol> format = MRKCSymbol::symbolWithValue("bgr");
  Ref<MRKCSymbol> source = MRKCSymbol::symbolWithValue("coco");
  Ref<MRKCString> sample = MRKCString::stringWithValue(json_->basename());
  // A request that cannot be built is dropped: only memory can be short here.
  if (!pixels || !meta || !ancillary || !head || !format || !source || !sample) return true;
  const uint64_t frameid = frames_ + 1;
  bool stored =
      ancillary->store(annotations.get(), "coco") == 0 && MRKFFrameStoreUint(meta.get(), "width", bitmap->width()) &&
      MRKFFrameStoreUint(meta.get(), "height", bitmap->height()) &&
      MRKFFrameStoreUint(meta.get(), "frameid", frameid) && MRKFFrameStoreReal(meta.get(), "stamp", LLKFNowInS()) &&
      MRKFFrameStoreTerm(meta.get(), "format", format.get()) &&
      MRKFFrameStoreUint(meta.get(), "length", pixels->value().size()) &&
      MRKFFrameStoreTerm(meta.get(), "source", source.get()) && MRKFFrameStoreTerm(meta.get(), "sample", sample.get());
  if (!stored) return true;
  Ref<MRKCStatement> statement =
      MRKFMakeStatementWith4Terms(kChannel, head.get(), meta.get(), pixels.get(), ancillary.get(), 1.0);
  Ref<MRKCSquib> squib = statement ? MRKCSquib::squibWithLabel(kChannel, statement.get(), 1.0f) : nullptr;
  MRKCSubstrate* substrate = MRKCSubstrate::shared();
  if (!squib || !substrate) return true;
  frames_ = frameid;
  told_.clear();
  if (!substrate->publish(squib.get(), guid_)) LLKFLog("cocofeed : the image %s could not be published", name.c_str());
  return true;
}

void VSKCCocoFeedWorker::forgetTarget() {
  std::lock_guard lock(targetMutex_);
  target_ = nullptr;
}

void VSKCCocoFeedWorker::forgetPair() {
  jpg_ = nullptr;
  json_ = nullptr;
}

void VSKCCocoFeedWorker::tell(const std::string& text, const std::string& detail) {
  seek_ = false;
  if (text != told_) LLKFLog("cocofeed : %s: %s", text.c_str(), detail.c_str());
  told_ = text;
  Ref<LLKCMessage> message =
      LLKCMessage::messageWithCode({kVSKCocoFeedUid, kVSKCocoFeedTell, 0}, LLKCString::stringWithString(text));
  std::lock_guard lock(targetMutex_);
  if (target_) (void)target_->poke(message);
}
