#include "MainWinFixture.h"

#include "desktop/HelpDialog.h"
#include "desktop/HelpHook.h"
#include "mainwin/ClearDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSet>
#include <QTimer>

namespace {

const QColor Red(255, 0, 0);

TEST_F(MainWinTest, StepOnEmptyMemoryIsAnInvalidInstruction) {
  Click(Main->StepButton());
  EXPECT_EQ(Status(), "Invalid instruction");
  EXPECT_EQ(Main->StatusColor(), Red);
  EXPECT_EQ(Cell(Main->SysRegs(), 0), "02");
  EXPECT_EQ(Cell(Main->SysRegs(), 1), "0000");
}

TEST_F(MainWinTest, RunStopsAtAHaltWithPcPastIt) {
  Poke(0x00, {0x2F, 0x48, 0x2F, 0x69, 0xC0, 0x00});
  Click(Main->RunButton());
  EXPECT_FALSE(Main->RunButton()->isEnabled());
  EXPECT_TRUE(Main->BreakButton()->isEnabled());
  EXPECT_EQ(Status(), "Running...");
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Status(), "Halted");
  EXPECT_EQ(Main->StatusColor(), Red);
  EXPECT_EQ(Pc(), 0x06);
  EXPECT_EQ(Main->OutputBox()->Lines().join('|'), "Hi");
  EXPECT_TRUE(Main->RunButton()->isEnabled());
  EXPECT_FALSE(Main->BreakButton()->isEnabled());
}

TEST_F(MainWinTest, SelfJumpRunsUntilBreak) {
  Poke(0x10, {0xB0, 0x10});
  Main->SysRegs()->SetContents(0, 0x10);
  Click(Main->RunButton());
  QTest::qWait(50);
  EXPECT_TRUE(Main->Running());
  Click(Main->BreakButton());
  EXPECT_FALSE(Main->Running());
  EXPECT_EQ(Status(), "Ready");
  EXPECT_TRUE(Main->RunButton()->isEnabled());
  EXPECT_FALSE(Main->BreakButton()->isEnabled());
  EXPECT_EQ(Pc(), 0x10);
  QTest::qWait(20);
  EXPECT_EQ(Status(), "Ready");  // nothing of the run goes on after Break
}

// Loops whose period divides 256 instructions, and the register each one
// counts up in. Frames must catch them at different points of the loop.
struct TPhaseLoop {
  std::initializer_list<int> Bytes;
  int Register;
};

TEST_F(MainWinTest, SuccessiveFramesOfALoopShowItsProgress) {
  const TPhaseLoop loops[] = {
      {{0x2F, 0x00, 0x27, 0x01, 0x5F, 0xF7, 0xB0, 0x04}, 0xF},              // the output test: 2 instructions
      {{0x27, 0x01, 0x54, 0x47, 0x20, 0x00, 0x20, 0x00, 0xB0, 0x02}, 0x4},  // 4 instructions
  };
  for (const TPhaseLoop& loop : loops) {
    SCOPED_TRACE(loop.Register);
    Main->ClearRegisters();
    Main->ResetProgramCounter();
    Poke(0x00, loop.Bytes);
    Click(Main->RunButton());
    QSet<int> values;
    QSet<QString> screens;
    for (int frame = 0; frame < 40; ++frame) {
      QTest::qWait(1);
      values.insert(Main->Registers()->GetContents(loop.Register));
      screens.insert(Main->OutputBox()->Lines().join('|'));
    }
    Click(Main->BreakButton());
    EXPECT_GE(values.size(), 10);
    if (loop.Register == 0xF) {
      EXPECT_GE(screens.size(), 10);
    }
  }
}

TEST_F(MainWinTest, RunFromTheMenuDuringARunLeavesTheRunGoing) {
  Poke(0x00, {0xB0, 0x00});
  Click(Main->RunButton());
  Main->MenuRun()->trigger();
  QTest::qWait(20);
  EXPECT_TRUE(Main->Running());
  EXPECT_EQ(Status(), "Running...");
  Click(Main->BreakButton());
  EXPECT_FALSE(Main->Running());
}

TEST_F(MainWinTest, AltAndTheUnderlinedLetterPressTheButtonEvenWhenAMenuSharesIt) {
  Poke(0x00, {0xB0, 0x00});
  Main->MainMemory()->setFocus();
  QTest::keyClick(Main->MainMemory(), Qt::Key_R, Qt::AltModifier);  // "&Run", also the Run menu's letter
  ASSERT_TRUE(QTest::qWaitFor([&] { return Main->Running(); }, 2000));
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  Click(Main->BreakButton());

  // With the Run button disabled by a run, the letter opens the Run menu.
  Click(Main->RunButton());
  QTest::keyClick(Main->MainMemory(), Qt::Key_R, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == Main->RunMenu(); }, 2000));
  Main->RunMenu()->close();
  Click(Main->BreakButton());

  Main->SysRegs()->SetContents(1, 0);
  QTest::keyClick(Main->MainMemory(), Qt::Key_T, Qt::AltModifier);  // "S&tep", no menu has it
  EXPECT_TRUE(QTest::qWaitFor([&] { return Ir() == 0xB000; }, 2000));
}

TEST_F(MainWinTest, ZeroPcDuringARunTakesTheNextInstructionFromAddressZero) {
  Poke(0x00, {0x2F, 0x41, 0xC0, 0x00});
  Poke(0x10, {0xB0, 0x10});
  Main->SysRegs()->SetContents(0, 0x10);
  Click(Main->RunButton());
  QTest::qWait(30);
  Click(Main->ZeroPC());
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Status(), "Halted");
  EXPECT_EQ(Pc(), 0x04);
  EXPECT_EQ(Main->OutputBox()->Lines().join('|'), "A");
}

