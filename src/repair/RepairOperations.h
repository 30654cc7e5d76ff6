#pragma once

#include "platform/Services.h"
#include "platform/Window.h"

namespace quietreel {

// The static-content host of the video site; its Flash storage entry is what
// the black-screen repair replaces.
inline constexpr wchar_t kVideoSiteStaticHost[] = L"static.youku.com";
// Below the user's application-data folder.
inline constexpr wchar_t kFlashSharedObjectsSubpath[] = L"Macromedia\\Flash Player\\#SharedObjects";

// The two operations behind the troubleshooting dialog's buttons; `owner` is
// that dialog.
void RepairSharedObject(const Services& services, Window& owner);
void CleanTemporaryFiles(const Services& services, Window& owner);

}  // namespace quietreel
