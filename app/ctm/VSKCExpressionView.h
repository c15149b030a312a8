#pragma once
// The expression viewer: follows the expression channels (the workbench gives "nlp.decode" and
// "nlp.decode.all") and shows each new term that arrives as an expression tree under its caption.
// A statement [_, "caption", term or list of terms, _] lists every term not seen before as a
// sample in the drop box "dbox.samples" (the last 10); picking a sample shows it again. Two icon
// buttons clear the samples and write the shown term to the log.
//
// Messages: those of VSKBTermViewer, and the control tags 3 (clear), 4 (sample picked) and
// 5 (log the term). Threads: as VSKBTermViewer.
#include "app/ctm/VSKBTermViewer.h"
#include "app/ctm/VSKTSeenTerms.h"
#include "framework/core/LLKCObjectList.h"
#include "ui/widgets/QELBDropbox.h"
#include "ui/widgets/QELBGroup.h"

constexpr size_t kVSKExpressionSamples = 10;

// Control tags (uid 0xC000).
enum : uint32_t {
  kVSKExpressionClear = 3,
  kVSKExpressionSample = 4,
  kVSKExpressionLog = 5,
};

class VSKCExpressionView : public VSKBTermViewer {
public:
  // Size and position from the config's "size" and "position", else the given ones. Null when
  // the feed is empty or a part cannot be made.
  [[nodiscard]] static Ref<VSKCExpressionView> viewWithSize(OGLTSize size, OGLTPoint position, std::string alias,
                                                            std::vector<std::string> feed, Ref<JSKCFrame> config);

  QELCDropbox* samples() const { return samples_.get(); }
  const VSKTSeenTerms& seen() const { return seen_; }
  // A sample's text: the caption cut at 51 characters, " - " and the term's hash in hex.
  static std::string sampleText(const std::string& caption, const MRKBTerm* term);

  void onAttachedIntoWindow() override;
  void onResized() override;

protected:
  void onSquib(const LLKCMessage& message) override;
  void onControl(const LLKCMessage& message) override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCExpressionView(OGLTSize size, OGLTPoint position, Ref<JSKCFrame> config);

  bool buildControls();
  // Lists the term when it is new; false when it was seen already.
  bool listSample(const std::string& caption, MRKBTerm* term);
  void choose(const LLKCMessage& message);
  void clear();

  VSKTSeenTerms seen_;
  Ref<QELCGroup> bar_;
  Ref<QELCDropbox> samples_;
  Ref<LLKCObjectList> values_;
};
