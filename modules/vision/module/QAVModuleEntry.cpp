#include "modules/vision/module/QAVModuleEntry.h"

#include <cerrno>
#include <mutex>

#include "framework/substrate/MRKCPrimitive.h"
#include "framework/substrate/MRKCSubstrate.h"
#include "modules/vision/module/QAVFPrimitiveConvert.h"

namespace {
constexpr const char* kConvertKey = "qav.convert";
}  // namespace

int QAVFModuleInit(MRKCSubstrate* substrate) {
  if (!substrate) return EINVAL;
  MRKCTable* primitives = substrate->primitives();
  std::lock_guard lock(primitives->monitor());
  return primitives->store(MRKCPrimitive::primitiveWithFunction(QAVFPrimitiveConvert), kConvertKey);
}

int QAVFModuleExit(MRKCSubstrate* substrate) {
  if (!substrate) return EINVAL;
  MRKCTable* primitives = substrate->primitives();
  std::lock_guard lock(primitives->monitor());
  primitives->removeForKey(kConvertKey);
  return 0;
}
