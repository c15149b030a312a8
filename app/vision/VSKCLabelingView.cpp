// The labelling view's construction, attachment, menu, keys, settings, bubbles and data folder.
// The sample's life is in VSKCLabelingViewSample.cpp and VSKCLabelingViewFiles.cpp; the settings
// panel, the controls row and the bubbles are made in VSKCLabelingViewPanels.cpp.
#include "app/vision/VSKCLabelingView.h"

#include "app/base/VSKFPaths.h"
#include "app/vision/VSKCFileOperations.h"
#include "app/vision/VSKFVisionPanel.h"
#include "app/vision/VSKFVisionView.h"
#include "framework/core/LLKCFSFile.h"
#include "framework/core/LLKCFSFolder.h"
#include "framework/core/LLKCString.h"
#include "framework/core/LLKFLog.h"
#include "ui/widgets/QELBWindow.h"

namespace {
const QELTGroupSetup kSetupSurface = {kQELGroupColumn, 1.0f, 1.0f, 0.0f, kQELGroupUniformCross};
const QELTGroupSetup kSetupGraphics = {kQELGroupCentered, 0.0f, 0.0f, 0.0f, kQELGroupUniformMain};
const QELTGroupSetup kSetupControls = {kQELGroupRow, 0.0f, 0.0f, 0.0f, kQELGroupUniformCross};
const QELTGroupSetup kSetupCentered = {kQELGroupCentered, 0.0f, 0.0f, 0.0f, 0};
constexpr OGLTSize kPanelSize = {320, 240};
constexpr uint32_t kProximityMax = kVSKLabelingProximityMax;
constexpr uint32_t kThresholdMax = static_cast<uint32_t>(kVSKLabelingThresholdMax);

const char* bubbleText(uint32_t ctx) {
  switch (ctx) {
    case kVSKLabelingNextTag:
      return "accept next image";
    case kVSKLabelingSaveTag:
      return "save sample";
    case kVSKLabelingRevertTag:
      return "revert image";
    case kVSKLabelingCloneTag:
      return "clone image";
    case kVSKLabelingLoadTag:
      return "load image";
    default:
      return nullptr;
  }
}
}  // namespace

VSKCLabelingView::VSKCLabelingView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config)
    : ZRVBView(size, position, "feed",
               kQELViewTitleBar | kQELViewStatusBar | kQELViewCloseButton | kQELViewDraggable | kQELViewLongPress |
                   kQELViewMenuButton,
               std::move(config)) {}

Ref<VSKCLabelingView> VSKCLabelingView::viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                     std::string feed, uint32_t fov, Ref<JSKCFrame> config) {
  if (feed.empty() || !config) return nullptr;
  Ref<VSKCLabelingView> view = makeRef<VSKCLabelingView>(size, position, config);
  private_t& record = view->record_;
  record.fov = fov;
  record.feed = std::move(feed);
  record.peripheral = record.feed.find("peri") != std::string::npos;
  // Saved settings may come from an older or hand-edited file: taken within their ranges.
  record.cursor.threshold = VSKFLabelingClampThreshold(config->realForLabel("threshold", 10.0));
  record.cursor.proximity = VSKFLabelingClampProximity(static_cast<double>(config->uintForLabel("proximity", 5)));
  record.useImage = config->boolForLabel("use.image", false);
  record.autoSave = config->boolForLabel("auto.save", false);
  record.autoNext = config->boolForLabel("auto.next", false);

  // Until the resource files are read (or when the COCO file cannot be), every category is
  // "null": frames are shown all the same.
  const uint32_t none = 0;
  record.labelsTable = LLKCData::dataWithBytes(&none, sizeof none);
  const auto side = static_cast<float>(fov);
  record.graphics = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupGraphics);
  record.picture = QELCPicturebox::widgetWithSize({side, side}, {0, 0});
  record.overlay = VSKCLabelingViewOverlay::widgetWithSize({side, side}, {0, 0}, *view);
  record.panel = QELCPanel::widgetWithSize(kPanelSize, {0, 0});
  record.controls = QELCGroup::widgetWithSize(kPanelSize, {0, 0}, &kSetupControls);
  if (!record.labelsTable) return nullptr;
  if (!VSKFLabelingViewSettingsSetup(*record.panel) || !view->VSKFLabelingViewControlsSetup()) return nullptr;
  record.observer = VSKFVisionViewObserver(alias);
  Ref<QELCGroup> surface = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupSurface);
  Ref<QELCGroup> centred = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupCentered);
  if (!record.graphics->attach(record.picture) || !record.graphics->attach(record.overlay) ||
      !centred->attach(record.controls) || !surface->attach(record.graphics) || !surface->attach(centred) ||
      !view->attach(surface) || !view->attach(record.panel))
    return nullptr;
  view->setAlias(std::move(alias));
  return view;
}

