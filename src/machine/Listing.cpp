#include "machine/Listing.h"

#include "machine/Disassembler.h"
#include "machine/FileWriter.h"
#include "machine/Instruction.h"

std::string BuildListing(const TMemoryCells& memory, int pc) {
  std::string listing;
  int zeroRun = 0;
  for (int address = WrapAddress(pc) % 2; address < MemorySize; address += 2) {
    const TDisasmLine line = Disassemble(memory, address);
    // Tested on the cells rather than the word: two out-of-range cells can
    // wrap to the word 0 and must not disappear from the listing.
    const bool zero =
        memory[static_cast<size_t>(address)] == 0 && memory[static_cast<size_t>((address + 1) % MemorySize)] == 0;
    zeroRun = zero ? zeroRun + 1 : 0;
    if (zeroRun <= 1) {
      listing += line.Line;
    } else if (zeroRun <= 3) {
      listing += std::string(14, ' ') + '"';
    } else {
      continue;
    }
    listing += "\r\n";
  }
  return listing;
}

std::string WriteListingFile(const std::string& path, const TMemoryCells& memory, int pc) {
  return WriteFileAtomically(path, BuildListing(memory, pc));
}
