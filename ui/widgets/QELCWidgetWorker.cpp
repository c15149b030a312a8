#include "ui/widgets/QELCWidgetWorker.h"

#include <chrono>

Ref<QELCWidgetWorker> QELCWidgetWorker::workerWithFunction(QELTWidgetWorkerFunction function, uint32_t periodMs,
                                                           QELBWidget* widget, Ref<LLKCDictionary> context) {
  if (!function) return nullptr;
  if (!context) context = LLKCDictionary::dictionary();
  Ref<QELCWidgetWorker> worker = adoptRef(new QELCWidgetWorker(function, widget, std::move(context)));
  worker->setTimeout(periodMs);
  return worker;
}

void QELCWidgetWorker::setWidget(QELBWidget* widget) {
  std::lock_guard lock(calling_);
  widget_.store(widget);
}

void QELCWidgetWorker::call(double time) {
  std::lock_guard lock(calling_);
  function_(context_.get(), widget_.load(), time);
}

void QELCWidgetWorker::onStarting() {
  call(std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

void QELCWidgetWorker::onTimedOutAt(double seconds) { call(seconds); }
