// The text box's keys and edits: navigation, selection with shift, copy, cut, paste, typing,
// Backspace and Delete, all on whole UTF-8 characters within the capacity.
#include <algorithm>
#include <string>

#include "ui/gl/OGLF.h"
#include "ui/widgets/QELBTextbox.h"
#include "ui/widgets/QELFTextUTF8.h"

void QELBTextbox::moveCaret(uint32_t offset, bool extend) {
  if (extend) {
    if (selection_.empty()) selection_ = {caret_, offset};
    else if (selection_.to == caret_) selection_.to = offset;
    else if (selection_.from == caret_) selection_.from = offset;
    else selection_ = {caret_, offset};
  }
  caret_ = offset;
}

// The offset the same glyph shows at `rows` rows away (capped at the first and last rows, and
// at the row's last glyph).
uint32_t QELBTextbox::rowStep(int32_t rows) const {
  QELTTextboxPosition p = QELFTextboxLayoutFindGlyphForOffset(&layout_, caret_);
  if (p.row < 0) return caret_;
  int32_t last = static_cast<int32_t>(layout_.rows.size()) - 1;
  int32_t row = std::clamp(p.row + rows, 0, last);
  if (row == p.row) return caret_;
  int32_t glyphs = static_cast<int32_t>(layout_.rows[static_cast<size_t>(row)].glyphs.size());
  uint32_t offset = caret_;
  QELFTextboxLayoutFindOffset(&layout_, {row, std::min(p.glyph, glyphs - 1)}, &offset);
  return offset;
}

bool QELBTextbox::deleteSelection(OGLC2DContext* ctx) {
  if (selection_.empty()) return false;
  uint32_t low = selection_.low(), high = selection_.high();
  selection_ = {};
  caret_ = low;
  replace(ctx, low, high - low, {});
  return true;
}

void QELBTextbox::copySelection(OGLC2DContext* ctx) {
  if (selection_.empty() || text_.empty()) return;
  std::string bytes = text_.substr(selection_.low(), selection_.high() - selection_.low());
  OGLFSetClipboard(ctx, bytes.c_str());
}

void QELBTextbox::paste(OGLC2DContext* ctx, std::string_view clip) {
  std::string bytes = QELFUTF8Sanitized(clip, capacity_);
  deleteSelection(ctx);
  uint32_t at = caret_;
  if (text_.size() + bytes.size() <= capacity_) {
    replace(ctx, at, 0, bytes);
    caret_ = at + static_cast<uint32_t>(bytes.size());
    return;
  }
  // Too long: what follows the caret, then the end of the pasted text, is cut at the capacity.
  std::string after = bytes + text_.substr(at);
  after.resize(QELFUTF8Floor(after, capacity_ - at));
  replace(ctx, at, static_cast<uint32_t>(text_.size()) - at, after);
  caret_ = at + static_cast<uint32_t>(std::min(bytes.size(), after.size()));
}

void QELBTextbox::takeCharacter(OGLC2DContext* ctx, uint32_t codePoint) {
  if (readOnly() || codePoint < 0x20 || codePoint == 0x7F) return;
  char encoded[7];
  std::string_view bytes = OGLFCodePointToUTF8(static_cast<int>(codePoint), encoded);
  deleteSelection(ctx);
  if (text_.size() + bytes.size() > capacity_) return;  // a character that does not fit whole is dropped
  replace(ctx, caret_, 0, bytes);
  caret_ += static_cast<uint32_t>(bytes.size());
}

void QELBTextbox::takeKey(OGLC2DContext* ctx, const OGLTKeypadEvent& key) {
  // A key acts on its release with the modifiers held when it was pressed too: Control may come
  // up before the letter it went with.
  bool known = key.key >= 0 && static_cast<size_t>(key.key) < pressMods_.size();
  if (key.action == kOGLActionPress) {
    if (known) pressMods_[static_cast<size_t>(key.key)] = static_cast<uint8_t>(key.mods);
    return;
  }
  if (key.action != kOGLActionRelease && key.action != kOGLActionRepeat) return;
  int32_t mods = key.mods | (known ? pressMods_[static_cast<size_t>(key.key)] : 0);
  if (known && key.action == kOGLActionRelease) pressMods_[static_cast<size_t>(key.key)] = 0;
  bool shift = mods & kOGLModShift, control = mods & kOGLModControl;
  uint32_t length = static_cast<uint32_t>(text_.size());
  switch (key.key) {
    case kOGLKeyEscape:
      selection_ = {};
      break;
    case kOGLKeyEnter:
    case kOGLKeyKeypadEnter:
      if (!readOnly()) send(onCommit_);
      break;
    case kOGLKeyBackspace:
      if (!readOnly() && !deleteSelection(ctx) && caret_ > 0) {
        uint32_t previous = static_cast<uint32_t>(QELFUTF8Previous(text_, caret_));
        replace(ctx, previous, caret_ - previous, {});
        caret_ = previous;
      }
      break;
    case kOGLKeyDelete:
      if (!readOnly() && !deleteSelection(ctx) && caret_ < length)
        replace(ctx, caret_, static_cast<uint32_t>(QELFUTF8Next(text_, caret_)) - caret_, {});
      break;
    case kOGLKeyRight:
      moveCaret(static_cast<uint32_t>(QELFUTF8Next(text_, caret_)), shift);
      break;
    case kOGLKeyLeft:
      moveCaret(static_cast<uint32_t>(QELFUTF8Previous(text_, caret_)), shift);
      break;
    case kOGLKeyDown:
      moveCaret(rowStep(1), shift);
      break;
    case kOGLKeyUp:
      moveCaret(rowStep(-1), shift);
      break;
    case kOGLKeyPageUp:
      moveCaret(0, shift);
      break;
    case kOGLKeyPageDown:
      moveCaret(length, shift);
      break;
    case kOGLKeyHome:
    case kOGLKeyEnd: {
      QELTTextboxPosition p = QELFTextboxLayoutFindGlyphForOffset(&layout_, caret_);
      if (p.row < 0) break;
      const QELTTextboxRow& row = layout_.rows[static_cast<size_t>(p.row)];
      moveCaret(key.key == kOGLKeyHome ? row.start : row.end, shift);
      break;
    }
    case kOGLKeyA:
      if (control && length > 0) selection_ = {0, length};
      break;
    case kOGLKeyC:
      if (control) copySelection(ctx);
      break;
    case kOGLKeyV:
      if (control && !readOnly()) {
        const char* clip = OGLFGetClipboard(ctx);
        if (clip) paste(ctx, clip);
      }
      break;
    case kOGLKeyX:
      if (control && !readOnly() && !selection_.empty()) {
        copySelection(ctx);
        deleteSelection(ctx);
      }
      break;
    default:
      break;
  }
}
