#include "app/shell/VSKFWindowStats.h"

#include <array>

#include "app/base/VSKFConfig.h"
#include "app/shell/VSKFTickCounts.h"
#include "app/base/VSKFViewOpening.h"
#include "app/shell/VSKFWindowCodes.h"
#include "framework/app/ZRVFHint.h"
#include "framework/core/LLKFLog.h"
#include "ui/gl/OGLFValueCoding.h"
#include "ui/widgets/QELBGroup.h"
#include "ui/widgets/QELBGraph.h"

namespace {

constexpr const char* kStatsKey = "ui.stats.ctm";
constexpr OGLTPoint kDefaultPosition{10, 100};
constexpr uint32_t kStatsFlags = 0x150;
constexpr OGLTSize kGraphSize{160, 40};

const QELTGroupSetup kSetupStatsGroup = {1, 4.0f, 4.0f, 0.0f, 0};
const QELTGraphSetup kSetupGraphSCK = {3, {0.149f, 0.545f, 0.823f, 1.0f}, 100, 0.0f, 1.0f, false, true};
const QELTGraphSetup kSetupGraphBCK = {3, {0.827f, 0.211f, 0.509f, 1.0f}, 100, 0.0f, 1.0f, false, true};
const QELTGraphSetup kSetupGraphUCK = {3, {0.423f, 0.443f, 0.768f, 1.0f}, 100, 0.0f, 1.0f, false, true};

struct GraphEntry {
  Ref<QELCGraph> VSKTStatsRecord::*field;
  const QELTGraphSetup* setup;
  const char* label;
  const char* hint;
};

// In graph-number order: graph n is entry n - 1.
const std::array<GraphEntry, 3> kGraphs = {{
    {&VSKTStatsRecord::sck, &kSetupGraphSCK, "SCK", "Submitted chunks"},
    {&VSKTStatsRecord::bck, &kSetupGraphBCK, "BCK", "Broadcasted chunks"},
    {&VSKTStatsRecord::uck, &kSetupGraphUCK, "UCK", "Unconscious chunks"},
}};

void plot(const Ref<QELCGraph>& graph, const std::optional<float>& value) {
  if (graph && value) graph->sync(*value);
}

void dropHint(VSKTStatsRecord& record, QELBWindow* window) {
  if (!record.hint) return;
  (void)window->detach(Ref<QELBWidget>(record.hint));
  record.hint = nullptr;
}

}  // namespace

VSKTStatsRecord::VSKTStatsRecord() = default;
VSKTStatsRecord::~VSKTStatsRecord() = default;

void VSKFWindowSetupCTMStats(VSKTStatsRecord& record, QELBWindow* window, JSKCFrame& config) {
  if (!config.frameForLabel(kStatsKey) && config.fetchForLabel(kStatsKey))
    LLKFLog("vesko : the saved state of %s is not a frame; the view starts hidden", kStatsKey);
  // The statistics hold their frame in the settings from the first start.
  Ref<JSKCFrame> frame = VSKFConfigMake(config, kStatsKey);
  bool visible = frame && VSKFConfigCheckViewState(*frame, kStatsKey);
  OGLTPoint position =
      QELBView::placeablePoint(frame ? OGL::pointForLabel(*frame, "position", kDefaultPosition) : kDefaultPosition);
  record.view = QELCView::widgetWithSize({0, 0}, position, "CTM stats", kStatsFlags);
  Ref<QELCGroup> group = QELCGroup::widgetWithSize({0, 0}, {0, 0}, &kSetupStatsGroup);
  for (size_t i = 0; i < kGraphs.size(); ++i) {
    const GraphEntry& entry = kGraphs[i];
    Ref<QELCGraph> graph = QELCGraph::widgetWithSize(kGraphSize, {0, 0}, entry.setup, entry.label);
    record.*entry.field = graph;
    if (!graph) continue;
    uint32_t n = static_cast<uint32_t>(i + 1);
    graph->setOnEnter(LLKCMessage::messageWithCode({kVSKGraphHover, kVSKGraphEnter, n}));
    graph->setOnLeave(LLKCMessage::messageWithCode({kVSKGraphHover, kVSKGraphLeave, n}));
    (void)group->attach(Ref<QELBWidget>(graph));
  }
  group->resizeToPreferredWithWindow(window);
  (void)record.view->attach(Ref<QELBWidget>(group));
  record.view->setAlias(kStatsKey);
  record.view->setVisible(visible);
  (void)window->attach(Ref<QELBWidget>(record.view));
  (void)window->raise(record.view.get());
  record.view->resizeToPreferredWithWindow(window);
  VSKFPlaceWithinReach(record.view.get(), window);
}

bool VSKFWindowWringCTMStats(const VSKTStatsRecord& record, JSKCFrame& config) {
  Ref<JSKCFrame> frame = VSKFConfigMake(config, kStatsKey);
  if (!frame || !record.view) return true;
  (void)frame->storeBool(record.view->visible(), "visible");
  (void)OGL::storePoint(*frame, record.view->position(), "position");
  return true;
}

void VSKFWindowPlotTick(VSKTStatsRecord& record, const LLKCMessage& message) {
  VSKTTickCounts counts = VSKFTickCounts(message.payload().get());
  plot(record.bck, counts.winners);
  plot(record.sck, counts.chunks);
  plot(record.uck, counts.links);
}

void VSKFWindowOnGraphHover(VSKTStatsRecord& record, QELBWindow* window, const LLKCMessage& message) {
  uint32_t n = message.ctx();
  if (message.tag() == kVSKGraphLeave) {
    if (record.hint && record.hint->tag() == n) dropHint(record, window);
    return;
  }
  if (message.tag() != kVSKGraphEnter) return;
  dropHint(record, window);
  if (n < 1 || n > kGraphs.size()) return;
  Ref<QELBWidget> sender = message.details().objectForKeyAs<QELBWidget>("sender");
  Ref<ZRVCHint> hint = ZRVFHintMake(sender.get(), kGraphs[n - 1].hint, kZRVHintBelow, {0, 5});
  if (!hint) return;
  hint->setTag(n);
  (void)ZRVFHintPlaceOnWindow(window, sender.get(), hint.get());
  if (window->attach(Ref<QELBWidget>(hint))) record.hint = hint;
}

void VSKFWindowToggleCTMStats(VSKTStatsRecord& record) {
  if (record.view) record.view->setVisible(!record.view->visible());
}
