#pragma once
// The labelled feed: shows the image a segmenter received (the "image" of the statement's
// ancillary frame) with, over it, every object a classifier detected (VSKCLabeledViewOverlay.h),
// in its label's colour from "colors.json" of the resources, loaded at each attach. The status
// bar gives the processing time and the number of objects.
//
// Window's thread only: the observer and the colours load deliver there.
#include <string>

#include "app/vision/VSKBFeedView.h"
#include "app/vision/VSKCLabeledViewOverlay.h"
#include "app/vision/VSKFLabelColours.h"
#include "framework/substrate/MRKCList.h"
#include "ui/widgets/QELBPicturebox.h"

// The colours' load reporting to the view.
inline constexpr LLKTMessageCode kVSKLabeledColoursLoaded{0x1000, 1};

class VSKCLabeledView : public VSKBFeedView, private VSKPLabeledViewOverlaySource {
  struct private_t {
    Ref<QELCPicturebox> picture;
    Ref<VSKCLabeledViewOverlay> overlay;
    Ref<MRKCList> objects;  // the detections of the shown image, or none
    VSKTLabelColours colours;
  };

public:
  // Null when a part cannot be made.
  [[nodiscard]] static Ref<VSKCLabeledView> viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                         std::string feed, uint32_t fov, Ref<JSKCFrame> config);

  // Read-only, for those who check what the view shows.
  const private_t& state() const { return record_; }

protected:
  void onAttachedIntoWindow() override;
  void onToggleMenu() override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCLabeledView(OGLTSize size, OGLTPoint position, std::string feed, Ref<ZRVCObserver> observer,
                  Ref<JSKCFrame> config);

  const MRKCList* objects() const override { return record_.objects.get(); }
  const VSKTLabelColours& colours() const override { return record_.colours; }
  const QELBPicturebox& picture() const override { return *record_.picture; }
  const std::string& viewName() const override { return alias(); }
  void onSquib(const LLKCMessage& message);
  void onColoursLoaded(const LLKCMessage& message);

  private_t record_;
};
