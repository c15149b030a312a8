#include "modules/vision/classifier/QAVFFakeClassifier.h"

#include "framework/core/JSKCArray.h"
#include "framework/core/JSKCReader.h"
#include "framework/core/JSKCString.h"
#include "framework/core/LLKFFiles.h"
#include "framework/core/NRKCPolygon.h"
#include "framework/substrate/MRKCData.h"
#include "framework/substrate/MRKCNumber.h"

Ref<JSKCFrame> QAVFFakeClassifierReadJSON(const char* path, std::string* why) {
  std::string text;
  if (!LLKFReadFile(path, text, why)) return JSKCFrame::frame();
  Ref<JSKCReader> reader = JSKCReader::reader();
  Ref<JSKCFrame> frame = reader ? reader->readFromString(text) : nullptr;
  if (frame) return frame;
  if (why) *why = "is not a JSON object";
  return JSKCFrame::frame();
}

QAVTFakeClassifierClasses QAVFFakeClassifierClassTable(const JSKCFrame& labelsFile) {
  QAVTFakeClassifierClasses classes;
  for (size_t m = 0; m < labelsFile.count(); ++m) {
    Ref<JSKBValue> value = labelsFile.fetchAtIndex(m);
    const JSKCArray* names = value ? value->asArray() : nullptr;
    if (!names) continue;
    std::vector<Ref<MRKCSymbol>> symbols;
    bool named = false;
    for (size_t i = 0; i < names->count(); ++i) {
      Ref<JSKBValue> name = names->atIndex(i);
      const JSKCString* text = name ? name->asString() : nullptr;
      symbols.push_back(text ? MRKCSymbol::symbolWithValue(text->string()) : nullptr);
      named = named || text;
    }
    if (named) classes[labelsFile.labelAtIndex(m)] = std::move(symbols);
  }
  return classes;
}

Ref<MRKCList> QAVFFakeClassifierMakeTerms(uint32_t slot, MRKCSymbol* classSymbol, const LLKCObjectDeque* polygons) {
  if (!classSymbol || !polygons) return nullptr;
  Ref<MRKCList> outlines = MRKCList::listWithCapacity(polygons->count());
  for (size_t i = 0; i < polygons->count(); ++i) {
    Ref<NRKCPolygon> polygon = polygons->fetchAtIndexAs<NRKCPolygon>(i);
    if (!polygon) return nullptr;
    Ref<MRKCData> data = MRKCData::dataWithFormat(kMRKDataReal32, polygon->points(), size_t(polygon->length()) * 2);
    if (!data) return nullptr;
    outlines->append(data.get());
  }
  return MRKCList::listWithTerms({MRKCNumber::numberWithUint(slot).get(), classSymbol, outlines.get()});
}
