// The file and folder pickers and their workers on temporary folders, in a headless window.
#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>

#include "framework/core/LLKCObjectList.h"
#include "framework/core/LLKCString.h"
#include "tests/widgets/QELPickerTestKit.h"
#include "ui/widgets/QELBFilePicker.h"
#include "ui/widgets/QELBFolderPicker.h"
#include "ui/widgets/QELBPickDialog.h"
#include "ui/widgets/QELFPickerRows.h"

namespace {

// A worker whose batches a catcher widget receives.
template <typename Worker>
struct WorkerRun {
  Ref<Catcher> target;
  Ref<QELCPickerLink> link;
  Ref<Worker> worker;

  WorkerRun(QELTestHeadlessWindow& window) : target(Catcher::make({10, 10})) {
    EXPECT_TRUE(window.attach(target));
    link = makeRef<QELCPickerLink>(target.get(), &window);
    worker = makeRef<Worker>(link);
    EXPECT_TRUE(worker->start());
  }
  ~WorkerRun() {
    link->cut();
    worker->stopAndJoin();
  }
  // The entry counts of the batches (-1 for one without payload) until the last one.
  std::vector<int> list(QELTestHeadlessWindow& window, const std::string& path, uint32_t generation = 1) {
    target->messages.clear();
    EXPECT_TRUE(worker->post(
        LLKCMessage::messageWithCode(LLKTMessageCode{6, 0, generation}, LLKCFSFolder::folderWithPath(path.c_str()))));
    EXPECT_TRUE(window.pumpUntil(
        [&] { return !target->messages.empty() && target->messages.back()->details().boolForKey("last"); }));
    std::vector<int> counts;
    for (const Ref<LLKCMessage>& batch : target->messages) {
      EXPECT_EQ(batch->ctx(), generation);
      Ref<LLKCObjectList> entries = batch->payloadAs<LLKCObjectList>();
      counts.push_back(entries ? static_cast<int>(entries->count()) : -1);
    }
    return counts;
  }
};

TEST_F(PickerTest, WorkersListInBatchesOfTheirSizeAndMarkTheEnd) {
  struct Case {
    int files, folders;
    bool folderWorker;
    std::vector<int> batches;
  } cases[] = {
      {9, 0, false, {4, 4, 1, -1}}, {8, 0, false, {4, 4, 0}}, {0, 0, false, {0}},
      {3, 17, true, {16, 1}},       {0, 16, true, {16, 0}},   {5, 0, true, {0}},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string dir = folder("case" + std::to_string(n++));
    for (int i = 0; i < c.files; ++i) file(dir + "/f" + std::to_string(i) + ".txt");
    for (int i = 0; i < c.folders; ++i) folder(dir + "/d" + std::to_string(i));
    file(dir + "/.hidden.txt");
    if (c.folderWorker) {
      WorkerRun<QELCFolderPickerWorker> run(*window);
      EXPECT_EQ(run.list(*window, dir), c.batches) << dir;
    } else {
      WorkerRun<QELCFilePickerWorker> run(*window);
      EXPECT_EQ(run.list(*window, dir), c.batches) << dir;
    }
  }
}

TEST_F(PickerTest, AFolderThatCannotBeReadEndsItsListingWithAnError) {
  WorkerRun<QELCFilePickerWorker> run(*window);
  EXPECT_EQ(run.list(*window, (root / "gone").string()), std::vector<int>{-1});
  EXPECT_TRUE(run.target->last().boolForKey("error"));
}

std::vector<std::string> fileNames(QELBFilePicker& picker) {
  std::vector<std::string> names;
  for (uint32_t i = 0; i < picker.source()->count(); ++i) names.push_back(picker.source()->at(i)->name());
  return names;
}

std::vector<std::string> folderNames(QELBPicker& picker) {
  std::vector<std::string> names;
  for (const Ref<QELBWidget>& row : picker.folderList()->childs()) {
    auto* entry = dynamic_cast<LLKBFSEntry*>(row->ancillary().get());
    names.push_back(entry ? entry->name() : "..");
  }
  return names;
}

TEST_F(PickerTest, TheFileListIsSortedAndFilteredByExtensionIgnoringCase) {
  for (const char* name : {"b.json", "a.JSON", "c.txt", "noext", ".hidden.json", "z/inner.json", "d/x", ".git/y"})
    file(name);
  struct Case {
    std::string filter;
    std::vector<std::string> files;
  } cases[] = {
      {"json", {"a.JSON", "b.json"}},
      {"TXT", {"c.txt"}},
      {"*", {"a.JSON", "b.json", "c.txt"}},
      {"", {"a.JSON", "b.json", "c.txt"}},
  };
  for (const Case& c : cases) {
    SetUp();
    for (const char* name : {"b.json", "a.JSON", "c.txt", "noext", ".hidden.json", "z/inner.json", "d/x", ".git/y"})
      file(name);
    Ref<QELCFilePicker> picker = QELCFilePicker::widgetWithSize({0, 0}, {0, 0});
    picker->setFilters({c.filter, "other"});
    listed(picker, root.string());
    EXPECT_EQ(fileNames(*picker), c.files) << c.filter;
    EXPECT_EQ(folderNames(*picker), (std::vector<std::string>{"..", "d", "z"}));
    EXPECT_FALSE(picker->spinner()->visible());
    EXPECT_FALSE(picker->selectButton()->enabled());
  }
}

TEST_F(PickerTest, ChangingTheFilterListsAgain) {
  file("a.json"), file("b.txt");
  Ref<QELCFilePicker> picker = QELCFilePicker::widgetWithSize({0, 0}, {0, 0});
  picker->setFilters({"json", "txt"});
  listed(picker, root.string());
  EXPECT_EQ(fileNames(*picker), std::vector<std::string>{"a.json"});
  EXPECT_EQ(picker->filters(), (std::vector<std::string>{"json", "txt"}));
  Ref<LLKCMessage> change = LLKCMessage::messageWithCode(kQELPickerUidFilter);
  change->details().storeObject(LLKCString::stringWithString("txt"), "value");
  picker->onMessaged(change);
  EXPECT_TRUE(window->pumpUntil([&] { return !picker->listing(); }));
  EXPECT_EQ(fileNames(*picker), std::vector<std::string>{"b.txt"});
}

TEST_F(PickerTest, SizesAndDatesReadAsPeopleDo) {
  struct Case {
    uint64_t bytes;
    const char* text;
  } cases[] = {{0, "0 B"},       {1023, "1023 B"},    {1024, "1.0 KB"},
               {1500, "1.5 KB"}, {1048576, "1.0 MB"}, {1073741824ull * 3, "3.0 GB"}};
  for (const Case& c : cases) EXPECT_EQ(QELFFilePickerSizeText(c.bytes), c.text) << c.bytes;
  EXPECT_EQ(QELFFilePickerDateText(0).size(), std::string("01 Jan 70 00:00:00").size());
}

TEST_F(PickerTest, BrokenLinksAreSkippedAndNamesThatAreNotUTF8AreShownReplaced) {
  std::string bad = file("bad\xff\xfe.txt", 10);
  file("good.txt", 1500);
  std::filesystem::create_symlink(root / "nowhere.txt", root / "broken.txt");
  std::filesystem::create_symlink(root / "good.txt", root / "link.txt");
  Ref<QELCFilePicker> picker = QELCFilePicker::widgetWithSize({0, 0}, {0, 0});
  picker->setFilters({"txt"});
  listed(picker, root.string());
  ASSERT_EQ(fileNames(*picker), (std::vector<std::string>{"bad\xff\xfe.txt", "good.txt", "link.txt"}));
  const QELCPickerEntry& entry = *picker->source()->at(0);
  EXPECT_EQ(entry.shownName(), "bad\xEF\xBF\xBD\xEF\xBF\xBD.txt");
  EXPECT_EQ(entry.file()->fullPath(), bad) << "the file keeps its own bytes";
  EXPECT_EQ(picker->source()->at(2)->size(), 1500u) << "a link shows what it points to";
  EXPECT_GE(picker->fileList()->live().size(), 3u) << "rows were made";
}

TEST_F(PickerTest, AFolderThatCannotBeReadIsToldAndTheListingEnds) {
  std::string gone = folder("gone");
  Ref<QELCFilePicker> picker = QELCFilePicker::widgetWithSize({0, 0}, {0, 0});
  picker->setPath(gone);
  std::filesystem::remove(gone);  // vanishes before it is read (root reads any folder)
  listed(picker, gone);
  EXPECT_FALSE(picker->listing());
  EXPECT_FALSE(picker->spinner()->visible());
  EXPECT_TRUE(window->locate("dialog")) << "the user is told";
}

TEST_F(PickerTest, ClickingAFileEnablesSelectWhichSendsTheFileAndFolder) {
  file("one.json", 3), file("two.json", 5);
  Ref<QELCFilePicker> picker = QELCFilePicker::widgetWithSize({0, 0}, {0, 0});
  picker->setFilters({"json"});
  picker->setOnSelect(LLKCMessage::messageWithCode(42));
  listed(picker, root.string());
  ASSERT_EQ(picker->fileList()->live().count(1), 1u);
  QELBWidget& row = *picker->fileList()->live().at(1);
  window->click(row.localToWorld({20, 10}));
  EXPECT_TRUE(picker->selectButton()->enabled());
  ASSERT_TRUE(picker->selected());
  EXPECT_EQ(picker->selected()->name(), "two.json");
  QELBButton& select = *picker->selectButton();
  window->click(select.localToWorld({select.size().w / 2, select.size().h / 2}));
  ASSERT_FALSE(catcher->messages.empty());
  const LLKCDictionary& choice = catcher->last();
  EXPECT_EQ(catcher->messages.back()->codeValue(), 42u);
  Ref<LLKCFSFile> chosen = choice.objectForKeyAs<LLKCFSFile>("file");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->basename(), "two");
  EXPECT_EQ(choice.objectForKeyAs<LLKCFSFolder>("folder")->absFullPath(), root.string());
}

