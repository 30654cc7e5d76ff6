#pragma once

#include "platform/Services.h"
#include "platform/Window.h"

namespace quietreel {

// The three operations behind the main window's buttons. Each reads the
// state from the hosts file and `backup`, acts, and tells the outcome
// through `owner`.
void Block(const Services& services, Window& owner);
void Restore(const Services& services, Window& owner);
void Reset(const Services& services, Window& owner);

}  // namespace quietreel
