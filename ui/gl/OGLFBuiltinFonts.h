#pragma once
// The six faces stored in the library: "icons" (Material Icons), "symbols" (a reduced Entypo
// whose glyphs sit at U+E800 and up), and "mono", "mono-italic", "mono-bold",
// "mono-bold-italic" (Hack). The bytes live as long as the library; register them with
// OGLFBuiltinFontsRegister (or OGLF2DFontMake and the free flag off).
#include <cstddef>

struct OGLC2DContext;

struct OGLTBuiltinFont {
  const char* name;
  const unsigned char* bytes;
  size_t size;
};

extern "C" const OGLTBuiltinFont* OGLFBuiltinFonts(size_t* count);

// Registers every built-in face with the context. Answers the name of the first face it could not
// register (it goes on with the others), or null when all are registered.
extern "C" const char* OGLFBuiltinFontsRegister(OGLC2DContext* ctx);
