// The recents list and the display form of its paths.
#include <gtest/gtest.h>

#include "app/base/VSKFPaths.h"
#include "app/shell/VSKTRecents.h"
#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCString.h"
#include "framework/core/LLKFFiles.h"
#include "tests/core/TemporaryFolder.h"

namespace {

TEST(DisplayForm, CutsTheBaseOnlyAtAPathSeparator) {
  struct Case {
    const char* path;
    const char* base;
    const char* shown;
  };
  const Case cases[] = {
      {"/w/etc/vesko/demo.json", "/w/etc/vesko", "./demo.json"},
      {"/w/etc/vesko/ctm/demo.json", "/w/etc/vesko", "./ctm/demo.json"},
      {"/w/etc/vesko/ctm/demo.json", "/w/etc/vesko/", "./ctm/demo.json"},
      {"/w/etc/vesko2/demo.json", "/w/etc/vesko", "/w/etc/vesko2/demo.json"},
      {"/w/etc/vesko", "/w/etc/vesko", "/w/etc/vesko"},
      {"/elsewhere/demo.json", "/w/etc/vesko", "/elsewhere/demo.json"},
      {"/w/etc/vesko/demo.json", "", "/w/etc/vesko/demo.json"},
  };
  for (const Case& c : cases) EXPECT_EQ(VSKFPathDisplayForm(c.path, c.base), c.shown) << c.path << " in " << c.base;
}

TEST(Recents, KeepsFiveWithoutTwoOfTheSameDisplayForm) {
  VSKTRecents recents("/w/etc/vesko");
  for (int i = 1; i <= 5; ++i) EXPECT_TRUE(recents.append("/w/etc/vesko/s" + std::to_string(i) + ".json"));
  // Already there: unchanged, the entry keeps its place.
  EXPECT_FALSE(recents.append("/w/etc/vesko/s2.json"));
  EXPECT_EQ(recents.paths()[1], "/w/etc/vesko/s2.json");
  // A sixth drops the oldest and goes last.
  EXPECT_TRUE(recents.append("/elsewhere/s6.json"));
  ASSERT_EQ(recents.paths().size(), VSKTRecents::kCapacity);
  EXPECT_EQ(recents.paths().front(), "/w/etc/vesko/s2.json");
  EXPECT_EQ(recents.paths().back(), "/elsewhere/s6.json");
  // Two full paths with one display form cannot both be listed: "/a/x.json" under the base "/a"
  // shows as "./x.json", and so does the path "./x.json", which is shown whole.
  VSKTRecents other("/a");
  EXPECT_TRUE(other.append("/a/x.json"));
  ASSERT_EQ(other.displayForm("./x.json"), other.displayForm("/a/x.json"));
  EXPECT_FALSE(other.append("./x.json"));
  EXPECT_EQ(other.paths(), std::vector<std::string>{"/a/x.json"});
  // Another display form is listed beside it.
  EXPECT_TRUE(other.append("/a/y.json"));
  EXPECT_FALSE(other.append(""));
  EXPECT_EQ(other.paths(), (std::vector<std::string>{"/a/x.json", "/a/y.json"}));
}

TEST(Recents, RestoresExistingFilesInOrderAndArchivesWithoutLosingEarlierItems) {
  TemporaryFolder folder;
  std::string first = folder.path() + "/first.json", second = folder.path() + "/second.json";
  ASSERT_TRUE(LLKFWriteFileAtomically(first.c_str(), "{}", 2));
  ASSERT_TRUE(LLKFWriteFileAtomically(second.c_str(), "{}", 2));
  Ref<JSKCFrame> config = JSKCFrame::frame();
  Ref<JSKCFrame> stored = JSKCFrame::frame();
  Ref<JSKCArray> items = JSKCArray::array();
  for (const std::string& path : {second, folder.path() + "/gone.json", first})
    (void)items->append(JSKCString::stringWithString(path));
  (void)items->append(JSKCFrame::frame());
  (void)stored->store(items, "items");
  (void)config->store(stored, "load.recents");

  VSKTRecents recents("/w/etc/vesko");
  recents.restore(*config);
  EXPECT_EQ(recents.paths(), (std::vector<std::string>{second, first}));

  // An empty list keeps the items stored before; a list replaces them.
  VSKTRecents none("/w/etc/vesko");
  none.archive(*config);
  EXPECT_EQ(config->frameForLabel("load.recents")->arrayForLabel("items")->count(), 4u);
  recents.archive(*config);
  Ref<JSKCArray> written = config->frameForLabel("load.recents")->arrayForLabel("items");
  ASSERT_EQ(written->count(), 2u);
  EXPECT_EQ(refCast<JSKCString>(written->atIndex(0))->string(), second);
}

}  // namespace