// File rows tile the list without overlapping, and a row's date and size line sits under its
// own name, nearer it than the next row's name.
TEST_F(PickerTest, AFileRowsDetailLineSitsUnderItsOwnName) {
  file("one.json", 3), file("two.json", 5), file("three.json", 7);
  Ref<QELCFilePicker> picker = QELCFilePicker::widgetWithSize({0, 0}, {0, 0});
  picker->setFilters({"json"});
  listed(picker, root.string());
  const auto& rows = picker->fileList()->live();
  ASSERT_EQ(rows.size(), 3u);
  // The middle of a row's child in window coordinates: 0 the name, 1 the detail line.
  auto middle = [](QELBWidget* row, size_t child) {
    QELBWidget* part = dynamic_cast<QELBParent*>(row)->childs().at(child).get();
    return part->localToWorld({0, part->size().h / 2}).y;
  };
  for (uint32_t i = 0; i + 1 < rows.size(); ++i) {
    QELBWidget* row = rows.at(i).get();
    QELBWidget* next = rows.at(i + 1).get();
    EXPECT_LE(row->frame().bottom, next->frame().top) << i;
    float name = middle(row, 0), detail = middle(row, 1), nextName = middle(next, 0);
    EXPECT_LT(detail - name, nextName - detail) << i;
  }
}

