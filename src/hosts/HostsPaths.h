#pragma once

namespace quietreel {

// Bare names, resolved in the program's own folder.
inline constexpr wchar_t kBlockListFileName[] = L"core.dat";
inline constexpr wchar_t kBackupFileName[] = L"backup";
// Beside the hosts file: where a saved copy is written before it is renamed
// over the hosts file.
inline constexpr wchar_t kScratchSuffix[] = L".quietreel";

}  // namespace quietreel
