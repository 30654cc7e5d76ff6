#pragma once

// A dialog in the program's font, never shown: the test measures dialog
// units with it.
#define IDD_E2E_FONT_PROBE 100
