#pragma once

#include "platform/win32/ui/Dialog.h"

namespace quietreel {

// The Help window: notes, steps and common problems, all plain text.
class CVRHelp : public win32::Dialog {
 public:
  CVRHelp();

 protected:
  BOOL OnInitDialog() override;
};

}  // namespace quietreel
