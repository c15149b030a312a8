#pragma once
// Temporary folders for the picker tests: made under the system's temporary folder, removed
// with everything in them when the fixture ends.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/widgets/QELControlTestKit.h"

class PickerTest : public ControlTest {
protected:
  // A window that holds a whole picker. A window and a folder made before (a table's case
  // that sets up again) go first, the window closed so its pickers stop and join their workers.
  void SetUp() override {
    TearDown();
    window = QELTestHeadlessWindow::make({1000, 800});
    ASSERT_TRUE(window);
    catcher = Catcher::make({1000, 800});
    ASSERT_TRUE(window->attach(catcher));
    char pattern[] = "/tmp/vesko-picker-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    root = pattern;
  }
  void TearDown() override {
    if (window) window->close();
    std::error_code error;
    if (!root.empty()) std::filesystem::remove_all(root, error);
  }
  // A file of that many bytes at the path under the root; its folders are made.
  std::string file(const std::string& relative, size_t bytes = 0) {
    std::filesystem::path path = root / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << std::string(bytes, 'x');
    return path.string();
  }
  std::string folder(const std::string& relative) {
    std::filesystem::create_directories(root / relative);
    return (root / relative).string();
  }

  // The picker on the path, attached, once its listing ended.
  template <typename T>
  Ref<T> listed(Ref<T> picker, const std::string& path) {
    EXPECT_TRUE(picker);
    picker->setPath(path);
    place(picker);
    EXPECT_TRUE(window->pumpUntil([&] {
      window->frame();
      return !picker->listing();
    }));
    window->frame();
    return picker;
  }

  std::filesystem::path root;
};
