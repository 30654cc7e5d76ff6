#include "hosts/BlockListFile.h"

#include "base/Path.h"
#include "base/Sha256.h"
#include "hosts/BlockListCodec.h"
#include "hosts/BlockListRules.h"
#include "hosts/HostsMessages.h"
#include "hosts/HostsPaths.h"

namespace quietreel {
namespace {

ListRead Problem(const wchar_t* text) { return {std::nullopt, text}; }

const wchar_t* ReadProblem(ReadStatus status) {
  switch (status) {
    case ReadStatus::kOk:
      return nullptr;
    case ReadStatus::kMissing:
      return kNoBlockList;
    case ReadStatus::kNotPlain:
      return kNotPlainFile;
    case ReadStatus::kTooLarge:
      return kListDamaged;
    default:
      return kListUnreadable;
  }
}

}  // namespace

// Any program of the user's can rewrite a core.dat in a folder the user can
// write, and a list that is marked and only blocks can still block a
// security vendor's update server for the whole machine: there only the
// shipped file will do. A folder only administrators can write may hold
// a list of their own.
ListRead ReadBlockList(const Services& services) {
  ReadResult read = services.userFiles->ReadWhole(JoinPath(services.programDirectory, kBlockListFileName),
                                                  kBlockListSizeLimit, Names::kOneOnly);
  if (read.status != ReadStatus::kOk) return Problem(ReadProblem(read.status));
  if (read.bytes.empty()) return Problem(kListEmpty);
  if (services.userCanWriteProgramDirectory && Sha256Hex(read.bytes) != services.shippedListSha256)
    return Problem(kListDamaged);
  std::string list = DecodeBlockList(kBlockListBaseChar, read.bytes, kBlockListSeed);
  list.resize(list.find('\0') == std::string::npos ? list.size() : list.find('\0'));
  if (!IsShippableList(list)) return Problem(kListDamaged);
  return {std::move(list), nullptr};
}

}  // namespace quietreel
