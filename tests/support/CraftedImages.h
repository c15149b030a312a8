#pragma once
// Image files crafted as an attacker would write them: the seeds of the image loader's fuzz target
// (fuzz/imagekit/corpus/imagekit_load_fuzz), each one byte picking the pixel format and then the
// file's bytes. Tests run with VESKO_SOURCE_DIR set to the source tree.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The file's bytes of the seed (empty when it cannot be read).
inline std::vector<uint8_t> craftedImage(const std::string& seed) {
  const char* root = std::getenv("VESKO_SOURCE_DIR");
  std::ifstream in(std::string(root ? root : ".") + "/fuzz/imagekit/corpus/imagekit_load_fuzz/" + seed,
                   std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return bytes.empty() ? bytes : std::vector<uint8_t>(bytes.begin() + 1, bytes.end());
}

// Writes the seed's file at path; false when the seed cannot be read or the file written.
inline bool writeCraftedImage(const std::string& seed, const std::string& path) {
  const std::vector<uint8_t> bytes = craftedImage(seed);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return !bytes.empty() && out.good();
}
