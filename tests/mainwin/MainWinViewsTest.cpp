#include "MainWinFixture.h"

#include "machine/Disassembler.h"
#include "mainwin/ListingWindow.h"
#include "mainwin/StatusPanel.h"

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStatusBar>
#include <QToolTip>

namespace {

TEST_F(MainWinTest, NewWindowShowsAnIdleMachine) {
  EXPECT_EQ(Main->windowTitle(), "Orvik Simulator");
  EXPECT_EQ(Status(), "Ready");
  EXPECT_EQ(Main->StatusColor(), QColor(Qt::black));
  EXPECT_EQ(Main->StatusAddress()->text(), "Address:");
  EXPECT_TRUE(Main->StatusModified()->text().isEmpty());
  EXPECT_FALSE(Main->SaveButton()->isEnabled());
  EXPECT_FALSE(Main->MenuSaveFile()->isEnabled());
  EXPECT_TRUE(Main->RunButton()->isEnabled());
  EXPECT_FALSE(Main->BreakButton()->isEnabled());
  EXPECT_EQ(Main->DisasmWin()->RowCount(), 128);
  EXPECT_EQ(Main->DisasmWin()->RowText(0), "00:  00,00  invalid");
  EXPECT_EQ(Main->DisasmWin()->RowText(127), "FE:  00,00  invalid");
  EXPECT_EQ(Main->DisasmWin()->SelectedRow(), 0);
  EXPECT_EQ(Cell(Main->SysRegs(), 1), "0000");
  EXPECT_EQ(Main->LabelsMem1()->Caption(10), "..A");
  EXPECT_EQ(Main->LabelsMem2()->Caption(15), "F0");
  EXPECT_EQ(Main->LabelsReg1()->Caption(15), "RF");
  EXPECT_EQ(Main->LabelsReg2()->Caption(1), "IR");
}

// The darkest pixel of a control as it is drawn on screen.
int DarkestGray(QWidget* widget) {
  const QImage image = widget->grab().toImage();
  int darkest = 255;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
  return darkest;
}

TEST_F(MainWinTest, AddressAndRegisterCaptionsAreAsDarkAsTheCellText) {
  const int cellText = DarkestGray(Main->MainMemory());
  const std::pair<const char*, TLabelGrid*> captions[] = {{"LabelsMem1", Main->LabelsMem1()},
                                                          {"LabelsMem2", Main->LabelsMem2()},
                                                          {"LabelsReg1", Main->LabelsReg1()},
                                                          {"LabelsReg2", Main->LabelsReg2()}};
  for (const auto& [name, grid] : captions) EXPECT_LE(DarkestGray(grid), cellText + 16) << name;
}

TEST_F(MainWinTest, TypingIntoAMemoryCellMarksMemoryModifiedAndRewritesItsRow) {
  TypeIntoCell(Main->MainMemory(), 0x10, "20");
  EXPECT_EQ(Main->MainMemory()->GetContents(0x10), 0x20);
  EXPECT_EQ(Main->StatusModified()->text(), "Modified");
  EXPECT_TRUE(Main->SaveButton()->isEnabled());
  EXPECT_TRUE(Main->MenuSaveFile()->isEnabled());
  EXPECT_EQ(Main->DisasmWin()->RowText(8), "10:  20,00  load  R0,00      ;... ($00=0)");
  EXPECT_EQ(Main->DisasmWin()->TopRow(), 5);  // the row is the fourth visible one
}

TEST_F(MainWinTest, WritingACellWithItsOwnValueChangesNothing) {
  Main->MainMemory()->SetContents(0x30, 0);
  EXPECT_FALSE(Main->MemoryModified());
  EXPECT_EQ(Main->DisasmWin()->TopRow(), 0);
}

TEST_F(MainWinTest, AProgramsOwnStoreNeitherMarksMemoryNorScrolls) {
  Poke(0x00, {0x20, 0x41, 0x30, 0xF0});  // load R0,41 / store R0,[F0]
  Main->SetMemoryModified(false);
  Main->DisasmWin()->SetTopRow(0);
  Click(Main->StepButton());
  Click(Main->StepButton());
  EXPECT_EQ(Main->MainMemory()->GetContents(0xF0), 0x41);
  EXPECT_FALSE(Main->MemoryModified());
  EXPECT_EQ(Main->DisasmWin()->TopRow(), 0);
  EXPECT_EQ(Main->DisasmWin()->RowText(0x78), "F0:  41,00  move  R0,R0      ;...");
}

TEST_F(MainWinTest, SelectionAndAddressTextsInTheStatusBar) {
  QTest::mousePress(Main->MainMemory(), Qt::LeftButton, {}, Main->MainMemory()->CellRect(0x20).center());
  QMouseEvent move(QEvent::MouseMove, Main->MainMemory()->CellRect(0x2F).center(),
                   Main->MainMemory()->mapToGlobal(Main->MainMemory()->CellRect(0x2F).center()), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Main->MainMemory(), &move);
  QTest::mouseRelease(Main->MainMemory(), Qt::LeftButton, {}, Main->MainMemory()->CellRect(0x2F).center());
  EXPECT_EQ(Status(), "Selected: 32-47");
  EXPECT_EQ(Main->StatusColor(), QColor(0, 0, 192));
  EXPECT_EQ(Main->StatusAddress()->text(), "Address: 32");

  ClickCell(Main->MainMemory(), 0x20);
  EXPECT_EQ(Status(), "Selected: 32");
  Main->MainMemory()->SetSelStart(-1);
  EXPECT_EQ(Status(), "No Selection");
}

TEST_F(MainWinTest, RegisterGridsNeverKeepASelectionAndIRIsNeverTheCurrentCell) {
  ClickCell(Main->Registers(), 3);
  EXPECT_EQ(Main->Registers()->GetSelLo(), -1);
  ClickCell(Main->SysRegs(), 1);
  EXPECT_EQ(Main->SysRegs()->Row(), 0);
  EXPECT_EQ(Main->SysRegs()->GetSelLo(), -1);
  QTest::keyClick(Main->SysRegs(), Qt::Key_Down);
  EXPECT_EQ(Main->SysRegs()->Row(), 0);

  TypeIntoCell(Main->SysRegs(), 0, "13");
  EXPECT_EQ(Pc(), 0x13);
}

TEST_F(MainWinTest, OddProgramCounterRealignsTheDisassembly) {
  Poke(0x12, {0x00, 0x20, 0x41});
  Main->SysRegs()->SetContents(0, 0x13);
  EXPECT_EQ(Main->DisasmWin()->RowText(0).left(3), "01:");
  EXPECT_EQ(Main->DisasmWin()->RowText(9), "13:  20,41  load  R0,41      ;... ($41=65)");
  EXPECT_EQ(Main->DisasmWin()->RowText(127).left(12), "FF:  00,00  ");
  EXPECT_EQ(Main->DisasmWin()->SelectedRow(), 9);
  EXPECT_EQ(Main->DisasmWin()->TopRow(), 6);

  // With odd PC, cell 00 belongs to the instruction at FF.
  Main->MainMemory()->SetContents(0, 0xC0);
  EXPECT_EQ(Main->DisasmWin()->RowText(127), "FF:  00,C0  invalid");

  Main->SysRegs()->SetContents(0, 0x02);
  EXPECT_EQ(Main->DisasmWin()->RowText(0).left(3), "00:");
  EXPECT_EQ(Main->DisasmWin()->SelectedRow(), 1);
  EXPECT_EQ(Main->DisasmWin()->TopRow(), 0);
}

TEST_F(MainWinTest, MovingPcBetweenEvenAddressesLeavesTheRowsAlone) {
  Main->SysRegs()->SetContents(0, 0x02);
  Main->DisasmWin()->SetRowText(5, "marker");
  Main->SysRegs()->SetContents(0, 0x04);
  EXPECT_EQ(Main->DisasmWin()->SelectedRow(), 2);
  EXPECT_EQ(Main->DisasmWin()->RowText(5), "marker");
}

TEST_F(MainWinTest, DoubleClickOnARowMovesPcThere) {
  Main->SysRegs()->SetContents(0, 0x13);
  Main->DisasmWin()->SetTopRow(0);
  QApplication::processEvents();
  const QPoint row5 = Main->DisasmWin()->RowRect(5).center();
  QTest::mouseClick(Main->DisasmWin()->viewport(), Qt::LeftButton, {}, row5);
  QTest::mouseDClick(Main->DisasmWin()->viewport(), Qt::LeftButton, {}, row5);
  EXPECT_EQ(Pc(), 0x0B);
  EXPECT_EQ(Main->DisasmWin()->SelectedRow(), 5);
}

TEST_F(MainWinTest, MemoryPopupClearEmptiesTheSelectionOrEverything) {
  Poke(0x00, {1, 2, 3, 4});
  Main->MainMemory()->SetSelStart(1);
  Main->MainMemory()->SetSelEnd(2);
  Main->ClearMainMemory();
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 1);
  EXPECT_EQ(Main->MainMemory()->GetContents(1), 0);
  EXPECT_EQ(Main->MainMemory()->GetContents(2), 0);
  EXPECT_EQ(Main->MainMemory()->GetContents(3), 4);
  Main->MainMemory()->SetSelStart(-1);
  Main->ClearMainMemory();
  for (int adr = 0; adr < 256; ++adr) ASSERT_EQ(Main->MainMemory()->GetContents(adr), 0) << adr;
}

