#pragma once
// The labelled feed: shows the image a segmenter received (the "image" of the statement's
// ancillary frame) with, over it, every object a classifier detected: its polygons filled in its
// label's colour (from "colors.json" of the resources, loaded at each attach), outlined in
// fuchsia, and its label's name at the middle of the object. The status bar gives the
// processing time and the number of objects. A label without a colour is not drawn and is
// logged once.
//
// Window's thread only: the observer and the colours load deliver there.
#include <set>
#include <string>

#include "app/vision/VSKFLabelColours.h"
#include "app/vision/VSKBFeedView.h"
#include "framework/substrate/MRKCList.h"

class VSKCLabeledViewOverlay;

class VSKCLabeledView : public VSKBFeedView {
public:
  struct private_t : VSKTFeedState {
    Ref<VSKCLabeledViewOverlay> overlay;
    Ref<MRKCList> objects;  // the detections of the shown image, or none
    VSKTLabelColours colours;
    std::set<std::string, std::less<>> uncoloured;  // labels already logged without a colour
  };

  // Null when a part cannot be made.
  [[nodiscard]] static Ref<VSKCLabeledView> viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                         std::string feed, uint32_t fov, Ref<JSKCFrame> config);

  const private_t& state() const { return record_; }

protected:
  VSKTFeedState& feedState() override { return record_; }
  void onAttachedIntoWindow() override;
  void onToggleMenu() override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCLabeledView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

  void onSquib(const LLKCMessage& message);
  void onColoursLoaded(const LLKCMessage& message);

  private_t record_;
};

// Draws the objects of the view's record; polygon points are image pixels of the shown picture.
class VSKCLabeledViewOverlay : public QELBWidget {
public:
  [[nodiscard]] static Ref<VSKCLabeledViewOverlay> widgetWithSize(OGLTSize size, OGLTPoint position,
                                                                  VSKCLabeledView::private_t* record);
  void onRenderWithStep(float step) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCLabeledViewOverlay(OGLTSize size, OGLTPoint position, VSKCLabeledView::private_t* record)
      : QELBWidget(size, position), record_(record) {}

  VSKCLabeledView::private_t* record_;
};
