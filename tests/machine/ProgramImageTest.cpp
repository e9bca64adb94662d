#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "machine/Listing.h"
#include "machine/ProgramImage.h"

namespace {

namespace fs = std::filesystem;

class TTempDir {
 public:
  TTempDir()
      : FPath(fs::temp_directory_path() /
              ("orvik-machine-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(FPath);
    fs::create_directories(FPath);
  }
  ~TTempDir() {
    std::error_code ec;
    fs::remove_all(FPath, ec);
  }
  std::string File(const std::string& name) const { return (FPath / name).string(); }

 private:
  fs::path FPath;
};

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteAll(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

TEST(ProgramImage, LittleEndianSigned32BitCells) {
  TMemoryCells memory{};
  memory[0] = 0x20;
  memory[1] = 0x41;
  memory[2] = 0xC0;
  memory[0x10] = 0x2F;
  memory[0xFE] = -2;
  memory[0xFF] = INT_MIN;
  const std::string image = EncodeProgramImage(memory);
  ASSERT_EQ(image.size(), 1024u);
  EXPECT_EQ(image.substr(0, 16), std::string("\x20\0\0\0\x41\0\0\0\xC0\0\0\0\0\0\0\0", 16));
  EXPECT_EQ(image.substr(0x40, 4), std::string("\x2F\0\0\0", 4));
  EXPECT_EQ(image.substr(1016), std::string("\xFE\xFF\xFF\xFF\0\0\0\x80", 8));

  std::vector<int32_t> cells;
  std::string error;
  ASSERT_TRUE(DecodeProgramImage(image + "trailing bytes are ignored", cells, error));
  for (int i = 0; i < 256; ++i) EXPECT_EQ(cells[static_cast<size_t>(i)], memory[static_cast<size_t>(i)]) << i;
}

TEST(ProgramImage, FilesThatCannotBeReadLeaveTheCellsAlone) {
  TTempDir dir;
  std::vector<int32_t> cells = {1, 2, 3};
  std::string error;
  EXPECT_FALSE(ReadProgramFile(dir.File("missing.prg"), cells, error));
  EXPECT_EQ(error, "Cannot open file " + dir.File("missing.prg"));
  EXPECT_FALSE(ReadProgramFile(dir.File(""), cells, error));
  EXPECT_EQ(error, "Cannot open file " + dir.File(""));

  WriteAll(dir.File("short.prg"), std::string(1000, '\x01'));
  EXPECT_FALSE(ReadProgramFile(dir.File("short.prg"), cells, error));
  EXPECT_EQ(error, "Stream read error");
  EXPECT_EQ(cells, (std::vector<int32_t>{1, 2, 3}));

  WriteAll(dir.File("long.prg"), std::string(2000, '\x01'));
  EXPECT_TRUE(ReadProgramFile(dir.File("long.prg"), cells, error));
  EXPECT_EQ(cells, std::vector<int32_t>(256, 0x01010101));
}

TEST(ProgramImage, WritingReplacesTheFileOrSaysWhyNot) {
  TTempDir dir;
  TMemoryCells memory{};
  memory[3] = 0x7F;
  const std::string path = dir.File("out.prg");
  WriteAll(path, "old contents that are longer than nothing");
  EXPECT_EQ(WriteProgramFile(path, memory), "");
  EXPECT_EQ(ReadAll(path), EncodeProgramImage(memory));
  EXPECT_FALSE(fs::exists(path + ".orvik-tmp"));

  const std::string noDir = dir.File("no/such/dir/out.prg");
  EXPECT_EQ(WriteProgramFile(noDir, memory), "Cannot create file " + noDir + ": No such file or directory");
  EXPECT_EQ(WriteListingFile(dir.File(""), memory, 0), "Cannot create file " + dir.File(""));
}

TEST(Listing, WriterPutsTheListingBytesIntoTheFile) {
  TTempDir dir;
  TMemoryCells memory{};
  memory[0] = 0xC0;
  const std::string path = dir.File("OSasm.lst");
  EXPECT_EQ(WriteListingFile(path, memory, 0), "");
  EXPECT_EQ(ReadAll(path), BuildListing(memory, 0));
}

}  // namespace
