#include "hosts/BlockSection.h"

#include <optional>

#include "base/Lines.h"
#include "hosts/BlockListRules.h"

namespace quietreel {
namespace {

struct Span {
  std::size_t begin, end;
};

// Whole lines of the hosts file, from an end marker with its line break
// back to the nearest begin marker before it: the list has no marker inside,
// so a stray begin line above it (a section someone cut short) is the
// user's, and what lies between is kept.
std::optional<Span> FindSection(std::string_view hosts, std::size_t from) {
  std::optional<std::size_t> begin;
  std::optional<Span> found;
  ForEachLine(hosts.substr(from), LineBreak::kCrLf, [&](const TextLine& line, std::size_t start) {
    if (line.text == kSectionBegin) begin = from + start;
    if (begin && line.text == kSectionEnd) found = Span{*begin, from + line.next};
    return !found;
  });
  return found;
}

}  // namespace

bool HasSection(std::string_view hosts) { return FindSection(hosts, 0).has_value(); }

std::optional<std::size_t> SectionHosts(std::string_view hosts) {
  std::optional<std::size_t> count;
  for (std::optional<Span> span = FindSection(hosts, 0); span; span = FindSection(hosts, span->end)) {
    count = count.value_or(0);
    ForEachLine(hosts.substr(span->begin, span->end - span->begin), LineBreak::kCrLf, [&](const TextLine& line, std::size_t) {
      if (BlocksAName(line.text)) ++*count;
      return true;
    });
  }
  return count;
}

std::string WithoutSections(std::string_view hosts, bool lineBreakAdded) {
  std::string kept;
  std::size_t from = 0;
  for (std::optional<Span> span = FindSection(hosts, 0); span; span = FindSection(hosts, from)) {
    std::size_t before = span->begin;
    const bool last = span->end == hosts.size();
    if (from == 0 && last && lineBreakAdded && before >= 2 && hosts.substr(before - 2, 2) == "\r\n") before -= 2;
    kept.append(hosts.substr(from, before - from));
    from = span->end;
  }
  kept.append(hosts.substr(from));
  return kept;
}

}  // namespace quietreel
