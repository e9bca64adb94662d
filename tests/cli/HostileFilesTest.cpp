// orvik-cli against hostile paths and files: planted symlinks, links, modes,
// hard links, devices, FIFOs, huge files and outputs that fail.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "CliFolderTest.h"
#include "cli/Cli.h"
#include "machine/FileReader.h"
#include "machine/ProgramImage.h"

namespace {

namespace fs = std::filesystem;

// Takes limit bytes, then fails every write, as a pipe whose reader went
// away or a disk that filled up.
class TFailingBuffer final : public std::streambuf {
 public:
  explicit TFailingBuffer(size_t limit) : FLimit(limit) {}
  size_t Taken = 0;

 protected:
  int_type overflow(int_type c) override {
    if (Taken >= FLimit) return traits_type::eof();
    ++Taken;
    return traits_type::not_eof(c);
  }

 private:
  size_t FLimit;
};

class HostileFilesTest : public TCliFolderTest {
 protected:
  HostileFilesTest() : TCliFolderTest("orvik-hostile-") {}
  void SetUp() override {
    TCliFolderTest::SetUp();
    FSource = Write("hello.asm", "load RF,0x41\r\nhalt\r\n");
    FStartDir = fs::current_path();
  }
  void TearDown() override {
    std::error_code ec;
    fs::current_path(FStartDir, ec);
    TCliFolderTest::TearDown();
  }