void VSKCLabelingView::onAttachedIntoWindow() {
  Ref<VSKCOperationJSONLoad> load =
      VSKCOperationJSONLoad::operationWithFilePaths({VSKFResourcePath("labels.json"), VSKFResourcePath("coco.json")});
  ZRVBView::onAttachedIntoWindow();
  QELBWindow* owner = window();
  record_.graphics->resizeWithWindow(owner);
  record_.panel->resizeWithWindow(owner);
  record_.controls->resizeWithWindow(owner);
  (void)record_.observer->follow(this, {.onSquib = LLKCMessage::messageWithCode(kVSKLabelingSquib)}, {record_.feed});
  resizeWithWindow(owner);
  if (!load || !submit(load, kVSKLabelingLabelsLoaded))
    LLKFLog("%s : the loading of the labels (labels.json, coco.json) cannot be started", alias().c_str());
  record_.cursor.selectedObject = 1;
  setStatus("Waiting for sample ...");
}

void VSKCLabelingView::onLeavingWindow() {
  if (JSKCFrame* settings = config()) {
    (void)settings->storeReal(record_.cursor.threshold, "threshold");
    (void)settings->storeUint(record_.cursor.proximity, "proximity");
    (void)settings->storeBool(record_.useImage, "use.image");
    (void)settings->storeBool(record_.autoSave, "auto.save");
    (void)settings->storeBool(record_.autoNext, "auto.next");
  }
  saveBeforeLeaving();
  record_.observer->letGo();
}

void VSKCLabelingView::onToggleMenu() {
  VSKFVisionViewToggleMenu(this, true, kVSKLabelingMenuUid, kVSKLabelingMenuSettings);
}

bool VSKCLabelingView::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (ZRVBView::onInputWithKeypad(key)) return true;
  if (key.key != kOGLKeyEscape || key.action != kOGLActionRelease) return false;
  if (record_.panel->visible()) record_.panel->dismiss();
  return true;
}

void VSKCLabelingView::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message) return;
  if (message->is(kVSKLabelingMenuUid, kVSKLabelingMenuSettings)) return toggleSettings();
  if (VSKFVisionViewMenuMessaged(this, *message, kVSKLabelingMenuUid)) return;
  switch (message->uid()) {
    case kVSKLabelingFileUid:
      if (message->is(kVSKLabelingFilePicked)) {
        Ref<LLKCFSFolder> folder = message->details().objectForKeyAs<LLKCFSFolder>("folder");
        Ref<LLKBFSEntry> entry = message->details().objectForKeyAs<LLKBFSEntry>("file");
        LLKCFSFile* file = entry ? entry->asFile() : nullptr;
        if (folder && file) submitLoad(folder->fullPath(), file->basename());
      }
      return;
    case kVSKLabelingBubbleUid:
      return onBubble(*message);
    case kVSKLabelingDataFolderUid:
      return onDataFolder(*message);
    case kVSKLabelingFeedUid:
      if (message->is(kVSKLabelingSquib)) onSquib(*message);
      return;
    case kVSKSettingsUid:
      return onSettings(*message);
    case kVSKLabelingControlUid:
      return onControl(*message);
    case kVSKLabelingCompletionUid:
      return onCompleted(*message);
    default:
      return;
  }
}

