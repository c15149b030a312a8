// The vision processors, made by class name while the plug-in is loaded.
#include "modules/vision/classifier/QAVCFakeClassifier.h"
#include "modules/vision/processors/QAVCConverter.h"
#include "modules/vision/processors/QAVCProjector.h"
#include "modules/vision/processors/QAVCROIExtractor.h"
#include "modules/vision/processors/QAVCResizer.h"

namespace {
MRKTClassRegistrar<QAVCConverter> registerConverter("QAVCConverter");
MRKTClassRegistrar<QAVCResizer> registerResizer("QAVCResizer");
MRKTClassRegistrar<QAVCROIExtractor> registerExtractor("QAVCROIExtractor");
MRKTClassRegistrar<QAVCProjector> registerProjector("QAVCProjector");
MRKTClassRegistrar<QAVCFakeClassifier> registerFakeClassifier("QAVCFakeClassifier");
}  // namespace
