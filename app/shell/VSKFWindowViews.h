#pragma once
// The openers of the workbench's views: each makes its view from its settings frame (the one
// given, else the window's entry under the view's key, made when missing), names it by that key,
// shows it and attaches it; a view already open is left alone. Window's thread only.
class JSKCFrame;
class ZRVBWindow;

// "Conscious contents", the timeline of ticks following "ctm.tick" ("ui.timeline").
void VSKFWindowTimeline(ZRVBWindow* window, JSKCFrame* config);
// The expression viewer following "nlp.decode" and "nlp.decode.all" ("ui.expression").
void VSKFWindowExpression(ZRVBWindow* window, JSKCFrame* config);
// The chunk viewer following "ctm.tick" ("ui.gist"), told by the timeline of its live mode and picks.
void VSKFWindowGist(ZRVBWindow* window, JSKCFrame* config);
// The conversation with the CTM over "ux" ("ui.conversation"), raised to the front.
void VSKFWindowConversation(ZRVBWindow* window, JSKCFrame* config);
// Reopens every view whose settings say it was visible (at opening).
void VSKFWindowRestoreViews(ZRVBWindow* window);
