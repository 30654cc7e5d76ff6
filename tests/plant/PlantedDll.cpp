// A DLL that says when it runs: on loading it appends a line naming itself
// and the program it was loaded into to "<its own file name>.ran" beside it.
// scripts/plant-dll.sh puts it beside the program under a system DLL's name.
#include <windows.h>

namespace {

void Append(HANDLE file, const wchar_t* text) {
  char bytes[3 * MAX_PATH];
  int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof(bytes), nullptr, nullptr);
  DWORD written = 0;
  if (length > 1) ::WriteFile(file, bytes, static_cast<DWORD>(length - 1), &written, nullptr);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t dll[MAX_PATH] = {};
  wchar_t program[MAX_PATH] = {};
  wchar_t marker[MAX_PATH + 8] = {};
  ::GetModuleFileNameW(self, dll, MAX_PATH);
  ::GetModuleFileNameW(nullptr, program, MAX_PATH);
  ::lstrcpyW(marker, dll);
  ::lstrcatW(marker, L".ran");
  HANDLE file = ::CreateFileW(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TRUE;
  Append(file, dll);
  Append(file, L" ran in ");
  Append(file, program);
  Append(file, L"\n");
  ::CloseHandle(file);
  return TRUE;
}
