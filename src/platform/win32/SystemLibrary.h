#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/ScopedWin.h"

namespace quietreel::win32 {

// The folder Windows runs from (System32; a 32-bit process on 64-bit Windows
// is given the same name and redirected where that matters).
std::wstring SystemDirectory();

// Takes the program's folder and the current directory out of the DLL
// search as far as the system allows. First thing in wWinMain.
void SearchSystemFolderForDlls();

// The DLL of that name in the system folder, loaded by its full path; null
// when it cannot be.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A DLL loaded by its full path in the system folder, never found by name in
// the program's folder or the current directory, which the user can write.
class SystemLibrary {
 public:
  explicit SystemLibrary(const wchar_t* name) : module_(LoadSystemLibrary(name)) {}

  // The named function, or null when the DLL or the function is missing.
  template <typename Function>
  Function* Find(const char* name) const {
    return module_.Find<Function>(name);
  }

 private:
  ScopedModule module_;
};

}  // namespace quietreel::win32
