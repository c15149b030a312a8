// Listings given up while the worker reads: what the picker shows afterwards, and freeing a
// picker mid-listing (run under the address and thread sanitizers).
#include <gtest/gtest.h>

#include <chrono>

#include "tests/widgets/QELPickerTestKit.h"
#include "ui/widgets/QELBFilePicker.h"
#include "ui/widgets/QELBPickDialog.h"
#include "ui/widgets/QELFPickerRows.h"

namespace {

class BigFolderTest : public PickerTest {
protected:
  // Listed at about 4 files a millisecond: seconds of listing, so that a window slowed by load
  // or a sanitizer still sees it in the middle.
  static constexpr size_t kBigFolderFiles = 10000;
  void SetUp() override {
    PickerTest::SetUp();
    for (size_t i = 0; i < kBigFolderFiles; ++i) file("big/f" + std::to_string(i) + ".json");
    file("big/small/one.json"), file("big/small/two.json"), folder("big/small/inner");
  }
  // Attached to the catcher, on the big folder, once some files came in.
  Ref<QELCFilePicker> pickerInTheMiddle() {
    Ref<QELCFilePicker> picker = QELCFilePicker::widgetWithSize({0, 0}, {0, 0});
    EXPECT_TRUE(picker);
    picker->setFilters({"json"});
    picker->setPath((root / "big").string());
    place(picker);
    EXPECT_TRUE(window->pumpUntil([&] { return picker->source()->count() > 0; }));
    return picker;
  }
};

TEST_F(BigFolderTest, AListingGivenUpForASubfolderShowsExactlyTheSubfolder) {
  Ref<QELCFilePicker> picker = pickerInTheMiddle();
  ASSERT_LT(picker->source()->count(), kBigFolderFiles) << "the big folder is still being listed";
  picker->onMessaged(
      LLKCMessage::messageWithCode(kQELPickerUidFolder, LLKCFSFolder::folderWithPath((root / "big/small").c_str())));
  ASSERT_TRUE(window->pumpUntil([&] {
    window->frame();
    return !picker->listing();
  }));
  // Batches of the big folder still queued when it was given up come in and are dropped.
  window->pumpUntil([] { return false; }, std::chrono::milliseconds(50));
  window->frame();
  ASSERT_EQ(picker->source()->count(), 2u);
  EXPECT_EQ(picker->source()->at(0)->name(), "one.json");
  EXPECT_EQ(picker->source()->at(1)->name(), "two.json");
  ASSERT_EQ(picker->folderList()->childs().size(), 2u);  // ".." and "inner"
  EXPECT_FALSE(picker->spinner()->visible());
}

TEST_F(BigFolderTest, FreeingAPickerMidListingIsClean) {
  for (int round = 0; round < 3; ++round) {
    Ref<QELCFilePicker> picker = pickerInTheMiddle();
    ASSERT_TRUE(catcher->detach(picker));
    picker = nullptr;  // freed while batches may still be queued for it
    window->pumpUntil([] { return false; }, std::chrono::milliseconds(20));
  }
  // A dialog closed mid-listing lets its picker go the same way.
  Ref<QELCFilePickDialog> dialog = QELCFilePickDialog::widgetWithSize({0, 0}, {0, 0}, "Open");
  dialog->setPath((root / "big").string());
  dialog->setVisible(true);
  place(dialog);
  window->frame();
  dialog->onMessaged(LLKCMessage::messageWithCode(0));
  dialog = nullptr;
  window->pumpUntil([] { return false; }, std::chrono::milliseconds(20));
  // The window closing mid-listing stops the worker too.
  Ref<QELCFilePicker> last = pickerInTheMiddle();
  window->close();
  EXPECT_FALSE(last->listing());
}

}  // namespace
