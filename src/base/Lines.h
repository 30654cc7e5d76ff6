#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quietreel {

// Lines end at LF. The shipped list writes LF alone, so there a CR before
// the LF is part of the line. The hosts file writes CR LF, so there that
// CR belongs to the line break.
enum class LineBreak { kLf, kCrLf };

struct TextLine {
  std::string_view text;   // without its line break
  std::size_t next = 0;    // where the following line begins
  std::size_t breakSize = 0;  // 0 for a last line without one
};

// The line that begins at `begin`, which must lie inside `text`.
TextLine LineAt(std::string_view text, std::size_t begin, LineBreak rule);

// Calls `visit(line, begin)` for each line in order until it returns false.
template <typename Visit>
void ForEachLine(std::string_view text, LineBreak rule, Visit visit) {
  for (std::size_t begin = 0; begin < text.size();) {
    const TextLine line = LineAt(text, begin, rule);
    if (!visit(line, begin)) return;
    begin = line.next;
  }
}

// The shipped list as the hosts file writes it: each LF becomes CR LF, the
// way a text-mode stream writes it.
std::string WithHostsLineBreaks(std::string_view list);

}  // namespace quietreel
