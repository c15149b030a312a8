#pragma once
// What the timeline reads of CTM chunks, the lists of 8 terms [sender, tick, uid, kind, gist,
// weight, intensity, mood] that the stage competes over: whether a chunk is well formed enough
// to draw, kudos chunks and their hiding, chunks told apart by uid, and the one-line text of a
// gist. Any thread (pure functions of their arguments).
#include <string>
#include <vector>

#include "framework/substrate/MRKCList.h"

// The terms of a chunk, by index.
enum : size_t {
  kVSKChunkSender = 0,
  kVSKChunkTick = 1,
  kVSKChunkUid = 2,
  kVSKChunkKind = 3,
  kVSKChunkGist = 4,
  kVSKChunkWeight = 5,
  kVSKChunkIntensity = 6,
  kVSKChunkMood = 7,
  kVSKChunkTerms = 8,  // how many a chunk has
};

// Texts made from a func or a frame are cut at this many characters (with "…").
constexpr size_t kVSKTimelineTextLimit = 130;

// The chunk as a list when it can be drawn: at least 8 terms, a symbol sender and uid, a kind
// that is a symbol or a func whose first term is a symbol, and numbers for weight, intensity
// and mood. Null otherwise.
MRKCList* VSKFTimelineChunkIfWellFormed(MRKBTerm* term);
// True when the kind is a func labelled "kudos" (not a symbol).
bool VSKFTimelineViewIsChunkAKudos(MRKCList* chunk);
// The chunks of the list in order into out (emptied first, so that a caller drawing every frame
// reuses its room), kudos left out when hideKudos.
void VSKFTimelineViewFilterChunks(MRKCList* chunks, bool hideKudos, std::vector<MRKCList*>& out);
// True when a chunk of the list has the same uid (compared by value, never by hash).
bool VSKFTimelineViewChunkInList(MRKCList* chunk, MRKCList* list);
// The one-line text of a gist: "f(_,_)" for a func, a frame's "token" (or the frame), "{...}"
// for an empty frame, "[...]" for a list that is not of one element (one element: its text),
// an atom's whole text, another kind's name. The texts of funcs and frames are at most
// kVSKTimelineTextLimit characters.
std::string VSKFTimelineViewStringify(MRKBTerm* term);
