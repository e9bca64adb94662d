#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assembler/SourceText.h"

namespace {

TEST(SourceText, SplitsAtEveryKindOfLineBreak) {
  using TLines = std::vector<std::string>;
  const std::vector<std::pair<std::string, TLines>> cases = {
      {"", {}},
      {"halt", {"halt"}},
      {"halt\r\n", {"halt"}},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"\r\n", {""}},
      {"\n\n", {"", ""}},
      {"a\n\r", {"a", ""}},
      {"a\r\r\n", {"a", ""}},
      {std::string("\x80\0\xFF\n", 4), {std::string("\x80\0\xFF", 3)}},
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(SplitSourceLines(bytes), expected) << bytes;
}

}  // namespace
