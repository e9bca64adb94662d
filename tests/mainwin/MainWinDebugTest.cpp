#include "MainWinFixture.h"

#include "desktop/HelpDialog.h"
#include "machine/TraceFormat.h"
#include "mainwin/StatusPanel.h"
#include "mainwin/TracePane.h"

#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBrowser>
#include <QToolTip>

#include <array>
#include <functional>
#include <set>
#include <vector>

namespace {

// Everything a student sees of the machine: what going back must restore.
struct TShownState {
  std::array<QString, MemorySize> Memory;
  std::array<QString, RegisterCount> Registers;
  QString PC;
  QString IR;
  QStringList Terminal;
  int TerminalLine = 0;
  bool operator==(const TShownState&) const = default;
};

class MainWinDebugTest : public MainWinTest {
 protected:
  TShownState Shown() const {
    TShownState state;
    for (int adr = 0; adr < MemorySize; ++adr) state.Memory[static_cast<size_t>(adr)] = Cell(Main->MainMemory(), adr);
    for (int n = 0; n < RegisterCount; ++n) state.Registers[static_cast<size_t>(n)] = Cell(Main->Registers(), n);
    state.PC = Cell(Main->SysRegs(), 0);
    state.IR = Cell(Main->SysRegs(), 1);
    state.Terminal = Main->OutputBox()->Lines();
    state.TerminalLine = Main->OutputBox()->CurLine();
    return state;
  }
  void Press(int key, Qt::KeyboardModifiers mods = {}, int times = 1) {
    for (int i = 0; i < times; ++i) QTest::keyClick(Main.get(), static_cast<Qt::Key>(key), mods);
  }
  // Prints every byte from 41 on, one per loop of three instructions, so
  // that the terminal breaks lines, scrolls and meets control codes.
  void PokePrintLoop() {
    Poke(0x00, {0x21, 0x41, 0x22, 0x01, 0x40, 0x1F, 0x51, 0x12, 0xB0, 0x04});
    Main->SetMemoryModified(false);
  }
};

TEST_F(MainWinDebugTest, AThousandStepsBackRestoreMachineAndTerminalExactly) {
  PokePrintLoop();
  const TShownState start = Shown();
  // Every 100 steps a point to come back to: step back has to take away
  // exactly the bytes printed since, including line breaks and scrolling.
  std::vector<TShownState> points{start};
  for (int i = 0; i < 10; ++i) {
    Press(Qt::Key_F8, {}, 100);
    points.push_back(Shown());
  }
  ASSERT_NE(points.back(), start);
  ASSERT_GT(Main->OutputBox()->Lines().join("").size(), 40);
  for (int i = 9; i >= 0; --i) {
    Press(Qt::Key_F8, Qt::ShiftModifier, 100);
    ASSERT_EQ(Shown(), points[static_cast<size_t>(i)]) << "after " << i * 100 << " steps";
  }
  EXPECT_EQ(Status(), "Stepped back: 0 steps back available");
  // And forward again to the same places.
  Press(Qt::Key_F8, {}, 500);
  EXPECT_EQ(Shown(), points[5]);
  Press(Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(Status(), "Stepped back: 499 steps back available");
  Main->MenuBackToStart()->trigger();
  EXPECT_EQ(Status(), "Back 499 steps: 0 steps back available");
  EXPECT_EQ(Shown(), start);
  Press(Qt::Key_F8, Qt::ShiftModifier);
  EXPECT_EQ(Status(), "No instruction to step back");
  EXPECT_EQ(Shown(), start);
}

TEST_F(MainWinDebugTest, StepBackPastAMegabyteOfOutputRestoresTheTerminalExactly) {
  PokePrintLoop();
  // The session runs on its own until the program has printed just under a
  // megabyte, and the window shows it as it would after a run; the 1,000
  // steps that follow pass the megabyte.
  TRunPolicy bulk;
  bulk.Budget = 3 * ((uint64_t{1} << 20) - 100);
  ASSERT_EQ(Main->Session().Run(bulk), srBudget);
  Main->SyncViews();
  std::vector<TShownState> forward{Shown()};
  for (int i = 0; i < 1000; ++i) {
    Press(Qt::Key_F8);
    forward.push_back(Shown());
  }
  ASSERT_GT(Main->Session().OutputCount(), (uint64_t{1} << 20) + 200);
  for (int i = 999; i >= 0; --i) {
    Press(Qt::Key_F8, Qt::ShiftModifier);
    ASSERT_EQ(Shown(), forward[static_cast<size_t>(i)]) << "after " << i << " steps";
  }
  EXPECT_TRUE(Status().startsWith("Stepped back: ")) << Status().toStdString();
}

TEST_F(MainWinDebugTest, StepBackWorksAfterEveryWayARunEnds) {
  struct TCase {
    const char* Name;
    std::initializer_list<int> Program;
    std::function<void()> End;
    QString StoppedAt;  // PC after one step back
    // A long run may outgrow the history kept; its start is then out of reach.
    bool StartKept = true;
  };
  const TCase cases[] = {
      {"halt", {0x21, 0x07, 0xC0, 0x00}, [this] { ASSERT_TRUE(WaitForRunEnd()); }, "02"},
      {"invalid instruction", {0x21, 0x07, 0x00, 0x00}, [this] { ASSERT_TRUE(WaitForRunEnd()); }, "02"},
      {"Break",
       {0x21, 0x07, 0xB0, 0x02},
       [this] {
         QTest::qWait(30);
         Click(Main->BreakButton());
       },
       "02",
       false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Main->Session().Reset();
    Main->SyncViews();
    Poke(0x00, c.Program);
    const TShownState start = Shown();
    Click(Main->RunButton());
    c.End();
    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_TRUE(Status().startsWith("Stepped back: ")) << Status().toStdString();
    EXPECT_EQ(Cell(Main->SysRegs(), 0), c.StoppedAt);
    Main->MenuBackToStart()->trigger();
    if (c.StartKept) {
      EXPECT_EQ(Shown(), start);
    }
    EXPECT_EQ(Main->Session().StepsBack(), 0u);
  }
}

TEST_F(MainWinDebugTest, UndoAfterDelWithoutSelectionBringsBackAllOfMemory) {
  for (int adr = 0; adr < MemorySize; ++adr) Main->MainMemory()->SetContents(adr, (adr * 7 + 3) & 0xFF);
  const TShownState before = Shown();
  Main->MainMemory()->setFocus();
  Main->MainMemory()->SetSelStart(-1);
  QTest::keyClick(Main->MainMemory(), Qt::Key_Delete);
  const TShownState cleared = Shown();
  for (const QString& cell : cleared.Memory) ASSERT_EQ(cell, "00");

  Press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Shown(), before);
  EXPECT_EQ(Status(), "Undone: Clear");
  Press(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Shown(), cleared);
  Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Status(), "Nothing to redo");
  Press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Shown(), before);
  // A new edit forgets what was undone.
  TypeIntoCell(Main->MainMemory(), 0x30, "5");
  Press(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Status(), "Nothing to redo");
  EXPECT_EQ(Cell(Main->MainMemory(), 0x30), "05");
}

