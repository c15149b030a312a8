#pragma once
// An image sample: one segmented image held as data that can be labelled and saved. It keeps the
// superpixel grid (rows, columns, step), one record per superpixel (colour, box, centroid,
// outline, texture pattern, and a mask with one bit per object slot), 32 object slots naming the
// label of each object, the COCO annotations that came with the image, and whether the user
// changed it since it was last saved.
//
// It is made from a segmented image statement or read from a ".bin" file (VSKImageSampleFile.h
// lays the file out); the labelling tool and the COCO mapping change it in place.
//
// Threads: a sample is not locked by its methods. Whoever hands it to background work holds
// monitor() while working on it, so that two operations on one sample never run at once.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory_resource>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/LLKBObject.h"
#include "framework/core/LLKCData.h"
#include "framework/core/LLKCObjectDeque.h"
#include "framework/core/NRKCPolygon.h"
#include "framework/substrate/MRKCFrame.h"
#include "framework/substrate/MRKCStatement.h"

// The id of a superpixel without data; every other field of its record is zero.
inline constexpr uint32_t kVSKEmptySuperpixel = 0xFFFFFFFFu;
inline constexpr uint32_t kVSKObjectSlots = 32;

struct VSKTSuperpixel {
  VSKTSuperpixel() = default;
  // Outline and pattern taken from the memory (a sample's arena). A copy takes the default heap,
  // so it may outlive the sample; a record moved out of its sample may not.
  explicit VSKTSuperpixel(std::pmr::memory_resource* memory) : points(memory), pattern(memory) {}

  uint32_t id = kVSKEmptySuperpixel;
  uint32_t mask = 0;                   // bit i: belongs to object slot i
  float lab[3] = {};                   // CIE Lab of the mean colour
  float colour[4] = {};                // red, green, blue in 0..1, alpha 1
  float bbox[4] = {};                  // left, top, right, bottom in pixels, right and bottom inclusive
  float centroid[2] = {};              // x, y in pixels
  std::pmr::vector<NRKTPoint> points;  // the outline, image coordinates
  std::pmr::vector<float> pattern;     // the texture histogram

  uint32_t pointCount() const { return static_cast<uint32_t>(points.size()); }
  uint32_t patternCount() const { return static_cast<uint32_t>(pattern.size()); }
  bool operator==(const VSKTSuperpixel&) const;
};

// The width and height in pixels of the image a sample was made of.
struct VSKTImageExtent {
  uint32_t width = 0;
  uint32_t height = 0;
};

class VSKCImageSample : public LLKBObject {
public:
  using Objects = std::array<uint8_t, kVSKObjectSlots>;

  // From an image statement carrying superpixel data. Null for a zero rows, cols or size, an
  // empty name or a statement that is not an image. Entries that lack part of their data stay
  // empty ("sp %u is empty"); a list that does not fill the grid is reported ("missing %u SP
  // for %s") and taken as it is.
  [[nodiscard]] static Ref<VSKCImageSample> sampleFromStatement(const MRKCStatement* statement, const std::string& name,
                                                                uint32_t feed);
  // Reads a ".bin" file; null (with a log line saying why) when it cannot be read or is not a
  // sound sample file.
  [[nodiscard]] static Ref<VSKCImageSample> sampleFromPath(const std::string& path);
  // Reads the bytes of a ".bin" file; why it is refused goes to *why when not null.
  [[nodiscard]] static Ref<VSKCImageSample> sampleFromBytes(const uint8_t* bytes, size_t length,
                                                            std::string* why = nullptr);

  // Writes the ".bin" file atomically (a temporary file put in the path's place). False, with a log
  // line, when the sample cannot be written as a file the reader takes, or the write fails.
  [[nodiscard]] bool encode(const std::string& path) const;
  // The file's bytes; false (bytes untouched) when the sample cannot be written, why saying why.
  [[nodiscard]] bool encodeToBytes(std::vector<uint8_t>* bytes, std::string* why = nullptr) const;

