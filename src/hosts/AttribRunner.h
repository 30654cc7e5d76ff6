#pragma once

#include <optional>
#include <string>

#include "platform/CodePage.h"
#include "platform/CommandRunner.h"

namespace quietreel {

// Any other value is accepted and runs nothing.
enum AttribMode : int { kAttribHide = 0, kAttribUnhide = 1 };

std::optional<std::string> HostsAttribCommand(int mode);
std::optional<std::string> PathAttribCommand(CodePage& codePage, const std::wstring& path, int mode);

int RunHostsAttrib(CommandRunner& commands, int mode);
void RunPathAttrib(CommandRunner& commands, CodePage& codePage, const std::wstring& path, int mode);

}  // namespace quietreel
