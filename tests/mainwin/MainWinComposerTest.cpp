#include "MainWinFixture.h"

#include "mainwin/AssembleDialog.h"

#include <QComboBox>
#include <QPointer>
#include <QTimer>

#include <functional>

namespace {

class MainWinComposerTest : public MainWinTest {
 protected:
  // Right-clicks a point of the disassembly list; answer runs on the composer
  // if one opens, and must close it.
  void RightClickList(const QPoint& point, const std::function<void(TAssembleDialog&)>& answer) {
    FOpened = false;
    QTimer::singleShot(0, [this, answer] {
      auto* dialog = qobject_cast<TAssembleDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      FOpened = true;
      FDialog = dialog;
      answer(*dialog);
      if (dialog->isVisible()) dialog->reject();  // never leave a test hanging
    });
    QTest::mouseClick(Main->DisasmWin()->viewport(), Qt::RightButton, {}, point);
    QApplication::processEvents();
  }
  void RightClickRow(int row, const std::function<void(TAssembleDialog&)>& answer) {
    Main->DisasmWin()->SetTopRow(row - 3);
    RightClickList(Main->DisasmWin()->RowRect(row).center(), answer);
  }

  bool FOpened = false;
  QPointer<TAssembleDialog> FDialog;
};

TEST_F(MainWinComposerTest, RightClickComposesTheInstructionOfTheRowInThePcAlignment) {
  struct Row {
    int Pc, Row, Address;
  };
  const Row rows[] = {{0x00, 0, 0x00}, {0x11, 5, 0x0B}, {0x20, 5, 0x0A}, {0x01, 127, 0xFF}, {0x00, 127, 0xFE}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Address);
    Main->SysRegs()->SetContents(0, row.Pc);
    Main->SetStatus("Halted", Qt::red);
    int address = -1;
    RightClickRow(row.Row, [&](TAssembleDialog& dialog) {
      address = dialog.InstrAddress();
      EXPECT_EQ(dialog.pos(), Main->frameGeometry().topLeft() + QPoint(150, 242));
      Click(dialog.CancelButton);
    });
    EXPECT_TRUE(FOpened);
    EXPECT_EQ(address, row.Address);
    EXPECT_EQ(Main->DisasmWin()->SelectedRow(), row.Row);
    EXPECT_EQ(Main->focusWidget(), Main->DisasmWin());
    EXPECT_EQ(Status(), "Ready");
    EXPECT_EQ(Main->StatusColor(), QColor(Qt::black));
    QApplication::processEvents();
    EXPECT_TRUE(FDialog.isNull());  // freed on close
  }
}

TEST_F(MainWinComposerTest, OkWritesTheComposedInstructionIntoMemoryAndTheList) {
  Poke(0x0A, {0x21, 0xC8});
  Main->SetMemoryModified(false);
  Main->SysRegs()->SetContents(0, 0x00);
  RightClickRow(5, [&](TAssembleDialog& dialog) {
    EXPECT_EQ(dialog.opcode->currentText(), "immediate load");
    dialog.opcode->setCurrentIndex(dialog.opcode->findText("halt"));
    Click(dialog.OkButton);
  });
  ASSERT_TRUE(FOpened);
  EXPECT_EQ(Main->MainMemory()->GetContents(0x0A), 0xC0);
  EXPECT_EQ(Main->MainMemory()->GetContents(0x0B), 0x00);
  EXPECT_TRUE(Main->MemoryModified());
  EXPECT_TRUE(Main->DisasmWin()->RowText(5).contains("halt")) << Main->DisasmWin()->RowText(5).toStdString();
  EXPECT_EQ(Status(), "Ready");
}

TEST_F(MainWinComposerTest, ARunWaitsWhileTheComposerIsOpenAndSeesItsInstruction) {
  // RF := 0, R7 := 1; loop: RF := RF + R7; jmp loop
  Poke(0x00, {0x2F, 0x00, 0x27, 0x01, 0x5F, 0xF7, 0xB0, 0x04});
  Click(Main->RunButton());
  QTest::qWait(20);
  ASSERT_TRUE(Main->Running());
  RightClickRow(2, [&](TAssembleDialog& dialog) {
    const int32_t output = Main->Registers()->GetContents(15);
    QTest::qWait(40);
    EXPECT_EQ(Main->Registers()->GetContents(15), output);
    EXPECT_EQ(dialog.InstrAddress(), 0x04);
    dialog.opcode->setCurrentIndex(dialog.opcode->findText("halt"));
    Click(dialog.OkButton);
  });
  ASSERT_TRUE(FOpened);
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Status(), "Halted");
  EXPECT_EQ(Pc(), 0x06);
}

TEST_F(MainWinComposerTest, RightClickBelowTheLastRowOpensNothing) {
  Main->DisasmWin()->SetTopRow(Main->DisasmWin()->RowCount());
  const QPoint below(10, Main->DisasmWin()->viewport()->height() - 1);
  ASSERT_EQ(Main->DisasmWin()->RowAt(below), -1);
  Main->SetStatus("Halted", Qt::red);
  const int selected = Main->DisasmWin()->SelectedRow();
  RightClickList(below, [](TAssembleDialog&) {});
  EXPECT_FALSE(FOpened);
  EXPECT_EQ(Main->DisasmWin()->SelectedRow(), selected);
  EXPECT_EQ(Status(), "Halted");
}

}  // namespace
