#pragma once

#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace quietreel {

// The application: sets up the process and runs the main window. It holds
// the real machine that every operation is handed.
class CQuietreelApp {
 public:
  CQuietreelApp() = default;
  CQuietreelApp(const CQuietreelApp&) = delete;
  CQuietreelApp& operator=(const CQuietreelApp&) = delete;

  // Returns once the main window has closed; the process then ends.
  BOOL InitInstance();

 private:
  win32::Win32Platform platform_;
};

}  // namespace quietreel
