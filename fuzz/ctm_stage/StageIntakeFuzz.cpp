// Chunks arrive from other processors and are untrusted: any term posted to the stage, in any
// competition mode, must be refused or competed without harm. The first byte picks the mode,
// value function and tie-break; the rest is a list of posted terms in the text form.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "framework/substrate/MRKCList.h"
#include "framework/substrate/MRKCReader.h"
#include "framework/substrate/MRKCStatement.h"
#include "modules/ctm/stage/CTMFStageIntake.h"
#include "modules/ctm/stage/CTMFStageTick.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  CTMTStage record;
  if (!CTMFStageRecordInit(&record, "ctm")) return 0;
  record.mode = 1 + data[0] % 3;
  record.func = (data[0] >> 2) % 5;
  record.esel = 1u << ((data[0] >> 5) % 3);
  record.size = 1 + (data[0] >> 6);

  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  Ref<MRKBTerm> posted = MRKCReader::reader()->readTermFromString(text);
  MRKCList* chunks = asList(posted.get());
  if (!chunks) return 0;
  for (size_t i = 0; i < chunks->count(); ++i) {
    Ref<MRKCList> carried = MRKCList::listWithTerms({chunks->fetchAtIndex(i)});
    Ref<MRKCStatement> statement = MRKCStatement::statementWithLabel("ctm.pass", carried.get(), 1.0);
    if (statement) CTMFStageIntakeStatement(&record, statement.get());
  }
  CTMFStageMakeTick(&record, false, 250, false);
  return 0;
}
