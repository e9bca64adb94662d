#include "machine/ProgramImage.h"

#include "machine/FileReader.h"
#include "machine/FileWriter.h"
#include "machine/Instruction.h"

bool DecodeProgramImage(std::string_view bytes, std::vector<int32_t>& cells, std::string& error) {
  if (bytes.size() < static_cast<size_t>(ProgramImageSize)) {
    error = "Stream read error";
    return false;
  }
  std::vector<int32_t> decoded(MemorySize);
  for (size_t i = 0; i < decoded.size(); ++i) {
    uint32_t value = 0;
    for (size_t b = 0; b < 4; ++b)
      value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[4 * i + b])) << (8 * b);
    decoded[i] = static_cast<int32_t>(value);
  }
  cells = std::move(decoded);
  return true;
}

std::string EncodeProgramImage(const std::vector<int32_t>& cells) {
  std::string bytes(static_cast<size_t>(ProgramImageSize), '\0');
  for (size_t i = 0; i < cells.size() && i < static_cast<size_t>(MemorySize); ++i) {
    const auto value = static_cast<uint32_t>(cells[i]);
    for (size_t b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<char>((value >> (8 * b)) & 0xFFu);
  }
  return bytes;
}

std::string EncodeProgramImage(const TMemoryCells& memory) {
  return EncodeProgramImage(std::vector<int32_t>(memory.begin(), memory.end()));
}

bool ReadProgramFile(const std::string& path, std::vector<int32_t>& cells, TFileError& error) {
  std::string bytes;
  // Only the first 1024 bytes matter; the rest of a longer file is never read.
  if (!ReadRegularFile(path, static_cast<size_t>(ProgramImageSize), true, bytes, error)) return false;
  if (!DecodeProgramImage(bytes, cells, error.Message)) {
    error.Reason =
        "file is " + std::to_string(bytes.size()) + " bytes, a program file has " + std::to_string(ProgramImageSize);
    return false;
  }
  return true;
}

bool ReadProgramFile(const std::string& path, std::vector<int32_t>& cells, std::string& error) {
  TFileError failure;
  if (ReadProgramFile(path, cells, failure)) return true;
  error = failure.Message;
  return false;
}

std::string WriteProgramFile(const std::string& path, const TMemoryCells& memory) {
  return WriteFileAtomically(path, EncodeProgramImage(memory));
}
