#pragma once
// A private substrate with a tap, for tests of the vision processors.
#include <gtest/gtest.h>

#include "framework/substrate/MRKCReader.h"
#include "tests/vision/VisionTestKit.h"

inline Ref<MRKCFrame> frameOf(const std::string& text) {
  Ref<MRKBTerm> term = MRKCReader::reader()->readTermFromString(text);
  EXPECT_TRUE(term && term->asFrame()) << text;
  return term ? Ref<MRKCFrame>(term->asFrame()) : MRKCFrame::frame();
}

class VisionStage {
public:
  explicit VisionStage(std::vector<std::string> tapped) : tap(makeRef<VisionTap>(std::move(tapped))) {
    EXPECT_TRUE(substrate->attach(tap.get(), false));
  }
  ~VisionStage() {
    for (const auto& processor : substrate->processors()) substrate->detach(processor.get(), false);
  }

  // Attached and ready (its onAttached has run).
  template <typename T>
  Ref<T> attach(Ref<T> processor) {
    EXPECT_TRUE(substrate->attach(processor.get(), false));
    return processor;
  }

  // One squib on the label carrying the statements in order, from a source of its own.
  void send(const std::string& label, std::vector<Ref<MRKCStatement>> statements,
            const std::string& source = "vision.test") {
    Ref<MRKCSquib> squib = MRKCSquib::squibWithLabel(label, statements.front().get(), 5.0f);
    for (size_t i = 1; i < statements.size(); ++i) squib->statements()->append(statements[i].get());
    EXPECT_TRUE(substrate->publish(squib.get(), source));
  }

  Ref<MRKCSubstrate> substrate = MRKCSubstrate::substrate();
  Ref<VisionTap> tap;
};
