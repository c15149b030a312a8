#pragma once
// The labelling view: follows one segmented image channel, takes one image statement per "next",
// makes an image sample of it, has its COCO annotations mapped (and the sample painted) in a
// background operation, and lets the user correct the objects with the cursor on an overlay
// (VSKFLabelingInteraction.h) before saving the sample as "<name>.bin" in its sample folder
// ("<data folder>/qav/fovl" or ".../peri"). The controls row accepts the next image, saves,
// reverts, clones and loads samples and chooses the object and its label; a settings panel sets
// the flood's reach and colour limit, whether the frame's own image is shown, and automatic save
// and next (which asks the COCO feed for the next image by a broadcast).
//
// A changed sample is never dropped unsaved: "next" saves it first and moves on only when the
// save succeeded; a failed save is told in the status bar and the sample stays changed until it
// is saved or reverted (revert gives back the sample as last loaded, mapped or saved), so the user
// can always move on.
//
// A sample is saved to its own file: the one it was loaded from (it takes that file's name) or
// first saved to. A sample that has none yet (a new frame, a clone) is saved as "<name>.bin" in the
// sample folder; when another sample's file is there, it takes the first free name "<name>-2",
// "<name>-3", ... instead, and the status says so: no file is ever written over unseen.
//
// Window's thread only: the observer delivers squibs there and the operations report there. The
// cursor touches the sample only after its operation has reported (shown).
#include <string>

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

class VSKCLabelingViewOverlay;

// Message codes of the view (code = tag << 32 | uid).
enum : uint64_t {
  kVSKLabelingFilePicked = 0x400001000,
  kVSKLabelingFileCancelled = 0x500001000,
  kVSKLabelingBubbleEnter = 0x100002000,
  kVSKLabelingBubbleLeave = 0x200002000,
  kVSKLabelingSquib = 0x10000C000,
  kVSKLabelingNext = 0x40000E000,
  kVSKLabelingSave = 0x70000E000,
  kVSKLabelingLoaded = 0x80000E000,
  kVSKLabelingRevert = 0x90000E000,
  kVSKLabelingClone = 0xA0000E000,
  kVSKLabelingLoad = 0xB0000E000,
  kVSKLabelingLabelsLoaded = 0x10000F000,
  kVSKLabelingSaved = 0x70000F000,
  kVSKLabelingAutoSaved = 0x80000F000,
  kVSKLabelingSavedForNext = 0x90000F000,
  kVSKLabelingSavedForSwitch = 0xA0000F000,
  kVSKLabelingShown = 0xC0000F000,
  kVSKLabelingOutlined = 0xD0000F000,
  // The broadcast that asks for the next image (the COCO feed takes it).
  kVSKLabelingNextImage = 0xFFFF0000FFFF,
};
// uid of the data folder's message (payload: the folder path); the main window sends it when the
// view is opened and when the data folder changes.
constexpr uint32_t kVSKLabelingDataFolderUid = 0xA000;
// uid of the title-bar menu's messages, and the tag of its "Settings" item.
constexpr uint32_t kVSKLabelingMenuUid = 0xB000;
constexpr uint32_t kVSKLabelingMenuSettings = 6;

class VSKCLabelingView : public ZRVBView {
public:
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

