#pragma once
// Ending a process whose plug-ins may be busy. The substrate is wound down (every solution wiped,
// each processor's onDetached run, then the offloader stopped after its running job) on a thread
// of its own, and the caller waits for that no longer
// than the grace: a hook that runs on and on must not hold the process. When the grace runs out
// the caller ends the process without waiting further (std::_Exit, so that no destructor waits on
// the busy threads either), after saying what it abandons.
#include <string>

#include "framework/substrate/MRKCSubstrate.h"

// True when the substrate was wound down within grace seconds (a load underway ended first, then
// the wipe, then the offloader's running job). Otherwise *abandoned says what still runs: the load
// of a solution, the labels of the processors whose hooks had not returned, that the wipe had not
// ended, or the offloader's running job; the winding down goes on in the background. The
// substrate's offloader takes no jobs afterwards.
bool MRKFSubstrateWindDown(MRKCSubstrate* substrate, double grace, std::string* abandoned);
