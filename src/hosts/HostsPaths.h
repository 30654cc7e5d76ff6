#pragma once

namespace quietreel {

// Bare names, resolved in the program's own folder.
inline constexpr wchar_t kBlockListFileName[] = L"core.dat";
inline constexpr wchar_t kBackupFileName[] = L"backup";
// Beside the hosts file: where a saved copy is written before it takes the
// hosts file's place, and the record of what Block saved in `backup`.
inline constexpr wchar_t kScratchSuffix[] = L".quietreel";
inline constexpr wchar_t kRecordFileName[] = L"quietreel-backup.txt";

}  // namespace quietreel
