#pragma once
// The chunk viewer: shows one CTM chunk at a time, its gist as an expression tree under a
// caption naming its kind, uid, sender, weight, intensity and mood. While it follows (from its
// opening unless the timeline is open and paused, and whenever the timeline goes live or opens
// live), it shows the first winner of every tick on its channel (the workbench gives
// "ctm.tick"); it always shows a chunk picked on the timeline. It keeps the chunks of the last
// 512 ticks with the gists of their replies (VSKFGistChunks.h).
// The left button pans the content (VSKCGistSurface); the wheel zooms within [0.5, 1.5], the
// right or middle button sets 1.5.
//
// Messages: those of VSKBTermViewer, and the timeline's (below). Malformed chunks are logged as
// VSKTRepeatedLog does. Threads: as VSKBTermViewer.
#include "app/ctm/VSKBTermViewer.h"
#include "app/ctm/VSKFGistChunks.h"
#include "app/ctm/VSKTRepeatedLog.h"

// The timeline's messages (uid 0): stop following, follow again (the display is cleared until
// the next tick), show the chunk that is the payload.
enum : uint32_t {
  kVSKGistPaused = 0xA000,
  kVSKGistLive = 0xB000,
  kVSKGistShowChunk = 0xC000,
};

class VSKCGistView : public VSKBTermViewer {
public:
  // Size and position from the config's "size" and "position", else the given ones. Null when
  // the feed is empty or a part cannot be made.
  [[nodiscard]] static Ref<VSKCGistView> viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                      std::vector<std::string> feed, Ref<JSKCFrame> config);

  const VSKTGistChunkTable& chunks() const { return table_; }
  bool follow() const { return follow_; }

  // Follows the ticks unless the timeline ("ui.timeline") is open and paused.
  void onAttachedIntoWindow() override;
  void onLeavingWindow() override;

protected:
  void onSquib(const LLKCMessage& message) override;
  void onOtherMessage(const LLKCMessage& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCGistView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);
  // The table goes on a thread of its own (VSKFLetGoAside).
  ~VSKCGistView() override;

  // A well-formed chunk with its caption; null (or a malformed one) clears the display.
  void showChunk(MRKCList* chunk);

  VSKTGistChunkTable table_;
  bool follow_ = true;
  VSKTRepeatedLog log_{"gist"};
};
