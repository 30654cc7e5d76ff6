#pragma once

#include <windows.h>

#include "platform/win32/SystemLibrary.h"

namespace quietreel::win32 {

// What the process's COM security came to; both false where COM refused
// or lacks it.
struct ComSecurity {
  // CoInitializeSecurity took the program's settings: only unmarshalers
  // that come with COM, only administrators and the system calling in.
  bool set = false;
  // Windows 8 on: only the unmarshalers Windows hardened, as confirmed by
  // asking COM back.
  bool strongUnmarshaling = false;
};

// OLE on the calling thread, from the system's ole32.dll, loaded by its
// full path rather than imported: whatever an import pulls in is loaded
// before wWinMain can narrow the DLL search. Released, and the DLL let go,
// at the end. Made first, before the shell is asked for anything: it sets
// COM's security for the whole process, since the elevated program is the
// higher side of a boundary, and what the desktop shell hands it must not
// bring code of the user's choosing into it.
class ScopedOle {
 public:
  ScopedOle();
  ~ScopedOle();
  ScopedOle(const ScopedOle&) = delete;
  ScopedOle& operator=(const ScopedOle&) = delete;

  const ComSecurity& Security() const { return security_; }

 private:
  SystemLibrary ole32_;
  void(WINAPI* uninitialize_)() = nullptr;
  ComSecurity security_;
};

}  // namespace quietreel::win32
