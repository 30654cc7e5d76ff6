#pragma once

#include <string>

#include "platform/Services.h"
#include "platform/win32/Win32FileSystem.h"

namespace quietreel::win32 {

class SystemCommandRunner : public CommandRunner {
 public:
  int Run(const std::string& ansiCommand) override;
};

class AnsiCodePage : public CodePage {
 public:
  std::string ToAnsi(const std::wstring& text) override;
  std::optional<std::string> ToAnsiExact(const std::wstring& text) override;
};

class ShellFolders : public KnownFolders {
 public:
  std::optional<std::wstring> Path(KnownFolder folder) override;
};

// The running program's full file name.
std::wstring ModuleFileName();
// The folder of the running program, ending with a backslash.
std::wstring ProgramDirectory();

// The real machine, as the operations see it.
class Win32Platform {
 public:
  Win32Platform() : Win32Platform(ProgramDirectory()) {}
  explicit Win32Platform(std::wstring programDirectory) : programDirectory_(std::move(programDirectory)) {}
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Services MakeServices() { return Services{files_, commands_, codePage_, folders_, programDirectory_}; }

 private:
  Win32FileSystem files_;
  SystemCommandRunner commands_;
  AnsiCodePage codePage_;
  ShellFolders folders_;
  std::wstring programDirectory_;
};

}  // namespace quietreel::win32