// A row's date and size read as two things ("13:39:11  561.1 KB", not "13:39:11561.1 KB"):
// between them lies a clear strip, whether the row is as wide as its detail line (a short name)
// or wider (a long one), drawn by a window that redraws only what changed.
TEST_F(PickerTest, ARowsDateAndSizeStandApart) {
  file("a.json", 574566), file("a-name-longer-than-the-date-and-the-size-together.json", 1500);
  window->setRedrawsOnRequest(true);
  Ref<QELCFilePicker> picker = QELCFilePicker::widgetWithSize({0, 0}, {0, 0});
  picker->setFilters({"json"});
  listed(picker, root.string());
  window->frame();
  const auto& rows = picker->fileList()->live();
  ASSERT_EQ(rows.size(), 2u);
  for (const auto& [index, row] : rows) {
    auto* detail = dynamic_cast<QELBParent*>(dynamic_cast<QELBParent*>(row.get())->childs().at(1).get());
    ASSERT_TRUE(detail);
    ASSERT_EQ(detail->childs().size(), 2u);
    QELBWidget& date = *detail->childs().at(0);
    QELBWidget& size = *detail->childs().at(1);
    const float left = date.localToWorld({date.size().w, 0}).x, right = size.localToWorld({0, 0}).x;
    const float top = date.localToWorld({0, 0}).y, bottom = date.localToWorld({0, date.size().h}).y;
    EXPECT_GE(right - left, 4) << index << ": the size starts where the date ends";
    // The strip is all one colour: no glyph of either text reaches into it.
    const auto clear = window->pixel(static_cast<int>(std::ceil(left)), static_cast<int>(top));
    for (int y = static_cast<int>(top); y < static_cast<int>(bottom); ++y)
      for (int x = static_cast<int>(std::ceil(left)); x < static_cast<int>(right); ++x)
        ASSERT_EQ(window->pixel(x, y), clear) << index << ": ink at " << x << ", " << y;
  }
}

