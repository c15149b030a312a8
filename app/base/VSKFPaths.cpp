#include "app/base/VSKFPaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "framework/core/LLKFFiles.h"

namespace {

std::string programFolder() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : program.parent_path().string();
}

std::string existingFolder(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_directory(path, error)) return {};
  std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
  return error ? std::string() : canonical.string();
}

}  // namespace

std::string VSKFResourcesPath() {
  std::string folder = programFolder();
  if (folder.empty()) return {};
  std::string beside = existingFolder(std::filesystem::path(folder) / "rsc");
  return beside.empty() ? existingFolder(std::filesystem::path(folder) / ".." / "share" / "vesko" / "rsc") : beside;
}

std::string VSKFResourcePath(const std::string& name) {
  std::string folder = VSKFResourcesPath();
  return folder.empty() ? std::string() : folder + "/" + name;
}

std::string VSKFDefaultDataPath() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/vesko";
  std::string home = LLKFTakeString(LLKFGetUserHomePath());
  return home.empty() ? std::string() : home + "/.local/share/vesko";
}

std::string VSKFPathDisplayForm(const std::string& path, const std::string& base) {
  if (base.empty() || path.size() <= base.size() || path.compare(0, base.size(), base) != 0) return path;
  if (path[base.size()] != '/' && base.back() != '/') return path;
  return "." + path.substr(base.back() == '/' ? base.size() - 1 : base.size());
}
