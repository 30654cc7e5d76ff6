#pragma once

#include "platform/win32/ui/Dialog.h"

namespace quietreel {

// The About box: the program's title and links to the maker's pages.
class CAboutDlg : public win32::Dialog {
 public:
  CAboutDlg();

 protected:
  BOOL OnInitDialog() override;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
};

}  // namespace quietreel