TEST_F(MainWinDebugTest, UndoOfAnOpenedFileTakesBackMemoryAndPcTogether) {
  const QString program = FDir.filePath("two.prg");
  Poke(0x00, {0x21, 0x07});
  Main->SetMemoryModified(true);
  ASSERT_TRUE(Main->SaveMemoryFile(program));
  Poke(0x00, {0x33, 0x44});
  TypeIntoCell(Main->SysRegs(), 0, "20");
  const TShownState before = Shown();
  Main->SetMemoryModified(false);
  ASSERT_TRUE(Main->LoadProgramFile(program));
  ASSERT_EQ(Cell(Main->SysRegs(), 0), "00");
  Press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Shown(), before);
  EXPECT_TRUE(Main->MemoryModified());
  Press(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Cell(Main->MainMemory(), 0), "21");
  EXPECT_EQ(Cell(Main->SysRegs(), 0), "00");
}

}  // namespace

namespace {

// load R1,05 / load R2,07 / addi R3,R1,R2 / store R3,[20] / halt
constexpr std::initializer_list<int> AddAndStore = {0x21, 0x05, 0x22, 0x07, 0x53, 0x12, 0x33, 0x20, 0xC0, 0x00};

TEST_F(MainWinDebugTest, AWatchStopsRightAfterTheInstructionThatWritesIt) {
  const struct {
    const char* Name;
    std::function<void()> Watch;
    const char* Status;
    const char* PC;
  } cases[] = {
      {"register R3",
       [this] {
         ClickCell(Main->Registers(), 3);
         Main->MenuWatchRegister()->trigger();
       },
       "R3 written at 04", "06"},
      {"memory cell 20",
       [this] {
         ClickCell(Main->MainMemory(), 0x20);
         Main->MenuWatchMemory()->trigger();
       },
       "Cell 20 written at 06", "08"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Main->RemoveAllBreakpoints();
    Poke(0x00, AddAndStore);
    Main->ResetProgramCounter();
    c.Watch();
    Click(Main->RunButton());
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(Status(), c.Status);
    EXPECT_EQ(Cell(Main->SysRegs(), 0), c.PC);
  }
}

TEST_F(MainWinDebugTest, RunToRowStopsThereAndLeavesNoBreakpointBehind) {
  Poke(0x00, AddAndStore);
  Main->ResetProgramCounter();
  Main->DisasmWin()->SetSelectedRow(3);  // the store at 06
  Main->DisasmWin()->setFocus();
  QTest::keyClick(Main.get(), Qt::Key_F4);
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Cell(Main->SysRegs(), 0), "06");
  EXPECT_EQ(Status(), "Breakpoint at 06");
  EXPECT_FALSE(Main->Session().Breakpoint(6));
  EXPECT_FALSE(Main->DisasmWin()->RowMarked(3));
  Click(Main->RunButton());
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Status(), "Halted");
}

}  // namespace

