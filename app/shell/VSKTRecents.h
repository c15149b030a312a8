#pragma once
// The recently loaded files: at most five full paths, oldest first, no two with the same
// display form (VSKFPathDisplayForm against the base folder, the working folder's
// "etc/vesko"). Kept in the settings under "load.recents" as {"items": [paths...]}.
#include <string>
#include <vector>

#include "framework/core/JSKCFrame.h"

class VSKTRecents {
public:
  static constexpr size_t kCapacity = 5;

  // The base is the absolute form of "./etc/vesko" unless one is given.
  VSKTRecents();
  explicit VSKTRecents(std::string base);

  const std::vector<std::string>& paths() const { return paths_; }
  const std::string& base() const { return base_; }
  std::string displayForm(const std::string& path) const;

  // Appends the path, dropping the oldest when full; false (and the list unchanged, the entry
  // keeping its place) when an entry with the same display form is there already.
  bool append(const std::string& path);

  // Appends, in order, the "items" of the settings' "load.recents" that are strings naming an
  // existing file; others are skipped. An empty "load.recents" is made when there is none, so
  // that the settings show where the list goes.
  void restore(JSKCFrame& config);
  // Stores the list as "load.recents" {"items": [...]} in the settings; an empty list leaves
  // the items stored before.
  void archive(JSKCFrame& config) const;

private:
  std::string base_;
  std::vector<std::string> paths_;
};
