#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "machine/Simulator.h"

// Edit > Cut, Copy and Paste of memory ranges, by the same rules in the
// window and on the page: the clipboard holds the values of the cells
// copied; a paste needs one selected cell to start at.

inline constexpr const char* NothingToPasteWords = "Nothing on the clipboard to paste.";
inline constexpr const char* NoPasteDestinationWords =
    "No destination selected.\nSelect one cell to mark the start of the destination.";

// The values of lo..hi; nothing without a selection (lo or hi < 0).
std::vector<int32_t> CopyCells(const TMemoryCells& memory, int lo, int hi);

// The edit that pastes clipboard at the selection lo..hi into edits, and ""
// or why there is none (the message above). Values that would go past the
// last cell are dropped: memory does not wrap here.
std::string PasteEdits(const std::vector<int32_t>& clipboard, int lo, int hi, std::vector<TCellEdit>& edits);
