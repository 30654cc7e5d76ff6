#pragma once

#include <cstddef>

namespace quietreel::bench {

// The program's heap as seen through operator new and delete, which this
// benchmark replaces: bytes held now, and the most held since the last reset.
std::size_t HeapBytesNow();
std::size_t HeapBytesPeak();
void ResetHeapPeak();

}  // namespace quietreel::bench
