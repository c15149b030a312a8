#pragma once
// The "CTM stats" view: three running graphs of what each tick of the CTM stage broadcast on
// "ctm.tick" holds (submitted chunks "SCK", broadcast chunks "BCK", chunks sent over links
// "UCK"), with a hint naming the series under the cursor. Its visibility and position are
// kept in the settings under "ui.stats.ctm". The main window keeps the record among its private
// members. Window's thread only.
#include "framework/core/JSKCFrame.h"
#include "framework/core/LLKCMessage.h"
#include "ui/widgets/QELBView.h"

class QELCGraph;
class QELBWindow;
class ZRVCHint;

struct VSKTStatsRecord {
  Ref<QELCView> view;
  Ref<QELCGraph> sck;  // graph 1
  Ref<QELCGraph> bck;  // graph 2
  Ref<QELCGraph> uck;  // graph 3
  Ref<ZRVCHint> hint;  // shown on the window over a graph, or null
  VSKTStatsRecord();
  ~VSKTStatsRecord();
};

// Builds the view from the settings' "ui.stats.ctm" (hidden at (10, 100) without one) and
// attaches it to the window.
void VSKFWindowSetupCTMStats(VSKTStatsRecord& record, QELBWindow* window, JSKCFrame& config);
// Stores the view's "visible" and "position" under "ui.stats.ctm" in the settings.
bool VSKFWindowWringCTMStats(const VSKTStatsRecord& record, JSKCFrame& config);
// (0xd00): plots the counts of the tick squib carried as payload.
void VSKFWindowPlotTick(VSKTStatsRecord& record, const LLKCMessage& message);
// (0xe00, 0x210 or 0x220, n): shows or removes the hint of graph n on the window.
void VSKFWindowOnGraphHover(VSKTStatsRecord& record, QELBWindow* window, const LLKCMessage& message);
// (0xf00, 0x200): shows a hidden view, hides a shown one.
void VSKFWindowToggleCTMStats(VSKTStatsRecord& record);
