#include "modules/vision/classifier/QAVCFakeClassifierActionLoad.h"

#include "modules/vision/classifier/QAVFFakeClassifier.h"

Ref<QAVCFakeClassifierActionLoad> QAVCFakeClassifierActionLoad::actionWithPath(const std::string& path) {
  if (path.empty()) return nullptr;
  return makeRef<QAVCFakeClassifierActionLoad>(path);
}

void QAVCFakeClassifierActionLoad::onExecute() {
  content_ = QAVFFakeClassifierReadJSON(path_.c_str(), &problem_);
  outcome_ = content_ ? 0 : 26;
}
