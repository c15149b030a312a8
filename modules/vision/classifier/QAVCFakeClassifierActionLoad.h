#pragma once
// The fake classifier's background read of its labels file, run on the substrate's offloader.
#include <string>

#include "framework/core/JSKCFrame.h"
#include "framework/core/LLKBOperation.h"

class QAVCFakeClassifierActionLoad : public LLKBOperation {
public:
  // Reads path as JSON when executed. Null for an empty path.
  [[nodiscard]] static Ref<QAVCFakeClassifierActionLoad> actionWithPath(const std::string& path);

  // Reads the file (QAVFFakeClassifierReadJSON): an unreadable file leaves an empty frame and
  // says why in problem().
  void onExecute() override;

  // 0 once read (the content may be empty), 26 when not even an empty frame could be made, -1
  // before it ran.
  int outcome() const { return outcome_; }
  const Ref<JSKCFrame>& content() const { return content_; }
  const std::string& path() const { return path_; }
  // Empty when the file was read; else why it gave no frame ("is not a JSON object", ...).
  const std::string& problem() const { return problem_; }

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  explicit QAVCFakeClassifierActionLoad(std::string path) : path_(std::move(path)) {}

  std::string path_;
  int outcome_ = -1;
  Ref<JSKCFrame> content_;
  std::string problem_;
};
