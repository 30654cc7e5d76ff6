#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quietreel {

// Length as Windows counts it, in UTF-16 code units, whatever the width of
// wchar_t where the code runs.
inline std::size_t Utf16Length(const std::wstring& text) {
  std::size_t units = 0;
  for (wchar_t c : text) units += (static_cast<std::uint32_t>(c) >> 16) ? 2 : 1;
  return units;
}

}  // namespace quietreel
