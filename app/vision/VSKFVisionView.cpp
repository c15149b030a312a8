#include "app/vision/VSKFVisionView.h"

#include "framework/app/ZRVFViewMenu.h"
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
#include "ui/widgets/QELCBitmap.h"

void VSKFVisionViewToggleMenu(QELBView* view, bool withSettings, uint32_t uid, uint32_t settingsTag) {
  Ref<QELCMenuList> list = ZRVFViewMenuList(view);
  if (!list) return;
  auto item = [&](const char* label, uint32_t tag) {
    ZRVFViewMenuAddItem(view, list.get(), label, LLKCMessage::messageWithCode({uid, tag, 0}));
  };
  if (withSettings) {
    item("Settings", settingsTag);
    ZRVFViewMenuAddSeparator(list.get());
  }
  if (view->isRolledup()) item("Unroll", kVSKViewMenuUnroll);
  else item("Roll-up", kVSKViewMenuRollup);
  ZRVFViewMenuAddSeparator(list.get());
  item("Close", kVSKViewMenuClose);
  ZRVFViewMenuOpen(view, list, view->title().c_str());
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
