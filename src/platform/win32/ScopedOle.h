#pragma once

#include <windows.h>

#include "platform/win32/SystemLibrary.h"

namespace quietreel::win32 {

// What the process's COM security came to: the program's settings taken,
// and the strong unmarshaling policy read back.
struct ComSecurity {
  bool set = false;
  bool strongUnmarshaling = false;
};

// OLE on the calling thread, with COM's security for the process set as
// it starts; released, and ole32 let go, at the end. Made first, before
// the shell is asked for anything.
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
