#pragma once

#include <windows.h>

#include <string>

namespace quietreel::win32 {

// Opens a web address in the desktop user's browser; when that cannot be
// done without starting it elevated, shows the address in a box owned by
// `owner` for the user to copy.
void OpenUrl(HWND owner, const std::wstring& address);

}  // namespace quietreel::win32
