#include "hosts/BlockListRules.h"

namespace quietreel {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsPrintable(char c) { return (c >= 0x20 && c < 0x7F) || c == '\t'; }
bool IsLetterOrDigit(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

std::string_view SkipBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

bool IsLabel(std::string_view label) {
  if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') return false;
  for (char c : label)
    if (!IsLetterOrDigit(c) && c != '-') return false;
  return true;
}

enum class Line { kBad, kNothing, kHost };

// "0.0.0.0 ads.example.com  # why" and nothing else redirects: an address
// of nowhere, so a name can be blocked, never sent somewhere else. Not
// 127.0.0.1: any user's program may listen there, and would then answer
// for the name to every user and service of the machine.
Line ClassifyLine(std::string_view line) {
  for (char c : line)
    if (!IsPrintable(c)) return Line::kBad;
  line = SkipBlanks(line);
  if (line.empty() || line.front() == '#') return Line::kNothing;
  std::string_view address = line.substr(0, line.find_first_of(" \t"));
  if (address != "0.0.0.0") return Line::kBad;
  line.remove_prefix(address.size());
  if (line.empty() || !IsBlank(line.front())) return Line::kBad;
  line = SkipBlanks(line);
  const std::size_t hostEnd = line.find_first_of(" \t#");
  if (!IsHostName(line.substr(0, hostEnd))) return Line::kBad;
  std::string_view rest = hostEnd == std::string_view::npos ? std::string_view() : SkipBlanks(line.substr(hostEnd));
  return rest.empty() || rest.front() == '#' ? Line::kHost : Line::kBad;
}

}  // namespace

// RFC 1123 labels, at least two of them, 253 characters at most.
bool IsHostName(std::string_view name) {
  if (name.empty() || name.size() > 253 || name.find('.') == std::string_view::npos) return false;
  for (std::size_t start = 0;;) {
    const std::size_t dot = name.find('.', start);
    if (!IsLabel(name.substr(start, dot == std::string_view::npos ? dot : dot - start))) return false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

// Lines end at LF; a CR right before it belongs to the line break. A CR
// anywhere else, a control byte or a byte above 127 makes the list bad.
bool IsBlockOnlyList(std::string_view text) {
  if (text.size() > kMaxBlockListBytes) return false;
  std::size_t hosts = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    const Line kind = ClassifyLine(line);
    if (kind == Line::kBad || (kind == Line::kHost && ++hosts > kMaxBlockListHosts)) return false;
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return true;
}

// Each marker is one whole line of its own, once: a second begin or end
// inside would make the list's section in the hosts file ambiguous.
bool IsMarkedBlockList(std::string_view text) {
  const std::string_view begin = kSectionBegin, end = kSectionEnd;
  std::size_t begins = 0, ends = 0;
  bool firstIsBegin = false, lastIsEnd = false;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t stop = text.find('\n', start);
    if (stop == std::string_view::npos) return false;  // the end marker ends with its line break
    const std::string_view line = text.substr(start, stop - start);
    if (line == begin) ++begins, firstIsBegin = firstIsBegin || start == 0;
    lastIsEnd = line == end;
    if (lastIsEnd) ++ends;
    start = stop + 1;
  }
  return firstIsBegin && lastIsEnd && begins == 1 && ends == 1;
}

}  // namespace quietreel
