// The section finder and remover on any hosts file: whatever the user's
// bytes, the section Block appends after them is found and taken out
// whole, with the line break Block added, and nothing else; a hosts file
// without a section is kept byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "base/Lines.h"
#include "hosts/BlockSection.h"

using namespace quietreel;

namespace {

const std::string kList = "# BEGIN Quietreel block list\n0.0.0.0 ads.example.com\n# END Quietreel block list\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string user(reinterpret_cast<const char*>(data), size);
  const std::string kept = WithoutSections(user, true);
  FUZZ_CHECK(kept.size() <= user.size());
  if (HasSection(user)) return 0;
  FUZZ_CHECK(kept == user);
  const bool lineBreakAdded = !user.empty() && user.back() != '\n';
  const std::string blocked = user + (lineBreakAdded ? "\r\n" : "") + WithHostsLineBreaks(kList);
  FUZZ_CHECK(HasSection(blocked));
  FUZZ_CHECK(SectionHosts(blocked) == 1u);
  FUZZ_CHECK(WithoutSections(blocked, lineBreakAdded) == user);
  return 0;
}
