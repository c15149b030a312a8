#include "modules/vision/module/QAVFPrimitiveConvert.h"

#include <iterator>
#include <limits>

#include "framework/core/LLKFLog.h"
#include "framework/substrate/MRKCBinary.h"
#include "framework/substrate/MRKCNumber.h"
#include "framework/substrate/MRKFTerms.h"
#include "framework/substrate/MRKFUnify.h"
#include "imagekit/IMKFImageConvert.h"
#include "modules/vision/module/QAVFEncodeJPEG.h"
#include "modules/vision/statement/QAVFImageStatement.h"

namespace {

// The primitive's format names; the numbers are the image kit's, 0 standing for JPEG.
constexpr MRKTFlagName kFormatsFlags[] = {
    {"jpeg", IMKPixelFormatJPEG}, {"rgb", IMKPixelFormatRGB},   {"rgba", IMKPixelFormatRGBA},
    {"bgr", IMKPixelFormatBGR},   {"bgra", IMKPixelFormatBGRA},
};
constexpr uint64_t kUnknownFormat = std::numeric_limits<uint64_t>::max();
constexpr int kJPEGQuality = 95;
// Inside: the image kit could not convert the data, which is no error of the call.
constexpr int kNotConverted = -1;

// Answers the calling statement itself with the value 0.0 and returns status (failed when the
// answer could not be made).
int echo(MRKCStatement* statement, MRKCList* answers, int status) {
  Ref<MRKCStatement> echoed = MRKCStatement::statementWithLabel(statement->label(), statement->terms(), 0.0);
  if (!echoed) return kMRKPrimitiveFailed;
  answers->append(echoed.get());
  return status;
}

uint32_t dimensionOf(MRKBTerm* term) {
  MRKCNumber* number = asNumber(term);
  uint64_t value = number ? number->uint() : 0;
  return value <= std::numeric_limits<uint32_t>::max() ? static_cast<uint32_t>(value) : 0;
}

// [width, height]: two numbers from 1 to 2^32-1.
bool readDimensions(MRKCList* list, uint32_t* width, uint32_t* height) {
  if (!list || list->count() != 2) return false;
  *width = dimensionOf(list->head());
  *height = dimensionOf(list->tail());
  return *width != 0 && *height != 0;
}

Ref<MRKCBinary> encode(uint32_t width, uint32_t height, const MRKCBinary& source, uint32_t format) {
  if (format == IMKPixelFormatJPEG) return MRKCBinary::binaryWithValue(source.value());
  Ref<LLKCData> encoded;
  if (QAVFEncodeJPEG(format, source.bytes(), width, height, kJPEGQuality, &encoded) != kQAVEncodeDone) {
    LLKFLog("qav.convert : the image could not be encoded as JPEG");
    return nullptr;
  }
  return MRKCBinary::binaryWithValue(encoded.get());
}

// Converts source (format from) into *result (format to): 0, kNotConverted, or a status.
int convert(uint32_t width, uint32_t height, const MRKCBinary& source, uint32_t from, uint32_t to,
            Ref<MRKCBinary>* result) {
  if (!QAVFImageBytesSuffice(width, height, static_cast<int32_t>(from), source.length())) {
    LLKFLog("qav.convert : image data is too short for its dimensions and pixel format");
    return kMRKPrimitiveBadCall;
  }
  if (to == IMKPixelFormatJPEG) {
    *result = encode(width, height, source, from);
    return *result ? kMRKPrimitiveDone : kMRKPrimitiveFailed;
  }
  std::vector<uint8_t> buffer;
  if (!QAVFPixelBufferMake(IMKFImageLength(width, height, to), &buffer)) return kMRKPrimitiveFailed;
  if (IMKFImageConvert(width, height, source.bytes(), source.length(), from, buffer.data(), buffer.size(), to) != 0)
    return kNotConverted;
  *result = MRKCBinary::binaryWithValue(std::move(buffer));
  return *result ? kMRKPrimitiveDone : kMRKPrimitiveFailed;
}

int primitiveConvert(MRKCSubstrate* substrate, MRKBProcessor* processor, MRKCStatement* statement, MRKCList* answers,
                     MRKCVariables* bindings) {
  if (!answers || !statement || statement->terms()->count() != 5) return kMRKPrimitiveBadCall;
  MRKCList* terms = statement->terms();
  MRKCList* dimensions = asList(terms->fetchAtIndex(0));
  MRKCSymbol* fromName = asSymbol(terms->fetchAtIndex(1));
  MRKCSymbol* toName = asSymbol(terms->fetchAtIndex(2));
  uint32_t width = 0, height = 0;
  if (!readDimensions(dimensions, &width, &height)) {
    LLKFLog("qav.convert : first term must be the dimension of the image (as a list)");
    return echo(statement, answers, 12);
  }
  if (!fromName || !toName) {
    LLKFLog("qav.convert : pixel format must be a symbol");
    return echo(statement, answers, 12);
  }
  const uint64_t from =
      MRKFDecodeTermAsFlagWithDefault(fromName, kFormatsFlags, std::size(kFormatsFlags), kUnknownFormat);
  const uint64_t to = MRKFDecodeTermAsFlagWithDefault(toName, kFormatsFlags, std::size(kFormatsFlags), kUnknownFormat);
  if (from == kUnknownFormat || to == kUnknownFormat) {
    LLKFLog("qav.convert : unknown pixel format used");
    return echo(statement, answers, 12);
  }

  // The image term that holds data is the source; the other one receives the result. Term 3 is
  // in the first format and term 4 in the second, whichever way the conversion runs.
  MRKBTerm* third = terms->fetchAtIndex(3);
  MRKBTerm* fourth = terms->fetchAtIndex(4);
  const bool forward = asBinary(third) != nullptr;
  if (!forward && !asBinary(fourth)) return kMRKPrimitiveNothingToDo;
  MRKCBinary* source = forward ? asBinary(third) : asBinary(fourth);
  MRKBTerm* target = forward ? fourth : third;
  Ref<MRKCBinary> result;
  int status = forward
                   ? convert(width, height, *source, static_cast<uint32_t>(from), static_cast<uint32_t>(to), &result)
                   : convert(width, height, *source, static_cast<uint32_t>(to), static_cast<uint32_t>(from), &result);
  if (status == kNotConverted) return kMRKPrimitiveDone;
  if (status == kMRKPrimitiveBadCall) return echo(statement, answers, kMRKPrimitiveBadCall);
  if (status != kMRKPrimitiveDone) return status;

  const bool unified = bindings ? MRKFUnifyTerms(substrate, processor, target, result.get(), bindings)
                                : MRKFUnifyTermsIsolated(substrate, processor, target, result.get());
  Ref<MRKCStatement> answer =
      MRKFMakeStatementWith5Terms(statement->label(), dimensions, fromName, toName, forward ? third : result.get(),
                                  forward ? result.get() : fourth, unified ? 1.0 : 0.0);
  if (!answer) return kMRKPrimitiveFailed;
  answers->append(answer.get());
  return kMRKPrimitiveDone;
}

}  // namespace

extern "C" int QAVFPrimitiveConvert(MRKCSubstrate* substrate, MRKBProcessor* processor, MRKCStatement* statement,
                                    MRKCList* answers, MRKCVariables* bindings) {
  try {
    return primitiveConvert(substrate, processor, statement, answers, bindings);
  } catch (...) {
    return kMRKPrimitiveFailed;
  }
}
