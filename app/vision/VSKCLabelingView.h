#pragma once
// The labelling view: follows one segmented image channel, takes one image statement per "next",
// makes an image sample of it, has its COCO annotations mapped (and the sample painted) in a
// background operation, and lets the user correct the objects with the cursor
// (VSKFLabelingInteraction.h) on an overlay (VSKCLabelingViewOverlay.h) before saving the sample
// as "<name>.bin" in its sample folder ("<data folder>/qav/fovl" or ".../peri"). The controls row
// accepts the next image, saves, reverts, clones and loads samples and chooses the object and its
// label; a settings panel sets the flood's reach and colour limit, whether the frame's own image
// is shown, and automatic save and next (which asks the COCO feed for the next image by a
// broadcast).
//
// A changed sample is never dropped unsaved: "next" saves it first and moves on only when the
// save succeeded; a failed save is told in the status bar and the sample stays changed until it
// is saved or reverted (revert gives back the sample as last loaded, mapped or saved), so the user
// can always move on. When the view leaves its window (closed, or the program ends) a changed
// sample is saved there and then; the log says so, or names the sample that could not be saved.
//
// A sample is saved to its own file: the one it was loaded from (it takes that file's name) or
// first saved to. A sample that has none yet (a frame of the feed, a clone) is the labelling of
// the image it names: it is saved as "<name>.bin" in the sample folder, replacing that image's
// earlier labelling.
//
// Window's thread only: the observer delivers squibs there and the operations report there. The
// cursor touches the sample only after its operation has reported (shown).
#include <string>

#include "app/vision/VSKCLabelingViewOverlay.h"
#include "app/vision/VSKFLabelingInteraction.h"
#include "framework/app/ZRVBView.h"
#include "framework/app/ZRVCObserver.h"
#include "framework/core/LLKCData.h"
#include "framework/core/LLKCObjectDeque.h"
#include "framework/core/LLKCObjectList.h"
#include "framework/substrate/MRKCStatement.h"
#include "imagekit/VSKCImageSample.h"
#include "ui/widgets/QELBBubble.h"
#include "ui/widgets/QELBDropbox.h"
#include "ui/widgets/QELBGroup.h"
#include "ui/widgets/QELBOperation.h"
#include "ui/widgets/QELBPanel.h"
#include "ui/widgets/QELBPicturebox.h"
#include "ui/widgets/QELBSelector.h"
#include "ui/widgets/QELCBitmap.h"

