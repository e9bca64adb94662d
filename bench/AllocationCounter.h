#pragma once

#include <cstddef>

// Heap bytes in use, counted by the bench's replacement of the global
// operator new and delete (the usable size of each block, as malloc hands it
// out). ResetPeak makes the current figure the new peak.
size_t HeapBytesInUse();
size_t HeapPeakBytes();
void ResetHeapPeak();
