// Planted code: an exe (put where a command interpreter or `attrib` would be
// looked for) and a DLL (put beside the program under a name the system
// loads), each leaving a file behind when it runs.
#include "PlantedCode.h"

#include <windows.h>

namespace {

void LeaveMark() {
  HANDLE file = ::CreateFileW(QUIETREEL_E2E_PLANTED_RAN, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
}

}  // namespace

#ifdef QUIETREEL_PLANTED_DLL
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) LeaveMark();
  return TRUE;
}
#else
int main() {
  LeaveMark();
  return 0;
}
#endif
