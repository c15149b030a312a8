#pragma once
// The main window's message uids (steps of 0x100) and the tags and contexts they travel with.
#include <cstdint>

enum : uint32_t {
  kVSKLoadRequest = 0xa00,  // a solution file to load, under "file" in the details
  kVSKOperation = 0xb00,    // a load or wipe: progress and completion
  kVSKDataFolder = 0xc00,   // the data-folder dialog's choice, under "folder" in the details
  kVSKTick = 0xd00,         // a tick squib from the observer
  kVSKGraphHover = 0xe00,   // the cursor entering or leaving a statistics graph
  kVSKCommand = 0xf00,      // menu commands: the tag names the command, the ctx its variant
};

enum : uint32_t {
  kVSKOperationComplete = 0x10,
  kVSKOperationProgress = 0x20,
  kVSKDataFolderPicked = 0x180,
  kVSKGraphEnter = 0x210,
  kVSKGraphLeave = 0x220,
};

// Contexts of the operation messages: a load of a chosen file, a wipe.
enum : uint32_t {
  kVSKLoadContext = 4,
  kVSKWipeContext = 0,
};

// Menu command tags.
enum : uint32_t {
  kVSKCommandLoadTest = 4,      // "Load a test", or a recents entry with the full path as payload
  kVSKCommandLoadSolution = 5,  // "Load a solution"
  kVSKCommandWipe = 0x60,
  kVSKCommandTimeline = 0x140,
  kVSKCommandExpression = 0x150,
  kVSKCommandGist = 0x160,
  kVSKCommandConversation = 0x170,
  kVSKCommandResetDataPath = 0x190,
  kVSKCommandToggleStats = 0x200,
};

// The ctx of a load request from the menu, and from the command line.
enum : uint32_t {
  kVSKFromMenu = 0x60,
  kVSKFromCommandLine = 0,
};
