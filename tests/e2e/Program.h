#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace e2e {

// Changes the scratch folder before the program starts, as a user (or
// another program) may have changed the folder the exe is in.
using Arrange = std::function<void(const std::wstring& folder)>;

// The release Quietreel.exe copied under `exeName` into a scratch folder of
// its own with core.dat, started, and ended when the object goes. With a
// `link`, that link is made to the scratch folder and the exe is started
// through it, as from a folder reached through a junction.
class Program {
 public:
  explicit Program(const std::wstring& exeName = L"Quietreel.exe", const Arrange& arrange = nullptr,
                   const std::wstring& link = L"");
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Null when the main window did not show.
  HWND Main() const { return main_; }
  DWORD Id() const { return process_.dwProcessId; }
  // The scratch folder, ending with a backslash.
  const std::wstring& Folder() const { return folder_; }
  bool EndsWithin(std::chrono::milliseconds patience) const;

 private:
  std::wstring folder_;
  std::wstring link_;
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
};

}  // namespace e2e
