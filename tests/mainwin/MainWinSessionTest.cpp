#include "MainWinFixture.h"

#include "machine/ProgramImage.h"
#include "mainwin/AssembleDialog.h"

#include <QComboBox>
#include <QTimer>

#include <fstream>
#include <functional>
#include <iterator>

namespace {

// What a view shows is the session's state; every change a student makes
// in the window is one undoable edit of the session, named for what it was.
class MainWinSessionTest : public MainWinTest {
 protected:
  TSimulator& Session() { return Main->Session(); }
  // The newest history entry is a user edit of this kind.
  ::testing::AssertionResult NewestEditIs(TEditAction action) {
    const THistory& history = Session().History();
    if (history.Empty() || history.Back().Kind != hkEditEnd) return ::testing::AssertionFailure() << "no edit";
    if (history.Back().Extra != action)
      return ::testing::AssertionFailure() << "edit " << int(history.Back().Extra) << ", not " << int(action);
    return ::testing::AssertionSuccess();
  }
  void SelectRange(int from, int to) {
    ClickCell(Main->MainMemory(), from);
    ClickCell(Main->MainMemory(), to, Qt::ShiftModifier);
  }
};

struct TUserEditCase {
  const char* Name;
  TEditAction Action;
  std::function<void()> Do;
};

TEST_F(MainWinSessionTest, EveryKindOfUserEditSetsModifiedAndIsUndoneWhole) {
  const QString program = FDir.filePath("five.prg");
  {
    TMemoryCells cells{};
    cells[0x00] = 0x25;
    cells[0x01] = 0x05;
    std::ofstream(program.toStdString(), std::ios::binary) << EncodeProgramImage(cells);
  }
  const TUserEditCase cases[] = {
      {"typed into a cell", eaCellEdit, [this] { TypeIntoCell(Main->MainMemory(), 0x21, "3C"); }},
      {"Clear of the selection", eaClear,
       [this] {
         SelectRange(0x10, 0x13);
         QTest::keyClick(Main->MainMemory(), Qt::Key_Delete);
       }},
      {"Cut", eaCut,
       [this] {
         SelectRange(0x10, 0x11);
         QTest::keyClick(Main->MainMemory(), Qt::Key_X, Qt::ControlModifier);
       }},
      {"Paste", eaPaste,
       [this] {
         SelectRange(0x10, 0x12);
         QTest::keyClick(Main->MainMemory(), Qt::Key_C, Qt::ControlModifier);
         ClickCell(Main->MainMemory(), 0x40);
         QTest::keyClick(Main->MainMemory(), Qt::Key_V, Qt::ControlModifier);
       }},
      {"composer", eaComposer,
       [this] {
         QTimer::singleShot(0, [] {
           auto* dialog = qobject_cast<TAssembleDialog*>(QApplication::activeModalWidget());
           ASSERT_NE(dialog, nullptr);
           dialog->opcode->setCurrentIndex(dialog->opcode->findText("halt"));
           QTest::mouseClick(dialog->OkButton, Qt::LeftButton);
         });
         Main->DisasmWin()->SetTopRow(0);
         QTest::mouseClick(Main->DisasmWin()->viewport(), Qt::RightButton, {}, Main->DisasmWin()->RowRect(8).center());
       }},
      {"program file", eaLoadFile,
       [this, &program] {
         FPlatform.OpenResults.push_back({true, program, 0});
         Click(Main->OpenButton());
       }},
  };
  for (const TUserEditCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Poke(0x10, {0x11, 0x12, 0x13, 0x14});
    Main->SetMemoryModified(false);
    const TMemoryCells before = Session().MemoryCells();
    c.Do();
    QApplication::processEvents();
    EXPECT_NE(Session().MemoryCells(), before);
    EXPECT_TRUE(NewestEditIs(c.Action));
    // The grid shows the session's cells.
    for (int adr = 0; adr < MemorySize; ++adr)
      ASSERT_EQ(Cell(Main->MainMemory(), adr), QString::asprintf("%02X", Session().Memory(adr))) << adr;
    if (c.Action != eaLoadFile) {
      // A loaded file is what the disk holds: not modified.
      EXPECT_TRUE(Main->MemoryModified());
      EXPECT_TRUE(Session().MemoryModified());
    }
    // A file load also puts PC back to 0; its edits are undone one by one.
    while (Session().MemoryCells() != before && Session().Undo() == udEdit) {
    }
    EXPECT_EQ(Session().MemoryCells(), before);
    Main->SyncViews();
    EXPECT_EQ(Cell(Main->MainMemory(), 0x10), "11");
  }
}

TEST_F(MainWinSessionTest, AProgramsOwnStoresShowAsChangedButDoNotSetModified) {
  // 00: load R1,5A / 02: store R1,[80] / 04: load RF,41 / 06: halt
  Poke(0x00, {0x21, 0x5A, 0x31, 0x80, 0x2F, 0x41, 0xC0, 0x00});
  Main->SetMemoryModified(false);
  Click(Main->RunButton());
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Status(), "Halted");
  EXPECT_FALSE(Main->MemoryModified());
  EXPECT_FALSE(Session().MemoryModified());
  EXPECT_EQ(Cell(Main->MainMemory(), 0x80), "5A");
  EXPECT_EQ(Main->MainMemory()->ChangedAdr(), 0x80);
  EXPECT_EQ(Main->Registers()->ChangedAdr(), 15);  // the newest register write
  EXPECT_EQ(Main->DisasmWin()->RowText(0x40).toStdString().substr(0, 9), "80:  5A,0");
  EXPECT_EQ(Main->OutputBox()->Lines().join('|'), "A");
  EXPECT_EQ(Pc(), 0x08);
  // The run's instructions are history too: stepping back undoes the halt.
  EXPECT_TRUE(Session().StepBack());
  Main->SyncViews();
  EXPECT_EQ(Pc(), 0x06);
  EXPECT_EQ(Main->DisasmWin()->SelectedRow(), 3);
}

