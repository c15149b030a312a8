#include "app/vision/VSKCInjectViews.h"

#include "app/base/VSKFPaths.h"
#include "app/vision/VSKFVisionView.h"
#include "framework/core/LLKCFSFolder.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCContext.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKFTerms.h"
#include "ui/widgets/QELBApplication.h"
#include "ui/widgets/QELBBoard.h"
#include "ui/widgets/QELBGroup.h"
#include "ui/widgets/QELBLabel.h"
#include "ui/widgets/QELBWindow.h"

namespace {
const QELTGroupSetup kSetupBoard = {kQELGroupRow, 0.0f, 0.0f, 1.0f, kQELGroupUniformCross};
const QELTGroupSetup kSetupCentered = {kQELGroupCentered, 0.0f, 0.0f, 0.0f, kQELGroupFitParent};

LLKCFSFile* fileOf(QELBWidget* entry) { return entry ? dynamic_cast<LLKCFSFile*>(entry->ancillary().get()) : nullptr; }

}  // namespace

Ref<QELCBoard> VSKFInjectImageViewMakeLabel(QELBView* view, LLKCFSFile* file) {
  if (!view || !file) return nullptr;
  Ref<QELCBoard> board = QELCBoard::widgetWithSize({0, 0}, {0, 0}, &kSetupBoard);
  Ref<QELCLabel> label = QELCLabel::widgetWithSize({0, 0}, {0, 0}, kOGLAlignLeft | kOGLAlignMiddle, file->basename());
  Ref<LLKCMessage> click = LLKCMessage::messageWithCode(kVSKInjectImageFilePicked, Ref<LLKBObject>(file));
  board->setFlags(kQELBoardSelectable | kQELBoardNoHover);
  label->setFlags(kQELControlHighlight);
  board->setOnClick(click);
  board->setAncillary(Ref<LLKBObject>(file));
  if (!board->attach(label)) return nullptr;
  board->resizeWithWindow(view->window());
  return board;
}
int VSKFInjectImageViewFileComparator(QELBWidget* a, QELBWidget* b) {
  LLKCFSFile* x = fileOf(a);
  LLKCFSFile* y = fileOf(b);
  if (!x || !y) return x ? 1 : (y ? -1 : 0);
  return x->name().compare(y->name());
}

bool VSKFInjectImageViewSendSelectedFile(const LLKCFSFile& file) {
  Ref<MRKCSymbol> inject = MRKCSymbol::symbolWithValue("inject");
  Ref<MRKCString> path = MRKCString::stringWithValue(file.absFullPath());
  Ref<MRKCList> terms = inject && path ? MRKCList::listWithTerms({inject.get(), path.get()}) : nullptr;
  Ref<MRKCPredicate> predicate = terms ? MRKCPredicate::predicateWithLabel("qav.proj", terms.get()) : nullptr;
  Ref<MRKCContext> context = MRKCContext::context();
  Ref<MRKCQuery> query = predicate ? MRKCQuery::queryWithPredicate(predicate.get(), context.get(), 5.0f) : nullptr;
  MRKCSubstrate* substrate = MRKCSubstrate::shared();
  return query && substrate && substrate->inquire(query.get(), "");
}

Ref<VSKCInjectImageViewListOperation> VSKCInjectImageViewListOperation::operationWithFolder(std::string path) {
  if (path.empty()) return nullptr;
  return makeRef<VSKCInjectImageViewListOperation>(std::move(path));
}

void VSKCInjectImageViewListOperation::onExecute() {
  Ref<LLKCFSFolder> folder = LLKCFSFolder::folderWithFullPath(path_.c_str());
  while (folder) {
    Ref<LLKBFSEntry> entry = folder->nextEntry();
    if (!entry) break;
    LLKCFSFile* file = entry->asFile();
    Ref<LLKCMessage> progress = onProgress();
    if (!file || !progress) continue;
    (void)notify(LLKCMessage::messageWithCode(progress->code(), Ref<LLKBObject>(file)));
  }
  (void)notify(onComplete());
}

VSKCInjectImageView::VSKCInjectImageView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config)
    : ZRVBView(size, position, "Inject image",
               kQELViewTitleBar | kQELViewCloseButton | kQELViewDraggable | kQELViewMenuButton, std::move(config)) {}

Ref<VSKCInjectImageView> VSKCInjectImageView::viewWithSize(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config) {
  Ref<VSKCInjectImageView> view = makeRef<VSKCInjectImageView>(size, position, std::move(config));
  view->list_ = QELCListbox::widgetWithSize({170, 200}, {0, 0});
  view->list_->setFlags(kQELListboxFitWidth);
  view->list_->_childs()->setComparator(VSKFInjectImageViewFileComparator);
  return view->attach(view->list_) ? view : nullptr;
}

