// quietreel_bench_calls <folder>
//
// What each step of a removal costs, in microseconds a file: 3,000 files
// are made afresh for each way of removing them and removed one by one,
// each way adding one step to the one before, so that each difference is
// one call's cost in the place where the purge makes it. A benchmark, not
// a test: it prints and checks nothing.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/ScopedWin.h"

namespace {

using InformationCall = LONG NTAPI(HANDLE, void*, void*, ULONG, int);
using FinalPathCall = DWORD WINAPI(HANDLE, LPWSTR, DWORD, DWORD);

double Microseconds() {
  LARGE_INTEGER frequency, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

void MakeFiles(const std::wstring& folder, int count) {
  ::CreateDirectoryW(folder.c_str(), nullptr);
  for (int i = 0; i < count; ++i) {
    HANDLE file = ::CreateFileW((folder + L"\\f" + std::to_wstring(i)).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, "x", 1, &written, nullptr);
    ::CloseHandle(file);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fwprintf(stderr, L"usage: quietreel_bench_calls <empty folder to work in>\n");
    return 2;
  }
  const std::wstring folder = argv[1];
  constexpr int kFiles = 3000;
  using quietreel::win32::FunctionOfLoaded;
  auto* setInformation = FunctionOfLoaded<InformationCall>(L"ntdll.dll", "NtSetInformationFile");
  auto* queryInformation = FunctionOfLoaded<InformationCall>(L"ntdll.dll", "NtQueryInformationFile");
  auto* finalPath = FunctionOfLoaded<FinalPathCall>(L"kernel32.dll", "GetFinalPathNameByHandleW");
  const wchar_t* ways[] = {
      L"DeleteFileW by name",
      L"open (DELETE), mark for deletion, close",
      L"  + FILE_WRITE_ATTRIBUTES in the open",
      L"  + the attributes asked (NtQueryInformationFile)",
      L"  - those, + GetFileInformationByHandle",
      L"open (DELETE), final path, mark, close",
  };
  for (int way = 0; way < 6; ++way) {
    MakeFiles(folder, kFiles);
    const double start = Microseconds();
    for (int i = 0; i < kFiles; ++i) {
      const std::wstring path = folder + L"\\f" + std::to_wstring(i);
      if (way == 0) {
        ::DeleteFileW(path.c_str());
        continue;
      }
      const DWORD access = DELETE | FILE_READ_ATTRIBUTES | (way == 2 || way == 3 ? FILE_WRITE_ATTRIBUTES : 0);
      HANDLE file = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                  nullptr);
      ULONG_PTR io[2] = {};
      if (way == 3) {
        struct {
          LARGE_INTEGER times[4];
          ULONG attributes;
        } basic{};
        queryInformation(file, io, &basic, sizeof(basic), 4);
      }
      if (way == 4) {
        BY_HANDLE_FILE_INFORMATION facts{};
        ::GetFileInformationByHandle(file, &facts);
      }
      if (way == 5) {
        wchar_t name[MAX_PATH * 2];
        finalPath(file, name, MAX_PATH * 2, 0);
      }
      BOOLEAN deleteFile = TRUE;
      setInformation(file, io, &deleteFile, sizeof(deleteFile), 13);
      ::CloseHandle(file);
    }
    std::wprintf(L"%-52ls %7.1f us a file\n", ways[way], (Microseconds() - start) / kFiles);
  }
  ::RemoveDirectoryW(folder.c_str());
  return 0;
}
