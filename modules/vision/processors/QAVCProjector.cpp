#include "modules/vision/processors/QAVCProjector.h"

#include <iterator>

#include "framework/core/LLKFFiles.h"
#include "framework/core/LLKFLog.h"
#include "framework/core/LLKFTime.h"
#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCSquib.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageFormat.h"

namespace {

// The projector's format names, with the image kit's numbers.
constexpr MRKTFlagName kFormats[] = {
    {"rgb", IMKPixelFormatRGB}, {"rgba", IMKPixelFormatRGBA}, {"bgr", IMKPixelFormatBGR}, {"bgra", IMKPixelFormatBGRA}};

}  // namespace

Ref<QAVCProjector> QAVCProjector::projectorWithGuid(const std::string& guid, const std::string& label,
                                                    const std::string& alias, Ref<MRKCFrame> properties) {
  return adoptRef(new QAVCProjector(guid, label, alias, std::move(properties)));
}

Ref<QAVCProjector> QAVCProjector::projectorWithManifesto(const MRKCManifesto& manifesto) {
  return adoptRef(new QAVCProjector(manifesto));
}

void QAVCProjector::onAttached() {
  MRKCSubstrate* host = substrate();
  head_ = host->symbols()->store("image");
  MRKCSymbol* format = MRKFFrameFetchSymbol(properties(), "format");
  formatSymbol_ = host->symbols()->store(format ? std::string_view(format->value()) : std::string_view("bgr"));
  format_ = static_cast<uint32_t>(MRKFDecodeTermAsFlag(formatSymbol_.get(), kFormats, std::size(kFormats)));
  if (format_ == 0)
    LLKFLog("%s - property 'format' names an unknown pixel format: %s", label().c_str(),
            formatSymbol_->value().c_str());
  MRKCSymbol* output = MRKFFrameFetchSymbol(properties(), "output");
  output_ = output ? output->value() : label();
}

std::string QAVCProjector::lastPath() const {
  std::lock_guard lock(pathMutex_);
  return lastPath_;
}

void QAVCProjector::onReceivedQuery(MRKCQuery* query, const std::string& source) {
  if (!query || answerPropertyQuery(query)) return;
  MRKCList* terms = query->predicate()->terms();
  MRKCSymbol* command = asSymbol(terms->head());
  if (!command) return;
  if (command->compareToChars("inject") == 0) {
    MRKCString* path = terms->count() >= 2 ? asString(terms->tail()) : nullptr;
    if (!path) {
      if (verbose()) LLKFLog("%s : to 'inject' the second term must be a string", label().c_str());
      return;
    }
    if (submitLoad(path->value(), query)) {
      std::lock_guard lock(pathMutex_);
      lastPath_ = path->value();
    }
  } else if (command->compareToChars("repeat") == 0) {
    std::string path = lastPath();
    if (!path.empty()) submitLoad(path, query);
  } else if (verbose()) {
    LLKFLog("%s : unknown command", label().c_str());
  }
}

bool QAVCProjector::submitLoad(const std::string& path, MRKCQuery* query) {
  try {
    Ref<QAVCProjectorActionLoad> action = QAVCProjectorActionLoad::actionWithPath(path, format_);
    MRKCSubstrate* host = substrate();
    if (action && host &&
        host->runtime()->offloader()->submit(action, this, [this, asker = Ref<MRKCQuery>(query)](LLKBOperation* done) {
          onActionCompleted(static_cast<QAVCProjectorActionLoad*>(done), asker.get());
        }))
      return true;
  } catch (...) {}
  LLKFLog("%s : cannot load \"%s\": sorry, out of memory", label().c_str(), path.c_str());
  if (query) answerFailure(query, query->predicate()->terms()->head(), "out of memory");
  return false;
}

void QAVCProjector::onActionCompleted(QAVCProjectorActionLoad* action, MRKCQuery* query) {
  if (!action) return;
  const char* failure;
  try {
    failure = publishLoaded(action);
  } catch (...) {
    failure = "out of memory";
  }
  if (!failure) return;
  LLKFLog("%s : cannot load \"%s\": %s", label().c_str(), action->filepath().c_str(), failure);
  if (query) answerFailure(query, query->predicate()->terms()->head(), failure);
}

const char* QAVCProjector::publishLoaded(QAVCProjectorActionLoad* action) {
  if (const char* failure = action->failure()) return failure;
  MRKCSubstrate* host = substrate();
  if (!action->data() || !host || !head_) return "the projector is not attached";
  Ref<MRKCBinary> pixels = MRKCBinary::binaryWithValue(action->data().get());
  Ref<MRKCFrame> meta = MRKCFrame::frame();
  const char* filename = LLKFStringGetFilenameFromPath(action->filepath().c_str());
  if (!pixels || !MRKFFrameStoreUint(meta.get(), "width", action->width()) ||
      !MRKFFrameStoreUint(meta.get(), "height", action->height()) ||
      !MRKFFrameStoreUint(meta.get(), "frameid", frames_.fetch_add(1) + 1) ||
      !MRKFFrameStoreReal(meta.get(), "stamp", LLKFNowInS()) || meta->store(formatSymbol_.get(), "format") != 0 ||
      !MRKFFrameStoreUint(meta.get(), "length", pixels->length()) ||
      meta->store(host->symbols()->store(label()).get(), "source") != 0 ||
      meta->store(MRKCString::stringWithValue(filename ? filename : "").get(), "sample") != 0)
    return "out of memory";
  Ref<MRKCStatement> statement =
      MRKFMakeStatementWith4Terms(output_, head_.get(), meta.get(), pixels.get(), MRKCFrame::frame().get(), 1.0);
  Ref<MRKCSquib> squib = statement ? MRKCSquib::squibWithLabel(output_, statement.get(), ttl()) : nullptr;
  if (!squib) return "out of memory";
  if (!host->publish(squib.get(), guid())) return "the image could not be published";
  return nullptr;
}