  // alias: "ui.qav.labeling.fovl" or "...peri" (its last part names the sample folder); feed: the
  // segmented channel; fov: the picture's side. Null without a feed or when a part cannot be made.
  [[nodiscard]] static Ref<VSKCLabelingView> viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                          std::string feed, uint32_t fov, Ref<JSKCFrame> config);

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

  // VSKCLabelingView.cpp: settings, menu, bubbles, data folder.
  void onSettings(const LLKCMessage& message);
  void toggleSettings();
  void onBubble(const LLKCMessage& message);
  void onDataFolder(const LLKCMessage& message);
  // VSKCLabelingViewSample.cpp: frames, the sample and its files.
  void onSquib(const LLKCMessage& message);
  void onNewFrame();
  void onShown(const LLKCMessage& message);
  void onLabelsLoaded(const LLKCMessage& message);
  void onControl(const LLKCMessage& message);
  void onCompleted(const LLKCMessage& message);
  void next();
  // The note (when any) says what the last save did beside saving.
  void acceptNext(const std::string& note = "");
  // Gives back the sample as last loaded, mapped or saved.
  void revert();
  // Saves the shown sample; the completion (code onComplete, ctx the delay) carries it as
  // payload. False (told in the status bar) when the save cannot be started.
  bool save(uint64_t onComplete, uint32_t delayMs = 0);
  bool saveSample(const Ref<VSKCImageSample>& sample, Ref<LLKCMessage> onComplete);
  // After a save refused because another sample's file holds the name: the sample takes a free
  // name and is saved again with the same completion; false when that cannot be done.
  bool saveUnderFreeName(const LLKCMessage& failed);
  void loaded(const LLKCMessage& message);
  void cloneSample();
  // Puts the sample in the current one's place once a changed current one is saved.
  void replaceSample(Ref<VSKCImageSample> sample, bool loaded);
  void showLoaded(Ref<VSKCImageSample> sample);
  void pickFile();
  void submitLoad(const std::string& folder, const std::string& name);
  void takeSample(Ref<VSKCImageSample> sample);
  // Asks for the selected object's outline in the background; its report sets the contours.
  void updateContours();
  void onOutlined(const LLKCMessage& message);
  void updateStatus();
  // Submits the operation to the UI application's scheduler with the view as its target; false
  // (told in the status bar) when it cannot be.
  bool submit(const Ref<QELBOperation>& operation, uint64_t onComplete, uint32_t ctx = 0);
  bool submit(const Ref<QELBOperation>& operation, const Ref<LLKCMessage>& onComplete);

  private_t record_;
};

// Draws the objects, the hover and the outline over the picture; Alt held shows every labelled
// superpixel.
class VSKCLabelingViewOverlay : public QELBWidget {
public:
  [[nodiscard]] static Ref<VSKCLabelingViewOverlay> widgetWithSize(OGLTSize size, OGLTPoint position,
                                                                   VSKCLabelingView::private_t* record);
  bool altPressed() const { return altPressed_; }
  bool onInputWithKeypad(const OGLTKeypadEvent& key) override;
  void onRenderWithStep(float step) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCLabelingViewOverlay(OGLTSize size, OGLTPoint position, VSKCLabelingView::private_t* record)
      : QELBWidget(size, position), record_(record) {}
  VSKCLabelingView::private_t* record_;
  bool altPressed_ = false;
};

// Builds the settings panel into record->panel; false when a part cannot be made.
bool VSKFLabelingViewSettingsSetup(VSKCLabelingView::private_t* record);
// Builds the controls row into record->controls; false when a part cannot be made.
bool VSKFLabelingViewControlsSetup(VSKCLabelingView::private_t* record);
// Sets the panel's slider (value - min) / (max - min) and its label "%u"; false when either is
// missing.
bool VSKFLabelingViewSettingsSyncSlider(VSKCLabelingView::private_t* record, const char* label, const char* slider,
                                        uint32_t value, float min, float max);
bool VSKFLabelingViewSettingsSyncCBox(VSKCLabelingView::private_t* record, const char* alias, bool value);
// A bubble (tail at the bottom) holding the text; null when it cannot be made.
[[nodiscard]] Ref<QELCBubble> VSKFLabelingViewMakeBubble(QELBView* view, const std::string& text);
// Puts the bubble above the anchor, within the view's space.
void VSKFLabelingViewPlaceBubble(QELBView* view, QELBWidget* anchor, QELBBubble* bubble);
// The 32 names "object 1" to "object 32"; null when memory runs out.
[[nodiscard]] Ref<LLKCObjectList> VSKFLabelingMakeObjectsList();