// The view's messages: a uid per sender and a tag per meaning.
enum : uint32_t {
  kVSKLabelingFileUid = 0x1000,        // the file-pick dialog
  kVSKLabelingBubbleUid = 0x2000,      // a button's enter and leave (ctx: the button's tag)
  kVSKLabelingDataFolderUid = 0xA000,  // the data folder (payload: its path), from the main window
  kVSKLabelingMenuUid = 0xB000,        // the title-bar menu
  kVSKLabelingFeedUid = 0xC000,        // the observer
  kVSKLabelingControlUid = 0xE000,     // the controls row (and a poke after an automatic save)
  kVSKLabelingCompletionUid = 0xF000,  // the background operations' reports
};
// Tags of the file-pick dialog's, the bubbles', the data folder's and the observer's messages.
enum : uint32_t {
  kVSKLabelingFilePickedTag = 4,
  kVSKLabelingFileCancelledTag = 5,
  kVSKLabelingBubbleEnterTag = 1,
  kVSKLabelingBubbleLeaveTag = 2,
  kVSKLabelingDataFolderTag = 1,
  kVSKLabelingSquibTag = 1,
};
// The menu's "Settings" tag.
constexpr uint32_t kVSKLabelingMenuSettings = 6;
// Tags of the settings panel's rows (uid kVSKSettingsUid).
enum : uint32_t {
  kVSKLabelingSettingsProximity = 2,
  kVSKLabelingSettingsThreshold = 3,
  kVSKLabelingSettingsUseImage = 4,
  kVSKLabelingSettingsAutoSave = 5,
  kVSKLabelingSettingsAutoNext = 6,
};
// Tags of the controls row's messages; a box's change carries the box in ctx.
enum : uint32_t {
  kVSKLabelingBoxChangedTag = 2,
  kVSKLabelingNextTag = 4,
  kVSKLabelingSaveTag = 7,
  kVSKLabelingLoadedTag = 8,
  kVSKLabelingRevertTag = 9,
  kVSKLabelingCloneTag = 10,
  kVSKLabelingLoadTag = 11,
};
enum : uint32_t {
  kVSKLabelingLabelBox = 1,
  kVSKLabelingSamplesBox = 2,
  kVSKLabelingObjectsBox = 3,
};
// Tags of the operations' reports. The four saves (7 to 10) differ in what follows them.
enum : uint32_t {
  kVSKLabelingLabelsLoadedTag = 1,
  kVSKLabelingSavedTag = 7,
  kVSKLabelingAutoSavedTag = 8,
  kVSKLabelingSavedForNextTag = 9,
  kVSKLabelingSavedForSwitchTag = 10,
  kVSKLabelingShownTag = 12,
  kVSKLabelingOutlinedTag = 13,
};
// The view's whole codes (ctx 0), each made of its uid and tag above.
inline constexpr LLKTMessageCode kVSKLabelingFilePicked{kVSKLabelingFileUid, kVSKLabelingFilePickedTag};
inline constexpr LLKTMessageCode kVSKLabelingFileCancelled{kVSKLabelingFileUid, kVSKLabelingFileCancelledTag};
inline constexpr LLKTMessageCode kVSKLabelingSquib{kVSKLabelingFeedUid, kVSKLabelingSquibTag};
inline constexpr LLKTMessageCode kVSKLabelingNext{kVSKLabelingControlUid, kVSKLabelingNextTag};
inline constexpr LLKTMessageCode kVSKLabelingSave{kVSKLabelingControlUid, kVSKLabelingSaveTag};
inline constexpr LLKTMessageCode kVSKLabelingLoaded{kVSKLabelingControlUid, kVSKLabelingLoadedTag};
inline constexpr LLKTMessageCode kVSKLabelingRevert{kVSKLabelingControlUid, kVSKLabelingRevertTag};
inline constexpr LLKTMessageCode kVSKLabelingClone{kVSKLabelingControlUid, kVSKLabelingCloneTag};
inline constexpr LLKTMessageCode kVSKLabelingLoad{kVSKLabelingControlUid, kVSKLabelingLoadTag};
inline constexpr LLKTMessageCode kVSKLabelingLabelsLoaded{kVSKLabelingCompletionUid, kVSKLabelingLabelsLoadedTag};
inline constexpr LLKTMessageCode kVSKLabelingSaved{kVSKLabelingCompletionUid, kVSKLabelingSavedTag};
inline constexpr LLKTMessageCode kVSKLabelingAutoSaved{kVSKLabelingCompletionUid, kVSKLabelingAutoSavedTag};
inline constexpr LLKTMessageCode kVSKLabelingSavedForNext{kVSKLabelingCompletionUid, kVSKLabelingSavedForNextTag};
inline constexpr LLKTMessageCode kVSKLabelingSavedForSwitch{kVSKLabelingCompletionUid, kVSKLabelingSavedForSwitchTag};
inline constexpr LLKTMessageCode kVSKLabelingShown{kVSKLabelingCompletionUid, kVSKLabelingShownTag};
inline constexpr LLKTMessageCode kVSKLabelingOutlined{kVSKLabelingCompletionUid, kVSKLabelingOutlinedTag};

class VSKCLabelingView : public ZRVBView, private VSKPLabelingViewOverlaySource {
  struct private_t {
    uint32_t fov = 0;
    bool waiting = true;           // only then is an arriving frame taken
    Ref<MRKCStatement> statement;  // the last frame taken
    std::string feed;              // the followed channel; the key of the label list
    bool peripheral = false;       // the feed contains "peri"
    VSKTLabelingState cursor;      // object, label, flood settings, compare gesture
    Ref<LLKCData> labelsTable;     // label number by COCO category id
    bool useImage = false;
    bool autoSave = false;
    bool autoNext = false;
    Ref<VSKCImageSample> sample;
    bool shown = false;       // the sample's operation has reported
    Ref<QELCBitmap> pending;  // the bitmap of that operation (an older one's report is stale)
    // A loaded or cloned sample waiting for the changed one it replaces to be saved.
    Ref<VSKCImageSample> incoming;
    bool incomingIsLoaded = false;  // it still needs rendering (a clone shows the same picture)
    Ref<QELCGroup> graphics;
    Ref<QELCGroup> controls;
    Ref<QELCPanel> panel;
    Ref<QELCPicturebox> picture;
    Ref<VSKCLabelingViewOverlay> overlay;
    Ref<QELCBubble> bubble;
    Ref<ZRVCObserver> observer;
    std::string sampleFolder;       // "" until the data folder is known
    Ref<LLKCObjectDeque> contours;  // the selected object's outline
    uint32_t outlineTicket = 0;     // of the latest outline asked for (an older one's report is stale)
    Ref<LLKCObjectList> sampleNames, labelNames;
    Ref<QELCDropbox> samples, labels;
    Ref<QELCSelector> objects;
  };

public:
  // alias: "ui.qav.labeling.fovl" or "...peri" (its last part names the sample folder); feed: the
  // segmented channel; fov: the picture's side. Null without a feed or when a part cannot be made.
  [[nodiscard]] static Ref<VSKCLabelingView> viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                          std::string feed, uint32_t fov, Ref<JSKCFrame> config);

  // Read-only, for those who check what the view shows and holds.
  const private_t& state() const { return record_; }

