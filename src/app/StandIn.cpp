// A stand-in until the main window exists: runs one operation on the real
// hosts file and shows its outcome.
#include <windows.h>

#include "hosts/HostsBlocker.h"
#include "platform/win32/Win32Platform.h"

namespace {

class BoxWindow : public quietreel::Window {
 public:
  void ShowNotice(const std::wstring& text) override { ::MessageBoxW(nullptr, text.c_str(), L"Quietreel", MB_OK); }
  void ShowWarning(const std::wstring& text) override {
    ::MessageBoxW(nullptr, text.c_str(), L"Quietreel", MB_OK | MB_ICONEXCLAMATION);
  }
  bool AskOkCancel(const std::wstring& text, const std::wstring& caption) override {
    return ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OKCANCEL) == IDOK;
  }
  void SetItemTextNow(int, const std::wstring&) override {}
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  quietreel::win32::Win32Platform platform;
  BoxWindow window;
  quietreel::Services services = platform.MakeServices();
  int answer = ::MessageBoxW(nullptr, L"Yes: Block  No: Restore  Cancel: Reset", L"Quietreel", MB_YESNOCANCEL);
  if (answer == IDYES) quietreel::Block(services, window);
  if (answer == IDNO) quietreel::Restore(services, window);
  if (answer == IDCANCEL) quietreel::Reset(services, window);
  return 0;
}
