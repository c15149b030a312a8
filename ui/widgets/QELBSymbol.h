#pragma once
// A symbol button: one glyph (an icon code point, drawn in the "symbols" face unless another
// face is set) or a short label, in the large font times the setup's scale, optionally in a
// ring and underlined. A click flashes it for 0.1 s and sends a copy of onClick with "sender";
// only a click is consumed.
#include <cstdint>
#include <string>

#include "ui/widgets/QELBControl.h"

// Read only at creation; null means scale 1 and a ring.
struct QELTSymbolSetup {
  float scale;  // multiplies largeFontSize
  bool round;   // a ring around the glyph
};

class QELBSymbol : public QELBControl {
public:
  // The message dialog's big symbol: twice the size, no ring.
  static constexpr QELTSymbolSetup kSetupSymbol = {2.0f, false};

  // An icon: the widget's face becomes "symbols".
  QELBSymbol(OGLTSize size, OGLTPoint position, const QELTSymbolSetup* setup, uint32_t icon);
  // A label: the face stays the theme's large font unless set.
  QELBSymbol(OGLTSize size, OGLTPoint position, const QELTSymbolSetup* setup, std::string label);

  uint32_t icon() const { return icon_; }
  // Code points that have no UTF-8 form (surrogates, above U+10FFFF) show as U+FFFD.
  void setIcon(uint32_t icon);
  // The icon's UTF-8 form.
  const char* iconText() const { return iconText_; }
  // Empty: the icon is shown.
  const std::string& label() const { return label_; }
  void setLabel(std::string label) { showChange(label_, std::move(label)); }
  bool underlined() const { return underlined_; }
  void setUnderlined(bool underlined) { showChange(underlined_, underlined); }
  const Ref<LLKCMessage>& onClick() const { return onClick_; }
  void setOnClick(Ref<LLKCMessage> message) { onClick_ = std::move(message); }
  float scale() const { return scale_; }
  bool round() const { return round_; }
  bool pressed() const { return flash_.pressed; }

  // s = the larger of the shown text's width and height (plus 2 × padding with a ring): (s + 2, s + 2).
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  bool onInputWithCursor(const OGLTCursorEvent& cursor) override;
  void onUpdateWithStep(float step) override;
  void onRenderWithStep(float step) override;

private:
  QELBSymbol(OGLTSize size, OGLTPoint position, const QELTSymbolSetup* setup);
  const char* shown() const { return label_.empty() ? iconText_ : label_.c_str(); }
  void applyFont(OGLC2DContext* ctx, const QELTWindowTweaks& tweaks) const;

  uint32_t icon_ = 0;
  char iconText_[8] = {};
  bool underlined_ = false;
  float scale_ = 1;
  bool round_ = true;
  QELTPressFlash flash_;
  Ref<LLKCMessage> onClick_;
  std::string label_;
};

class QELCSymbol : public QELBSymbol {
public:
  [[nodiscard]] static Ref<QELCSymbol> widgetWithSize(OGLTSize size, OGLTPoint position, const QELTSymbolSetup* setup,
                                                      uint32_t icon);
  [[nodiscard]] static Ref<QELCSymbol> widgetWithSize(OGLTSize size, OGLTPoint position, const QELTSymbolSetup* setup,
                                                      std::string label);
  using QELBSymbol::QELBSymbol;
};
