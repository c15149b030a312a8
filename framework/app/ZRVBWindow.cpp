#include "framework/app/ZRVBWindow.h"

#include <algorithm>

#include "framework/app/ZRVFMenu.h"
#include "framework/core/LLKFLog.h"
#include "ui/widgets/QELBApplication.h"
#include "ui/gl/OGLF2D.h"

namespace {

// The menu bar and the status label: above the views, below the dialogs (8).
constexpr int8_t kMenubarLayer = 7;
const QELTGroupSetup kSetupMenubar = {kQELGroupRow, 0.0f, 0.0f, 2.0f, kQELGroupUniformCross};
// The flags of a menu bar entry: no arrow, its list opens below it.
constexpr uint32_t kMenubarEntry = kQELMenuItemNoArrow | kQELMenuItemOpensBelow;

}  // namespace

JSKCFrame* ZRVBWindow::config() const {
  QELBApplication* application = QELBApplication::shared();
  return application ? application->config() : nullptr;
}

ZRVBWindow::ZRVBWindow() : status_(QELCLabel::widgetWithAlignment(kOGLAlignLeft | kOGLAlignMiddle, "")) {}

void ZRVBWindow::onOpening() {
  QELBWindow::onOpening();
  onTweaksConfigured();
  buildMenubar();
  if (status_) {
    status_->setLayer(kMenubarLayer);
    (void)attach(status_);
  }
  // Said now, while the user can still do something about it, not only when quitting.
  if (QELBApplication* application = QELBApplication::shared(); application && !application->settingsProblem().empty())
    setStatus(application->settingsProblem());
}

void ZRVBWindow::buildMenubar() {
  menu_ = QELCMenu::widgetWithSize({0, 0}, {0, 0});
  menubar_ = QELCMenuList::widgetWithSize({0, 0}, {0, 0}, &kSetupMenubar);
  Ref<QELCMenuItem> own = ZRVFMenuSubmenuMake(this, "vesko", kMenubarEntry);
  QELBMenuList* list = own->child().get();
  (void)list->attach(ZRVFMenuSubmenuMake(this, "Statistics", 0));
  (void)list->attach(
      ZRVFMenuItemMake(this, "About vesko", LLKCMessage::messageWithCode({kZRVWindowCommand, kZRVCommandAbout, 0})));
  (void)list->attach(ZRVFMenuSeparatorMake());
  (void)list->attach(
      ZRVFMenuItemMake(this, "Quit", LLKCMessage::messageWithCode({kZRVWindowCommand, kZRVCommandQuit, 0})));
  (void)menubar_->attach(own);
  menu_->setFlags(kQELMenuPersistent);
  menu_->setLayer(kMenubarLayer);
  (void)menu_->attach(menubar_);
  (void)attach(menu_);
  // Sized now rather than at its first update: the views of the last session are placed below it
  // before that.
  menubar_->resizeWithWindow(this);
  menu_->resizeWithWindow(this);
}

void ZRVBWindow::onClosing() {
  QELBWindow::onClosing();
  menubar_.reset();
  menu_.reset();
}

bool ZRVBWindow::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message || message->uid() != kZRVWindowCommand) return QELBWindow::onMessaged(message);
  if (message->tag() == kZRVCommandQuit) stop();
  if (message->tag() == kZRVCommandAbout) onAboutBoxRequested();
  return true;
}

OGLTRect ZRVBWindow::viewArea() const {
  OGLTRect area = QELBWindow::viewArea();
  if (menu_ && menu_->window()) area.top = std::clamp(menu_->frame().bottom, area.top, area.bottom);
  return area;
}

void ZRVBWindow::setStatus(std::string text) {
  if (!status_) return;
  status_->setText(std::move(text));
  fitStatus();
}

void ZRVBWindow::fitStatus() {
  status_->setWidth(statusWidth());
  status_->resizeToPreferredWithWindow(this);
}

float ZRVBWindow::statusWidth() const {
  OGLTRect area = bounds();
  // One line until the window has a size.
  return area.right > area.left ? area.right - area.left : -1;
}

void ZRVBWindow::onUpdateWithStep(float step) {
  if (status_) {
    OGLTRect area = bounds();
    if (status_->width() != statusWidth()) fitStatus();
    status_->setPosition({area.left, area.bottom - status_->size().h});
  }
  QELBWindow::onUpdateWithStep(step);
}
