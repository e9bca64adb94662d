#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CliFolderTest.h"
#include "cli/Cli.h"
#include "machine/ProgramImage.h"

namespace {

namespace fs = std::filesystem;

class CliTest : public TCliFolderTest {
 protected:
  CliTest() : TCliFolderTest("orvik-cli-") {}

  // Writes a program file holding bytes from address 0 and returns its path.
  std::string Program(const std::string& name, std::vector<int32_t> bytes) {
    bytes.resize(256, 0);
    const std::string path = (FDir / name).string();
    std::ofstream(path, std::ios::binary) << EncodeProgramImage(bytes);
    return path;
  }
};

const std::vector<int32_t> Hello = {0x2F, 0x48, 0x2F, 0x69, 0x2F, 0x0A, 0xC0, 0x00};
const std::vector<int32_t> StarLoop = {0x2F, 0x2A, 0xB0, 0x00};

TEST_F(CliTest, TheStepLimitCountsEveryExecutedInstruction) {
  const std::string hello = Program("hello.prg", Hello);
  const struct {
    std::vector<std::string> Args;
    TCliResult Expected;
  } rows[] = {
      {{"run", hello, "--steps", "4"}, {0, "Hi\n", "Halted\n"}},
      {{"run", hello, "--steps", "3"}, {3, "Hi\n", "Step limit reached\n"}},
      {{"run", hello, "--steps", "0"}, {0, "Hi\n", "Halted\n"}},
      {{"run", "--steps", "1", hello}, {3, "H", "Step limit reached\n"}},
  };
  for (const auto& row : rows) {
    const TCliResult result = Run(row.Args);
    EXPECT_EQ(result.Exit, row.Expected.Exit) << row.Args[2];
    EXPECT_EQ(result.Out, row.Expected.Out) << row.Args[2];
    EXPECT_EQ(result.Err, row.Expected.Err) << row.Args[2];
  }
}

TEST_F(CliTest, TheDefaultLimitIsOneMillionInstructions) {
  const TCliResult result = Run({"run", Program("loop.prg", StarLoop)});
  EXPECT_EQ(result.Exit, 3);
  EXPECT_EQ(result.Out, std::string(500000, '*'));
  EXPECT_EQ(result.Err, "Step limit reached\n");
}

TEST_F(CliTest, EveryWriteOfRFIsOneRawByte) {
  // RF := 00, FF, 80, then the same 80 again, then halt.
  const TCliResult result =
      Run({"run", Program("bytes.prg", {0x2F, 0x00, 0x2F, 0xFF, 0x2F, 0x80, 0x4F, 0xFF, 0xC0, 0x00})});
  EXPECT_EQ(result.Exit, 0);
  EXPECT_EQ(result.Out, std::string("\0\xFF\x80\x80", 4));
}

TEST_F(CliTest, OutputThatCannotBeWrittenIsAnError) {
  const std::string prg = Program("p.prg", Hello);
  for (const char* command : {"run", "disasm"}) {
    std::ostream broken(nullptr);
    std::ostringstream err;
    EXPECT_EQ(RunCli({command, prg}, broken, err), 1) << command;
    EXPECT_EQ(err.str(), "Stream write error\n") << command;
  }
}

TEST_F(CliTest, BadArgumentsShowTheUsageAndFail) {
  const std::string prg = Program("p.prg", Hello);
  const struct {
    std::vector<std::string> Args;
    const char* FirstLine;
  } rows[] = {
      {{}, "usage: orvik-cli run PROGRAM [--steps N] [--state]"},
      {{"frobnicate"}, "orvik-cli: unknown command frobnicate"},
      {{"run"}, "orvik-cli: PROGRAM is missing"},
      {{"run", prg, prg}, "orvik-cli: more than one PROGRAM: "},
      {{"run", prg, "--steps"}, "orvik-cli: --steps needs a number"},
      {{"run", prg, "--steps", "-1"}, "orvik-cli: --steps needs a decimal number, not -1"},
      {{"run", prg, "--steps", "12x"}, "orvik-cli: --steps needs a decimal number, not 12x"},
      {{"run", prg, "--pc", "1"}, "orvik-cli: unknown option --pc"},
      {{"disasm", prg, "--state"}, "orvik-cli: unknown option --state"},
      {{"disasm", prg, "--pc", "100"}, "orvik-cli: --pc needs a hexadecimal address 0..FF, not 100"},
      {{"disasm", prg, "--pc", "G"}, "orvik-cli: --pc needs a hexadecimal address 0..FF, not G"},
      {{"disasm", prg, "--pc"}, "orvik-cli: --pc needs a hexadecimal address"},
  };
  for (const auto& row : rows) {
    const TCliResult result = Run(row.Args);
    EXPECT_EQ(result.Exit, 1);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err.substr(0, result.Err.find('\n')).rfind(row.FirstLine, 0), 0u) << result.Err;
    EXPECT_NE(result.Err.find("usage: orvik-cli"), std::string::npos);
  }
}

TEST_F(CliTest, DisasmTakesThePCInHexInEitherCase) {
  const std::string prg = Program("p.prg", {0xC0, 0x00});
  const TCliResult odd = Run({"disasm", prg, "--pc", "fF"});
  EXPECT_EQ(odd.Exit, 0);
  EXPECT_EQ(odd.Out.substr(0, 21), "01:  00,00  invalid\r\n");
  EXPECT_EQ(Run({"disasm", prg, "--pc", "FE"}).Out.substr(0, 35), "00:  C0,00  halt             ;...\r\n");
}

TEST_F(CliTest, AnAsmPathIsNeverReadAsAProgramFile) {
  // A valid program image under a source name: it must go to the assembler
  // (which cannot make sense of binary bytes), not run and halt.
  for (const char* name : {"prog.asm", "PROG.ASM", "prog.Asm"}) {
    const TCliResult result = Run({"run", Program(name, Hello)});
    EXPECT_EQ(result.Exit, 1) << name;
    EXPECT_EQ(result.Out, "") << name;
    EXPECT_EQ(result.Err.find("Halted"), std::string::npos) << name;
  }
}

}  // namespace
