// libFuzzer target: arbitrary bytes as a program file, read from disk as the
// main window's Open and orvik-cli read one, then run and listed. A file of
// 1024 bytes or more must decode to cells that encode back to its first 1024
// bytes; a shorter one must fail with the size in the reason and touch
// nothing.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "machine/FileReader.h"
#include "machine/Instruction.h"
#include "machine/Listing.h"
#include "machine/ProgramImage.h"
#include "machine/Simulator.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// One scratch file per fuzzing process, removed when it ends.
const std::string& ScratchFile() {
  static const std::string path = "/tmp/orvik-program-fuzz-" + std::to_string(::getpid()) + ".prg";
  // Registered after path is made, so it runs before path is destroyed.
  static const bool removedAtExit = std::atexit([] { std::remove(path.c_str()); }) == 0;
  (void)removedAtExit;
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream file(ScratchFile(), std::ios::binary | std::ios::trunc);
    file.write(input.data(), static_cast<std::streamsize>(input.size()));
  }
  std::vector<int32_t> cells{7};
  TFileError error;
  const bool read = ReadProgramFile(ScratchFile(), cells, error);
  Require(read == (size >= static_cast<size_t>(ProgramImageSize)));
  if (!read) {
    Require(cells == std::vector<int32_t>{7});
    Require(error.Full() == "Stream read error: file is " + std::to_string(size) + " bytes, a program file has 1024");
    return 0;
  }
  Require(cells.size() == static_cast<size_t>(MemorySize));
  Require(EncodeProgramImage(cells) == input.substr(0, static_cast<size_t>(ProgramImageSize)));

  TSimulator session;
  session.LoadMemory(cells);
  const std::string listing = BuildListing(session.MemoryCells(), 0);
  Require(!listing.empty() && listing.size() >= 2 && listing.substr(listing.size() - 2) == "\r\n");
  TRunPolicy policy;
  policy.StepLimit = 4096;
  // Halt and invalid instructions end a run, but PC has moved on: go on.
  while (session.Executed() < policy.StepLimit) session.Run(policy);
  BuildListing(session.MemoryCells(), session.PC());
  return 0;
}