  // A copy with a fresh 16-character name, its own records (masks included), the same COCO frame
  // (shared), free object slots, no file and touched false.
  [[nodiscard]] Ref<VSKCImageSample> clone() const;
  // Frees every object slot and clears every mask; touched stays as it is.
  void reset();
  // Takes the objects and masks as they are now as the sample's unchanged state (as loaded,
  // mapped or saved) and clears touched.
  void markUnchanged();
  // Gives back the objects and masks of the unchanged state (nothing labelled until one was
  // marked) and clears touched.
  void revert();
  // The object slots that hold a label.
  uint32_t labeled() const;
  // The image the superpixels cover, which they tile whole: one past their boxes' furthest right
  // and bottom edges; 0 x 0 without a superpixel with data.
  VSKTImageExtent imageExtent() const;

  // Maps the COCO annotations onto the superpixels: each annotation group that covers at least one
  // superpixel centroid takes the next object slot, labelled labels[ctid] (low byte; labels holds
  // 32-bit entries indexed by COCO category id), and sets its bit in the masks of the superpixels
  // it covers. Malformed annotations are skipped with a log line.
  void processCocoDataWithLabels(const LLKCData* labels);
  // Paints the superpixels' mean colours into width x height RGBA pixels (rows packed) on opaque
  // white; a later record paints over an earlier one.
  void render(uint8_t* rgba, uint32_t width, uint32_t height) const;
  // The outlines of the superpixels of object n (1 to 32), in record order: an empty deque for a
  // free slot, a number outside 1 to 32 or no superpixel; null when memory runs out.
  [[nodiscard]] Ref<LLKCObjectDeque> polygonsForObject(uint32_t n) const;

  uint32_t rows() const { return rows_; }
  uint32_t cols() const { return cols_; }
  uint32_t size() const { return size_; }
  uint32_t feed() const { return feed_; }
  NRKTPoint offset() const { return offset_; }
  const std::string& name() const { return name_; }
  // The name is what the file holds and what the sample folder lists it by.
  void setName(std::string name) { name_ = std::move(name); }
  // The file the sample belongs to: the one it was read from or last written to; "" for a sample
  // never read or written (made from a statement, or a clone).
  const std::string& file() const { return file_; }
  void setFile(std::string file) { file_ = std::move(file); }
  MRKCFrame* coco() const { return coco_.get(); }
  uint32_t superpixelCount() const { return static_cast<uint32_t>(superpixels_.size()); }
  // Read and written in place by the labelling tool.
  std::vector<VSKTSuperpixel>& superpixels() { return superpixels_; }
  const std::vector<VSKTSuperpixel>& superpixels() const { return superpixels_; }
  Objects& objects() { return objects_; }
  const Objects& objects() const { return objects_; }

  void setTouched(bool touched) { touched_ = touched; }
  bool touched() const { return touched_; }
  std::mutex& monitor() const { return monitor_; }

private:
  friend class VSKImageSampleFile;
  template <typename T, typename... Args>
  friend Ref<T> makeRef(Args&&... args);
  VSKCImageSample() = default;
  // The arena for the records' outlines and patterns, made once with room for about that many
  // bytes; records made with it are let go with the sample, all at once.
  std::pmr::memory_resource* recordMemory(size_t bytes);

  Ref<MRKCFrame> coco_;
  uint32_t feed_ = 0;
  std::atomic<bool> touched_ = false;
  std::string name_;
  std::string file_;
  uint32_t rows_ = 0;
  uint32_t cols_ = 0;
  uint32_t size_ = 0;
  // Before the records, so that it outlives them: a sample holds thousands of small outlines
  // and patterns, and one arena makes and frees them far faster than one heap block each.
  std::optional<std::pmr::monotonic_buffer_resource> arena_;
  std::vector<VSKTSuperpixel> superpixels_;
  NRKTPoint offset_;
  Objects objects_{};
  // The unchanged state revert gives back; masks beyond the list are 0.
  Objects unchangedObjects_{};
  std::vector<uint32_t> unchangedMasks_;
  mutable std::mutex monitor_;
};

// Whether a sample name can name a file in the sample folder: not empty, not "." or "..", no "/"
// and no NUL, at most 127 bytes (what the file's name field takes).
bool VSKFImageSampleNameIsSafe(std::string_view name);
