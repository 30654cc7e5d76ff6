#include "Probe.h"

#include "Disk.h"
#include "Ui.h"

namespace e2e {
namespace {

class Hook {
 public:
  Hook(HOOKPROC procedure, HMODULE module, DWORD thread)
      : hook_(::SetWindowsHookExW(WH_GETMESSAGE, procedure, module, thread)) {}
  ~Hook() {
    if (hook_) ::UnhookWindowsHookEx(hook_);
  }
  Hook(const Hook&) = delete;
  Hook& operator=(const Hook&) = delete;
  bool Valid() const { return hook_ != nullptr; }

 private:
  HHOOK hook_;
};

std::vector<ProbeLine> Parse(const std::string& bytes) {
  std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  std::vector<ProbeLine> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find(L'\n'); end != std::wstring::npos; end = text.find(L'\n', start)) {
    std::wstring line = text.substr(start, end - start);
    start = end + 1;
    std::size_t tab1 = line.find(L'\t');
    std::size_t tab2 = line.find(L'\t', tab1 + 1);
    if (tab1 == std::wstring::npos || tab2 == std::wstring::npos) continue;
    lines.push_back({line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
  }
  return lines;
}

}  // namespace

std::vector<ProbeLine> ProbeWindow(HWND window) {
  HMODULE probe = ::LoadLibraryW(L"quietreel_e2e_probe.dll");
  // Through void*: the exported address has the hook's type, not FARPROC's.
  void* address = probe ? reinterpret_cast<void*>(::GetProcAddress(probe, "ProbeHook")) : nullptr;
  auto procedure = reinterpret_cast<HOOKPROC>(address);
  if (!procedure) return {};
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring path = std::wstring(temp) + L"quietreel-e2e-probe.txt";
  ::DeleteFileW(path.c_str());

  Hook hook(procedure, probe, ::GetWindowThreadProcessId(window, nullptr));
  if (!hook.Valid()) return {};
  ::PostMessageW(window, ::RegisterWindowMessageW(L"QuietreelE2eProbe"), 0, 0);
  std::optional<std::string> bytes;
  WaitUntil([&] { return (bytes = ReadBytes(path)).has_value(); });
  ::DeleteFileW(path.c_str());
  return bytes ? Parse(*bytes) : std::vector<ProbeLine>();
}

}  // namespace e2e
