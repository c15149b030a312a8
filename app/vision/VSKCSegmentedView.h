#pragma once
// The segmented feed: shows the mean-colour images one grid-seam segmenter publishes on its
// stream, with its processing time in the status bar, and a sliding settings panel that reads
// ("peek") and changes ("poke") three of the segmenter's properties while it runs: the
// superpixel size, the polygon size and whether polygons are shown. Replies are recognised by
// the root of their context, the view's own. Slider pokes are throttled: at most one per
// property every kVSKSliderPokeMs, the last position always sent.
//
// Window's thread only: the observer delivers squibs and replies there.
#include <string>

#include "app/vision/VSKBFeedView.h"
#include "app/vision/VSKFVisionPanel.h"
#include "app/vision/VSKFVisionView.h"
#include "framework/substrate/MRKCContext.h"
#include "framework/substrate/MRKCFunc.h"
#include "ui/widgets/QELBPanel.h"
#include "ui/widgets/QELBPicturebox.h"

constexpr int64_t kVSKSliderPokeMs = 50;

// Tags of the settings panel's rows (uid kVSKSettingsUid), which also name the property in the
// context of a peek or poke, and of a throttled slider poke falling due (its slider's tag as ctx).
enum : uint32_t {
  kVSKSegmentedPolySize = 2,
  kVSKSegmentedSpixSize = 3,
  kVSKSegmentedPolyShow = 4,
  kVSKSegmentedPokeDue = 5,
};
// The uids of the peeks' and pokes' context codes; their replies come back with them.
enum : uint32_t {
  kVSKSegmentedPeekUid = 0xE000,
  kVSKSegmentedPokeUid = 0xF000,
};

class VSKCSegmentedView : public VSKBFeedView {
  // A property a slider sets: its poke in flight, throttled.
  struct slider_t {
    uint32_t pending = 0;    // the position's value still to poke
    uint32_t sent = 0;       // the value last poked (0: none yet)
    int64_t lastMs = 0;      // when it was poked
    bool scheduled = false;  // a later poke of pending is on its way
  };
  struct private_t {
    bool repeat = false;
    std::string processor;  // the segmenter's label
    Ref<QELCPicturebox> picture;
    Ref<QELCPanel> panel;
    Ref<MRKCContext> context;
    slider_t spix, poly;
  };

public:
  // feed: the stream channel and the segmenter's label; fov: the picture's side. Null when a part
  // cannot be made.
  [[nodiscard]] static Ref<VSKCSegmentedView> viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                           std::string feed, std::string processor, uint32_t fov,
                                                           Ref<JSKCFrame> config);

  // Read-only, for those who check what the view shows.
  const private_t& state() const { return record_; }

protected:
  void onAttachedIntoWindow() override;
  void onToggleMenu() override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCSegmentedView(OGLTSize size, OGLTPoint position, std::string feed, Ref<ZRVCObserver> observer,
                    Ref<JSKCFrame> config);

  void onSquib(const LLKCMessage& message);
  void onReply(const LLKCMessage& message);
  void toggleSettings();
  // A slider moved (or its throttled poke is due): pokes the property when it may.
  void onSlider(uint32_t tag, double value);
  void pokeSlider(uint32_t tag);
  // VSKCSegmentedViewQueries.cpp: sends "peek"(key, _) or "poke"(key, value) to the segmenter
  // with a context of the code under the view's root; false when it could not be made or sent.
  bool VSKFSegmentedViewPeek(const char* key, LLKTMessageCode code);
  bool VSKFSegmentedViewPoke(const char* key, LLKTMessageCode code, MRKBTerm* value);
  bool inquire(const char* verb, const char* key, LLKTMessageCode code, MRKBTerm* value);

  private_t record_;
};

// The settings panel's widgets, wired to the view; false when the panel could not be built.
bool VSKFSegmentedViewSettingsSetup(QELBPanel& panel);
// Sets the slider and its value label from a peek reply's value (the func's last term); false
// when it is no number or a widget is missing.
bool VSKFSegmentedViewSettingsSyncSlider(QELBPanel& panel, const char* label, const char* slider, MRKCFunc* func,
                                         uint32_t lower, uint32_t upper);
// Sets the toggle from a peek reply's boolean; false when it is none or the toggle is missing.
bool VSKFSegmentedViewSettingsSyncToggle(QELBPanel& panel, const char* toggle, MRKCFunc* func);
// Shows the value in the panel's value label of that alias, when there is one.
inline constexpr auto& VSKFSegmentedViewSettingsShowValue = VSKFVisionPanelShowValue;
// The slider position's property value: round(v x (128 - lower) + lower), within lower..128.
uint32_t VSKFSegmentedViewSliderToProperty(double value, uint32_t lower);
// Asks the projector for its image again after a setting changed: the image feed's request itself.
inline constexpr auto& VSKFSegmentedViewRequestRepeat = VSKFImageViewRequestRepeat;
