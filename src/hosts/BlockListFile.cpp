#include "hosts/BlockListFile.h"

#include "base/Path.h"
#include "hosts/BlockListCodec.h"
#include "hosts/BlockListRules.h"
#include "hosts/HostsMessages.h"
#include "hosts/HostsPaths.h"

namespace quietreel {

std::optional<std::string> LoadBlockList(const Services& services, Window& owner) {
  ReadResult read = services.userFiles->ReadWhole(JoinPath(services.programDirectory, kBlockListFileName),
                                                  kBlockListSizeLimit, Names::kOneOnly);
  switch (read.status) {
    case ReadStatus::kOk:
      break;
    case ReadStatus::kMissing:
      owner.ShowWarning(kNoBlockList);
      return std::nullopt;
    case ReadStatus::kNotPlain:
      owner.ShowWarning(kNotPlainFile);
      return std::nullopt;
    case ReadStatus::kTooLarge:
      owner.ShowWarning(kListDamaged);
      return std::nullopt;
    default:
      owner.ShowWarning(kListUnreadable);
      return std::nullopt;
  }
  if (read.bytes.empty()) {
    owner.ShowWarning(kListEmpty);
    return std::nullopt;
  }
  std::string list = DecodeBlockList(kBlockListBaseChar, read.bytes, kBlockListSeed);
  list.resize(list.find('\0') == std::string::npos ? list.size() : list.find('\0'));
  if (!IsBlockOnlyList(list)) {
    owner.ShowWarning(kListDamaged);
    return std::nullopt;
  }
  return list;
}

}  // namespace quietreel