void VSKCInjectImageView::onAttachedIntoWindow() {
  Ref<VSKCInjectImageViewListOperation> listing =
      VSKCInjectImageViewListOperation::operationWithFolder(VSKFResourcePath("images"));
  ZRVBView::onAttachedIntoWindow();
  resizeToPreferred();
  QELBApplication* application = QELBApplication::shared();
  if (!listing || !application || !application->scheduler()) {
    setStatus("the images cannot be listed");
    return;
  }
  listing->setTarget(Ref<QELBWidget>(this));
  listing->setOnComplete(LLKCMessage::messageWithCode(kVSKInjectImageListed));
  listing->setOnProgress(LLKCMessage::messageWithCode(kVSKInjectImageFileListed));
  if (!application->scheduler()->submit(listing)) setStatus("the images cannot be listed");
}

void VSKCInjectImageView::onToggleMenu() { VSKFVisionViewToggleMenu(this, false); }

void VSKCInjectImageView::onMessaged(const Ref<LLKCMessage>& message) {
  if (!message || VSKFVisionViewMenuMessaged(this, *message)) return;
  if (message->is(kVSKInjectImageFileListed)) {
    Ref<LLKCFSFile> file = message->payloadAs<LLKCFSFile>();
    if (Ref<QELCBoard> entry = file ? VSKFInjectImageViewMakeLabel(this, file.get()) : nullptr)
      (void)list_->attach(entry);
  } else if (message->is(kVSKInjectImageFilePicked)) {
    if (Ref<LLKCFSFile> file = message->payloadAs<LLKCFSFile>()) pick(file.get());
  }
}

void VSKCInjectImageView::pick(LLKCFSFile* file) {
  if (!VSKFInjectImageViewSendSelectedFile(*file)) setStatus("the projector cannot be asked for " + file->name());
  for (const Ref<QELBWidget>& entry : list_->_childs()->members())
    if (auto* board = dynamic_cast<QELBBoard*>(entry.get())) board->setSelected(fileOf(board) == file);
}

bool VSKCInjectImageView::onInputWithKeypad(const OGLTKeypadEvent& key) {
  if (key.action != kOGLActionPress || (key.key != kOGLKeyUp && key.key != kOGLKeyDown))
    return ZRVBView::onInputWithKeypad(key);
  step(key.key == kOGLKeyUp ? -1 : 1);
  return true;
}

void VSKCInjectImageView::step(int step) {
  QELCWidgets* entries = list_->_childs();
  const auto count = static_cast<int64_t>(entries->count());
  for (int64_t i = 0; i < count; ++i) {
    auto* selected = dynamic_cast<QELBBoard*>(entries->fetchAtIndex(static_cast<uint32_t>(i)).get());
    if (!selected || !selected->selected()) continue;
    const int64_t next = i + step;
    if (next < 0 || next >= count) return;
    Ref<QELBWidget> entry = entries->fetchAtIndex(static_cast<uint32_t>(next));
    if (LLKCFSFile* file = fileOf(entry.get())) {
      pick(file);
      list_->scrollToVisible(entry.get());
    }
    return;
  }
}

VSKCInjectKeyView::VSKCInjectKeyView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config)
    : ZRVBView(size, position, "Inject key",
               kQELViewTitleBar | kQELViewCloseButton | kQELViewDraggable | kQELViewMenuButton, std::move(config)) {}

Ref<VSKCInjectKeyView> VSKCInjectKeyView::viewWithSize(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config) {
  Ref<VSKCInjectKeyView> view = makeRef<VSKCInjectKeyView>(size, position, std::move(config));
  Ref<QELCGroup> group = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupCentered);
  Ref<QELCLabel> label = QELCLabel::widgetWithAlignment(kOGLAlignCenter | kOGLAlignMiddle, "type any key");
  if (!group->attach(label) || !view->attach(group)) return nullptr;
  view->group_ = group;
  return view;
}

void VSKCInjectKeyView::onAttachedIntoWindow() {
  ZRVBView::onAttachedIntoWindow();
  group_->resizeWithWindow(window());
}

void VSKCInjectKeyView::onToggleMenu() { VSKFVisionViewToggleMenu(this, false); }

bool VSKCInjectKeyView::onInputWithSymbol(const OGLTCharacterEvent& symbol) {
  if (ZRVBView::onInputWithSymbol(symbol)) return true;
  if (symbol.codePoint == 0) return false;
  Ref<MRKCNumber> code = MRKCNumber::numberWithUint(symbol.codePoint);
  Ref<MRKCStatement> statement = code ? MRKFMakeStatementWithTerm("console.keypress", code.get(), 1.0) : nullptr;
  MRKCSubstrate* substrate = MRKCSubstrate::shared();
  Ref<MRKCSquib> squib = statement && substrate
                             ? MRKCSquib::squibWithLabel("console.keypress", statement.get(), substrate->configs().ttl)
                             : nullptr;
  if (!squib || !substrate->publish(squib.get(), "")) LLKFLog("%s : the key could not be published", title().c_str());
  return true;
}

void VSKCInjectKeyView::onMessaged(const Ref<LLKCMessage>& message) {
  if (message) (void)VSKFVisionViewMenuMessaged(this, *message);
}
