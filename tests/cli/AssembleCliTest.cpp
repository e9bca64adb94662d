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

class AssembleCliTest : public TCliFolderTest {
 protected:
  AssembleCliTest() : TCliFolderTest("orvik-asm-cli-") {}
};

TEST_F(AssembleCliTest, WritesTheProgramFile) {
  const std::string source = Write("p.asm", "load R1,Data\r\nhalt\nData: db \"\xE9\"\r");
  const std::string program = (FDir / "p.prg").string();
  const TCliResult result = Run({"assemble", source, "-o", program});
  EXPECT_EQ(result.Exit, 0);
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(result.Err, "");
  std::vector<int32_t> expected(256, 0);
  expected[0] = 0x21;
  expected[1] = 0x04;
  expected[2] = 0xC0;
  expected[4] = 0xE9;
  EXPECT_EQ(Read(program), EncodeProgramImage(expected));
  EXPECT_FALSE(fs::exists(program + ".orvik-tmp"));
}

TEST_F(AssembleCliTest, AnyErrorWritesNothing) {
  const std::string source = Write("bad.asm", "halt\r\nhalt x\rjmp Far\n");
  const std::string program = Write("old.prg", "keep me");
  const TCliResult result = Run({"assemble", "-o", program, source});
  EXPECT_EQ(result.Exit, 1);
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(result.Err, source + ":2:6: error: Extra characters on line. Expected: nothing\n" + source +
                            ":3:8: error: Label is not defined: Far\n");
  EXPECT_EQ(Read(program), "keep me");
  EXPECT_EQ(Run({"assemble", source}).Out, "");
}

TEST_F(AssembleCliTest, FileProblemsAreReported) {
  const std::string source = Write("ok.asm", "halt");
  const std::string missing = (FDir / "missing.asm").string();
  const TCliResult noSource = Run({"assemble", missing});
  EXPECT_EQ(noSource.Exit, 1);
  EXPECT_EQ(noSource.Err, "Cannot open file " + missing + ": No such file or directory\n");
  const std::string folder = FDir.string();
  // A folder opens as a stream on some systems; it must not pass for an
  // empty source that assembles cleanly, whichever command reads it.
  const std::string asmFolder = (FDir / "sub.asm").string();
  fs::create_directories(asmFolder);
  for (const char* command : {"assemble", "run", "disasm"}) {
    const TCliResult result = Run({command, asmFolder});
    EXPECT_EQ(result.Exit, 1) << command;
    EXPECT_EQ(result.Out, "") << command;
    EXPECT_EQ(result.Err, "Cannot open file " + asmFolder + ": Is a directory\n") << command;
  }
  const TCliResult noTarget = Run({"assemble", source, "-o", folder});
  EXPECT_EQ(noTarget.Exit, 1);
  EXPECT_EQ(noTarget.Err, "Cannot create file " + folder + "\n");
}

TEST_F(AssembleCliTest, ASourceThatFailsToReadIsAnError) {
  // Opens, but every read fails (EIO): a lost source must not pass for an
  // empty one that assembles cleanly.
  const std::string unreadable = "/proc/self/mem";
  if (!fs::exists(unreadable)) GTEST_SKIP() << "no file that opens but cannot be read";
  const TCliResult result = Run({"assemble", unreadable});
  EXPECT_EQ(result.Exit, 1);
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(result.Err, "Stream read error: Input/output error\n");
}

TEST_F(AssembleCliTest, TheSourceIsNeverOverwrittenByItsImage) {
  const std::string source = Write("keep.asm", "halt\n");
  const std::string sameByAnotherName = (FDir / "." / "keep.asm").string();
  for (const std::string& target : {source, sameByAnotherName}) {
    const TCliResult result = Run({"assemble", source, "-o", target});
    EXPECT_EQ(result.Exit, 1) << target;
    EXPECT_EQ(result.Err, "orvik-cli: PROGRAM " + target + " is the SOURCE file\n" +
                              "usage: orvik-cli assemble SOURCE [-o PROGRAM] [--map FILE]\n");
    EXPECT_EQ(Read(source), "halt\n");
  }
}

TEST_F(AssembleCliTest, AnImageThatCannotBeWrittenIsAnError) {
  const std::string source = Write("ok.asm", "halt");
  std::ostream broken(nullptr);
  std::ostringstream err;
  EXPECT_EQ(RunCli({"assemble", source}, broken, err), 1);
  EXPECT_EQ(err.str(), "Stream write error\n");
}

TEST_F(AssembleCliTest, BadArgumentsShowTheUsage) {
  const std::string source = Write("ok.asm", "halt");
  const struct {
    std::vector<std::string> Args;
    std::string FirstLine;
  } rows[] = {
      {{"assemble"}, "orvik-cli: SOURCE is missing"},
      {{"assemble", source, "-o"}, "orvik-cli: -o needs a PROGRAM file name"},
      {{"assemble", source, "-o", "a.prg", "-o", "b.prg"}, "orvik-cli: more than one -o PROGRAM"},
      {{"assemble", source, source}, "orvik-cli: more than one SOURCE: " + source},
      {{"assemble", source, "--state"}, "orvik-cli: unknown option --state"},
  };
  for (const auto& row : rows) {
    const TCliResult result = Run(row.Args);
    EXPECT_EQ(result.Exit, 1);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err, row.FirstLine + "\nusage: orvik-cli assemble SOURCE [-o PROGRAM] [--map FILE]\n");
  }
}

TEST_F(AssembleCliTest, RunAndDisasmAssembleSources) {
  const std::string source = Write("hi.asm", "load RF,'!'\nload RF,Text\nhalt\nText: db 0");
  // 'load RF,string' is not a form: the run fails with the assembler's report.
  const TCliResult bad = Run({"run", source});
  EXPECT_EQ(bad.Exit, 1);
  EXPECT_EQ(bad.Out, "");
  EXPECT_EQ(bad.Err, source + ":1:9: error: Syntax error. Expected: number, label, '['\n");
  const std::string good = Write("ok.asm", "load RF,21h\nload RF,Text\nhalt\nText: db 0");
  const TCliResult run = Run({"run", good});
  EXPECT_EQ(run.Exit, 0);
  EXPECT_EQ(run.Out, "!\x06");
  const TCliResult disasm = Run({"disasm", good});
  EXPECT_EQ(disasm.Exit, 0);
  EXPECT_EQ(disasm.Out.substr(0, 44), "00:  2F,21  load  RF,21      ;... ($21=33)\r\n");
}

}  // namespace
