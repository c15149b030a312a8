#pragma once
// Where the workbench finds its resources and keeps its data, and how it shows a path.
#include <string>

// The absolute "rsc" folder beside the program (<program folder>/rsc, as in the build tree),
// else the installed one (<program folder>/../share/vesko/rsc); "" when neither exists.
std::string VSKFResourcesPath();
// What the user is told when there is no resource folder.
inline constexpr const char* kVSKMissingResources = "Cannot find the workbench's resources (rsc) beside the program";
// The folder of solutions and tests, relative to the working directory: where "Load a test"
// starts and the base of the recents' display form.
inline constexpr const char* kVSKTestsFolder = "./etc/vesko";
// The resource's absolute path inside VSKFResourcesPath ("" when there is no resource folder).
std::string VSKFResourcePath(const std::string& name);
// The default data folder: $XDG_DATA_HOME/vesko when that is an absolute path, else
// ~/.local/share/vesko; "" without a home folder.
std::string VSKFDefaultDataPath();
// The path shown for a file: "." and the rest when the path lies inside the base folder (cut at
// a path separator only: a base "/a/etc" never matches "/a/etcetera/x"), else the path whole.
std::string VSKFPathDisplayForm(const std::string& path, const std::string& base);
