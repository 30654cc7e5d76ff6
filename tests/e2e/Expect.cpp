#include "Expect.h"

#include <gtest/gtest.h>

namespace e2e {

void ExpectControls(HWND dialog, const std::vector<ControlSpec>& expected) {
  std::vector<Control> actual = Children(dialog);
  ASSERT_EQ(actual.size(), expected.size()) << "controls of " << ::testing::PrintToString(Text(dialog));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ControlSpec& want = expected[i];
    const Control& got = actual[i];
    SCOPED_TRACE("control #" + std::to_string(i) + " id " + std::to_string(want.id));
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.className, want.className);
    if (want.text) {
      EXPECT_EQ(got.text, want.text);
    }
    RECT place = DialogUnitsToPixels(want.x, want.y, want.width, want.height);
    EXPECT_EQ(got.rect.left, place.left);
    EXPECT_EQ(got.rect.top, place.top);
    if (!want.ownSize) {
      EXPECT_EQ(got.rect.right, place.right);
      EXPECT_EQ(got.rect.bottom, place.bottom);
    }
    EXPECT_EQ(got.tabStop, want.tabStop);
  }
}

MessageBoxView WaitForMessageBox(DWORD processId, HWND owner) {
  HWND box = WaitForDialog(processId, owner);
  EXPECT_NE(box, nullptr) << "no message box owned by " << owner;
  return box ? ReadMessageBox(box) : MessageBoxView{};
}

void WaitClosed(HWND window) {
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(window); })) << "window stays open";
}

void Answer(const MessageBoxView& box, int button) {
  if (!box.hwnd) return;
  Command(box.hwnd, button);
  WaitClosed(box.hwnd);
}

}  // namespace e2e
