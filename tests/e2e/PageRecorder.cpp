// The stand-in browser, registered for http addresses in HKLM (Wine 8 reads
// no HKCU classes): `recorder.exe <log> <address>` appends the address and
// the file name of the program that started it, tab-separated, as a line to
// the log; a test can then see which page was opened and by whom.
#include <windows.h>
// windows.h first: tlhelp32.h builds on it.
#include <tlhelp32.h>

#include <cstdio>
#include <string>

namespace {

// The exe file name of the process that started this one; "<none>" when
// it has gone or cannot be told.
std::wstring Opener() {
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return L"<none>";
  const DWORD self = ::GetCurrentProcessId();
  DWORD parent = 0;
  std::wstring name = L"<none>";
  for (int pass = 0; pass < 2; ++pass) {
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
      if (pass == 0 && entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
      if (pass == 1 && parent != 0 && entry.th32ProcessID == parent) name = entry.szExeFile;
    }
  }
  ::CloseHandle(snapshot);
  return name;
}

std::string Narrow(const std::wstring& text) {
  int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], size, nullptr, nullptr);
  return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const std::string line = Narrow(argv[2]) + "\t" + Narrow(Opener()) + "\n";
  FILE* log = ::_wfopen(argv[1], L"ab");
  if (!log) return 1;
  std::fwrite(line.data(), 1, line.size(), log);
  std::fclose(log);
  return 0;
}
