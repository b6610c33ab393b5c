// Counts the heap bytes the test binary holds, so a test can check that
// reading a big file keeps memory bounded. The operators live in
// allocation_meter.cpp and replace the global ones for the whole binary.
#pragma once

#include <cstddef>

namespace trazvik::testing {

std::size_t heapBytesInUse();
// The highest heapBytesInUse() since the last resetHeapPeak().
std::size_t heapPeak();
void resetHeapPeak();

}  // namespace trazvik::testing
