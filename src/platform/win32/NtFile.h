#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quietreel::win32 {

// What a handle's file is and does, through ntdll's NtQueryInformationFile
// and NtSetInformationFile, which every Windows has (the kernel32 calls
// that take a handle came with Vista). GetFileInformationByHandle would
// answer too, but it also asks the volume for its serial number, which
// costs Wine more than the deletion itself.
std::optional<DWORD> AttributesOf(HANDLE file);
std::optional<ULONG> NamesOf(HANDLE file);
// 0 would mean "leave them" to the system; it is sent as "normal".
bool SetAttributesOf(HANDLE file, DWORD attributes);
bool MarkForDeletion(HANDLE file);
// Opens a file by its name in the kernel's own namespace
// (`\Device\HarddiskVolume2\...`), as Windows names a mapped file, for its
// facts only; null when it cannot be.
HANDLE OpenKernelName(const std::wstring& name);

}  // namespace quietreel::win32
