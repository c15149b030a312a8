#pragma once
// The timeline's scrollable surface: one tick as a grid of chunk cards, the submitted chunks
// first (green "B" for the winners, red "S" for the others), then the direct ones (blue "D").
// Kudos and direct chunks may be hidden; hidden ones still count in the content size, so hiding
// does not move the scroll bars. A click on a card picks its chunk and pokes the chunk viewer
// (alias "ui.gist") with (0, 0xC000) carrying it; Escape with the cursor over the surface drops
// the pick. Window's thread only.
#include <vector>

#include "app/ctm/VSKCTimelineTick.h"
#include "ui/widgets/QELBCanvas.h"

class VSKCTimelineSurface : public QELBCanvas {
public:
  [[nodiscard]] static Ref<VSKCTimelineSurface> surface();

  VSKCTimelineTick* tick() const { return tick_.get(); }
  // Sets changed and asks for a redraw.
  void setTick(Ref<VSKCTimelineTick> tick);
  MRKCList* chunk() const { return chunk_.get(); }
  bool changed() const { return changed_; }
  void setChanged(bool changed) { changed_ = changed; }
  bool hideKudos() const { return hideKudos_; }
  void setHideKudos(bool hide) { showChange(hideKudos_, hide); }
  bool hideLinks() const { return hideLinks_; }
  void setHideLinks(bool hide) { showChange(hideLinks_, hide); }

  // Sets the content size for the tick (the surface's own size without one).
  void updateContent();

  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStepAndRect(float step, const OGLTRect& rect) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCTimelineSurface() : QELBCanvas({0, 0}, {0, 0}) {}

  void pick(MRKCList* chunk);

  Ref<VSKCTimelineTick> tick_;
  Ref<MRKCList> chunk_;
  bool changed_ = false;
  bool hideKudos_ = false;
  bool hideLinks_ = false;
  // Reused between frames.
  std::vector<MRKCList*> submitted_, direct_;
  std::vector<OGLTPoint> centres_;
};