// Step (F8, which leaves the editor open; a click on the button would close
// it first) while a cell's editor is open: the program reads the digits
// typed so far, in memory, in a register and in PC.
TEST_F(MainWinSessionTest, AStepDuringAnEditSeesTheDigitsTypedSoFar) {
  // 00: load R1,[10] / 02: move R3,R2 (copies R3 into R2)
  Poke(0x00, {0x11, 0x10, 0x40, 0x32});
  ClickCell(Main->MainMemory(), 0x10);
  QTest::keyClick(Main->MainMemory(), '5');
  ASSERT_TRUE(Main->MainMemory()->EditorOpen());
  QTest::keyClick(Main->MainMemory()->Editor(), 'A');
  QTest::keyClick(Main->MainMemory()->Editor(), Qt::Key_F8);
  ASSERT_TRUE(Main->MainMemory()->EditorOpen());
  EXPECT_EQ(Main->MainMemory()->Editor()->text(), "5A");  // the typing goes on undisturbed
  EXPECT_EQ(Session().Register(1), 0x5A);
  EXPECT_EQ(Pc(), 2);

  ClickCell(Main->Registers(), 3);
  QTest::keyClicks(Main->Registers(), "7");
  ASSERT_TRUE(Main->Registers()->EditorOpen());
  QTest::keyClick(Main->Registers()->Editor(), Qt::Key_F8);
  EXPECT_EQ(Main->Registers()->Editor()->text(), "7");
  EXPECT_EQ(Session().Register(2), 0x07);

  // PC typed as 0 runs the first instruction again.
  Session().SetCell(csMemory, 0x10, 0x33);
  ClickCell(Main->SysRegs(), 0);
  QTest::keyClicks(Main->SysRegs(), "0");
  QTest::keyClick(Main->SysRegs()->Editor(), Qt::Key_F8);
  EXPECT_EQ(Session().Register(1), 0x33);
  EXPECT_EQ(Pc(), 2);
}

// Ctrl+S while a cell's editor is open saves the digits typed so far.
TEST_F(MainWinSessionTest, ASaveDuringAnEditSavesTheDigitsTypedSoFar) {
  const QString path = FDir.filePath("typed.prg");
  FPlatform.SaveResults.push_back({true, path, 0});
  TypeIntoCell(Main->MainMemory(), 0x20, "11");  // memory modified: Save is enabled
  ClickCell(Main->MainMemory(), 0x21);
  QTest::keyClick(Main->MainMemory(), '3');
  QTest::keyClick(Main->MainMemory()->Editor(), 'C');
  QTest::keyClick(Main->MainMemory()->Editor(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_TRUE(FPlatform.SaveResults.empty());
  std::ifstream file(path.toStdString(), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 1024u);
  EXPECT_EQ(bytes.substr(0x20 * 4, 8), std::string("\x11\0\0\0\x3C\0\0\0", 8));
  EXPECT_FALSE(Main->MemoryModified());
  QTest::keyClick(Main->MainMemory()->Editor(), Qt::Key_Escape);
}

}  // namespace
