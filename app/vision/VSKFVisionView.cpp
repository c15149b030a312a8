#include "app/vision/VSKFVisionView.h"

#include "framework/app/ZRVFMenu.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCContext.h"
#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCPredicate.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKCSymbol.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageConvert.h"
#include "imagekit/IMKFImageFormat.h"
#include "ui/widgets/QELBMenu.h"
#include "ui/widgets/QELBWindow.h"
#include "ui/widgets/QELCBitmap.h"

namespace {
constexpr const char* kMenuAlias = "term.menu";

void appendItem(QELBParent& list, QELBWindow* window, const char* label, uint32_t uid, uint32_t tag) {
  if (Ref<QELCMenuItem> item = ZRVFMenuItemMake(window, label, LLKCMessage::messageWithCode({uid, tag, 0})))
    (void)list.attach(item);
}

void appendSeparator(QELBParent& list) {
  if (Ref<QELCSeparator> separator = ZRVFMenuSeparatorMake()) (void)list.attach(separator);
}
}  // namespace

void VSKFVisionViewToggleMenu(QELBView* view, bool withSettings, uint32_t uid, uint32_t settingsTag) {
  QELBWindow* window = view->window();
  if (!window || window->locate(kMenuAlias)) return;
  Ref<QELCMenuList> list = ZRVFMenuListMake();
  if (!list) return;
  if (withSettings) {
    appendItem(*list, window, "Settings", uid, settingsTag);
    appendSeparator(*list);
  }
  if (view->isRolledup()) appendItem(*list, window, "Unroll", uid, kVSKViewMenuUnroll);
  else appendItem(*list, window, "Roll-up", uid, kVSKViewMenuRollup);
  appendSeparator(*list);
  appendItem(*list, window, "Close", uid, kVSKViewMenuClose);
  list->resizeToPreferredWithWindow(window);

  const OGLTRect space = view->space();
  const OGLTPoint at = {view->position().x + space.left - 1, view->position().y + space.top - 1};
  Ref<QELCMenu> menu = QELCMenu::widgetWithSize({0, 0}, at);
  if (!menu) return;
  menu->setFlags(2);
  menu->setAlias(kMenuAlias);
  menu->setLayer(8);
  menu->setTarget(view);
  if (!menu->attach(list) || !window->attach(menu)) LLKFLog("%s : the menu could not be opened", view->title().c_str());
}

bool VSKFVisionViewMenuMessaged(QELBView* view, const LLKCMessage& message, uint32_t uid) {
  if (message.uid() != uid) return false;
  switch (message.tag()) {
    case kVSKViewMenuClose:
      view->close();
      return true;
    case kVSKViewMenuUnroll:
      view->unroll();
      return true;
    case kVSKViewMenuRollup:
      view->rollup();
      return true;
    default:
      return false;
  }
}

bool VSKFVisionViewShow(QELBPicturebox* picture, uint32_t width, uint32_t height, int32_t pixelFormat,
                        const MRKCBinary& pixels) {
  if (pixelFormat != IMKPixelFormatJPEG && pixelFormat != IMKPixelFormatRGB && pixelFormat != IMKPixelFormatBGR)
    return false;
  if (width == 0 || height == 0 || !QAVFImageBytesSuffice(width, height, pixelFormat, pixels.value().size()))
    return false;
  const OGLTSize size = {static_cast<float>(width), static_cast<float>(height)};
  Ref<QELCBitmap> bitmap = picture->bitmap();
  const bool reuse = bitmap && bitmap->size().w == size.w && bitmap->size().h == size.h;
  if (!reuse) bitmap = QELCBitmap::bitmapWithSize(size);
  if (!bitmap) return false;
  // The texture keeps the shown picture until sync: a conversion that fails is never synced.
  if (IMKFImageConvert(width, height, pixels.value().data(), pixels.value().size(), static_cast<uint32_t>(pixelFormat),
                       bitmap->bytes(), bitmap->length(), IMKPixelFormatRGBA) != IMKResultDone)
    return false;
  if (!reuse) picture->setBitmap(bitmap);
  bitmap->sync();
  picture->redraw();
  return true;
}

OGLTPoint VSKFVisionViewPictureOrigin(const QELBPicturebox& picture) {
  const Ref<QELCBitmap>& bitmap = picture.bitmap();
  if (!bitmap) return {0, 0};
  const OGLTRect bounds = picture.bounds();
  return {(bounds.left + bounds.right - bitmap->size().w) / 2, (bounds.top + bounds.bottom - bitmap->size().h) / 2};
}

MRKCStatement* VSKFVisionViewFirstStatement(const LLKCMessage& message, bool* fromProjector) {
  auto* squib = dynamic_cast<MRKCSquib*>(message.payload().get());
  MRKBTerm* first = squib && squib->statements() ? squib->statements()->head() : nullptr;
  MRKCStatement* statement = first ? asStatement(first) : nullptr;
  if (fromProjector) {
    MRKCFrame* meta =
        statement && statement->terms()->count() == 4 ? asFrame(statement->terms()->fetchAtIndex(1)) : nullptr;
    MRKCSymbol* source = meta ? MRKFFrameFetchSymbol(meta, "source") : nullptr;
    *fromProjector = source && source->value() == "qav.proj";
  }
  return statement;
}

Ref<ZRVCObserver> VSKFVisionViewObserver(const std::string& alias) {
  return ZRVCObserver::observerWithGuid("", "", alias, nullptr);
}

bool VSKFImageViewRequestRepeat() {
  Ref<MRKCSymbol> repeat = MRKCSymbol::symbolWithValue("repeat");
  Ref<MRKCList> terms = repeat ? MRKCList::listWithTerms({repeat.get()}) : nullptr;
  Ref<MRKCPredicate> predicate = terms ? MRKCPredicate::predicateWithLabel("qav.proj", terms.get()) : nullptr;
  Ref<MRKCContext> context = MRKCContext::context();
  Ref<MRKCQuery> query = predicate ? MRKCQuery::queryWithPredicate(predicate.get(), context.get(), 5.0f) : nullptr;
  MRKCSubstrate* substrate = MRKCSubstrate::shared();
  return query && substrate && substrate->inquire(query.get(), "");
}
