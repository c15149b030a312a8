// Entry points of the CTM plug-in. The substrate finds the stage and actor classes by name
// (each registers itself when the library loads), so there is nothing to set up here.
class MRKCSubstrate;

extern "C" void modInit(MRKCSubstrate*) {}
extern "C" void modExit(MRKCSubstrate*) {}
