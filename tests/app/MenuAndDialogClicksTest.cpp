// Clicks that a menu or a dialog takes over a view reach nothing beneath it: choosing vesko >
// "About vesko", pressing the About box's "Okay" and the solution picker's "Cancel", each over
// the expression view, leave the chunk viewer above it, also while the pointer then rests on the
// expression view. Real input at a person's pace: the pointer is moved, pressed and released at
// once, then moved on over the view as a hand does.
// Screenshots go under the build folder.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "tests/app/WorkbenchFixture.h"
#include "ui/gl/OGLFValueCoding.h"

namespace {

struct At {
  int x, y;
};

// In the window of 640 x 480: the expression view fills it below the menu bar, the chunk viewer
// lies over its top right corner, clear of the menus and of the dialogs.
constexpr ScreenRect kChunkTitle = {530, 42, 94, 14};  // the chunk viewer's title bar, right of the picker
constexpr At kChunkClose = {620, 50}, kChunkGrip = {440, 50};
constexpr At kVeskoMenu = {18, 13}, kAbout = {40, 54}, kOkay = {318, 299};
constexpr At kCommandsMenu = {78, 13}, kLoadSolution = {90, 36}, kCancel = {485, 451};
// Where each shows once open, over parts of the expression view that stay as they are: the
// menus' items, the About box's symbol, the picker's left edge (its frame and its folder list's).
constexpr ScreenRect kAboutItem = {8, 48, 60, 12}, kAboutSymbol = {205, 190, 30, 50};
constexpr ScreenRect kLoadItem = {60, 30, 60, 12}, kPickerEdge = {106, 100, 20, 40};
// Where the pointer rests: over the expression view after a click, over no view before one.
constexpr At kRest = {302, 421}, kAside = {300, 12};

std::string moveTo(At at) { return " mousemove --window %1 " + std::to_string(at.x) + " " + std::to_string(at.y); }

class MenuAndDialogClicksTest : public WorkbenchFixture {
protected:
  // A press and release at once where the pointer is moved to; then the hand goes over the
  // expression view and rests on it for a third of a second, trembling by a pixel.
  static bool clickAndMoveOn(At at) {
    std::string records = moveTo(at) + " sleep 0.02 click 1 sleep 0.02";
    for (int step = 0; step < 16; ++step) records += moveTo({kRest.x + step % 2, kRest.y}) + " sleep 0.02";
    return input(records);
  }
  // The chunk viewer brought to the front by a click on its title bar, the pointer then aside.
  static bool chunkViewerToTheFront() {
    return input(moveTo(kChunkGrip) + " sleep 0.02 click 1 sleep 0.02" + moveTo(kAside) + " sleep 0.15");
  }
};

void storeView(JSKCFrame& config, const char* key, OGLTPoint position, OGLTSize size) {
  Ref<JSKCFrame> view = JSKCFrame::frame();
  (void)view->storeBool(true, "visible");
  (void)OGL::storePoint(*view, position, "position");
  (void)OGL::storeSize(*view, size, "size");
  (void)config.store(view, key);
}

// A click and what it shows (or removes) once taken.
struct Click {
  At at;
  ScreenRect area;
  bool shows;
};

TEST_F(MenuAndDialogClicksTest, AClickTakenByAMenuOrADialogLeavesTheViewsBeneathInTheirOrder) {
  // The chunk viewer opens after the expression view, above it.
  Ref<JSKCFrame> seeded = JSKCFrame::frame();
  storeView(*seeded, "ui.expression", {0, 30}, {640, 440});
  storeView(*seeded, "ui.gist", {380, 40}, {250, 150});
  writeConfig(*seeded);
  ScreenRect window;
  auto program = startDemo(&window);
  ASSERT_FALSE(HasFailure());
  ASSERT_EQ(window.w, 640);
  ASSERT_EQ(window.h, 480);
  ASSERT_TRUE(hover(kAside.x, kAside.y));
  // The window with no menu and no dialog open, to tell when one shows or has gone.
  const std::vector<uint8_t> clear = capture("clicks-start", &window, drawnAt(window, kChunkClose.x, kChunkClose.y));

  const Click veskoMenu = {kVeskoMenu, kAboutItem, true}, about = {kAbout, kAboutSymbol, true};
  const Click commandsMenu = {kCommandsMenu, kLoadItem, true}, load = {kLoadSolution, kPickerEdge, true};
  struct Case {
    const char* name;
    std::vector<Click> opening;  // what opens the menu or the dialog
    bool dialog;                 // the opening leaves a dialog, which a click beside it keeps
    Click click;                 // the click taken over the expression view
  } cases[] = {
      {"clicks-about", {veskoMenu}, false, about},
      {"clicks-okay", {}, true, {kOkay, kAboutSymbol, false}},  // the About box the choice opened
      {"clicks-cancel", {commandsMenu, load}, true, {kCancel, kPickerEdge, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> before;
    // Takes the click and waits until it shows what it opens, or until what it closed is gone.
    auto take = [&](const Click& click, const std::string& name) {
      auto done = [&window, &clear, click](const std::vector<uint8_t>& rgb) {
        return changedIn(rgb, clear, window, click.area) == click.shows;
      };
      return clickAndMoveOn(click.at) && done(capture(name.c_str(), &window, done));
    };
    ASSERT_TRUE(chunkViewerToTheFront());
    before = capture((std::string(c.name) + "-start").c_str(), &window);
    for (const Click& click : c.opening) ASSERT_TRUE(take(click, std::string(c.name) + "-opening"));
    if (c.dialog) {
      ASSERT_TRUE(chunkViewerToTheFront());
      before = capture((std::string(c.name) + "-before").c_str(), &window);
    }
    ASSERT_TRUE(take(c.click, c.name));
    EXPECT_FALSE(changedIn(capture(c.name, &window), before, window, kChunkTitle))
        << "the expression view came to the front";
  }

  ASSERT_TRUE(program->signal(SIGTERM));
  EXPECT_EQ(program->waitForExit(), 0) << program->output();
}

}  // namespace