void VSKCLabelingView::onSettings(const LLKCMessage& message) {
  const double value = message.details().realForKey("value", 0.0);
  const bool on = message.details().boolForKey("value", false);
  switch (message.tag()) {
    case kVSKSettingsClose:
      record_.panel->dismiss();
      break;
    case kVSKLabelingSettingsProximity:
      record_.cursor.proximity = VSKFVisionPanelSliderValue(value, kVSKLabelingProximityMin, kProximityMax);
      VSKFVisionPanelShowValue(*record_.panel, "proximity.label", record_.cursor.proximity);
      break;
    case kVSKLabelingSettingsThreshold: {
      const uint32_t threshold = VSKFVisionPanelSliderValue(value, 1, kThresholdMax);
      record_.cursor.threshold = threshold;
      VSKFVisionPanelShowValue(*record_.panel, "threshold.label", threshold);
      break;
    }
    case kVSKLabelingSettingsUseImage:
      record_.useImage = on;
      break;
    case kVSKLabelingSettingsAutoSave:
      record_.autoSave = on;
      break;
    case kVSKLabelingSettingsAutoNext:
      record_.autoNext = on;
      break;
    default:
      break;
  }
}

void VSKCLabelingView::toggleSettings() {
  if (record_.panel->visible()) {
    record_.panel->dismiss();
    return;
  }
  const auto threshold = static_cast<uint32_t>(record_.cursor.threshold);
  QELBPanel& panel = *record_.panel;
  if (!VSKFLabelingViewSettingsSyncSlider(panel, "proximity.label", "proximity.slider", record_.cursor.proximity,
                                          kVSKLabelingProximityMin, kProximityMax) ||
      !VSKFLabelingViewSettingsSyncSlider(panel, "threshold.label", "threshold.slider", threshold, 1, kThresholdMax))
    return;
  (void)VSKFLabelingViewSettingsSyncCBox(panel, "useImage", record_.useImage);
  (void)VSKFLabelingViewSettingsSyncCBox(panel, "autosave", record_.autoSave);
  (void)VSKFLabelingViewSettingsSyncCBox(panel, "autonext", record_.autoNext);
  record_.panel->request();
}

void VSKCLabelingView::onBubble(const LLKCMessage& message) {
  if (message.tag() == kVSKLabelingBubbleEnterTag) {
    if (record_.bubble) (void)detach(record_.bubble);
    record_.bubble = nullptr;
    const char* text = bubbleText(message.ctx());
    Ref<QELBWidget> sender = message.details().objectForKeyAs<QELBWidget>("sender");
    Ref<QELCBubble> bubble = text ? VSKFLabelingViewMakeBubble(this, text) : nullptr;
    if (!bubble || !sender) return;
    bubble->setTag(message.ctx());
    VSKFLabelingViewPlaceBubble(this, sender.get(), bubble.get());
    if (attach(bubble)) record_.bubble = bubble;
  } else if (message.tag() == kVSKLabelingBubbleLeaveTag && record_.bubble && record_.bubble->tag() == message.ctx()) {
    (void)detach(record_.bubble);
    record_.bubble = nullptr;
  }
}

void VSKCLabelingView::onDataFolder(const LLKCMessage& message) {
  Ref<LLKCString> path = message.payloadAs<LLKCString>();
  const size_t dot = alias().rfind('.');
  if (!path || dot == std::string::npos) return;
  Ref<LLKCFSFolder> folder = LLKCFSFolder::folderWithPath((path->string() + "/qav").c_str(), alias().substr(dot + 1));
  if (!folder) return;
  if (!folder->touch()) setStatus("cannot make the sample folder " + folder->fullPath());
  record_.sampleFolder = folder->absFullPath();
}
