#pragma once
// Ending a process whose plug-ins may be busy. The substrate is wound down (every solution wiped,
// each processor's onDetached run) on a thread of its own, and the caller waits for that no longer
// than the grace: a hook that runs on and on must not hold the process. When the grace runs out
// the caller ends the process without waiting further (std::_Exit, so that no destructor waits on
// the busy threads either), after saying what it abandons.
#include <string>

#include "framework/substrate/MRKCSubstrate.h"

// True when the substrate was wound down within grace seconds (a load underway ended first, then
// the wipe). Otherwise *abandoned says what still runs: the load of a solution, the labels of the
// processors whose hooks had not returned, or that the wipe had not ended; the winding down goes
// on in the background.
bool MRKFSubstrateWindDown(MRKCSubstrate* substrate, double grace, std::string* abandoned);