// A row of either list answers a click on every pixel row its frame is drawn on, its first and
// its last included, and not on the pixel rows just outside them. The frame shows while the
// pointer is over the row; where it lies is read back from the pixels.
TEST_F(PickerTest, ARowIsPickedOnEveryPixelRowItsFrameIsDrawnOn) {
  enum Which { kFiles, kFolders };
  struct Case {
    Which list;
    size_t row;
  };
  std::vector<Case> cases;
  for (size_t row = 0; row < 4; ++row) cases.push_back({kFiles, row}), cases.push_back({kFolders, row});
  for (const Case& c : cases) {
    for (int edge = 0; edge < 4; ++edge) {
      SetUp();
      for (const char* name : {"a.json", "b.json", "c.json", "d.json"}) file(name, 10);
      for (const char* name : {"e", "f", "g"}) folder(name);
      window->setRedrawsOnRequest(true);
      Ref<QELCFilePicker> picker = QELCFilePicker::widgetWithSize({0, 0}, {0, 0});
      picker->setFilters({"json"});
      listed(picker, root.string());
      auto* list = dynamic_cast<QELBParent*>(c.list == kFiles ? static_cast<QELBWidget*>(picker->fileList())
                                                              : static_cast<QELBWidget*>(picker->folderList()));
      std::vector<QELBWidget*> rows;
      for (const Ref<QELBWidget>& child : list->childs()) rows.push_back(child.get());
      std::sort(rows.begin(), rows.end(), [](QELBWidget* a, QELBWidget* b) { return a->frame().top < b->frame().top; });
      ASSERT_EQ(rows.size(), 4u);
      QELBWidget& row = *rows[c.row];
      const std::string name = (c.list == kFiles ? "file row " : "folder row ") + std::to_string(c.row);
      const OGLTPoint origin = row.localToWorld({0, 0});
      const int x = static_cast<int>(origin.x + row.size().w / 2);
      const int from = static_cast<int>(origin.y) - 3, to = static_cast<int>(origin.y + row.size().h) + 3;
      // The pointer over another row of the list (the list itself stays hovered), then over this one.
      QELBWidget& away = *rows[(c.row + 2) % rows.size()];
      window->moveTo(away.localToWorld({away.size().w / 2, away.size().h / 2}));
      window->frame();
      std::vector<std::array<uint8_t, 4>> before;
      for (int y = from; y < to; ++y) before.push_back(window->pixel(x, y));
      window->moveTo({static_cast<float>(x), origin.y + row.size().h / 2});
      window->frame();
      int first = -1, last = -1;
      for (int y = from; y < to; ++y)
        if (window->pixel(x, y) != before[static_cast<size_t>(y - from)]) {
          if (first < 0) first = y;
          last = y;
        }
      ASSERT_GE(first, 0) << name << ": no frame drawn";
      auto picks = [&](int y) {
        Ref<LLKBObject> chosen = row.ancillary();
        window->click({static_cast<float>(x), static_cast<float>(y)});
        if (c.list == kFiles) return picker->selected() && picker->selected().get() == chosen.get();
        // A folder row opens its folder (the ".." row the one above).
        auto* folder = dynamic_cast<LLKBFSEntry*>(chosen.get());
        const std::string expected = folder ? (root / folder->name()).string() : root.parent_path().string();
        return picker->path() == expected;
      };
      // The drawn edges pick the row; the pixel rows just outside them do not.
      const int y = edge == 0 ? first : edge == 1 ? last : edge == 2 ? first - 1 : last + 1;
      if (edge < 2) {
        EXPECT_TRUE(picks(y)) << name << ": the " << (edge == 0 ? "first" : "last") << " drawn row " << y
                              << " picks nothing";
      } else {
        EXPECT_FALSE(picks(y)) << name << ": row " << y << " outside the drawn frame picks it";
      }
    }
  }
}