TEST_F(MainWinTest, ListingGoesToTheTemporaryFolderAndOpensInAnEditor) {
  Poke(0x00, {0x20, 0x41, 0x40, 0x0F, 0xC0, 0x00});
  Click(Main->ViewAsmButton());
  const QString path = FDir.filePath("OSasm.lst");
  ASSERT_EQ(FPlatform.EditedFiles, QStringList{path});
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(),
            "00:  20,41  load  R0,41      ;... ($41=65)\r\n"
            "02:  40,0F  move  RF,R0      ;...\r\n"
            "04:  C0,00  halt             ;...\r\n"
            "06:  00,00  invalid\r\n"
            "              \"\r\n"
            "              \"\r\n");
}

TEST_F(MainWinTest, ListingFileNameWithAFolderIsUsedAsItStands) {
  FSettings.TempLstFile = FDir.filePath("sub.lst");
  Click(Main->ViewAsmButton());
  EXPECT_EQ(FPlatform.EditedFiles, QStringList{FDir.filePath("sub.lst")});
  EXPECT_TRUE(QFile::exists(FDir.filePath("sub.lst")));
}

TEST_F(MainWinTest, ListingThatCannotBeWrittenIsReportedAndStartsNothing) {
  QFile blocker(FDir.filePath("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  FSettings.TempLstFile = blocker.fileName() + "/x.lst";
  Click(Main->ViewAsmButton());
  EXPECT_TRUE(FPlatform.EditedFiles.isEmpty());
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_TRUE(FPlatform.Messages[0].Text.startsWith("Cannot create file")) << FPlatform.Messages[0].Text.toStdString();
}

TEST_F(MainWinTest, ListingShowsInAReadOnlyWindowWhenNoTextEditorStarts) {
  Poke(0x00, {0x20, 0x41, 0xC0, 0x00});
  FPlatform.TextEditorStarts = false;
  Click(Main->ViewAsmButton());
  EXPECT_TRUE(FPlatform.Messages.isEmpty());
  const QList<TListingWindow*> windows = Main->findChildren<TListingWindow*>();
  ASSERT_EQ(windows.size(), 1);
  // The window deletes itself when closed.
  QPointer<TListingWindow> window = windows[0];
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  QPlainTextEdit* text = window->ListingText();
  EXPECT_TRUE(text->isReadOnly());
  EXPECT_TRUE(QFontInfo(text->font()).fixedPitch());
  EXPECT_TRUE(
      text->toPlainText().startsWith("00:  20,41  load  R0,41      ;... ($41=65)\n"
                                     "02:  C0,00  halt             ;...\n"))
      << text->toPlainText().toStdString();
  // Typing changes nothing; the keyboard selects and copies.
  QApplication::setActiveWindow(window);
  text->setFocus();
  QTest::keyClicks(text, "zz");
  EXPECT_FALSE(text->toPlainText().contains("zz"));
  QTest::keyClick(text, Qt::Key_End, Qt::ShiftModifier);
  QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "00:  20,41  load  R0,41      ;... ($41=65)");
  QTest::keyClick(text, Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_TRUE(window.isNull() || !window->isVisible());
}

TEST_F(MainWinTest, ListingShowsInAReadOnlyWindowWhenTheDesktopsOpenerFailsLater) {
  FPlatform.TextEditorFailsLater = true;
  Click(Main->ViewAsmButton());
  EXPECT_EQ(FPlatform.EditedFiles, QStringList{FDir.filePath("OSasm.lst")});
  EXPECT_TRUE(Main->findChildren<TListingWindow*>().isEmpty());  // not yet
  QApplication::processEvents();
  const QList<TListingWindow*> windows = Main->findChildren<TListingWindow*>();
  ASSERT_EQ(windows.size(), 1);
  EXPECT_TRUE(windows[0]->isVisible());
  EXPECT_TRUE(windows[0]->ListingText()->toPlainText().startsWith("00:  00,00  invalid\n"));
  EXPECT_TRUE(FPlatform.Messages.isEmpty());
}

// Every menu item with a hint shows it in the status bar while the pointer
// or the keyboard is on it, in every menu.
TEST_F(MainWinTest, MenuHintsShowInTheStatusBar) {
  const std::pair<QMenu*, QAction*> items[] = {
      {Main->FileMenu(), Main->MenuOpenFile()}, {Main->FileMenu(), Main->MenuSaveAsFile()},
      {Main->FileMenu(), Main->MenuExit()},     {Main->RunMenu(), Main->MenuRun()},
      {Main->RunMenu(), Main->MenuClear()},     {Main->HelpMenu(), nullptr},
  };
  for (auto [menu, action] : items) {
    if (!action) action = menu->actions().value(0);
    SCOPED_TRACE(action->text().toStdString());
    ASSERT_FALSE(action->toolTip().isEmpty());
    // Opened from the menu bar, as the student opens it.
    QMenuBar* bar = Main->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::mouseMove(menu, menu->actionGeometry(action).center());
    menu->setActiveAction(action);
    QApplication::processEvents();
    EXPECT_EQ(Main->statusBar()->currentMessage(), action->toolTip());
    menu->hide();
    QApplication::processEvents();
  }
}

TEST_F(MainWinTest, StatusPanelsHoldTheirLongestTextsApart) {
  const auto fits = [](const QLabel* panel, const QString& text) {
    return panel->fontMetrics().horizontalAdvance(text) <= panel->contentsRect().width() - 2 * panel->margin();
  };
  for (int adr : {0, 128, 254, 255}) {
    ClickCell(Main->MainMemory(), adr);
    EXPECT_EQ(Main->StatusAddress()->text(), QStringLiteral("Address: %1").arg(adr));
    EXPECT_TRUE(fits(Main->StatusAddress(), Main->StatusAddress()->text())) << adr;
  }
  Poke(0x00, {0x01});
  EXPECT_EQ(Main->StatusModified()->text(), "Modified");
  EXPECT_TRUE(fits(Main->StatusModified(), "Modified"));
  // Visibly apart: each panel has a frame, and they do not touch.
  EXPECT_NE(Main->StatusAddress()->frameShape(), QFrame::NoFrame);
  EXPECT_NE(Main->StatusModified()->frameShape(), QFrame::NoFrame);
  EXPECT_LT(Main->StatusAddress()->geometry().right() + 1, Main->StatusModified()->geometry().left());
  EXPECT_LT(Main->StatusModified()->geometry().right() + 1, Main->StatusText()->geometry().left());
}

// Values a program file put into cells, too wide for them, show whole in the
// cell's tooltip and, for memory, in the address panel.
TEST_F(MainWinTest, ACellTooNarrowForItsValueShowsItWhole) {
  Main->MainMemory()->SetContents(5, 0x12345678);
  Main->SysRegs()->SetContents(1, 0x345677FF);
  struct TRow {
    THexGrid* Grid;
    int Adr;
    QString Whole;  // empty: the value fits
  };
  // Those that fit first.
  const TRow rows[] = {{Main->MainMemory(), 6, ""},
                       {Main->Registers(), 0, ""},
                       {Main->MainMemory(), 5, "12345678"},
                       {Main->SysRegs(), 1, "345677FF"}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Adr);
    EXPECT_EQ(row.Grid->CellTextFits(row.Adr), row.Whole.isEmpty());
    const QPoint at = row.Grid->CellRect(row.Adr).center();
    QHelpEvent help(QEvent::ToolTip, at, row.Grid->mapToGlobal(at));
    QApplication::sendEvent(row.Grid, &help);
    // Memory cells and registers read their value in the tooltip, starting
    // with the whole of it; PC and IR have only the grid's hint or the value.
    if (row.Grid == Main->SysRegs())
      EXPECT_EQ(QToolTip::text(), row.Whole.isEmpty() ? row.Grid->toolTip() : row.Whole);
    else
      EXPECT_TRUE(QToolTip::text().startsWith((row.Whole.isEmpty() ? QStringLiteral("00") : row.Whole) + " hex "))
          << QToolTip::text().toStdString();
  }
  QToolTip::hideText();
  ClickCell(Main->MainMemory(), 5);
  EXPECT_EQ(Main->StatusAddress()->text(), "Address: 5 = 12345678");
  EXPECT_LE(Main->StatusAddress()->fontMetrics().horizontalAdvance(Main->StatusAddress()->text()),
            Main->StatusAddress()->contentsRect().width());
  ClickCell(Main->MainMemory(), 6);
  EXPECT_EQ(Main->StatusAddress()->text(), "Address: 6");
}

}  // namespace
