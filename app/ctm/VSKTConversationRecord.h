#pragma once
// The conversation view's state, private to the view (its member functions over
// VSKCConversationView*.cpp change it; tests read it through the view's record()): the observer
// that hears "ux", the widgets, the input mode and the feed's entries in order (index 0 at the
// top). Invariants: entries are stacked top to bottom; each one's top was the content height
// when it was appended, less the room of the entries let go since; the content height is
// kVSKFeedTop plus, for every entry, its height plus kVSKFeedGap; an entry has a wrap (a child of
// the canvas) exactly
// while it was last found in view. Window's thread only, but the observer, which the substrate
// calls on its threads.
#include <cstdint>
#include <vector>

#include "app/ctm/VSKCConversationEntry.h"
#include "framework/app/ZRVCObserver.h"
#include "framework/app/ZRVFHint.h"
#include "framework/substrate/MRKCContext.h"
#include "framework/substrate/MRKCReader.h"
#include "ui/widgets/QELBCanvas.h"
#include "ui/widgets/QELBScrollbar.h"
#include "ui/widgets/QELBTextbox.h"
#include "ui/widgets/QELBTicker.h"

// Input modes: what a committed line becomes.
enum : uint32_t {
  kVSKInputTerm = 4,
  kVSKInputText = 5,
};

struct VSKTConversationRecord {
  Ref<ZRVCObserver> observer;
  Ref<MRKCReader> reader;
  Ref<MRKCContext> context;
  Ref<QELCGroup> controls;
  Ref<QELCCanvas> canvas;
  Ref<QELCScrollbar> vbar;
  Ref<QELCScrollbar> hbar;
  OGLTSize feedArea{};  // the canvas and the bars it needs share it
  Ref<QELCTextbox> textbox;
  QELBGroup* symbols = nullptr;  // held by the controls
  Ref<ZRVCHint> hint;
  QELBTicker* ticker = nullptr;  // held by the symbols row
  bool dirty = false;
  uint32_t mode = kVSKInputText;
  bool paused = false;
  std::vector<Ref<VSKCConversationEntry>> entries;
  uint64_t letGo = 0;  // entries let go from the top since the feed was last cleared
};
