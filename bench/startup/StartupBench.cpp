// Measures the time from starting a program to its first visible top-level
// window, for two programs in alternation, and prints each one's median and
// their ratio.
//   startup_bench.exe <program.exe> <yardstick.exe> [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search->process && ::IsWindowVisible(window) && !::GetWindow(window, GW_OWNER)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts the program in its own folder, waits for its window, closes it.
// Returns the seconds to the window, or a negative number on failure.
double TimeToWindow(const std::wstring& program) {
  std::wstring folder = program.substr(0, program.rfind(L'\\') + 1);
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start;
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&start);
  if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
    std::fwprintf(stderr, L"cannot start %ls: error %lu\n", program.c_str(), ::GetLastError());
    return -1;
  }
  Search search{process.dwProcessId, nullptr};
  double elapsed = -1;
  for (;;) {
    ::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
    ::QueryPerformanceCounter(&now);
    if (search.found) {
      elapsed = Seconds(start, now);
      break;
    }
    DWORD exitCode = 0;
    if (::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0 && ::GetExitCodeProcess(process.hProcess, &exitCode)) {
      std::fwprintf(stderr, L"%ls ended with code %lu before showing a window\n", program.c_str(), exitCode);
      break;
    }
    if (Seconds(start, now) > 30) break;
    ::Sleep(1);
  }
  if (search.found) ::PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: startup_bench <program.exe> <yardstick.exe> [rounds]\n");
    return 2;
  }
  const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : 15;
  const std::wstring programs[2] = {argv[1], argv[2]};
  // One unmeasured start of each warms the caches both will find warm.
  for (const auto& program : programs) TimeToWindow(program);
  std::vector<double> times[2];
  for (int round = 0; round < rounds; ++round) {
    for (int which = 0; which < 2; ++which) {
      const double seconds = TimeToWindow(programs[which]);
      if (seconds < 0) {
        std::fwprintf(stderr, L"no window from %ls\n", programs[which].c_str());
        return 1;
      }
      times[which].push_back(seconds);
    }
  }
  const double program = Median(times[0]);
  const double yardstick = Median(times[1]);
  std::wprintf(L"rounds %d\n", rounds);
  std::wprintf(L"%ls: median %.1f ms (min %.1f, max %.1f)\n", programs[0].c_str(), program * 1000,
               *std::min_element(times[0].begin(), times[0].end()) * 1000,
               *std::max_element(times[0].begin(), times[0].end()) * 1000);
  std::wprintf(L"%ls: median %.1f ms (min %.1f, max %.1f)\n", programs[1].c_str(), yardstick * 1000,
               *std::min_element(times[1].begin(), times[1].end()) * 1000,
               *std::max_element(times[1].begin(), times[1].end()) * 1000);
  std::wprintf(L"ratio %.3f\n", program / yardstick);
  return 0;
}
