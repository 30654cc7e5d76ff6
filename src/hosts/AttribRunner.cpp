#include "hosts/AttribRunner.h"


#include "common/Utf16Length.h"
#include "hosts/HostsPaths.h"

namespace quietreel {
namespace {

// The command buffer holds 260 characters with its terminator.
constexpr std::size_t kCommandCapacity = 259;

const char* AnsiPrefix(int mode) {
  if (mode == kAttribHide) return "attrib +h +r +s ";
  if (mode == kAttribUnhide) return "attrib -h -r -s ";
  return nullptr;
}

std::wstring Widen(const char* ascii) {
  std::wstring out;
  while (*ascii) out += static_cast<wchar_t>(*ascii++);
  return out;
}

}  // namespace

std::optional<std::string> HostsAttribCommand(int mode) {
  const char* prefix = AnsiPrefix(mode);
  if (!prefix) return std::nullopt;
  return std::string(prefix) + "\"" + kHostsPathAnsi + "\"";
}

// A command that would be cut short names another file, and `%` is expanded
// by the command interpreter even inside quotes: neither is ever run.
std::optional<std::string> PathAttribCommand(CodePage& codePage, const std::wstring& path, int mode) {
  const char* prefix = AnsiPrefix(mode);
  if (!prefix || path.find(L'%') != std::wstring::npos) return std::nullopt;
  std::wstring command = Widen(prefix) + L"\"" + path + L"\"";
  if (Utf16Length(command) > kCommandCapacity) return std::nullopt;
  std::optional<std::string> ansi = codePage.ToAnsiExact(command);
  if (!ansi || ansi->size() > kCommandCapacity || ansi->find('%') != std::string::npos) return std::nullopt;
  return ansi;
}

int RunHostsAttrib(CommandRunner& commands, int mode) {
  std::optional<std::string> command = HostsAttribCommand(mode);
  return command ? commands.Run(*command) : 0;
}

void RunPathAttrib(CommandRunner& commands, CodePage& codePage, const std::wstring& path, int mode) {
  if (std::optional<std::string> command = PathAttribCommand(codePage, path, mode)) commands.Run(*command);
}

}  // namespace quietreel
