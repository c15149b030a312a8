#include "app/vision/VSKCOutlineOperation.h"

#include <string>

#include "app/vision/VSKFLabelingInteraction.h"
#include "framework/core/LLKCString.h"

Ref<VSKCOperationOutline> VSKCOperationOutline::operationWithPolygons(Ref<LLKCObjectDeque> polygons) {
  if (!polygons) return nullptr;
  return makeRef<VSKCOperationOutline>(std::move(polygons));
}

void VSKCOperationOutline::onExecute() {
  Ref<LLKCMessage> complete = onComplete();
  if (!complete) return;
  std::string note;
  Ref<LLKCObjectDeque> outline = VSKFLabelingOutline(*polygons_, &note);
  Ref<LLKCMessage> message = LLKCMessage::messageWithCode(complete->code(), outline);
  if (!note.empty()) (void)message->details().storeObject(LLKCString::stringWithString(note), "note");
  notify(message);
}
