#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "machine/Instruction.h"
#include "machine/StepTrace.h"

// One executed instruction in plain words, for the trace pane: address,
// bytes, the instruction as the disassembler writes it, and what it did with
// the values it used, e.g.
//   0C: 53 12  addi R3,R1,R2   R3 = 05 + 07 = 0C
// registersAfter are R0..RF after the instruction; the values it read are
// worked out from them and the trace's writes. Plain C++, so that every
// front end shows the same words.
std::string FormatTraceLine(const TStepTrace& trace, const std::array<int32_t, RegisterCount>& registersAfter);

// The line standing for instructions that ran without a line of their own
// (a run faster than the trace follows): "... 12,345 instructions at full
// speed".
std::string FormatTraceGap(uint64_t count);