TEST_F(PickerTest, CancelWithoutAMessageStillSendsTheEmptyOne) {
  Ref<QELCFilePicker> picker = listed(QELCFilePicker::widgetWithSize({0, 0}, {0, 0}), root.string());
  picker->onMessaged(LLKCMessage::messageWithCode(LLKTMessageCode{4, 2, 0}));
  ASSERT_EQ(catcher->messages.size(), 1u);
  EXPECT_EQ(catcher->messages[0]->codeValue(), 0u);
}

Ref<LLKCMessage> typed(const std::string& path) {
  Ref<LLKCMessage> commit = LLKCMessage::messageWithCode(kQELPickerUidPath);
  commit->details().storeObject(LLKCString::stringWithString(path), "value");
  return commit;
}

TEST_F(PickerTest, ATypedPathOpensItsFolderAndAFailedOneKeepsTheCurrentAndSaysSo) {
  std::string sub = folder("sub");
  file("sub/in.json");
  Ref<QELCFilePicker> picker = listed(QELCFilePicker::widgetWithSize({0, 0}, {0, 0}), root.string());
  picker->onMessaged(typed((root / "missing").string()));
  EXPECT_EQ(picker->path(), root.string());
  EXPECT_EQ(picker->pathBox()->value(), root.string());
  EXPECT_TRUE(window->locate("dialog")) << "the user is told";
  EXPECT_EQ(folderNames(*picker), (std::vector<std::string>{"..", "sub"}));

  picker->onMessaged(typed(sub));
  EXPECT_TRUE(window->pumpUntil([&] { return !picker->listing(); }));
  EXPECT_EQ(picker->path(), sub);
  EXPECT_EQ(fileNames(*picker), std::vector<std::string>{"in.json"});
}

TEST_F(PickerTest, APathLongerThanTheBoxComesBackWhole) {
  std::string deep = folder(std::string(60, 'a') + "/" + std::string(60, 'b'));
  Ref<QELCFolderPicker> picker = QELCFolderPicker::widgetWithSize({0, 0}, {0, 0});
  picker->setOnSelect(LLKCMessage::messageWithCode(9));
  listed(picker, deep);
  EXPECT_LT(picker->pathBox()->value().size(), deep.size());
  EXPECT_EQ(picker->path(), deep);
  picker->onMessaged(LLKCMessage::messageWithCode(LLKTMessageCode{4, 1, 0}));
  EXPECT_EQ(catcher->last().objectForKeyAs<LLKCFSFolder>("folder")->absFullPath(), deep);
}

TEST_F(PickerTest, SelectWithoutAFolderSendsNothingAndSaysSo) {
  Ref<QELCFolderPicker> picker = place(QELCFolderPicker::widgetWithSize({0, 0}, {0, 0}));
  picker->setOnSelect(LLKCMessage::messageWithCode(9));
  picker->setPath((root / "missing").string());
  ASSERT_FALSE(picker->folder());
  picker->onMessaged(LLKCMessage::messageWithCode(LLKTMessageCode{4, 1, 0}));
  EXPECT_TRUE(catcher->messages.empty()) << "no choice without a folder";
  EXPECT_TRUE(window->locate("dialog")) << "the user is told";
}

TEST_F(PickerTest, TheDotDotRowLeadsUpAndSortsFirst) {
  folder("a/b");
  Ref<QELCFolderPicker> picker = listed(QELCFolderPicker::widgetWithSize({0, 0}, {0, 0}), (root / "a").string());
  EXPECT_EQ(folderNames(*picker), (std::vector<std::string>{"..", "b"}));
  picker->onMessaged(LLKCMessage::messageWithCode(kQELPickerUidFolder));
  EXPECT_TRUE(window->pumpUntil([&] { return !picker->listing(); }));
  window->frame();
  EXPECT_EQ(picker->path(), root.string());
  EXPECT_EQ(folderNames(*picker), (std::vector<std::string>{"..", "a"}));
}

