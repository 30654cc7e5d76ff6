#include "Program.h"

#include "Disk.h"
#include "Expected.h"
#include "Ui.h"

namespace e2e {
namespace {

std::wstring FreshFolder() {
  static int runs = 0;
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"quietreel-e2e-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                        std::to_wstring(++runs) + L"\\";
  RemoveTree(folder.substr(0, folder.size() - 1));
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

}  // namespace

Program::Program(const std::wstring& exeName, const Arrange& arrange, const std::wstring& link)
    : folder_(FreshFolder()), link_(link) {
  std::wstring built = Environment(L"QUIETREEL_E2E_EXE");
  std::wstring builtFolder = built.substr(0, built.rfind(L'\\') + 1);
  std::wstring exe = folder_ + exeName;
  if (!::CopyFileW(built.c_str(), exe.c_str(), FALSE) ||
      !::CopyFileW((builtFolder + expected::kCoreDatName).c_str(), (folder_ + expected::kCoreDatName).c_str(), FALSE))
    return;
  if (arrange) arrange(folder_);
  std::wstring startFolder = folder_;
  if (!link_.empty()) {
    RemoveTree(link_);
    if (!testsupport::MakeLink(link_, folder_.substr(0, folder_.size() - 1))) return;
    startFolder = link_ + L"\\";
    exe = startFolder + exeName;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, startFolder.c_str(),
                        &startup, &process_))
    return;
  main_ = WaitFor([this] {
    HWND hwnd = FindDialog(process_.dwProcessId, nullptr);
    return hwnd && Text(hwnd) == expected::kTitle ? hwnd : nullptr;
  });
}

// A test that failed half-way may leave message boxes open; the process is
// ended so the next test starts clean.
Program::~Program() {
  if (process_.hProcess) {
    if (!EndsWithin(std::chrono::milliseconds(0))) {
      ::TerminateProcess(process_.hProcess, 1);
      ::WaitForSingleObject(process_.hProcess, 10000);
    }
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
  }
  if (!link_.empty()) RemoveTree(link_);
  RemoveTree(folder_.substr(0, folder_.size() - 1));
}

bool Program::EndsWithin(std::chrono::milliseconds patience) const {
  return process_.hProcess &&
         ::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(patience.count())) == WAIT_OBJECT_0;
}

}  // namespace e2e
