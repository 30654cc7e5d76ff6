#pragma once

#include <string>

#include "platform/KnownFolders.h"

namespace quietreel {

bool ReachesUserData(KnownFolders& folders, const std::wstring& profile, const std::wstring& folder);
bool IsOwnLongForm(const std::wstring& path);
bool IsBrowserCacheFolder(const std::wstring& folder);

}  // namespace quietreel
