#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "machine/InstructionSet.h"

// The instruction composer's rules, for the window's dialog and the page's:
// an instruction word shown as an opcode and three operand lists, read from
// and written to the one instruction table.

// The items of an operand list, the item index being the field's value:
// "R0".."RF", "[R0]".."[RF]", "00".."FF", "[00]".."[FF]", "0".."F"; "N/A"
// alone for an operand the instruction has not.
const std::vector<std::string>& ComposerChoices(TChoiceKind kind);

// The list operand slot (0..2) of word's instruction offers, and the item
// it shows.
TChoiceKind ComposerSlotChoices(uint16_t word, int slot);
int ComposerSlotValue(uint16_t word, int slot);

// Another instruction chosen: the operand fields the two formats share
// survive, the others clear.
uint16_t ComposerWithOpcode(uint16_t word, int opcode);
// Item index chosen in operand slot (0..2).
uint16_t ComposerWithChoice(uint16_t word, int slot, int index);
