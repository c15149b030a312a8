#pragma once
// Settings for the real program in the vision tests: views opened at start (visible, at a place)
// and the settings file written where the program reads it.
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "framework/core/JSKCFrame.h"
#include "framework/core/LLKFFiles.h"
#include "ui/gl/OGLFValueCoding.h"
#include "ui/widgets/QELBApplication.h"

// The view's settings frame under key: visible, at the window position; the frame, for more.
inline Ref<JSKCFrame> VisionWorkbenchOpenView(JSKCFrame& config, const char* key, OGLTPoint at) {
  Ref<JSKCFrame> frame = JSKCFrame::frame();
  (void)frame->storeBool(true, "visible");
  (void)OGL::storePoint(*frame, at, "position");
  (void)config.store(frame, key);
  return frame;
}

// Writes <settings>/vesko/config.json; false when it cannot.
inline bool VisionWorkbenchWriteSettings(const std::string& settings, JSKCFrame& config) {
  std::filesystem::create_directories(settings + "/vesko");
  return QELFApplicationWriteJSON((settings + "/vesko/config.json").c_str(), &config);
}

// The demonstration's vision solution (from the source tree) with the foveal fake classifier
// reading the samples of the folder, written into work; its path ("" when it cannot be written).
inline std::string VisionWorkbenchSolution(const std::string& sourceDir, const std::string& work,
                                           const std::string& samples) {
  std::ifstream in(sourceDir + "/etc/vesko/vision.json");
  std::stringstream text;
  text << in.rdbuf();
  const std::string adapted =
      std::regex_replace(text.str(), std::regex(R"(\\"samples/qav/fovl\\")"), "\\\"" + samples + "\\\"");
  const std::string path = work + "/vision.json";
  return LLKFWriteFileAtomically(path.c_str(), adapted.data(), adapted.size()) ? path : std::string();
}
