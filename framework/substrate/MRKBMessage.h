#pragma once
// What travels between processors: a label, a time to live in seconds (ttl) and the time it was
// made (stp, MRKFNowInSeconds). A message older than its time to live is dropped, not delivered.
#include <string>

#include "framework/core/LLKBObject.h"

class MRKBMessage : public LLKBObject {
public:
  const std::string& label() const { return label_; }
  float ttl() const { return ttl_; }
  double stp() const { return stp_; }
  bool isExpired() const;

protected:
  MRKBMessage(std::string label, float ttl);

private:
  std::string label_;
  float ttl_;
  double stp_;
};