namespace {

TEST_F(MainWinDebugTest, TraceShowsEachStepInWordsKeepsTheLastThousandAndIsClearedByBackToStart) {
  ASSERT_FALSE(Main->TraceWin()->isVisible());
  const int height = Main->height();
  Main->MenuTrace()->trigger();
  ASSERT_TRUE(Main->TraceWin()->isVisible());
  // Docked: the window grows for the pane, which covers none of the
  // described controls.
  ASSERT_TRUE(QTest::qWaitFor([&] { return Main->height() > height; }));
  const QRect pane(Main->TraceWin()->mapTo(Main.get(), QPoint()), Main->TraceWin()->size());
  for (QWidget* control : std::initializer_list<QWidget*>{Main->DisasmWin(), Main->OutputBox(), Main->MainMemory(),
                                                          Main->AssemblerButton(), Main->StatusText()})
    EXPECT_FALSE(pane.intersects(QRect(control->mapTo(Main.get(), QPoint()), control->size())))
        << control->metaObject()->className();
  // Its own close button unchecks the menu item.
  Main->TraceWin()->close();
  EXPECT_FALSE(Main->MenuTrace()->isChecked());
  EXPECT_TRUE(QTest::qWaitFor([&] { return Main->height() == height; }));
  // A window near the screen's bottom comes up as it grows for the pane.
  const QRect screen = Main->screen()->availableGeometry();
  Main->move(Main->x(), screen.bottom() - Main->frameGeometry().height());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Main->frameGeometry().bottom() >= screen.bottom() - 1; }));
  Main->MenuTrace()->trigger();
  ASSERT_TRUE(Main->TraceWin()->isVisible());
  EXPECT_TRUE(Main->frameGeometry().bottom() <= screen.bottom() || Main->frameGeometry().top() == screen.top())
      << Main->frameGeometry().top() << " " << Main->frameGeometry().bottom();
  PokePrintLoop();
  Press(Qt::Key_F8, {}, 3);
  EXPECT_EQ(Main->TraceWin()->Lines(),
            QStringList({"00: 21 41  load R1,41      R1 = 41", "02: 22 01  load R2,01      R2 = 01",
                         "04: 40 1F  move RF,R1      RF = R1 = 41, prints 'A'"}));
  // The text can be copied.
  Main->TraceWin()->Text()->selectAll();
  Main->TraceWin()->Text()->copy();
  EXPECT_TRUE(QApplication::clipboard()->text().startsWith("00: 21 41  load R1,41"));

  Press(Qt::Key_F8, {}, 1000);
  const QStringList lines = Main->TraceWin()->Lines();
  EXPECT_EQ(lines.size(), 1000);
  EXPECT_TRUE(lines.front().startsWith("06: 51 12")) << lines.front().toStdString();
  Main->MenuBackToStart()->trigger();
  EXPECT_TRUE(Main->TraceWin()->Lines().isEmpty());
  Main->MenuTrace()->trigger();
  EXPECT_FALSE(Main->TraceWin()->isVisible());
}

