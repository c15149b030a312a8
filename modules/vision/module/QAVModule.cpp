// Entry points of the vision plug-in. Its processor classes register themselves by name when the
// library loads; the entry points add and remove the "qav.convert" primitive.
#include "modules/vision/module/QAVModuleEntry.h"

extern "C" void modInit(MRKCSubstrate* substrate) { QAVFModuleInit(substrate); }
extern "C" void modExit(MRKCSubstrate* substrate) { QAVFModuleExit(substrate); }
