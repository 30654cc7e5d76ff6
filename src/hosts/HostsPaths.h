#pragma once

namespace quietreel {

// The hosts file lives at a fixed place; the program never asks Windows
// where it is installed.
inline constexpr char kHostsPathAnsi[] = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
inline constexpr wchar_t kHostsPath[] = L"C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
// Where Restore puts the saved copy before renaming it over the hosts file.
inline constexpr wchar_t kRestoreScratchPath[] = L"C:\\WINDOWS\\system32\\drivers\\etc\\hosts.quietreel";

// Bare names, resolved in the program's own folder.
inline constexpr wchar_t kBlockListFileName[] = L"core.dat";
inline constexpr wchar_t kBackupFileName[] = L"backup";

}  // namespace quietreel
