#pragma once
// A manifesto: what a processor is made from and saves itself as: its label and properties
// (the "alias" property names its alias).
#include "framework/substrate/MRKCFrame.h"

class MRKCManifesto : public LLKBObject {
public:
  // Null for an empty label; null properties give an empty frame.
  [[nodiscard]] static Ref<MRKCManifesto> manifestoWithLabel(std::string_view label, MRKCFrame* properties) {
    if (label.empty()) return nullptr;
    return adoptRef(
        new MRKCManifesto(std::string(label), properties ? Ref<MRKCFrame>(properties) : MRKCFrame::frame()));
  }
  const std::string& label() const { return label_; }
  MRKCFrame* properties() const { return properties_.get(); }

private:
  MRKCManifesto(std::string label, Ref<MRKCFrame> properties)
      : label_(std::move(label)), properties_(std::move(properties)) {}
  std::string label_;
  Ref<MRKCFrame> properties_;
};
