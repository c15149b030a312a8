// The same entry points under their C++ names (one MRKCSubstrate pointer argument), for callers
// that bind by those. They live apart from the C ones, which share their names.
#include "modules/minimal/JUXEntry.h"

__attribute__((visibility("default"))) void modInit(MRKCSubstrate*) { JUXModuleInit(); }
__attribute__((visibility("default"))) void modExit(MRKCSubstrate*) { JUXModuleExit(); }
