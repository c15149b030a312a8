#include "ui/gl/OGLF2D.h"
#include "ui/gl/OGLFBuiltinFonts.h"

extern "C" const char* OGLFBuiltinFontsRegister(OGLC2DContext* ctx) {
  if (!ctx) return "(no context)";
  size_t count = 0;
  const OGLTBuiltinFont* fonts = OGLFBuiltinFonts(&count);
  const char* failed = nullptr;
  for (size_t i = 0; fonts && i < count; ++i)
    if (OGLF2DFontMake(ctx, fonts[i].name, const_cast<unsigned char*>(fonts[i].bytes), static_cast<int>(fonts[i].size),
                       0) < 0 &&
        !failed)
      failed = fonts[i].name;
  return failed;
}