TEST_F(MainWinTest, StepDuringARunExecutesOneExtraInstruction) {
  Poke(0x00, {0xB0, 0x00});
  Click(Main->RunButton());
  QTest::qWait(20);
  Click(Main->StepButton());
  EXPECT_EQ(Status(), "Ready");  // Step's own text while the run goes on
  EXPECT_TRUE(Main->Running());
  Click(Main->BreakButton());
}

TEST_F(MainWinTest, InstructionWritingRfTwiceShowsTheCharacterTwice) {
  Poke(0x00, {0x2F, 0x41, 0xB0, 0x00});
  for (int i = 0; i < 3; ++i) Click(Main->StepButton());
  EXPECT_EQ(Main->OutputBox()->Lines().join('|'), "AA");
}

// Answers the Clear dialog with the given boxes checked.
void AnswerClearDialog(bool mem, bool reg, bool pc, bool ok) {
  QTimer::singleShot(0, [=] {
    auto* dialog = qobject_cast<TClearDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Clear What?");
    EXPECT_TRUE(dialog->MemChecked->isChecked());
    EXPECT_TRUE(dialog->RegChecked->isChecked());
    EXPECT_TRUE(dialog->PCChecked->isChecked());
    dialog->MemChecked->setChecked(mem);
    dialog->RegChecked->setChecked(reg);
    dialog->PCChecked->setChecked(pc);
    if (ok)
      dialog->accept();
    else
      dialog->reject();
  });
}

TEST_F(MainWinTest, ClearResetsWhatIsCheckedAndNeverIR) {
  struct TCase {
    bool Mem, Reg, Pc, Ok;
  };
  const TCase cases[] = {{true, true, true, true},
                         {true, false, false, true},
                         {false, true, false, true},
                         {false, false, true, true},
                         {true, true, true, false}};
  for (const TCase& c : cases) {
    Poke(0x00, {0x20, 0x07});
    Main->Registers()->SetContents(3, 0x33);
    Main->SysRegs()->SetContents(0, 0x20);
    Main->SysRegs()->SetContents(1, 0x1234);
    Main->SetStatus("Halted", Red);
    AnswerClearDialog(c.Mem, c.Reg, c.Pc, c.Ok);
    Click(Main->ResetButton());
    const bool mem = c.Ok && c.Mem, reg = c.Ok && c.Reg, pc = c.Ok && c.Pc;
    EXPECT_EQ(Main->MainMemory()->GetContents(0), mem ? 0 : 0x20);
    EXPECT_EQ(Main->Registers()->GetContents(3), reg ? 0 : 0x33);
    EXPECT_EQ(Pc(), pc ? 0 : 0x20);
    EXPECT_EQ(Ir(), 0x1234);
    EXPECT_EQ(Main->MemoryModified(), !mem);
    EXPECT_EQ(Status(), "Ready");
  }
}

TEST_F(MainWinTest, ClearingRegistersSendsCodeZeroToTheTerminalOnce) {
  // A NUL shows only on a full line, where it starts a new one.
  Main->Registers()->SetContents(15, 'x');
  const int cols = Main->OutputBox()->Cols();
  ASSERT_GT(cols, 1);
  for (int i = 1; i < cols; ++i) Main->Registers()->SetContents(15, 'x');
  const int linesBefore = static_cast<int>(Main->OutputBox()->Lines().size());
  AnswerClearDialog(false, true, false, true);
  Click(Main->ResetButton());
  EXPECT_EQ(Main->OutputBox()->Lines().size(), linesBefore + 1);
  EXPECT_TRUE(Main->OutputBox()->Lines().back().isEmpty());
}

TEST_F(MainWinTest, ClearingMemoryKeepsTheDisassemblyWhereItWasAndItsHighlight) {
  Poke(0x00, {0x20, 0x41});
  Poke(0xF0, {0xC0, 0x00});
  Main->SysRegs()->SetContents(0, 0x50);
  Main->DisasmWin()->SetTopRow(40);
  AnswerClearDialog(true, false, false, true);
  Click(Main->ResetButton());
  EXPECT_EQ(Main->DisasmWin()->TopRow(), 40);
  EXPECT_EQ(Main->DisasmWin()->SelectedRow(), 0x28);
  EXPECT_EQ(Main->DisasmWin()->RowText(0x78), "F0:  00,00  invalid");
  EXPECT_FALSE(Main->MemoryModified());
  EXPECT_TRUE(Main->StatusModified()->text().isEmpty());
}

TEST_F(MainWinTest, ClearDialogOpensInTheMiddleOfTheScreenWhereverTheWindowIs) {
  Main->move(0, 0);
  QPoint centre, screenCentre;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<TClearDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    centre = dialog->frameGeometry().center();
    screenCentre = dialog->screen()->availableGeometry().center();
    dialog->reject();
  });
  Click(Main->ResetButton());
  EXPECT_LE((centre - screenCentre).manhattanLength(), 8) << centre.x() << "," << centre.y();
}

}  // namespace

namespace {

TEST_F(MainWinTest, HelpAskedFromAModalDialogBelongsToThatDialog) {
  bool asked = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<TClearDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    RequestContextHelp(10);
    ASSERT_FALSE(THelpDialog::OpenWindows().isEmpty());
    EXPECT_EQ(THelpDialog::OpenWindows().last()->parentWidget(), dialog);
    asked = true;
    dialog->reject();
  });
  Click(Main->ResetButton());
  EXPECT_TRUE(asked);
}

}  // namespace
