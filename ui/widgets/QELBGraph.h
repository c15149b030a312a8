#pragma once
// A running chart of one series of float samples, fed once per tick by its owner with sync():
// the last `capacity` samples in a ring, drawn as a filled area from the oldest to the newest,
// with a caption and the current (or mean) value in the number format of its kind.
//
// Kinds: 0 frame time in seconds ("%.2f FPS" and "%.2f ms"), 1 time in seconds ("%.2f ms"),
// 2 percentage ("%.1f %"), 3 plain count ("%0.f"), 4 quantity with units ("%0.2f units").
// A dynamic graph of kind 3 or 4 stretches its range with each sample and recomputes it, with
// a quarter of head room, at every wrap of the ring. Samples that are not finite count as 0 in
// the drawing and are left out of the range; the area never leaves the bounds.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/widgets/QELBControl.h"

// Copied at creation; 36 bytes in this order.
struct QELTGraphSetup {
  int32_t kind;
  OGLTColor colour;   // the fill of the area
  uint32_t capacity;  // samples kept
  float min, max;     // the value range
  bool mean;          // show the mean of the kept samples instead of the last one
  bool dynamic;       // samples move min and max (kinds 3, 4) and are not clamped (kinds 1, 3, 4)
};

struct QELTGraphRecord {
  std::string label;
  std::string units;
  QELTGraphSetup setup;
  float last = 0;
  std::vector<float> samples;  // capacity of them, zero at creation
  uint32_t position = 0;       // the next slot to write
  bool full = false;           // the ring has wrapped
};

// The mean of the kept samples (capacity once full, else those written); 0 for none.
float QELFGraphComputeAverage(const QELTGraphRecord* record);
// min and max from all kept samples (finite ones), each moved out by a quarter of itself.
void QELFGraphComputeRange(QELTGraphRecord* record);

class QELBGraph : public QELBControl {
public:
  // A null setup counts as an empty one (kind 0, no samples kept).
  QELBGraph(OGLTSize size, OGLTPoint position, const QELTGraphSetup* setup, std::string label);

  const std::string& label() const { return record_.label; }
  void setLabel(std::string label) { showChange(record_.label, std::move(label)); }
  const std::string& units() const { return record_.units; }
  void setUnits(std::string units) { showChange(record_.units, std::move(units)); }
  const QELTGraphRecord& record() const { return record_; }

  // Appends a sample (nothing without room for samples).
  void sync(float sample);
  // The height fraction (0 to 1) of a sample for the graph's kind and range.
  float fraction(float sample) const;
  // The value texts for the shown value (the second only for kind 0); false for other kinds.
  bool valueTexts(char first[64], char second[64]) const;

  // The current size without a window; else w0 = max(capacity, the label's advance):
  // (w0 + 2 × cornerRadius, w0 / 3 + 2 × cornerRadius).
  OGLTSize preferredSizeWithWindow(QELBWindow* window) override;
  void onRenderWithStep(float step) override;

protected:
  // Factories answer null when this is false (the samples could not be allocated).
  bool made() const;

private:
  void drawArea(OGLC2DContext* ctx, float x0, float y0, float w, float h);

  QELTGraphRecord record_;
};

class QELCGraph : public QELBGraph {
public:
  [[nodiscard]] static Ref<QELCGraph> widgetWithSize(OGLTSize size, OGLTPoint position, const QELTGraphSetup* setup,
                                                     std::string label);
  using QELBGraph::QELBGraph;
};