  // The image of FSource, as assemble -o writes it.
  std::string Image() const {
    std::vector<int32_t> cells(256, 0);
    cells[0] = 0x2F;
    cells[1] = 0x41;
    cells[2] = 0xC0;
    return EncodeProgramImage(cells);
  }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(FDir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path FStartDir;
  std::string FSource;
};

TEST_F(HostileFilesTest, APlantedSymlinkAtTheOldTemporaryNameIsNeverFollowed) {
  const std::string victim = Write("victim", "precious");
  const std::string out = Path("out.prg");
  fs::create_symlink(victim, out + ".orvik-tmp");
  const TCliResult result = Run({"assemble", FSource, "-o", out});
  EXPECT_EQ(result.Exit, 0) << result.Err;
  EXPECT_EQ(Read(victim), "precious");
  EXPECT_EQ(Read(out), Image());
  // No temporary file is left behind.
  EXPECT_EQ(Entries(), (std::vector<std::string>{"hello.asm", "out.prg", "out.prg.orvik-tmp", "victim"}));
}

TEST_F(HostileFilesTest, WhatTheTargetWasIsKept) {
  fs::create_directories(FDir / "real");
  // A symlinked target: the link stays, its file gets the bytes.
  const std::string real = Write("real/target.prg", "old");
  const std::string link = Path("link.prg");
  fs::create_symlink(real, link);
  ASSERT_EQ(Run({"assemble", FSource, "-o", link}).Exit, 0);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(real), Image());
  // A dangling link, relative and through a second link: the file appears
  // where the chain points.
  fs::create_symlink("real/new.prg", Path("dangling.prg"));
  fs::create_symlink("dangling.prg", Path("chain.prg"));
  ASSERT_EQ(Run({"assemble", FSource, "-o", Path("chain.prg")}).Exit, 0);
  EXPECT_TRUE(fs::is_symlink(Path("chain.prg")));
  EXPECT_EQ(Read(Path("real/new.prg")), Image());
  // The mode of the old file.
  const std::string secret = Write("secret.prg", "old");
  ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
  ASSERT_EQ(Run({"assemble", FSource, "-o", secret}).Exit, 0);
  struct stat info {};
  ASSERT_EQ(::stat(secret.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_EQ(Read(secret), Image());
  // A hard link: both names see the new bytes.
  const std::string first = Write("first.prg", "old");
  fs::create_hard_link(first, Path("second.prg"));
  ASSERT_EQ(Run({"assemble", FSource, "-o", first}).Exit, 0);
  EXPECT_EQ(Read(Path("second.prg")), Image());
  EXPECT_EQ(fs::hard_link_count(first), 2u);
  // A name near the system's limit: the temporary name does not grow with it.
  const std::string longName = Path(std::string(250, 'n') + ".prg");
  EXPECT_EQ(Run({"assemble", FSource, "-o", longName}).Exit, 0);
  EXPECT_EQ(Read(longName), Image());
}

TEST_F(HostileFilesTest, AProgramOnStandardOutput) {
  const TCliResult result = Run({"assemble", FSource, "-o", "-"});
  EXPECT_EQ(result.Exit, 0);
  EXPECT_EQ(result.Out, Image());
  EXPECT_EQ(result.Err, "");
}

TEST_F(HostileFilesTest, AFifoIsWrittenNotReplaced) {
  const std::string fifo = Path("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::future<std::string> reader = std::async(std::launch::async, [&] { return Read(fifo); });
  EXPECT_EQ(Run({"assemble", FSource, "-o", fifo}).Exit, 0);
  EXPECT_EQ(reader.get(), Image());
  EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST_F(HostileFilesTest, ADeviceIsWrittenNotReplaced) {
  if (::geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
  const std::string null = Path("null");
  const std::string full = Path("full");
  ASSERT_EQ(::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  ASSERT_EQ(::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
  EXPECT_EQ(Run({"assemble", FSource, "-o", null}).Exit, 0);
  const TCliResult result = Run({"assemble", FSource, "-o", full});
  EXPECT_EQ(result.Exit, 1);
  // The file and the system's reason are named.
  EXPECT_EQ(result.Err, "Stream write error: " + full + ": No space left on device\n");
  EXPECT_TRUE(fs::is_character_file(null));
  EXPECT_TRUE(fs::is_character_file(full));
}

TEST_F(HostileFilesTest, WhatIsNotARegularFileIsNeverRead) {
  const std::string fifo = Path("pipe.asm");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string zero = Path("zero.asm");
  fs::create_symlink("/dev/zero", zero);
  const std::string zeroProgram = Path("zero.prg");
  fs::create_symlink("/dev/zero", zeroProgram);
  const std::string fifoProgram = Path("pipe.prg");
  ASSERT_EQ(::mkfifo(fifoProgram.c_str(), 0600), 0);
  const struct {
    std::vector<std::string> Args;
    std::string Path;
  } rows[] = {
      {{"assemble", fifo}, fifo},
      {{"assemble", zero}, zero},
      {{"run", fifo}, fifo},
      {{"run", zeroProgram}, zeroProgram},
      {{"disasm", fifoProgram}, fifoProgram},
  };
  for (const auto& row : rows) {
    const TCliResult result = Run(row.Args);
    EXPECT_EQ(result.Exit, 1) << row.Path;
    EXPECT_EQ(result.Err, "Cannot open file " + row.Path + ": not a regular file\n");
  }
}

TEST_F(HostileFilesTest, ASourcePastTheLimitIsRefused) {
  const std::string huge = Path("huge.asm");
  const std::string limit = Path("limit.asm");
  std::ofstream(huge).close();
  std::ofstream(limit).close();
  fs::resize_file(huge, MaxSourceFileSize + 1);
  fs::resize_file(limit, MaxSourceFileSize);
  const TCliResult result = Run({"assemble", huge});
  EXPECT_EQ(result.Exit, 1);
  EXPECT_EQ(result.Err, "File too large: " + huge + " is larger than 16 MB (16777216 bytes)\n");
  // At the limit it is read: one line of NUL bytes, far too long.
  const TCliResult atLimit = Run({"assemble", limit});
  EXPECT_EQ(atLimit.Exit, 1);
  EXPECT_EQ(atLimit.Err.rfind(limit + ":1:", 0), 0u) << atLimit.Err.substr(0, 200);
}

TEST_F(HostileFilesTest, OutputLostOnTheWayIsAnError) {
  // load RF,41 ; jmp 00: writes RF forever.
  std::vector<int32_t> cells(256, 0);
  cells[0] = 0x2F;
  cells[1] = 0x41;
  cells[2] = 0xB0;
  const std::string endless = Write("endless.prg", EncodeProgramImage(cells));
  TFailingBuffer fullDisk(100);
  std::ostream out(&fullDisk);
  std::ostringstream err;
  // Without the stop this never returns.
  EXPECT_EQ(RunCli({"run", endless, "--steps", "0"}, out, err), 1);
  EXPECT_EQ(err.str(), "Stream write error\n");

  // The state goes to standard error: lost, it is no success either.
  const std::string halting = Write("halt.prg", Image());
  for (size_t limit : {size_t{0}, size_t{5}, size_t{200}}) {
    std::ostringstream output;
    TFailingBuffer fullErr(limit);
    std::ostream brokenErr(&fullErr);
    EXPECT_EQ(RunCli({"run", halting, "--state"}, output, brokenErr), 1) << limit;
  }
}

TEST_F(HostileFilesTest, HelpOptionsEndAndReasons) {
  const TCliResult help = Run({"--help"});
  EXPECT_EQ(help.Exit, 0);
  EXPECT_EQ(help.Out.rfind("usage: orvik-cli run", 0), 0u);
  EXPECT_EQ(help.Err, "");
  for (const char* command : {"run", "disasm", "assemble"}) {
    const TCliResult commandHelp = Run({command, "--help"});
    EXPECT_EQ(commandHelp.Exit, 0) << command;
    EXPECT_EQ(commandHelp.Out.rfind("usage: orvik-cli", 0), 0u) << command;
  }
  // A file whose name starts with '-'.
  const std::string dash = Write("-x.asm", "halt\n");
  fs::current_path(FDir);
  EXPECT_EQ(Run({"assemble", "--", "-x.asm"}).Exit, 0);
  EXPECT_EQ(Run({"run", "--", "-x.asm"}).Exit, 0);
  EXPECT_EQ(Run({"assemble", "-x.asm"}).Err.rfind("orvik-cli: unknown option -x.asm", 0), 0u);

  fs::create_directories(FDir / "folder.prg");
  fs::create_symlink("loop1", Path("loop2"));
  fs::create_symlink("loop2", Path("loop1"));
  const struct {
    std::vector<std::string> Args;
    std::string Err;
  } rows[] = {
      {{"run", "missing.prg"}, "Cannot open file missing.prg: No such file or directory\n"},
      {{"assemble", "missing.asm"}, "Cannot open file missing.asm: No such file or directory\n"},
      {{"run", "folder.prg"}, "Cannot open file folder.prg: Is a directory\n"},
      {{"disasm", "loop1"}, "Cannot open file loop1: Too many levels of symbolic links\n"},
      {{"run", Write("short.prg", std::string(1000, 'x'))},
       "Stream read error: file is 1000 bytes, a program file has 1024\n"},
  };
  for (const auto& row : rows) {
    const TCliResult result = Run(row.Args);
    EXPECT_EQ(result.Exit, 1) << row.Args[1];
    EXPECT_EQ(result.Err, row.Err);
  }
}

TEST_F(HostileFilesTest, AnUnreadableFileSaysPermissionDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file: no Permission denied to check";
  fs::current_path(FDir);
  const std::string locked = Write("locked.prg", Image());
  ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
  EXPECT_EQ(Run({"run", "locked.prg"}).Err, "Cannot open file locked.prg: Permission denied\n");
}

}  // namespace
