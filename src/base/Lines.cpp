#include "base/Lines.h"

namespace quietreel {

TextLine LineAt(std::string_view text, std::size_t begin, LineBreak rule) {
  const std::size_t lf = text.find('\n', begin);
  if (lf == std::string_view::npos) return {text.substr(begin), text.size(), 0};
  std::size_t end = lf;
  if (rule == LineBreak::kCrLf && end > begin && text[end - 1] == '\r') --end;
  return {text.substr(begin, end - begin), lf + 1, lf + 1 - end};
}

std::string WithHostsLineBreaks(std::string_view list) {
  std::string bytes;
  bytes.reserve(list.size() + list.size() / 8);
  for (char c : list) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

}  // namespace quietreel