TEST_F(PickerTest, NewFolderNamesMustBeOnePlainComponent) {
  struct Case {
    std::string name;
    bool made;
    bool told;
  } cases[] = {{"fresh", true, false}, {"", false, false},     {"..", false, true},
               {"a/b", false, true},   {"taken", false, true}, {".", false, true}};
  for (const Case& c : cases) {
    SetUp();
    folder("taken");
    Ref<QELCFolderPicker> picker = listed(QELCFolderPicker::widgetWithSize({0, 0}, {0, 0}), root.string());
    picker->onMessaged(LLKCMessage::messageWithCode(LLKTMessageCode{4, 3, 0}));
    EXPECT_TRUE(picker->creating());
    EXPECT_EQ(picker->selectButton()->label(), "Create");
    picker->nameBox()->setValue(c.name);
    picker->onMessaged(LLKCMessage::messageWithCode(LLKTMessageCode{4, 1, 0}));
    EXPECT_FALSE(picker->creating()) << c.name;
    EXPECT_EQ(picker->selectButton()->label(), "Select");
    EXPECT_EQ(picker->nameBox()->value(), "");
    EXPECT_EQ(picker->path(), c.made ? (root / c.name).string() : root.string()) << c.name;
    EXPECT_EQ(window->locate("dialog") != nullptr, c.told) << c.name;
    EXPECT_FALSE(std::filesystem::exists(root / "a")) << c.name;
  }
}

TEST_F(PickerTest, APickDialogClosesOnCancelWithoutAMessage) {
  Ref<QELCFilePickDialog> dialog = QELCFilePickDialog::widgetWithSize({0, 0}, {0, 0}, "Open");
  ASSERT_TRUE(dialog);
  dialog->setPath(root.string());
  dialog->setVisible(true);
  place(dialog);
  window->frame();  // laid out and centred
  EXPECT_EQ(dialog->path(), root.string());
  QELBButton& cancel = *dialog->picker()->cancelButton();
  window->click(cancel.localToWorld({cancel.size().w / 2, cancel.size().h / 2}));
  EXPECT_EQ(dialog->parent(), nullptr);
  ASSERT_FALSE(catcher->messages.empty());
  EXPECT_EQ(catcher->messages.back()->codeValue(), 0u);
}

// Centred in a room shorter than it, a dialog hid its own title above the window's top: a pick
// dialog shortens its lists (never below a few rows) until it fits.
TEST_F(PickerTest, APickDialogFitsItsRoomByShorteningItsLists) {
  struct Case {
    const char* name;
    OGLTSize room;
    bool full;  // the lists keep their full height
  };
  const Case cases[] = {
      {"roomy", {1000, 800}, true},
      {"the workbench's window", {640, 480}, false},
      {"tiny", {640, 200}, false},
  };
  for (const Case& c : cases) {
    Ref<Catcher> room = Catcher::make(c.room);
    ASSERT_TRUE(catcher->attach(room));
    Ref<QELCFilePickDialog> file = QELCFilePickDialog::widgetWithSize({0, 0}, {0, 0}, "Open");
    Ref<QELCFolderPickDialog> folder = QELCFolderPickDialog::widgetWithSize({0, 0}, {0, 0}, "Where?");
    ASSERT_TRUE(file && folder);
    for (QELBDialog* dialog : {static_cast<QELBDialog*>(file.get()), static_cast<QELBDialog*>(folder.get())}) {
      ASSERT_TRUE(room->attach(Ref<QELBWidget>(dialog)));
      window->frame();  // sized and centred
      const OGLTRect& f = dialog->frame();
      const float lists =
          dialog == file.get() ? file->picker()->fileList()->size().h : folder->picker()->folderList()->size().h;
      if (c.full) {
        EXPECT_EQ(lists, QELBPicker::kListHeight) << c.name << " " << dialog->title();
      } else {
        EXPECT_LT(lists, QELBPicker::kListHeight) << c.name << " " << dialog->title();
      }
      if (lists > 64) {  // at the shortest lists a dialog may still stand out of a tiny room
        EXPECT_GE(f.top, 0) << c.name << " " << dialog->title() << ": the title stands out";
        EXPECT_LE(f.bottom, c.room.h) << c.name << " " << dialog->title() << ": the buttons stand out";
      }
      EXPECT_GE(lists, 64) << c.name << " " << dialog->title() << ": a few rows stay";
      EXPECT_EQ(std::fmod(lists, 2.0f), 0) << c.name;
      room->detach(Ref<QELBWidget>(dialog));
    }
    catcher->detach(room);
  }
}

}  // namespace
