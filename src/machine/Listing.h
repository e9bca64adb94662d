#pragma once

#include <string>

#include "machine/Instruction.h"

// The bytes of the listing file: the disassembly of every second address from
// PC mod 2 up to FF, each line ended by CR LF. Of a run of zero words only the
// first is listed, followed by at most two ditto lines.
std::string BuildListing(const TMemoryCells& memory, int pc);

// Writes the listing of memory for pc into path. Returns "" on success, else
// the message to show ("Cannot create file PATH", "Stream write error").
std::string WriteListingFile(const std::string& path, const TMemoryCells& memory, int pc);
