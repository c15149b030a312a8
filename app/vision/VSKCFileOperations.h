#pragma once
// The vision views' background file work: three small operations, each submitted to the UI
// application's scheduler with a target view and a completion message. onExecute does the work on
// a scheduler thread and hands a completion message to the target with notify, which delivers it
// to the view's onMessaged on the window's thread.
//
//   operation          work                                          message delivered
//   JSON load          each path read (unreadable: an empty frame)   onComplete's code, a tuple of the frames
//   JSON save          the frame written                             copy of onComplete, "outcome" (bool)
//   bitmap save        the RGBA bitmap as a binary PPM file          copy of onComplete, "status" (0 written)
//
// New messages carry only onComplete's code; copies keep its payload and details. Without an
// onComplete the work is done and nothing is delivered. When a new message cannot be made,
// onComplete itself is delivered. The bitmap and frames belong to the submitting view, which
// leaves them alone until the completion arrives.
#include <string>
#include <vector>

#include "framework/core/JSKCFrame.h"
#include "ui/widgets/QELBOperation.h"
#include "ui/widgets/QELCBitmap.h"

class VSKCOperationJSONLoad : public QELBOperation {
public:
  // Null without paths.
  [[nodiscard]] static Ref<VSKCOperationJSONLoad> operationWithFilePaths(std::vector<std::string> paths);
  void onExecute() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  explicit VSKCOperationJSONLoad(std::vector<std::string> paths) : paths_(std::move(paths)) {}
  std::vector<std::string> paths_;
};

class VSKCOperationJSONSave : public QELBOperation {
public:
  // Null for an empty path or no content.
  [[nodiscard]] static Ref<VSKCOperationJSONSave> operationWithFilePath(std::string path, Ref<JSKCFrame> content);
  void onExecute() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCOperationJSONSave(std::string path, Ref<JSKCFrame> content)
      : path_(std::move(path)), content_(std::move(content)) {}
  std::string path_;
  Ref<JSKCFrame> content_;
};

class VSKCOperationBitmapSave : public QELBOperation {
public:
  // The path is the name followed by ".ppm". Null for an empty name or path, or no bitmap.
  [[nodiscard]] static Ref<VSKCOperationBitmapSave> operationWithName(const std::string& name, Ref<QELCBitmap> bitmap);
  [[nodiscard]] static Ref<VSKCOperationBitmapSave> operationWithPath(std::string path, Ref<QELCBitmap> bitmap);
  void onExecute() override;

private:
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCOperationBitmapSave(std::string path, Ref<QELCBitmap> bitmap)
      : path_(std::move(path)), bitmap_(std::move(bitmap)) {}
  std::string path_;
  Ref<QELCBitmap> bitmap_;
};
