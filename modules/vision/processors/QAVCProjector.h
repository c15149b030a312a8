#pragma once
// Injects single image files into the vision pipeline. On the query ?<label>(inject, "path") it
// loads the file in the background and publishes it as an image statement; ?<label>(repeat)
// loads the last injected file again. No reply is sent when the image is published; a load that
// fails is logged with the file and the reason and its query answered with
// error(<command>, "reason"), value 0.0.
//
// Properties: "format" the pixel format of what it publishes ("rgb", "rgba", "bgr" or "bgra";
// default "bgr"); "output" the label it publishes on (default its own). The meta frame carries
// "width", "height", "frameid" (1, 2, ... per published frame), "stamp", "format", "length",
// "source" (its own label) and "sample" (the file's name); the ancillary frame is empty.
#include <atomic>
#include <mutex>
#include <string>

#include "framework/substrate/MRKBElemental.h"
#include "framework/substrate/MRKCClassRegistry.h"
#include "modules/vision/processors/QAVCProjectorActionLoad.h"

class QAVCProjector : public MRKBElemental {
public:
  [[nodiscard]] static Ref<QAVCProjector> projectorWithGuid(const std::string& guid, const std::string& label,
                                                            const std::string& alias, Ref<MRKCFrame> properties);
  [[nodiscard]] static Ref<QAVCProjector> projectorWithManifesto(const MRKCManifesto& manifesto);

  void onAttached() override;
  void onDetached() override {}
  void onReceivedQuery(MRKCQuery* query, const std::string& source) override;
  // Publishes what a load action loaded; when it failed (or its image could not be published),
  // logs why and answers the query that asked for it (when given) as failed.
  void onActionCompleted(QAVCProjectorActionLoad* action, MRKCQuery* query);

  // The path of the last "inject" (empty before the first); safe from any thread.
  std::string lastPath() const;
  // The number of frames published so far; safe from any thread.
  uint64_t frameCount() const { return frames_.load(); }

private:
  friend class MRKTClassRegistrar<QAVCProjector>;
  using MRKBElemental::MRKBElemental;

  // Submits a load of path to the substrate's offloader for the query; false when it could not
  // be (the query is then answered as failed).
  bool submitLoad(const std::string& path, MRKCQuery* query);
  // Publishes the loaded image; null when published, else why not.
  const char* publishLoaded(QAVCProjectorActionLoad* action);

  // Read at attach; a format name it does not know leaves it at 0, which no load accepts.
  uint32_t format_ = 0;
  Ref<MRKCSymbol> formatSymbol_;
  Ref<MRKCSymbol> head_;
  std::string output_;

  std::atomic<uint64_t> frames_{0};
  mutable std::mutex pathMutex_;
  std::string lastPath_;
};
