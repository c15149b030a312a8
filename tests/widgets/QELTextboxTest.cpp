// The text box in a headless window: one editing table (typing, Backspace, Delete, paste and
// cut at the start, middle and end, in wrapped and unwrapped boxes, with multi-byte UTF-8 and a
// full capacity), the incremental re-wrap against a full one, focus, messages, read-only boxes,
// drag selection and the caret.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "framework/core/LLKCString.h"
#include "tests/widgets/QELControlTestKit.h"
#include "ui/gl/OGLF.h"
#include "ui/gl/OGLF2D.h"
#include "ui/widgets/QELBTextbox.h"
#include "ui/widgets/QELFTextUTF8.h"

namespace {


// One input: a key (pressed and released in one frame) or a typed character.
struct Input {
  int32_t key = 0;
  int32_t mods = 0;
  char32_t character = 0;
};
using Script = std::vector<Input>;

Input key(int32_t code, int32_t mods = 0) { return {code, mods, 0}; }
Script typed(std::u32string_view text) {
  Script s;
  for (char32_t c : text) s.push_back({0, 0, c});
  return s;
}
Script operator+(Script a, const Script& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
Script keys(std::initializer_list<Input> list) { return Script(list); }

constexpr float kWide = 300, kNarrow = 50;  // the narrow box wraps "hello world again" into three rows

class Textbox : public ControlTest {
protected:
  Ref<QELCTextbox> box(std::string_view text, uint32_t capacity, float width = kWide) {
    Ref<QELCTextbox> b = QELCTextbox::widgetWithSize({width, 60}, {10, 10}, text, capacity);
    b->setOnChange(LLKCMessage::messageWithCode(1));
    b->setOnCommit(LLKCMessage::messageWithCode(2));
    place(b);
    window->click({12, 12});  // editing starts with a click
    return b;
  }
  void run(const Script& script) {
    for (const Input& in : script) {
      if (in.character) {
        window->character(static_cast<uint32_t>(in.character));
      } else {
        window->key(in.key, kOGLActionPress, in.mods);
        window->key(in.key, kOGLActionRelease, in.mods);
      }
      window->frame();
    }
  }
  // The caret moved to the start, then right by `chars` characters.
  Script caretAt(size_t chars) {
    Script s = keys({key(kOGLKeyPageUp)});
    for (size_t i = 0; i < chars; ++i) s.push_back(key(kOGLKeyRight));
    return s;
  }
  std::string& clipboard() { return window->context()->ownClipboard(); }
  size_t changes() const {
    size_t n = 0;
    for (const Ref<LLKCMessage>& m : catcher->messages) n += m->codeValue() == 1;
    return n;
  }
};

std::string utf8(std::u32string_view text) {
  std::string out;
  char buffer[7];
  for (char32_t c : text) out += OGLFCodePointToUTF8(static_cast<int>(c), buffer);
  return out;
}

TEST_F(Textbox, EditingTable) {
  struct Case {
    const char* name;
    std::u32string start;
    uint32_t capacity;
    float width;
    size_t caret;      // characters from the start
    size_t select;     // characters selected to the right of the caret with shift
    const char* clip;  // on the clipboard before the input
    Script input;
    std::u32string value;
    size_t caretBytes;
    const char* clipAfter;  // null: not checked
  };
  const Input shiftRight = key(kOGLKeyRight, kOGLModShift), shiftLeft = key(kOGLKeyLeft, kOGLModShift);
  const Input paste = key(kOGLKeyV, kOGLModControl), cut = key(kOGLKeyX, kOGLModControl);
  Case cases[] = {
      {"type at the end", U"abc", 10, kWide, 3, 0, "", typed(U"d"), U"abcd", 4, nullptr},
      {"type two-byte and three-byte characters in the middle", U"abc", 10, kWide, 1, 0, "", typed(U"é€"), U"aé€bc", 6,
       nullptr},
      {"type a four-byte character at the start", U"abc", 10, kWide, 0, 0, "", typed(U"😀"), U"😀abc", 4, nullptr},
      {"type a combining mark", U"e", 10, kWide, 1, 0, "", typed(U"\u0301"), U"e\u0301", 3, nullptr},
      {"Backspace at the start deletes nothing", U"abc", 10, kWide, 0, 0, "", keys({key(kOGLKeyBackspace)}), U"abc", 0,
       nullptr},
      {"Backspace removes a whole character", U"a€b", 10, kWide, 2, 0, "", keys({key(kOGLKeyBackspace)}), U"ab", 1, nullptr},
      {"Backspace at the end", U"a😀", 10, kWide, 2, 0, "", keys({key(kOGLKeyBackspace)}), U"a", 1, nullptr},
      {"Delete at the end deletes nothing", U"abc", 10, kWide, 3, 0, "", keys({key(kOGLKeyDelete)}), U"abc", 3, nullptr},
      {"Delete removes a whole character", U"a😀b", 10, kWide, 1, 0, "", keys({key(kOGLKeyDelete)}), U"ab", 1, nullptr},
      {"Delete at the start", U"éab", 10, kWide, 0, 0, "", keys({key(kOGLKeyDelete)}), U"ab", 0, nullptr},
      {"Backspace deletes the selection", U"abcdef", 10, kWide, 1, 3, "", keys({key(kOGLKeyBackspace)}), U"aef", 1, nullptr},
      {"a full box drops what is typed", U"abcde", 5, kWide, 2, 0, "", typed(U"x"), U"abcde", 2, nullptr},
      {"a character that does not fit whole is dropped", U"abcd", 5, kWide, 4, 0, "", typed(U"é"), U"abcd", 4, nullptr},
      {"paste cuts the tail to fit", U"abc", 5, kWide, 1, 0, "XYZ", keys({paste}), U"aXYZb", 4, nullptr},
      {"paste reaching the capacity drops the rest", U"abc", 5, kWide, 2, 0, "XYZ", keys({paste}), U"abXYZ", 5,
       nullptr},
      {"paste at the end", U"abc", 10, kWide, 3, 0, "é😀", keys({paste}), U"abcé😀", 9, nullptr},
      {"paste at the start", U"abc", 10, kWide, 0, 0, "€", keys({paste}), U"€abc", 3, nullptr},
      {"paste never splits a character at the capacity", U"ab", 5, kWide, 2, 0, "😀😀", keys({paste}), U"ab", 2, nullptr},
      {"paste cuts itself between characters", U"", 6, kWide, 0, 0, "€€€", keys({paste}), U"€€", 6, nullptr},
      {"paste replaces the selection", U"hello", 10, kWide, 1, 3, "ipp", keys({paste}), U"hippo", 4, nullptr},
      {"paste of malformed bytes stores replacement characters", U"", 10, kWide, 0, 0,
       "a\xff"
       "b",
       keys({paste}), U"a\uFFFDb", 5, nullptr},
      {"cut in the middle puts the text on the clipboard once", U"héllo", 10, kWide, 1, 2, "", keys({cut}), U"hlo", 1,
       "él"},
      {"cut at the start", U"abc", 10, kWide, 0, 1, "", keys({cut}), U"bc", 0, "a"},
      {"cut at the end", U"ab€", 10, kWide, 2, 1, "", keys({cut}), U"ab", 2, "€"},
      {"cut without a selection does nothing", U"abc", 10, kWide, 1, 0, "keep", keys({cut}), U"abc", 1, "keep"},
      {"select all then type replaces everything", U"a€c", 10, kWide, 1, 0, "",
       keys({key(kOGLKeyA, kOGLModControl)}) + typed(U"z"), U"z", 1, nullptr},
      {"shift with Left selects backwards", U"abcd", 10, kWide, 4, 0, "", keys({shiftLeft, shiftLeft}) + typed(U"X"),
       U"abX", 3, nullptr},
      {"copy leaves the text", U"ab😀", 10, kWide, 1, 2, "", keys({key(kOGLKeyC, kOGLModControl)}), U"ab😀", 6, "b😀"},
      {"wrapped: type at the start of the third row", U"hello world again", 64, kNarrow, 12, 0, "", typed(U"X"),
       U"hello world Xagain", 13, nullptr},
      {"wrapped: Backspace in the second row", U"hello world again", 64, kNarrow, 8, 0, "", keys({key(kOGLKeyBackspace)}),
       U"hello wrld again", 7, nullptr},
      {"wrapped: Down goes to the next row", U"hello world again", 64, kNarrow, 0, 0, "",
       keys({key(kOGLKeyDown)}) + typed(U"é"), U"hello éworld again", 8, nullptr},
      {"wrapped: paste into the second row", U"héllo wörld again", 64, kNarrow, 9, 0, "ß", keys({paste}),
       U"héllo wörßld again", 13, nullptr},
      {"wrapped: cut across rows", U"hello world again", 64, kNarrow, 4, 4, "", keys({cut}), U"hellrld again", 4,
       "o wo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    catcher->detachAll();
    Ref<QELCTextbox> b = box(utf8(c.start), c.capacity, c.width);
    clipboard() = c.clip;
    Script script = caretAt(c.caret);
    for (size_t i = 0; i < c.select; ++i) script.push_back(shiftRight);
    run(script + c.input);
    EXPECT_EQ(b->value(), utf8(c.value));
    EXPECT_EQ(b->caret(), c.caretBytes);
    if (c.clipAfter) {
      EXPECT_EQ(clipboard(), c.clipAfter);
    }
    EXPECT_EQ(QELFUTF8Sanitized(b->value(), 1000), b->value());  // always valid UTF-8
  }
}

TEST_F(Textbox, TheNarrowBoxWrapsIntoRowsThatKeepTheirOwnStart) {
  Ref<QELCTextbox> b = box("hello world again", 64, kNarrow);
  const QELTTextboxLayout& l = b->layout();
  ASSERT_EQ(l.rows.size(), 3u);
  EXPECT_EQ(l.rows[1].start, 6u);
  EXPECT_EQ(l.rows[2].start, 12u);
  EXPECT_EQ(QELFTextboxLayoutFindGlyphForOffset(&l, 12), (QELTTextboxPosition{2, -1}));
  EXPECT_EQ(QELFTextboxLayoutFindGlyphForOffset(&l, 14), (QELTTextboxPosition{2, 1}));
  uint32_t offset = 0;
  ASSERT_TRUE(QELFTextboxLayoutFindOffset(&l, {2, 1}, &offset));
  EXPECT_EQ(offset, 14u);
  EXPECT_FALSE(QELFTextboxLayoutFindOffset(&l, {3, 0}, &offset));
}

// Random edits re-wrapped from the changed row give the rows of a full wrap.
TEST_F(Textbox, IncrementalRewrapMatchesAFullWrap) {
  OGLC2DContext* ctx = window->context();
  QELFControlStandardText(ctx, *window->tweaks());
  OGLF2DTextAlignment(ctx, kOGLAlignLeft | kOGLAlignTop);
  std::mt19937 random(7);
  const std::string pieces[] = {" ", "a", "bb", "word ", "é", "😀", "\n", "\r\n", "longerwordthanarow", "  "};
  std::string text;
  for (int i = 0; i < 200; ++i) text += pieces[random() % std::size(pieces)];
  QELTTextboxLayout layout, full;
  ASSERT_TRUE(QELFTextboxLayoutSetup(&layout, ctx, text.c_str(), 80, 1.1f));
  for (int edit = 0; edit < 300; ++edit) {
    uint32_t at = static_cast<uint32_t>(QELFUTF8Floor(text, random() % (text.size() + 1)));
    uint32_t end = static_cast<uint32_t>(QELFUTF8Floor(text, at + random() % 6));
    const std::string& piece = edit % 3 == 0 ? std::string() : pieces[random() % std::size(pieces)];
    text.replace(at, end - at, piece);
    ASSERT_TRUE(QELFTextboxLayoutUpdate(&layout, ctx, text.c_str(), 80, 1.1f, at, end - at,
                                        static_cast<uint32_t>(piece.size())));
    ASSERT_TRUE(QELFTextboxLayoutSetup(&full, ctx, text.c_str(), 80, 1.1f));
    ASSERT_EQ(layout.rows.size(), full.rows.size()) << "edit " << edit;
    for (size_t r = 0; r < full.rows.size(); ++r) {
      ASSERT_EQ(layout.rows[r].start, full.rows[r].start) << "edit " << edit << " row " << r;
      ASSERT_EQ(layout.rows[r].end, full.rows[r].end) << "edit " << edit << " row " << r;
      ASSERT_EQ(layout.rows[r].glyphs.size(), full.rows[r].glyphs.size());
    }
  }
}

TEST_F(Textbox, KeysActOnReleaseAndRepeatAndAPressAndReleaseInOneFrameEditOnce) {
  Ref<QELCTextbox> b = box("abcd", 10);
  run(keys({key(kOGLKeyPageDown)}));
  window->key(kOGLKeyBackspace, kOGLActionPress);
  window->frame();
  EXPECT_EQ(b->value(), "abcd");  // a press alone does nothing
  window->key(kOGLKeyBackspace, kOGLActionRelease);
  window->frame();
  EXPECT_EQ(b->value(), "abc");
  window->key(kOGLKeyBackspace, kOGLActionRepeat);
  window->key(kOGLKeyBackspace, kOGLActionRepeat);
  window->frame();
  EXPECT_EQ(b->value(), "a");
}

TEST_F(Textbox, OneChangePerFrameAndEnterCommitsWithoutAChange) {
  Ref<QELCTextbox> b = box("", 10);
  catcher->messages.clear();
  window->character('a');
  window->character('b');
  window->frame();
  ASSERT_EQ(changes(), 1u);
  EXPECT_EQ(refCast<LLKCString>(catcher->last().objectForKey("value"))->string(), "ab");
  run(keys({key(kOGLKeyEnter)}));
  ASSERT_EQ(catcher->messages.size(), 2u);
  EXPECT_EQ(catcher->messages.back()->codeValue(), 2u);
  EXPECT_EQ(refCast<LLKCString>(catcher->last().objectForKey("value"))->string(), "ab");
  EXPECT_EQ(catcher->last().objectForKey("sender").get(), b.get());
}

TEST_F(Textbox, AReadOnlyBoxCopiesAndMovesButNeverEdits) {
  Ref<QELCTextbox> b = QELCTextbox::widgetWithSize({300, 60}, {10, 10}, "abc", 10);
  b->setFlags(kQELTextboxReadOnly | kQELTextboxFrameless);
  place(b);
  window->click({12, 12});
  EXPECT_EQ(window->sink(), nullptr);
  EXPECT_FALSE(b->focused());
  clipboard() = "zz";
  window->moveTo({20, 20});  // keys reach a read-only box while the cursor is over it
  run(keys({key(kOGLKeyA, kOGLModControl), key(kOGLKeyC, kOGLModControl), key(kOGLKeyV, kOGLModControl),
            key(kOGLKeyX, kOGLModControl), key(kOGLKeyBackspace), key(kOGLKeyDelete)}) +
      typed(U"q"));
  EXPECT_EQ(b->value(), "abc");
  EXPECT_EQ(clipboard(), "abc");
}

TEST_F(Textbox, FocusFollowsTheSinkUnlessSelfFocused) {
  Ref<QELCTextbox> a = box("a", 10);
  EXPECT_EQ(window->sink(), a.get());
  EXPECT_TRUE(a->focused());
  a->setFocused(false);  // only a self-focused box switches by itself
  EXPECT_TRUE(a->focused());
  window->click({380, 280});  // a click elsewhere takes the sink away
  window->moveTo({390, 290});
  EXPECT_FALSE(a->focused());
  Ref<QELCTextbox> self = QELCTextbox::widgetWithSize({100, 30}, {10, 100}, "", 10);
  self->setFlags(kQELTextboxSelfFocus);
  place(self);
  self->setFocused(true);
  window->character(U'ü');
  window->frame();
  EXPECT_EQ(self->value(), "ü");
  // A box detached from its window gives up the sink.
  window->click({12, 12});
  ASSERT_EQ(window->sink(), a.get());
  catcher->detach(a);
  EXPECT_EQ(window->sink(), nullptr);
}

TEST_F(Textbox, AHeldPressDragsASelectionThatCopies) {
  Ref<QELCTextbox> b = box("héllo wörld", 40);
  // Press at the start, hold past 0.15 s, drag to the middle of the text.
  window->cursorEvent({13, 15}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  window->cursorEvent({13, 15}, kOGLButtonLeft, kOGLActionPress);
  window->frame(0.2f);
  window->cursorEvent({13, 15}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  EXPECT_TRUE(b->selecting());
  OGLTRect glyph;
  ASSERT_TRUE(QELFTextboxLayoutRectForGlyph(&b->layout(), {0, 4}, &glyph));  // after "héllo"
  window->cursorEvent({13 + glyph.right, 15}, kOGLButtonLeft, kOGLActionPress);
  window->frame();
  window->cursorEvent({13 + glyph.right, 15}, kOGLButtonLeft, kOGLActionRelease);
  window->frame();
  EXPECT_FALSE(b->selecting());
  EXPECT_EQ(b->selection().low(), 0u);
  EXPECT_EQ(b->selection().high(), 6u);
  run(keys({key(kOGLKeyC, kOGLModControl)}));
  EXPECT_EQ(clipboard(), "héllo");
  run(keys({key(kOGLKeyEscape), key(kOGLKeyC, kOGLModControl)}));
  EXPECT_TRUE(b->selection().empty());
}

TEST_F(Textbox, SetValueKeepsWholeCharactersWithinTheCapacityAndMovesTheCaretToTheEnd) {
  Ref<QELCTextbox> b = box("", 5);
  b->setValue("ab€€");
  EXPECT_EQ(b->value(), "ab€");
  window->frame();
  EXPECT_EQ(b->caret(), 5u);
  b->setValue("a\0b");
  EXPECT_EQ(b->value(), "a");
  EXPECT_EQ(QELCTextbox::widgetWithSize({10, 10}, {0, 0}, "x\xC3", 4)->value(), "x\xEF\xBF\xBD");
}

TEST_F(Textbox, PreferredSizeMeasuresCapacityHashes) {
  OGLTSize eight = QELBTextbox::preferredSizeWithWindow(window.get(), 8);
  OGLTSize sixteen = QELBTextbox::preferredSizeWithWindow(window.get(), 16);
  EXPECT_GT(sixteen.w, eight.w);
  EXPECT_EQ(static_cast<int>(eight.w) % 2, 0);
  EXPECT_EQ(QELBTextbox::preferredSizeWithWindow(nullptr, 8).w, 0);
}

TEST_F(Textbox, DrawsTheCaretAndTheSelectionAndThePlaceholder) {
  Ref<QELCTextbox> b = QELCTextbox::widgetWithSize({200, 40}, {10, 10}, "", 10);
  b->setLabel("name");
  place(b);
  EXPECT_GT(window->pixel(15, 20)[3] + window->pixel(18, 20)[3] + window->pixel(20, 20)[3], 0);
}

}  // namespace