TEST_F(MainWinDebugTest, StepBackTakesBackTheTraceLinesOfTheUndoneInstructionsOnly) {
  Main->MenuTrace()->trigger();
  PokePrintLoop();
  Press(Qt::Key_F8, {}, 5);
  const QStringList five = Main->TraceWin()->Lines();
  ASSERT_EQ(five.size(), 5);
  Press(Qt::Key_F8, Qt::ShiftModifier, 2);
  EXPECT_EQ(Main->TraceWin()->Lines(), five.mid(0, 3));
  Press(Qt::Key_F8, {}, 1);
  EXPECT_EQ(Main->TraceWin()->Lines(), five.mid(0, 4));

  // A run at full speed writes one line counting its instructions;
  // stepping back through it leaves the lines of the steps before it alone.
  Click(Main->RunButton());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Main->Session().Executed() > 100u; }, 20000));
  Click(Main->BreakButton());
  ASSERT_FALSE(Main->Running());
  Press(Qt::Key_F8, Qt::ShiftModifier, 3);
  EXPECT_EQ(Main->TraceWin()->Lines(), five.mid(0, 4)
                                           << QString::fromStdString(FormatTraceGap(Main->Session().Executed() - 4)));
  Main->MenuBackToStart()->trigger();
  EXPECT_TRUE(Main->TraceWin()->Lines().isEmpty());
  // Back at the start, the lines come again as the steps are redone.
  Press(Qt::Key_F8, {}, 2);
  EXPECT_EQ(Main->TraceWin()->Lines(), five.mid(0, 2));
}

}  // namespace

namespace {

TEST_F(MainWinDebugTest, SelectingACellShowsItsValueReadEveryWay) {
  EXPECT_TRUE(Main->StatusValue()->isHidden());
  struct {
    THexGrid* Grid;
    int Address;
    int Value;
    const char* Shown;
  } const cases[] = {
      {Main->MainMemory(), 0x10, 0x3C, "3C hex  60  +60  00111100 bin  '<'  float 96"},
      {Main->MainMemory(), 0x11, 0xFF, "FF hex  255  -1  11111111 bin  '\u00FF'  float -1920"},
      {Main->MainMemory(), 0x12, 0x80, "80 hex  128  -128  10000000 bin  '\u20AC'  float 0"},
      {Main->Registers(), 2, 0x41, "41 hex  65  +65  01000001 bin  'A'  float 16"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Shown);
    c.Grid->SetContents(c.Address, c.Value);
    ClickCell(c.Grid, c.Address);
    EXPECT_TRUE(Main->StatusValue()->isVisible());
    EXPECT_EQ(Main->StatusValue()->text(), QString::fromUtf8(c.Shown));
  }
  // A program that changes the inspected cell changes the panel.
  Poke(0x00, {0x22, 0x07});
  Main->ResetProgramCounter();
  Press(Qt::Key_F8);
  EXPECT_TRUE(Main->StatusValue()->text().startsWith("07 hex"));
}

// The tooltip a student sees when resting the mouse on a cell.
QString HoverText(THexGrid* grid, int adr) {
  const QPoint at = grid->CellRect(adr).center();
  QHelpEvent help(QEvent::ToolTip, at, grid->mapToGlobal(at));
  QApplication::sendEvent(grid, &help);
  const QString text = QToolTip::isVisible() ? QToolTip::text() : QString();
  QToolTip::hideText();
  return text;
}

TEST_F(MainWinDebugTest, HoveringAMemoryCellOrRegisterReadsItsValueInATooltip) {
  struct {
    THexGrid* Grid;
    int Address;
    int32_t Value;
    const char* Shown;
  } const cases[] = {
      {Main->MainMemory(), 0x20, 0x3C, "3C hex  60  +60  00111100 bin  '<'  float 96"},
      {Main->MainMemory(), 0xFF, 0x80, "80 hex  128  -128  10000000 bin  '\u20AC'  float 0"},
      {Main->Registers(), 0x0F, 0xFF, "FF hex  255  -1  11111111 bin  '\u00FF'  float -1920"},
      // Too narrow for the cell: the readings start with the whole value.
      {Main->MainMemory(), 0x21, 0x12345641, "12345641 hex  65  +65  01000001 bin  'A'  float 16"},
      {Main->Registers(), 3, -2, "FFFFFFFE hex  254  -2  11111110 bin  '\u00FE'  float -1792"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Shown);
    c.Grid->SetContents(c.Address, c.Value);
    EXPECT_EQ(HoverText(c.Grid, c.Address), QString::fromUtf8(c.Shown));
    // The same words as the status-bar panel of the selected cell.
    ClickCell(c.Grid, c.Address);
    EXPECT_EQ(Main->StatusValue()->text(), QString::fromUtf8(c.Shown));
  }
  // A value the program just wrote is read, not the one of an earlier look.
  Poke(0x00, {0x22, 0x07});
  Main->ResetProgramCounter();
  Press(Qt::Key_F8);
  EXPECT_TRUE(HoverText(Main->Registers(), 2).startsWith("07 hex  7  +7"));
  // PC and IR keep the grid's own hint.
  EXPECT_EQ(HoverText(Main->SysRegs(), 0), Main->SysRegs()->toolTip());
}

}  // namespace

