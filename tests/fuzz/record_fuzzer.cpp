// The record's parser on any bytes: it never fails, and what it takes is
// exactly a text Block writes, which writing it again gives back.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "hosts/BackupRecord.h"

using namespace quietreel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<BackupRecord> record = ParseRecord(text);
  if (record) FUZZ_CHECK(RecordText(*record) == text);
  const BackupRecord made{DigestOf(text), size % 2 == 1, DigestOf(text.substr(size / 2))};
  const std::optional<BackupRecord> again = ParseRecord(RecordText(made));
  FUZZ_CHECK(again && Matches(again->backup, text) && again->lineBreakAdded == made.lineBreakAdded &&
             Matches(again->hostsAfterBlock, text.substr(size / 2)));
  return 0;
}
