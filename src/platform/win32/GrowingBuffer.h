#pragma once

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace quietreel::win32 {

// Asks `call(buffer, size)` for a text with a buffer that grows until the
// text fits: a text cut short would name another file. `call` returns 0 on
// failure, the text's length when it fit, or, when it did not, a number at
// least the buffer's size (the size it needs, as most calls report, or the
// buffer's own size, as GetModuleFileNameW does with a cut name).
template <typename Call>
std::optional<std::wstring> GrowingBuffer(Call call) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 8; ++attempt) {
    const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(std::max<std::size_t>(length + 1, buffer.size() * 2));
  }
  return std::nullopt;
}

}  // namespace quietreel::win32
