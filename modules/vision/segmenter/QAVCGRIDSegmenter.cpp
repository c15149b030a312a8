#include "modules/vision/segmenter/QAVCGRIDSegmenter.h"

#include "framework/core/LLKFConsole.h"
#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCQuery.h"
#include "framework/substrate/MRKCReply.h"
#include "framework/substrate/MRKCString.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "framework/substrate/MRKFTerms.h"
#include "imagekit/IMKFImageFormat.h"

namespace {

MRKTClassRegistrar<QAVCGRIDSegmenter> registrar("QAVCGRIDSegmenter");

// The property name and value of a poke(name, value) query; false for any other query.
bool pokeOf(MRKCQuery* query, std::string* name, MRKBTerm** value) {
  MRKCFunc* request = query && query->predicate() ? asFunc(query->predicate()->terms()->head()) : nullptr;
  if (!request || request->terms()->count() != 2 || request->label()->compareToChars("poke") != 0) return false;
  MRKBTerm* named = request->terms()->fetchAtIndex(0);
  if (MRKCSymbol* symbol = asSymbol(named)) *name = symbol->value();
  else if (MRKCString* string = asString(named)) *name = string->value();
  else return false;
  *value = request->terms()->fetchAtIndex(1);
  return true;
}

}  // namespace

Ref<QAVCGRIDSegmenter> QAVCGRIDSegmenter::segmenterWithGuid(const std::string& guid, const std::string& label,
                                                            const std::string& alias, Ref<MRKCFrame> properties) {
  return adoptRef(new QAVCGRIDSegmenter(guid, label, alias, std::move(properties)));
}

Ref<QAVCGRIDSegmenter> QAVCGRIDSegmenter::segmenterWithManifesto(const MRKCManifesto& manifesto) {
  return adoptRef(new QAVCGRIDSegmenter(manifesto));
}

QAVTGRIDSegmenterConfig QAVCGRIDSegmenter::config() const {
  std::lock_guard lock(mutex_);
  return config_;
}

void QAVCGRIDSegmenter::onAttached() {
  QAVBProcessor::onAttached();
  QAVTGRIDSegmenterConfig config = QAVFGRIDSegmenterConfigRead(properties(), label().c_str());
  config.ttl = ttl();
  Ref<QAVCGRIDSegmenterWorker> worker = QAVCGRIDSegmenterWorker::workerWithLabel(outputLabel(), guid(), substrate());
  worker->setConfig(config);
  if (!worker->start()) {
    LLKFLog("%s : the segmenter's handler could not be started", label().c_str());
    worker = nullptr;
  }
  std::lock_guard lock(mutex_);
  config_ = config;
  worker_ = std::move(worker);
}

void QAVCGRIDSegmenter::onDetached() {
  Ref<QAVCGRIDSegmenterWorker> worker;
  {
    std::lock_guard lock(mutex_);
    worker.swap(worker_);
  }
  if (worker) worker->stopAndJoin();
  QAVBProcessor::onDetached();
}

void QAVCGRIDSegmenter::onReceivedSquib(MRKCSquib* squib, const std::string& source) {
  Ref<QAVCGRIDSegmenterWorker> worker;
  {
    std::lock_guard lock(mutex_);
    worker = worker_;
  }
  forEachImage(squib, source, [&](const QAVTImageStatement& image) {
    if (image.pixelFormat != int32_t(IMKPixelFormatBGR)) {
      if (verbose()) LLKFConsolePrintf("%s : received image of un-supported pixel format", label().c_str());
      return;
    }
    if (worker) worker->enqueue(image.statement);
  });
}

void QAVCGRIDSegmenter::onReceivedQuery(MRKCQuery* query, const std::string& source) {
  std::string name;
  MRKBTerm* value = nullptr;
  if (pokeOf(query, &name, &value)) {
    QAVTGRIDSegmenterConfig probe = config();
    if (const char* reason = QAVFGRIDSegmenterConfigApply(&probe, name, value)) {
      answerRefusal(query, query->predicate()->terms()->head(), reason);
      return;
    }
  }
  answerPropertyQuery(query);
}

void QAVCGRIDSegmenter::answerRefusal(MRKCQuery* query, MRKBTerm* request, const char* reason) {
  if (verbose()) LLKFConsolePrintf("%s : %s", label().c_str(), reason);
  answerFailure(query, request, reason);
}

Ref<MRKBTerm> QAVCGRIDSegmenter::onPropertyPeeked(const std::string& name, MRKBTerm* stored) {
  if (Ref<MRKBTerm> running = QAVFGRIDSegmenterConfigValue(config(), name)) return running;
  return stored ? Ref<MRKBTerm>(stored) : nullptr;
}

bool QAVCGRIDSegmenter::onPropertyPoked(const std::string& name, MRKBTerm* value) {
  std::lock_guard lock(mutex_);
  QAVTGRIDSegmenterConfig changed = config_;
  if (QAVFGRIDSegmenterConfigApply(&changed, name, value)) return false;
  if (changed == config_) return true;
  config_ = changed;
  if (worker_) worker_->setConfig(changed);
  return true;
}
