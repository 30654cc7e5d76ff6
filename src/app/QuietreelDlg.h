#pragma once

#include "platform/Services.h"
#include "platform/win32/ui/Dialog.h"

namespace quietreel {

// The main window: the three hosts operations, the troubleshooting dialog,
// the menu bar and the About entry of the system menu.
class CQuietreelDlg : public win32::Dialog {
 public:
  explicit CQuietreelDlg(const Services& services);

 protected:
  BOOL OnInitDialog() override;
  void OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  bool Busy() const;
  bool OnSysCommand(WPARAM id);
  bool OnPaint();
  void AddAboutToSystemMenu();
  void ShowHostsState();

  const Services& services_;
  HICON m_hIcon;
};

}  // namespace quietreel
