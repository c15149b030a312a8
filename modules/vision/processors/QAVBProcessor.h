#pragma once
// The base of the vision module's stream processors. It follows the labels named by the
// "inputs" property (a symbol, or a list whose symbols are labels) from attach to detach, and
// gives subclasses the squib filter, the image statements of a squib and the output convention.
//
// Subclasses handle squibs in onReceivedSquib, typically:
//
//   void onReceivedSquib(MRKCSquib* squib, const std::string& source) override {
//     forEachImage(squib, source, [&](const QAVTImageStatement& image) { publishImage(process(image).get()); });
//   }
//
// Peek and poke queries are answered as by every processor (onPropertyPeeked, onPropertyPoked).
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "framework/substrate/MRKBElemental.h"
#include "framework/substrate/MRKCOffloader.h"
#include "framework/substrate/MRKCSquib.h"
#include "modules/vision/statement/QAVFImageStatement.h"

class QAVBProcessor : public MRKBElemental {
public:
  // Follows the label: discloses it to the substrate with this processor's guid.
  // True when followed (already, or now); false when the substrate refused, the label then
  // stays unfollowed.
  bool followLabel(const std::string& label);
  // Stops following: withholds the label. True when not followed (any more); false when the
  // substrate refused, the label then stays followed.
  bool forgetLabel(const std::string& label);
  bool isFollowing(const std::string& label) const;

  // Follows the "inputs", looks up "qav.scheduler" and reads "output". Subclasses that override
  // it call it first.
  void onAttached() override;
  // Forgets every followed label and the scheduler. Subclasses that override it call it last.
  void onDetached() override;

  // The substrate's "qav.scheduler" while attached, else null.
  MRKCOffloader* scheduler() const;
  // The "output" property's symbol, else the processor's own label (read at attach).
  std::string outputLabel() const;

protected:
  using MRKBElemental::MRKBElemental;

  // The squib filter: a squib on a followed label, not sent by this processor itself.
  bool accepts(const MRKCSquib* squib, const std::string& source) const;
  // Calls handle with every image statement of an accepted squib, in order. Statements that are
  // no image statement are skipped; one whose pixels are too short for its size is dropped with
  // a log line when verbose.
  void forEachImage(MRKCSquib* squib, const std::string& source,
                    const std::function<void(const QAVTImageStatement&)>& handle);
  // Publishes the statement alone in a squib with the processor's time to live. False for no
  // statement or when the substrate refused it.
  bool publishImage(MRKCStatement* statement);
  // Runs make and answers what it answers; an exception (only ever out of memory) is logged as
  // "<label> : out of memory" and answers null, so none leaves a hook.
  Ref<MRKCStatement> guarded(const std::function<Ref<MRKCStatement>()>& make) const;

private:
  mutable std::mutex mutex_;  // the followed labels, the scheduler and the output label
  std::vector<std::string> followed_;
  Ref<MRKCOffloader> scheduler_;
  std::string output_;
};
