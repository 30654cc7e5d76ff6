#include "Expect.h"

#include <gtest/gtest.h>

#include "Disk.h"

namespace e2e {

MessageBoxView WaitForMessageBox(DWORD processId, HWND owner, HWND except) {
  HWND box = WaitForDialog(processId, owner, except);
  EXPECT_NE(box, nullptr) << "no message box owned by " << owner;
  return box ? ReadMessageBox(box) : MessageBoxView{};
}

void ExpectBox(const MessageBoxView& box, const std::wstring& caption, const std::wstring& text, bool warning) {
  EXPECT_EQ(box.caption, caption);
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.icon, warning);
  EXPECT_EQ(box.buttons, std::vector<std::wstring>{std::to_wstring(IDOK)});
}

void WaitClosed(HWND window) {
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(window); })) << "window stays open";
}

void Answer(const MessageBoxView& box, int button) {
  if (!box.hwnd) return;
  Command(box.hwnd, button);
  WaitClosed(box.hwnd);
}

void Shoot(HWND window, const std::wstring& name) {
  std::wstring folder = Environment(L"QUIETREEL_E2E_SHOTS");
  if (folder.empty() || !window) return;
  ::Sleep(700);  // let it finish painting
  EXPECT_TRUE(SaveScreenshot(window, folder + L"\\" + name + L".bmp"))
      << "screenshot " << ::testing::PrintToString(name);
}

}  // namespace e2e
