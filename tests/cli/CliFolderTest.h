#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

// What orvik-cli's tests share: the tool run in-process with its streams
// caught, and a fresh folder per test for the files it reads and writes.
struct TCliResult {
  int Exit;
  std::string Out, Err;
};

class TCliFolderTest : public ::testing::Test {
 protected:
  // prefix names the test file's folders in the system's temporary folder.
  explicit TCliFolderTest(std::string prefix) : FPrefix(std::move(prefix)) {}

  void SetUp() override {
    FDir = std::filesystem::temp_directory_path() /
           (FPrefix + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(FDir);
    std::filesystem::create_directories(FDir);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(FDir, ec);
  }

  std::string Path(const std::string& name) const { return (FDir / name).string(); }
  // Writes bytes to a file of the folder (and the folders on its way).
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path path = FDir / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  static std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
  }
  static TCliResult Run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int exitCode = RunCli(args, out, err);
    return {exitCode, out.str(), err.str()};
  }

  std::filesystem::path FDir;

 private:
  std::string FPrefix;
};
