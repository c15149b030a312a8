#include "ui/gl/OGLCPassCompositor.h"

#include <epoxy/gl.h>

#include <cstring>

#include "framework/core/LLKFLog.h"

namespace {

const char* const kVertexShader = R"(#version 330 core
out vec2 uv;
const vec2 corners[4] = vec2[4](vec2(-1.0, -1.0), vec2(1.0, -1.0), vec2(-1.0, 1.0), vec2(1.0, 1.0));
void main() {
  vec2 corner = corners[gl_VertexID];
  uv = vec2((corner.x + 1.0) * 0.5, (1.0 - corner.y) * 0.5);
  gl_Position = vec4(corner, 0.0, 1.0);
}
)";

const char* const kFragmentShader = R"(#version 330 core
uniform sampler2D layer;
in vec2 uv;
out vec4 color;
void main() {
  color = texture(layer, uv);
}
)";

GLuint compile(GLenum kind, const char* source) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    LLKFLog("OGLCPassCompositor : shader failed : %s", log);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

std::unique_ptr<OGLCPassCompositor> OGLCPassCompositor::make() {
  std::unique_ptr<OGLCPassCompositor> compositor(new OGLCPassCompositor());
  GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
  GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentShader);
  if (!vertex || !fragment) {
    if (vertex) glDeleteShader(vertex);
    if (fragment) glDeleteShader(fragment);
    return nullptr;
  }
  GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint linked = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    glDeleteProgram(program);
    return nullptr;
  }
  compositor->program_ = program;
  glGenVertexArrays(1, &compositor->vertexArray_);
  glGenTextures(OGLC2DContext::kLayers, compositor->textures_);
  for (GLuint texture : compositor->textures_) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  return compositor;
}

OGLCPassCompositor::~OGLCPassCompositor() {
  glDeleteTextures(OGLC2DContext::kLayers, textures_);
  if (vertexArray_) glDeleteVertexArrays(1, &vertexArray_);
  if (program_) glDeleteProgram(program_);
}

void OGLCPassCompositor::compose(OGLC2DContext& context, int layer) {
  if (layer < 0 || layer >= OGLC2DContext::kLayers || !context.drawn()) return;
  int width = context.pixelWidth(), height = context.pixelHeight();
  OGLTRowSpan rows = context.takeChangedRows();
  glBindTexture(GL_TEXTURE_2D, textures_[layer]);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, context.stride() / 4);
  if (width != widths_[layer] || height != heights_[layer]) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, context.pixels());
    widths_[layer] = width;
    heights_[layer] = height;
    size_t bytes = static_cast<size_t>(context.stride()) * static_cast<size_t>(height);
    shadows_[layer].assign(context.pixels(), context.pixels() + bytes);
  } else if (!rows.empty()) {
    upload(context, layer, rows);
  }
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);

  glDisable(GL_DEPTH_TEST);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glUseProgram(program_);
  glActiveTexture(GL_TEXTURE0);
  glUniform1i(glGetUniformLocation(program_, "layer"), 0);
  glBindVertexArray(vertexArray_);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glBindVertexArray(0);
  glUseProgram(0);
  glBindTexture(GL_TEXTURE_2D, 0);
}

// Uploads the runs of rows that differ from the shadow copy, and updates the copy.
void OGLCPassCompositor::upload(const OGLC2DContext& context, int layer, OGLTRowSpan rows) {
  auto stride = static_cast<size_t>(context.stride());
  const uint8_t* pixels = context.pixels();
  uint8_t* shadow = shadows_[layer].data();
  auto differs = [&](int y) {
    size_t offset = static_cast<size_t>(y) * stride;
    return std::memcmp(pixels + offset, shadow + offset, stride) != 0;
  };
  for (int y = rows.top; y < rows.bottom;) {
    if (!differs(y)) {
      ++y;
      continue;
    }
    int first = y++;
    while (y < rows.bottom && differs(y)) ++y;
    size_t offset = static_cast<size_t>(first) * stride, length = static_cast<size_t>(y - first) * stride;
    std::memcpy(shadow + offset, pixels + offset, length);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, first, context.pixelWidth(), y - first, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                    pixels + offset);
  }
}
