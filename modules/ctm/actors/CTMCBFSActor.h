#pragma once
// An actor built on the substrate's solver: its events (init, beat, tick, link) arrive as
// queries on its own label and go on to the solver.
#include "framework/substrate/MRKBBFSolver.h"
#include "modules/ctm/actors/CTMTActorShell.h"

class CTMCBFSActor : public CTMTActorShell<MRKBBFSolver> {
public:
  // Made by the class registry through CTMFActorMake, which refuses an actor without record.
  CTMCBFSActor(std::string guid, std::string label, std::string alias, Ref<MRKCFrame> properties)
      : CTMTActorShell(std::move(guid), std::move(label), std::move(alias), std::move(properties), nullptr) {}
};
