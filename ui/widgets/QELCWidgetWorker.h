#pragma once
// A timed worker that calls a plain function for a widget: once when it starts and then every
// period, on its own thread. The function usually pokes the widget with what it found; the
// widget is not owned, so its owner stops the worker (stopAndJoin) or clears the widget
// (setWidget(nullptr)) before letting the widget go. setWidget waits for a call in progress, so
// once it returns the function no longer uses the old widget; the function may call setWidget
// itself but must not wait for the thread that does.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "framework/core/LLKBWorker.h"
#include "framework/core/LLKCDictionary.h"
#include "ui/widgets/QELBWidget.h"

// time: seconds of a monotonic clock (at start too).
using QELTWidgetWorkerFunction = void (*)(LLKCDictionary* context, QELBWidget* widget, double time);

class QELCWidgetWorker : public LLKBWorker {
public:
  // Null for a null function. A null context becomes an empty dictionary.
  [[nodiscard]] static Ref<QELCWidgetWorker> workerWithFunction(QELTWidgetWorkerFunction function, uint32_t periodMs,
                                                                QELBWidget* widget, Ref<LLKCDictionary> context);

  LLKCDictionary* context() const { return context_.get(); }
  QELBWidget* widget() const { return widget_.load(); }
  void setWidget(QELBWidget* widget);

protected:
  void onStarting() override;
  void onTimedOutAt(double seconds) override;

private:
  QELCWidgetWorker(QELTWidgetWorkerFunction function, QELBWidget* widget, Ref<LLKCDictionary> context)
      : context_(std::move(context)), function_(function), widget_(widget) {}
  void call(double time);

  Ref<LLKCDictionary> context_;
  QELTWidgetWorkerFunction function_;
  std::atomic<QELBWidget*> widget_;
  // Held while the function runs, so that clearing the widget waits for the call.
  std::recursive_mutex calling_;
};
