#include "MainWinFixture.h"

#include "machine/TraceFormat.h"
#include "mainwin/ClearDialog.h"
#include "mainwin/TracePane.h"

#include <QCheckBox>
#include <QTimer>

#include <functional>
#include <vector>

namespace {

// What a new student meets first: each command is one step of Undo, the
// trace accounts for every instruction, and the status fits the machine.
class MainWinStudentTest : public MainWinTest {
 protected:
  void Press(int key, Qt::KeyboardModifiers mods = {}, int times = 1) {
    for (int i = 0; i < times; ++i) QTest::keyClick(Main.get(), static_cast<Qt::Key>(key), mods);
  }
  // Memory, registers and PC as the grids show them.
  QStringList Shown() const {
    QStringList cells;
    for (int adr = 0; adr < MemorySize; ++adr) cells << Cell(Main->MainMemory(), adr);
    for (int n = 0; n < RegisterCount; ++n) cells << Cell(Main->Registers(), n);
    cells << Cell(Main->SysRegs(), 0);
    return cells;
  }
};

TEST_F(MainWinStudentTest, OneClearOpenOrAssembleIsOneUndoStep) {
  const QString program = FDir.filePath("one.prg");
  Poke(0x00, {0x21, 0x07});
  ASSERT_TRUE(Main->SaveMemoryFile(program));
  const std::vector<int32_t> image(MemorySize, 0x11);
  // Each command, given twice, is taken back one at a time.
  const std::vector<std::pair<const char*, std::function<void()>>> commands = {
      {"Clear",
       [&] {
         QTimer::singleShot(0, [] { qobject_cast<TClearDialog*>(QApplication::activeModalWidget())->accept(); });
         Click(Main->ResetButton());
       }},
      {"Open file", [&] { ASSERT_TRUE(Main->LoadProgramFile(program)); }},
      {"Assemble", [&] { Main->AssembleIntoMemory(image); }},
  };
  for (const auto& [name, command] : commands) {
    SCOPED_TRACE(name);
    Poke(0x10, {0x42});
    TypeIntoCell(Main->Registers(), 3, "33");
    TypeIntoCell(Main->SysRegs(), 0, "20");
    const QStringList before = Shown();
    command();
    const QStringList once = Shown();
    ASSERT_NE(once, before);
    TypeIntoCell(Main->SysRegs(), 0, "20");
    command();
    Main->MenuUndo()->trigger();
    EXPECT_EQ(Status().toStdString(), std::string("Undone: ") + name);
    Main->MenuUndo()->trigger();  // the PC typed in between
    EXPECT_EQ(Shown(), once);
    Main->MenuUndo()->trigger();
    EXPECT_EQ(Shown(), before);
    Main->MenuRedo()->trigger();
    EXPECT_EQ(Shown(), once);
  }
}

TEST_F(MainWinStudentTest, AssembleSaysReadyOnceTheImageIsInMemory) {
  Poke(0x00, {0xC0, 0x00});
  Click(Main->StepButton());
  ASSERT_EQ(Status(), "Halted");
  Main->AssembleIntoMemory(std::vector<int32_t>(MemorySize, 0));
  EXPECT_EQ(Status(), "Ready");
  EXPECT_EQ(Main->StatusColor(), QColor(Qt::black));
}

TEST_F(MainWinStudentTest, TraceCountsInstructionsRunAtFullSpeedAndANewProgramStartsASection) {
  // load R1,C8 / load R2,FF / 04: addi R1,R1,R2 / jmpEQ R1,0A / jmp 04 / 0A: halt: R1 counts down
  // from 200 to 0 in some 600 instructions.
  Poke(0x00, {0x21, 0xC8, 0x22, 0xFF, 0x51, 0x12, 0xB1, 0x0A, 0xB0, 0x04, 0xC0, 0x00});
  Main->MenuTrace()->trigger();
  Press(Qt::Key_F8);
  Click(Main->RunButton());
  ASSERT_TRUE(WaitForRunEnd());
  ASSERT_EQ(Status(), "Halted");
  const uint64_t executed = Main->Session().Executed();
  const QStringList lines = Main->TraceWin()->Lines();
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith("00: 21 C8")) << lines[0].toStdString();
  EXPECT_EQ(lines[1], QString::fromStdString(FormatTraceGap(executed - 1)));
  // A step back takes back one of them, and the count says so.
  Press(Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(Main->TraceWin()->Lines().back(), QString::fromStdString(FormatTraceGap(executed - 2)));
  Press(Qt::Key_F8);
  EXPECT_TRUE(Main->TraceWin()->Lines().back().startsWith("0A: C0 00  halt"));
  Main->AssembleIntoMemory(std::vector<int32_t>(MemorySize, 0xC0));
  Press(Qt::Key_F8);
  const QStringList after = Main->TraceWin()->Lines();
  ASSERT_GE(after.size(), 2);
  EXPECT_EQ(after[after.size() - 2], "--- Assembled into memory ---");
  EXPECT_TRUE(after.back().startsWith("00: C0 C0")) << after.back().toStdString();
}

}  // namespace

namespace {

TEST_F(MainWinStudentTest, TheTerminalIsRedrawnAtOnceAfterZoomInAndActualSize) {
  Main->OutputBox()->Write("Hello, world");
  const auto fits = [&] {
    const QFontMetrics metrics(Main->OutputBox()->font());
    return Main->OutputBox()->Cols() == Main->OutputBox()->contentsRect().width() / metrics.horizontalAdvance('x') &&
           Main->OutputBox()->Rows() == Main->OutputBox()->contentsRect().height() / metrics.height();
  };
  const std::pair<Qt::Key, int> zooms[] = {{Qt::Key_Equal, 3}, {Qt::Key_0, 1}};
  for (const auto& [key, times] : zooms) {
    SCOPED_TRACE(key);
    for (int i = 0; i < times; ++i) QTest::keyClick(Main.get(), key, Qt::ControlModifier);
    // No byte is written: the terminal's own repaint takes the new font.
    ASSERT_TRUE(QTest::qWaitFor(fits, 2000));
    EXPECT_EQ(Main->OutputBox()->Lines().front(), "Hello, world");
  }
}

}  // namespace