namespace {

TEST_F(MainWinDebugTest, F1OnTheNewControlsOpensTheirHelpTopics) {
  Main->MenuTrace()->trigger();
  ClickCell(Main->MainMemory(), 0x10);
  struct {
    const char* Name;
    QWidget* Control;
    int Context;
    const char* FirstWords;
  } const rows[] = {
      {"trace", Main->TraceWin()->Text(), 21, "Trace window"},
      {"value panel", Main->StatusValue(), 22, "Step back, undo and breakpoints"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    THelpDialog::CloseAll();
    QApplication::setActiveWindow(row.Control->window());
    row.Control->setFocusPolicy(Qt::StrongFocus);
    row.Control->setFocus();
    QTest::keyClick(row.Control, Qt::Key_F1);
    ASSERT_FALSE(FPlatform.HelpTopics.isEmpty());
    EXPECT_EQ(FPlatform.HelpTopics.last(), row.Context);
    ASSERT_EQ(THelpDialog::OpenWindows().size(), 1);
    EXPECT_TRUE(THelpDialog::OpenWindows()[0]->HelpText()->toPlainText().startsWith(row.FirstWords));
  }
  THelpDialog::CloseAll();
}

}  // namespace

namespace {

QAction* SpeedItem(TMainWin& main, const QString& text) {
  for (QAction* item : main.SpeedMenu()->actions())
    if (item->text() == text) return item;
  return nullptr;
}

TEST_F(MainWinDebugTest, ASlowRunShowsEveryInstructionAndASpeedChangeTakesEffectAtOnce) {
  ASSERT_TRUE(SpeedItem(*Main, "Max")->isChecked());
  PokePrintLoop();
  Main->MenuTrace()->trigger();
  SpeedItem(*Main, "20/s")->trigger();
  EXPECT_EQ(Main->RunSpeed(), 20);
  Click(Main->RunButton());
  // Every instruction is shown: the PC row visits each row of the loop, and
  // each has its line in the trace. A slow machine only makes the run
  // slower, so the test waits for instructions rather than for time.
  std::set<int> rows;
  QElapsedTimer clock;
  clock.start();
  while (Main->Session().Executed() < 6 && clock.elapsed() < 20000) {
    rows.insert(Main->DisasmWin()->SelectedRow());
    QTest::qWait(5);
  }
  const uint64_t slow = Main->Session().Executed();
  EXPECT_GE(slow, 6u);
  // Paced, not at full speed: at 20/s even a very slow run of this test
  // stays far below what Max does in a moment.
  EXPECT_LE(slow, 500u);
  EXPECT_EQ(static_cast<uint64_t>(Main->TraceWin()->Lines().size()), slow);
  EXPECT_TRUE(rows.count(2) && rows.count(3) && rows.count(4));
  EXPECT_TRUE(Main->Running());

  SpeedItem(*Main, "Max")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Main->Session().Executed() > 10000u; }, 20000));
  Click(Main->BreakButton());
  EXPECT_FALSE(Main->Running());
}

}  // namespace
