#pragma once
// A plug-in module: a shared library loaded with dlopen. modInit(substrate) is called after
// loading and modExit(substrate) before unloading (the plain C names, else the C++ ones).
#include <string>

#include "framework/core/LLKBObject.h"

class MRKCSubstrate;

class MRKCModule : public LLKBObject {
public:
  // Loads the library at path and calls its modInit; null with the reason in error.
  [[nodiscard]] static Ref<MRKCModule> moduleWithPath(const std::string& path, MRKCSubstrate* substrate,
                                                      std::string* error);
  // The path of a module named in a solution: a name with a "/" is a path (relative ones are
  // taken from base); a bare name (".so" added when missing) is looked up in the folders of
  // VESKO_MODULE_PATH (":"-separated), then in the "modules" folder of the build tree beside
  // this library. The path is absolute and clean; empty when no file is found.
  static std::string resolve(const std::string& name, const std::string& base);
  // What is said of a name that resolve finds no file for.
  static std::string notFound(const std::string& name) {
    return "module " + name + " not found (searched VESKO_MODULE_PATH and the build tree)";
  }

  const std::string& path() const { return path_; }
  // Calls modExit and closes the library; later calls do nothing.
  void unload(MRKCSubstrate* substrate);

private:
  MRKCModule(std::string path, void* handle) : path_(std::move(path)), handle_(handle) {}
  ~MRKCModule() override;

  std::string path_;
  void* handle_;
};
