#include "hosts/BlockSection.h"

#include <optional>

#include "hosts/BlockListRules.h"

namespace quietreel {
namespace {

struct Span {
  std::size_t begin, end;
};

std::string_view LineAt(std::string_view text, std::size_t start, std::size_t& next) {
  const std::size_t lf = text.find('\n', start);
  next = lf == std::string_view::npos ? text.size() : lf + 1;
  std::string_view line = text.substr(start, (lf == std::string_view::npos ? text.size() : lf) - start);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

std::optional<Span> FindSection(std::string_view hosts, std::size_t from) {
  std::optional<std::size_t> begin;
  for (std::size_t start = from, next = 0; start < hosts.size(); start = next) {
    const std::string_view line = LineAt(hosts, start, next);
    if (!begin && line == kSectionBegin) begin = start;
    if (begin && line == kSectionEnd) return Span{*begin, next};
  }
  return std::nullopt;
}

}  // namespace

bool HasSection(std::string_view hosts) { return FindSection(hosts, 0).has_value(); }

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
