#pragma once

#include <windows.h>

#include <string>

namespace quietreel::win32 {

bool IsPlain(HANDLE file, const std::wstring& path, bool oneNameOnly);
bool IsLinkName(const std::wstring& path);

}  // namespace quietreel::win32
