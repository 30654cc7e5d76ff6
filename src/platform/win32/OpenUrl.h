#pragma once

#include <string>

namespace quietreel::win32 {

// Opens a web address in the user's browser.
void OpenUrl(const std::wstring& address);

}  // namespace quietreel::win32
