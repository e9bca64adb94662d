// The man page and --help describe the same tool: every command and option
// of the usage, and every exit code, is in orvik-cli(1).
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "CliFolderTest.h"

namespace {

// The page's text without roff's escapes for '-' and its font changes.
std::string PageText() {
  std::ifstream file(ORVIK_MAN_PAGE);
  std::ostringstream text;
  text << file.rdbuf();
  std::string page = text.str();
  for (const char* escape : {"\\-", "\\fB", "\\fI", "\\fR", "\\fP"})
    for (size_t at = page.find(escape); at != std::string::npos; at = page.find(escape, at))
      page.replace(at, std::string(escape).size(), std::string(escape) == "\\-" ? "-" : "");
  return page;
}

TEST(ManPageTest, CoversEveryCommandOptionAndExitCodeOfHelp) {
  std::ostringstream out, err;
  ASSERT_EQ(RunCli({"--help"}, out, err), 0);
  const std::string help = out.str();
  const std::string page = PageText();
  ASSERT_FALSE(page.empty()) << ORVIK_MAN_PAGE;
  std::set<std::string> options;
  const std::regex option(R"((^|[\s\[])(--?[a-z][a-z-]*))");
  for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it) options.insert((*it)[2]);
  EXPECT_GE(options.size(), 14u);
  for (const std::string& name : options)
    EXPECT_NE(page.find(name), std::string::npos) << name << " is not in the page";
  for (const char* command : {"assemble", "run", "disasm", "test"})
    EXPECT_NE(page.find(std::string(".B orvik-cli ") + command), std::string::npos) << command;
  for (const char* code : {"0", "1", "2", "3", "4"})
    EXPECT_NE(page.find(std::string(".TP\n.B ") + code + "\n"), std::string::npos) << "exit code " << code;
}

}  // namespace
