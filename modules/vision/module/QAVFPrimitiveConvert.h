#pragma once
// The primitive "qav.convert": converts an image between pixel formats, JPEG encoding included.
//
//   qav.convert([width, height], from, to, Source, Target)
//
// from and to are "jpeg", "rgb", "rgba", "bgr" or "bgra". With Source a binary in format from,
// Target is unified with the image converted to format to; with Source unbound and Target a
// binary in format to, Source is unified with it converted to format from. The answer appended
// is the calling statement with the result in place, value 1.0 when the unification held, else
// 0.0; a malformed call gets the calling statement back with value 0.0.
#include "framework/substrate/MRKCPrimitive.h"

extern "C" {

// 0: done (with an answer, or without one when the image kit could not convert the data);
// 2: failure (out of memory, encoding failed, or no answer could be appended); 12: a bad call
// (no answers list, not five terms, dimensions that are not two whole numbers from 1 to 2^32-1,
// an unknown format, image data too short for its dimensions and format); 20: neither image term
// holds data.
int QAVFPrimitiveConvert(MRKCSubstrate* substrate, MRKBProcessor* processor, MRKCStatement* statement,
                         MRKCList* answers, MRKCVariables* bindings);

}  // extern "C"
