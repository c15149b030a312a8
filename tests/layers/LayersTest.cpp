// Every include of the product code follows the layers of docs/layers.txt.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Layer -> the layers it uses directly, as the table states them.
using Table = std::map<std::string, std::vector<std::string>>;

fs::path sourceRoot() {
  const char* root = std::getenv("VESKO_SOURCE_DIR");
  return root ? fs::path(root) : fs::current_path();
}

Table readTable(const fs::path& file) {
  Table table;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::istringstream uses(line.substr(colon + 1));
    std::vector<std::string>& used = table[line.substr(0, colon)];
    for (std::string layer; uses >> layer;) used.push_back(layer);
  }
  return table;
}

// The layer a source path falls in: its longest listed prefix, or empty.
std::string layerOf(const Table& table, const std::string& path) {
  std::string found;
  for (const auto& [layer, uses] : table)
    if (path.rfind(layer + "/", 0) == 0 && layer.size() > found.size()) found = layer;
  return found;
}

// The layers a layer may use: its own, those it names and, through them, what they use.
std::set<std::string> reachable(const Table& table, const std::string& layer) {
  std::set<std::string> seen{layer};
  std::vector<std::string> open{layer};
  while (!open.empty()) {
    std::string next = open.back();
    open.pop_back();
    auto found = table.find(next);
    if (found == table.end()) continue;
    for (const std::string& used : found->second)
      if (seen.insert(used).second) open.push_back(used);
  }
  return seen;
}

bool isSource(const fs::path& path) {
  std::string extension = path.extension().string();
  return extension == ".h" || extension == ".cpp" || extension == ".in";
}

class Layers : public ::testing::Test {
protected:
  fs::path root = sourceRoot();
  Table table = readTable(root / "docs" / "layers.txt");
};

TEST_F(Layers, TheTableNamesEveryLayerItUses) {
  ASSERT_FALSE(table.empty()) << "docs/layers.txt could not be read under " << root;
  for (const auto& [layer, uses] : table)
    for (const std::string& used : uses)
      EXPECT_TRUE(table.count(used)) << layer << " uses " << used << ", which is not a layer";
}

TEST_F(Layers, EveryIncludeOfTheProductCodeGoesDownTheTable) {
  const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
  std::vector<std::string> wrong;
  size_t checked = 0;
  for (const char* top : {"framework", "ui", "imagekit", "modules", "app"}) {
    if (!fs::exists(root / top)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
      if (!entry.is_regular_file() || !isSource(entry.path())) continue;
      std::string path = fs::relative(entry.path(), root).generic_string();
      std::string layer = layerOf(table, path);
      if (layer.empty()) {
        wrong.push_back(path + ": in no layer of docs/layers.txt");
        continue;
      }
      std::set<std::string> allowed = reachable(table, layer);
      std::ifstream in(entry.path());
      std::string line;
      for (int number = 1; std::getline(in, line); ++number) {
        std::smatch match;
        if (!std::regex_search(line, match, include)) continue;
        std::string target = match[1];
        std::string used = layerOf(table, target);
        // Names without a listed layer are the folder's own neighbours or generated files.
        if (used.empty()) continue;
        ++checked;
        if (!allowed.count(used))
          wrong.push_back(path + ":" + std::to_string(number) + ": " + layer + " may not use " + used + " (" + target +
                          ")");
      }
    }
  }
  EXPECT_GT(checked, 0u);
  std::string report;
  for (const std::string& line : wrong) report += "\n  " + line;
  EXPECT_TRUE(wrong.empty()) << "includes against docs/layers.txt:" << report;
}

}  // namespace
