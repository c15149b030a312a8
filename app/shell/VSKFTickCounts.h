#pragma once
// The three counts the statistics graph plots, read from a tick squib of the CTM stage: its
// first statement's terms are [tick, winners (list), frame], the frame holding "chunks" and
// "links" as lists. Squibs come from processors: every shape is checked, and a count whose
// list is missing or of another kind is absent.
#include <optional>

class LLKBObject;

struct VSKTTickCounts {
  std::optional<float> winners;  // broadcast chunks
  std::optional<float> chunks;   // submitted chunks
  std::optional<float> links;    // chunks sent over links
};

// The counts of the squib given as a message payload; all absent for anything else.
VSKTTickCounts VSKFTickCounts(const LLKBObject* payload);
