#pragma once

#include <windows.h>

#include "platform/win32/SystemLibrary.h"

namespace quietreel {

// The application: sets up the process and runs the main window, handing
// every operation the real machine, made once COM is up (it asks the
// desktop shell who the person at the desktop is).
class CQuietreelApp {
 public:
  CQuietreelApp() = default;
  CQuietreelApp(const CQuietreelApp&) = delete;
  CQuietreelApp& operator=(const CQuietreelApp&) = delete;

  // Returns once the main window has closed; the process then ends.
  BOOL InitInstance();

 private:
  // Loaded once and kept until the program ends: what ShellExecuteW leaves
  // behind in it (windows, COM objects, threads) must never outlive it.
  // The URL opener and the shell folders load it again for each call,
  // which then only counts up and down.
  win32::SystemLibrary shell32_{L"shell32.dll"};
};

}  // namespace quietreel
