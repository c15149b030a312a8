#include "framework/substrate/MRKCModule.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

#include "framework/core/LLKFLog.h"

namespace {

using EntryPoint = void (*)(MRKCSubstrate*);

EntryPoint entryPoint(void* handle, const char* plain, const char* mangled) {
  if (void* symbol = dlsym(handle, plain)) return reinterpret_cast<EntryPoint>(symbol);
  return reinterpret_cast<EntryPoint>(dlsym(handle, mangled));
}

EntryPoint initOf(void* handle) { return entryPoint(handle, "modInit", "_Z7modInitP13MRKCSubstrate"); }
EntryPoint exitOf(void* handle) { return entryPoint(handle, "modExit", "_Z7modExitP13MRKCSubstrate"); }

// The file's absolute, clean path, or empty when no regular file is there. Absolute, so that the
// loader takes it as the file it is: a bare "x.so" (what "./x.so" cleans to) would send it
// searching the system's libraries for that name.
std::string absoluteFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? std::string() : absolute.lexically_normal().string();
}

// The build tree puts every module into <build>/modules; this library lives in
// <build>/framework/substrate.
std::filesystem::path buildModules() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&initOf), &info) || !info.dli_fname) return {};
  return std::filesystem::path(info.dli_fname).parent_path() / ".." / ".." / "modules";
}

}  // namespace

Ref<MRKCModule> MRKCModule::moduleWithPath(const std::string& path, MRKCSubstrate* substrate, std::string* error) {
  dlerror();
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = dlerror();
    if (error) *error = std::string("cannot load ") + path + ": " + (reason ? reason : "unknown error");
    return nullptr;
  }
  EntryPoint init = initOf(handle);
  if (!init || !exitOf(handle)) {
    dlclose(handle);
    if (error) *error = path + " has no modInit and modExit";
    return nullptr;
  }
  init(substrate);
  return adoptRef(new MRKCModule(path, handle));
}

std::string MRKCModule::resolve(const std::string& name, const std::string& base) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) {
    std::filesystem::path path(name);
    if (path.is_relative() && !base.empty()) path = std::filesystem::path(base) / path;
    return absoluteFile(path);
  }
  std::string file = name.size() > 3 && name.compare(name.size() - 3, 3, ".so") == 0 ? name : name + ".so";
  std::vector<std::filesystem::path> folders;
  if (const char* list = std::getenv("VESKO_MODULE_PATH")) {
    std::string_view rest(list);
    while (!rest.empty()) {
      size_t colon = rest.find(':');
      std::string_view folder = rest.substr(0, colon);
      if (!folder.empty()) folders.emplace_back(folder);
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  folders.push_back(buildModules());
  for (const auto& folder : folders)
    if (std::string found = folder.empty() ? std::string() : absoluteFile(folder / file); !found.empty()) return found;
  return {};
}

void MRKCModule::unload(MRKCSubstrate* substrate) {
  if (!handle_) return;
  if (EntryPoint exit = exitOf(handle_)) exit(substrate);
  if (dlclose(handle_) != 0) LLKFLog("substrate : could not unload %s", path_.c_str());
  handle_ = nullptr;
}

MRKCModule::~MRKCModule() {
  if (handle_) LLKFLog("substrate : module %s released while loaded", path_.c_str());
}
