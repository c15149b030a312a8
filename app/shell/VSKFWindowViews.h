#pragma once
// The openers of the workbench's CTM views, the one table of every view kind the window opens
// (menu tag, field of view, settings key) and the reopening at start-up of the views that were
// visible at shut-down. Openers of the vision views: app/vision/VSKFVisionOpeners.h; how a view
// is opened: app/base/VSKFViewOpening.h. Window's thread only.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/JSKCFrame.h"
#include "ui/widgets/QELBWindow.h"

// "Conscious contents", the timeline of ticks following "ctm.tick" ("ui.timeline").
void VSKFWindowTimeline(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame);
// "Expression", the expression viewer of "nlp.decode" and "nlp.decode.all" ("ui.expression").
void VSKFWindowExpression(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame);
// "Chunk viewer", following "ctm.tick" ("ui.gist").
void VSKFWindowGist(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame);
// "Conversation", raised to the front ("ui.conversation").
void VSKFWindowConversation(QELBWindow* window, JSKCFrame* settings, Ref<JSKCFrame> frame);

// Opens the view of the window's menu code (0xf00, tag, fov) with the settings' frame; a new
// labelling view is given the data folder. False for a tag that opens no view.
bool VSKFWindowOpenViewForTag(QELBWindow* window, JSKCFrame* settings, uint32_t tag, uint32_t fov,
                              const std::string& dataPath);
// A view the settings say was visible: its settings key, the menu tag and fov that open it, and
// its saved state.
struct VSKTSavedView {
  const char* key;
  uint32_t tag;
  uint32_t fov;
  Ref<JSKCFrame> state;
};
// The views saved as visible, in the fixed order in which they are reopened. Reading writes
// nothing for a missing state (a view's opener makes the place it saves into); a state that is not a frame, or whose
// "visible" is not a bool, and a visible state under a key that names no view are skipped with a
// log line and left as they are.
std::vector<VSKTSavedView> VSKFWindowSavedViews(JSKCFrame& settings);
// Reopens the views of VSKFWindowSavedViews with their saved states (at opening).
void VSKFWindowRestoreViews(QELBWindow* window, JSKCFrame* settings);
