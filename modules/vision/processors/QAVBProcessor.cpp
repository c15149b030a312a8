#include "modules/vision/processors/QAVBProcessor.h"

#include <algorithm>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"

bool QAVBProcessor::followLabel(const std::string& label) {
  MRKCSubstrate* host = substrate();
  std::lock_guard lock(mutex_);
  if (std::find(followed_.begin(), followed_.end(), label) != followed_.end()) return true;
  if (!host || !host->disclose(label, guid())) return false;
  followed_.push_back(label);
  return true;
}

bool QAVBProcessor::forgetLabel(const std::string& label) {
  MRKCSubstrate* host = substrate();
  std::lock_guard lock(mutex_);
  auto found = std::find(followed_.begin(), followed_.end(), label);
  if (found == followed_.end()) return true;
  if (!host || !host->withhold(label, guid())) return false;
  followed_.erase(found);
  return true;
}

bool QAVBProcessor::isFollowing(const std::string& label) const {
  std::lock_guard lock(mutex_);
  return std::find(followed_.begin(), followed_.end(), label) != followed_.end();
}

void QAVBProcessor::onAttached() {
  MRKBTerm* inputs = MRKFFrameFetchTerm(properties(), "inputs");
  if (MRKCList* list = asList(inputs)) {
    // A snapshot: the properties may be poked while we follow.
    Ref<MRKCList> labels = list->copy();
    for (const auto& member : labels->terms()) {
      if (MRKCSymbol* symbol = asSymbol(member.get())) followLabel(symbol->value());
      else LLKFLog("%s - property 'inputs' lists %s, which is no label", label().c_str(), member->text().c_str());
    }
  } else if (MRKCSymbol* symbol = asSymbol(inputs)) {
    followLabel(symbol->value());
  } else if (inputs) {
    LLKFLog("%s - property 'inputs' must be a label or a list of labels, not %s", label().c_str(),
            inputs->text().c_str());
  }
  MRKCSymbol* output = MRKFFrameFetchSymbol(properties(), "output");
  Ref<MRKCOffloader> scheduler;
  if (MRKCSubstrate* host = substrate()) {
    std::lock_guard globals(host->globals()->monitor());
    scheduler = host->globals()->fetch<MRKCOffloader>("qav.scheduler");
  }
  std::lock_guard lock(mutex_);
  scheduler_ = std::move(scheduler);
  output_ = output ? output->value() : label();
}

void QAVBProcessor::onDetached() {
  MRKCSubstrate* host = substrate();
  std::lock_guard lock(mutex_);
  scheduler_.reset();
  for (const std::string& label : followed_)
    if (host) host->withhold(label, guid());
  followed_.clear();
}

MRKCOffloader* QAVBProcessor::scheduler() const {
  std::lock_guard lock(mutex_);
  return scheduler_.get();
}

std::string QAVBProcessor::outputLabel() const {
  std::lock_guard lock(mutex_);
  return output_;
}

bool QAVBProcessor::accepts(const MRKCSquib* squib, const std::string& source) const {
  return squib && source != guid() && isFollowing(squib->label());
}

void QAVBProcessor::forEachImage(MRKCSquib* squib, const std::string& source,
                                 const std::function<void(const QAVTImageStatement&)>& handle) {
  if (!accepts(squib, source)) return;
  for (const auto& member : squib->statements()->terms()) {
    QAVTImageStatement image;
    switch (QAVFImageStatementRead(member.get(), &image)) {
      case kQAVImageValid:
        handle(image);
        break;
      case kQAVImageShortPixels:
        if (verbose())
          LLKFLog("%s : received image whose pixel data is shorter than its size and format require", label().c_str());
        break;
      case kQAVImageMalformed:
        break;
    }
  }
}

bool QAVBProcessor::publishImage(MRKCStatement* statement) {
  MRKCSubstrate* host = substrate();
  if (!statement || !host) return false;
  Ref<MRKCSquib> squib = MRKCSquib::squibWithLabel(statement->label(), statement, ttl());
  return squib && host->publish(squib.get(), guid());
}

Ref<MRKCStatement> QAVBProcessor::guarded(const std::function<Ref<MRKCStatement>()>& make) const {
  try {
    return make();
  } catch (...) {
    LLKFLog("%s : out of memory", label().c_str());
    return nullptr;
  }
}
