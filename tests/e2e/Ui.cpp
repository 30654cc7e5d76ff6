#include "Ui.h"

#include <cstdio>
#include <thread>

#include "E2eResource.h"

namespace e2e {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds patience) {
  auto end = std::chrono::steady_clock::now() + patience;
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(50ms);
  }
}

HWND WaitFor(const std::function<HWND()>& found, std::chrono::milliseconds patience) {
  HWND hwnd = nullptr;
  WaitUntil([&] { return (hwnd = found()) != nullptr; }, patience);
  return hwnd;
}

namespace {

struct DialogSearch {
  DWORD processId;
  HWND owner;
  HWND except;
  HWND found;
};

class ScreenDc {
 public:
  ScreenDc() : dc_(::GetDC(nullptr)) {}
  ~ScreenDc() { ::ReleaseDC(nullptr, dc_); }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(::CreateCompatibleDC(like)) {}
  ~MemoryDc() { ::DeleteDC(dc_); }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

class GdiBitmap {
 public:
  explicit GdiBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
  ~GdiBitmap() { ::DeleteObject(bitmap_); }
  GdiBitmap(const GdiBitmap&) = delete;
  GdiBitmap& operator=(const GdiBitmap&) = delete;
  HBITMAP Get() const { return bitmap_; }

 private:
  HBITMAP bitmap_;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(hwnd, &processId);
  if (processId != search->processId || !::IsWindowVisible(hwnd) || ClassName(hwnd) != L"#32770") return TRUE;
  if (::GetWindow(hwnd, GW_OWNER) != search->owner || hwnd == search->except) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

HWND FindDialog(DWORD processId, HWND owner, HWND except) {
  DialogSearch search{processId, owner, except, nullptr};
  ::EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForDialog(DWORD processId, HWND owner, HWND except) {
  return WaitFor([&] { return FindDialog(processId, owner, except); });
}

bool NoDialogAppears(DWORD processId, HWND owner, HWND except) {
  return WaitFor([&] { return FindDialog(processId, owner, except); }, 1500ms) == nullptr;
}

// WM_GETTEXT is answered by the control's own thread, so this works across
// processes.
std::wstring Text(HWND hwnd) {
  wchar_t buffer[1024] = {};
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, &copied))
    return L"<no answer>";
  return std::wstring(buffer, copied);
}

std::wstring ClassName(HWND hwnd) {
  wchar_t buffer[256] = {};
  int length = ::GetClassNameW(hwnd, buffer, 256);
  return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::vector<Control> Children(HWND parent) {
  std::vector<Control> children;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    Control control{child, ::GetDlgCtrlID(child), ClassName(child), Text(child), {}, false};
    ::GetWindowRect(child, &control.rect);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&control.rect), 2);
    control.tabStop = (::GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) != 0;
    children.push_back(control);
  }
  return children;
}

namespace {

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

HWND CreateFontProbe() {
  return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_E2E_FONT_PROBE), nullptr,
                              &IgnoreMessages, 0);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::vector<int> TabOrder(HWND dialog) {
  std::vector<int> ids;
  HWND first = FocusOf(dialog);
  for (HWND at = first; at && ids.size() < 20;) {
    ids.push_back(::GetDlgCtrlID(at));
    Key(dialog, VK_TAB);
    // A dialog with one tab stop keeps the focus where it is.
    if (!WaitUntil([&] { return FocusOf(dialog) != at; }, 2s)) break;
    at = FocusOf(dialog);
    if (at == first) break;
  }
  return ids;
}

// Posted, not sent: the handler may open a message box and wait for us.
void Command(HWND window, int id) { ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// To the focused control, as the keyboard would; the dialog's message loop
// turns Enter and Esc into its commands.
void Key(HWND window, UINT virtualKey) {
  HWND target = FocusOf(window);
  if (!target) target = window;
  UINT scan = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  ::PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  ::PostMessageW(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

void ClickAt(HWND control, int x, int y) {
  ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  ::PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

MessageBoxView ReadMessageBox(HWND box) {
  MessageBoxView view;
  view.hwnd = box;
  view.caption = Text(box);
  for (const Control& child : Children(box)) {
    LONG style = ::GetWindowLongW(child.hwnd, GWL_STYLE);
    if (child.className == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
      DWORD_PTR icon = 0;
      ::SendMessageTimeoutW(child.hwnd, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
      view.icon = view.icon || (icon != 0 && ::IsWindowVisible(child.hwnd));
    } else if (child.className == L"Static" && child.id == 0xFFFF) {
      view.text = child.text;
    } else if (child.className == L"Button" && ::IsWindowVisible(child.hwnd)) {
      view.buttons.push_back(std::to_wstring(child.id));
    }
  }
  return view;
}

namespace {

// The window as it is on screen, 24 bits a pixel, bottom row first.
struct Capture {
  BITMAPINFOHEADER header{};
  DWORD stride = 0;
  std::vector<unsigned char> pixels;
};

Capture CaptureWindow(HWND window) {
  Capture capture;
  RECT rect{};
  ::GetWindowRect(window, &rect);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return capture;
  capture.header.biSize = sizeof(capture.header);
  capture.header.biWidth = width;
  capture.header.biHeight = height;
  capture.header.biPlanes = 1;
  capture.header.biBitCount = 24;
  capture.header.biCompression = BI_RGB;
  capture.stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
  capture.header.biSizeImage = capture.stride * static_cast<DWORD>(height);
  capture.pixels.resize(capture.header.biSizeImage);

  ScreenDc screen;
  MemoryDc memory(screen.Get());
  GdiBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
  HGDIOBJ old = ::SelectObject(memory.Get(), bitmap.Get());
  ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY);
  ::SelectObject(memory.Get(), old);
  ::GetDIBits(memory.Get(), bitmap.Get(), 0, static_cast<UINT>(height), capture.pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&capture.header), DIB_RGB_COLORS);
  return capture;
}

}  // namespace

bool SaveScreenshot(HWND window, const std::wstring& path) {
  Capture capture = CaptureWindow(window);
  if (capture.pixels.empty()) return false;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(capture.header);
  file.bfSize = file.bfOffBits + capture.header.biSizeImage;
  FILE* out = ::_wfopen(path.c_str(), L"wb");
  if (!out) return false;
  bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                 std::fwrite(&capture.header, sizeof(capture.header), 1, out) == 1 &&
                 std::fwrite(capture.pixels.data(), 1, capture.pixels.size(), out) == capture.pixels.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace e2e
