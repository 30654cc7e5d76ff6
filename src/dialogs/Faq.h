#pragma once

#include "platform/Services.h"
#include "platform/win32/ui/Dialog.h"

namespace quietreel {

// The troubleshooting dialog, where the two storage repairs are run.
class CFaq : public win32::Dialog {
 public:
  explicit CFaq(const Services& services);

 protected:
  void OnCommand(int id, int code) override;

 private:
  void RunRepair(int id);

  const Services& services_;
  // A repair is running; it takes the dialog's messages while it does.
  bool busy_ = false;
};

}  // namespace quietreel