protected:
  void onAttachedIntoWindow() override;
  void onLeavingWindow() override;
  void onToggleMenu() override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onMessaged(const Ref<LLKCMessage>& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCLabelingView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

  // What the overlay reads.
  const VSKCImageSample* shownSample() const override { return record_.shown ? record_.sample.get() : nullptr; }
  const QELBPicturebox& picture() const override { return *record_.picture; }
  uint32_t selectedObject() const override { return record_.cursor.selectedObject; }
  const LLKCObjectDeque* contours() const override { return record_.contours.get(); }

  // VSKCLabelingView.cpp: settings, menu, bubbles, data folder.
  void onSettings(const LLKCMessage& message);
  void toggleSettings();
  void onBubble(const LLKCMessage& message);
  void onDataFolder(const LLKCMessage& message);
  // VSKCLabelingViewPanels.cpp: builds the controls row into record_.controls; false when a part
  // cannot be made.
  bool VSKFLabelingViewControlsSetup();
  // VSKCLabelingViewSample.cpp: frames, the background operations that show and outline the
  // sample, the cursor and the controls row.
  void onSquib(const LLKCMessage& message);
  // Makes a sample of the frame just taken (record_.statement) and submits the operation that
  // maps its annotations and paints it (or, with useImage and the frame's own image, only maps
  // them); nothing for a frame that is no whole "bgr" image.
  void VSKFLabelingViewOnNewFrame();
  void onShown(const LLKCMessage& message);
  void onLabelsLoaded(const LLKCMessage& message);
  // Asks for the selected object's outline in the background; its report sets the contours.
  void VSKFLabelingViewContourUpdate();
  void onOutlined(const LLKCMessage& message);
  void onControl(const LLKCMessage& message);
  // Appends the name to the samples list (the oldest dropped beyond ten) and selects it.
  void rememberSample(const std::string& name);
  // Submits the operation to the UI application's scheduler with the view as its target; false
  // (told in the status bar) when it cannot be.
  bool submit(const Ref<QELBOperation>& operation, LLKTMessageCode onComplete, uint32_t ctx = 0);
  bool submit(const Ref<QELBOperation>& operation, const Ref<LLKCMessage>& onComplete);
  // VSKCLabelingViewFiles.cpp: saving, loading, cloning, reverting and moving on.
  void onCompleted(const LLKCMessage& message);
  void next();
  void acceptNext();
  // Gives back the sample as last loaded, mapped or saved.
  void revert();
  // The label box and the outline follow the selected object of the sample as it now is.
  void followSelectedObject();
  // Saves a changed sample at once, on the window's thread, as the view leaves its window; the log
  // tells what became of it.
  void saveBeforeLeaving();
  // Saves the shown sample; the completion (code onComplete, ctx the delay) carries it as
  // payload. False (told in the status bar) when the save cannot be started.
  bool save(LLKTMessageCode onComplete, uint32_t delayMs = 0);
  bool saveSample(const Ref<VSKCImageSample>& sample, Ref<LLKCMessage> onComplete);
  void loaded(const LLKCMessage& message);
  void cloneSample();
  // Puts the sample in the current one's place once a changed current one is saved.
  void replaceSample(Ref<VSKCImageSample> sample, bool loaded);
  void showLoaded(Ref<VSKCImageSample> sample);
  void pickFile();
  void submitLoad(const std::string& folder, const std::string& name);
  void takeSample(Ref<VSKCImageSample> sample);

  private_t record_;
};

// Builds the settings panel's rows; false when a part cannot be made.
bool VSKFLabelingViewSettingsSetup(QELBPanel& panel);
// Sets the panel's slider (value - min) / (max - min) and its label "%u"; false when either is
// missing.
bool VSKFLabelingViewSettingsSyncSlider(QELBPanel& panel, const char* label, const char* slider, uint32_t value,
                                        float min, float max);
// Sets the panel's check box of that alias; false when it is missing.
bool VSKFLabelingViewSettingsSyncCBox(QELBPanel& panel, const char* alias, bool value);
// The view's status: "<n> objects labeled" for the sample, "" without one.
void VSKFLabelingViewStatusUpdate(const VSKCImageSample* sample, QELBView* view);
// The matcher of a list of names: true when the element is a string equal to *string (a
// std::string).
bool VSKFLabelingMatchStringInContainer(LLKBObject* element, void* string);
// A bubble (tail at the bottom) holding the text; null when it cannot be made.
[[nodiscard]] Ref<QELCBubble> VSKFLabelingViewMakeBubble(QELBView* view, const std::string& text);
// Puts the bubble above the anchor, within the view's space.
void VSKFLabelingViewPlaceBubble(QELBView* view, QELBWidget* anchor, QELBBubble* bubble);
// The 32 names "object 1" to "object 32"; null when memory runs out.
[[nodiscard]] Ref<LLKCObjectList> VSKFLabelingMakeObjectsList();
