#include "hosts/BlockListRules.h"

#include "base/Lines.h"

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

// The list's lines end with LF alone, so that in the hosts file each ends
// with CR LF and reads as the same line there. A CR, a control byte or a
// byte above 127 makes the list bad.
bool IsBlockOnlyList(std::string_view text) {
  if (text.size() > kMaxBlockListBytes) return false;
  std::size_t hosts = 0;
  bool good = true;
  ForEachLine(text, LineBreak::kLf, [&](const TextLine& line, std::size_t) {
    const Line kind = ClassifyLine(line.text);
    good = kind != Line::kBad && !(kind == Line::kHost && ++hosts > kMaxBlockListHosts);
    return good;
  });
  return good;
}

// Each marker is one whole line of its own, once: a second begin or end
// inside would make the list's section in the hosts file ambiguous. The
// markers end with LF alone, so that in the hosts file they end with CR LF
// and are found there.
bool IsMarkedBlockList(std::string_view text) {
  std::size_t begins = 0, ends = 0;
  bool firstIsBegin = false, lastIsEnd = false, terminated = true;
  ForEachLine(text, LineBreak::kLf, [&](const TextLine& line, std::size_t begin) {
    terminated = line.breakSize > 0;
    if (line.text == kSectionBegin) ++begins, firstIsBegin = firstIsBegin || begin == 0;
    lastIsEnd = line.text == kSectionEnd;
    if (lastIsEnd) ++ends;
    return terminated;
  });
  return terminated && firstIsBegin && lastIsEnd && begins == 1 && ends == 1;
}

bool IsShippableList(std::string_view text) { return IsMarkedBlockList(text) && IsBlockOnlyList(text); }

bool BlocksAName(std::string_view line) { return ClassifyLine(line) == Line::kHost; }

}  // namespace quietreel
