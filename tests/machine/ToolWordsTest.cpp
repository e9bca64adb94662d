#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "machine/Composer.h"
#include "machine/MemoryClipboard.h"
#include "machine/TraceLog.h"
#include "machine/ValueReadings.h"

namespace {

TEST(ValueReadings, EveryReadingOfTheLowByteInUtf8) {
  struct {
    int32_t Value;
    std::string Shown;
  } const cases[] = {
      {0x3C, "3C hex  60  +60  00111100 bin  '<'  float 96"},
      {0x80, "80 hex  128  -128  10000000 bin  '\u20AC'  float 0"},
      // An unassigned Windows-1252 code keeps its C1 code point.
      {0x9D, "9D hex  157  -99  10011101 bin  '\xC2\x9D'  float -26"},
      {0xE9, "E9 hex  233  -23  11101001 bin  '\u00E9'  float -576"},
      {0x12345641, "12345641 hex  65  +65  01000001 bin  'A'  float 16"},
      {-2, "FFFFFFFE hex  254  -2  11111110 bin  '\u00FE'  float -1792"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Shown);
    EXPECT_EQ(ValueReadings(c.Value), c.Shown);
  }
}

// One log through a student's session: each call with the lines it leaves
// and how many of the newest it took away.
TEST(TraceLog, LinesFollowStepsGapsSectionsAndStepsBack) {
  TTraceLog log;
  struct {
    const char* What;
    std::function<TTraceLog::TChange()> Call;
    size_t Removed;
    std::vector<std::string> Lines;
  } const cases[] = {
      {"a section before any line is no line", [&] { return log.StartSection("Assembled", 0); }, 0, {}},
      {"step 1", [&] { return log.AddLine("a", 1); }, 0, {"a"}},
      {"a run of 5 untraced, then a step",
       [&] { return log.AddLine("b", 7); },
       0,
       {"a", "... 5 instructions at full speed", "b"}},
      {"catching up with nothing new",
       [&] { return log.CatchUp(7); },
       0,
       {"a", "... 5 instructions at full speed", "b"}},
      {"back into the gap", [&] { return log.TakeBackTo(4); }, 2, {"a", "... 3 instructions at full speed"}},
      {"a new program",
       [&] { return log.StartSection("Opened x.prg", 4); },
       0,
       {"a", "... 3 instructions at full speed", "--- Opened x.prg ---"}},
      {"back before the section", [&] { return log.TakeBackTo(1); }, 2, {"a"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    const TTraceLog::TChange change = c.Call();
    EXPECT_EQ(change.Removed, c.Removed);
    std::vector<std::string> lines;
    for (size_t i = 0; i < log.Size(); ++i) lines.push_back(log.Line(i));
    EXPECT_EQ(lines, c.Lines);
  }
  for (uint64_t step = 2; step < 2 + TTraceLog::MaxLines; ++step) log.AddLine(std::to_string(step), step);
  ASSERT_EQ(log.Size(), TTraceLog::MaxLines);
  EXPECT_EQ(log.Line(0), "2");
}

TEST(MemoryClipboard, PasteNeedsValuesAndOneCellAndDropsWhatPassesTheEnd) {
  struct {
    std::vector<int32_t> Clipboard;
    int Lo, Hi;
    std::string Problem;
    std::vector<int> Addresses;
  } const cases[] = {
      {{}, 4, 4, NothingToPasteWords, {}},         {{1, 2}, -1, -1, NoPasteDestinationWords, {}},
      {{1, 2}, 4, 5, NoPasteDestinationWords, {}}, {{1, 2, 3}, 0x10, 0x10, "", {0x10, 0x11, 0x12}},
      {{1, 2, 3}, 0xFE, 0xFE, "", {0xFE, 0xFF}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Lo);
    std::vector<TCellEdit> edits;
    EXPECT_EQ(PasteEdits(c.Clipboard, c.Lo, c.Hi, edits), c.Problem);
    std::vector<int> addresses;
    for (const TCellEdit& edit : edits) {
      addresses.push_back(edit.Address);
      EXPECT_EQ(edit.Value, c.Clipboard[static_cast<size_t>(edit.Address - c.Lo)]);
    }
    EXPECT_EQ(addresses, c.Addresses);
  }
}

// Each choice rebuilds the word from the fields its instruction has.
TEST(Composer, ChoicesKeepTheFieldsBothFormatsShareAndClearTheRest) {
  struct {
    const char* What;
    uint16_t Word;
    int Slot;  // -1: the opcode
    int Index;
    uint16_t Composed;
  } const cases[] = {
      {"immediate to direct load", 0x237F, -1, 1, 0x137F},
      {"to move, which has no w2", 0x237F, -1, 4, 0x407F},
      {"to invalid, which has no operand", 0x4ABC, -1, 0, 0x0000},
      {"a register", 0x237F, 0, 0xA, 0x2A7F},
      {"move's source", 0x407F, 1, 2, 0x402F},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    EXPECT_EQ(c.Slot < 0 ? ComposerWithOpcode(c.Word, c.Index) : ComposerWithChoice(c.Word, c.Slot, c.Index),
              c.Composed);
  }
}

}  // namespace
