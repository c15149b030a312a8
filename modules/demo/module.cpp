// Entry points of the demonstration module: its actors register themselves by name when the
// library loads, so there is nothing to set up here.
class MRKCSubstrate;

extern "C" void modInit(MRKCSubstrate*) {}
extern "C" void modExit(MRKCSubstrate*) {}
