// The decoded list's rules on any bytes: a list that may ship is marked and
// only blocks, its section is found whole in the hosts file it goes into and
// counts every name it blocks, and the codec gives its bytes back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "base/Lines.h"
#include "hosts/BlockListCodec.h"
#include "hosts/BlockListRules.h"
#include "hosts/BlockSection.h"

using namespace quietreel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string list(reinterpret_cast<const char*>(data), size);
  const bool shippable = IsShippableList(list);
  FUZZ_CHECK(shippable == (IsMarkedBlockList(list) && IsBlockOnlyList(list)));
  const std::string encoded = EncodeBlockList(kBlockListBaseChar, list, kBlockListSeed);
  FUZZ_CHECK(DecodeBlockList(kBlockListBaseChar, encoded, kBlockListSeed) == list ||
             list.find('\0') != std::string::npos);
  if (!shippable) return 0;
  const std::string hosts = WithHostsLineBreaks(list);
  std::size_t names = 0;
  ForEachLine(list, LineBreak::kCrLf, [&](const TextLine& line, std::size_t) {
    names += BlocksAName(line.text) ? 1 : 0;
    return true;
  });
  FUZZ_CHECK(SectionHosts(hosts) == names);
  FUZZ_CHECK(WithoutSections(hosts, false).empty());
  return 0;
}
