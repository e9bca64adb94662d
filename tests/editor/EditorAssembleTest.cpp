// Assembling into the main window's memory, the error list and its
// navigation, and printing.
#include "EditorFixture.h"

#include "controls/ShowText.h"

#include <QStatusBar>
#include <QToolButton>

#include <QPrinter>

namespace {

const QString HelloPath = QStringLiteral(ORVIK_SOURCE_DIR "/examples/hello.asm");

}  // namespace

class EditorAssembleTest : public EditorTest {
 protected:
  QStringList Entries() const {
    QStringList entries;
    for (int i = 0; i < Editor->ErrorBox->count(); ++i) entries << Editor->ErrorBox->item(i)->text();
    return entries;
  }
  int Selected() const {
    const QList<QListWidgetItem*> items = Editor->ErrorBox->selectedItems();
    return items.isEmpty() ? -1 : Editor->ErrorBox->row(items.constFirst());
  }
  // The caret as (line, column).
  std::pair<int, int> Caret() const {
    const QTextCursor cursor = Text()->textCursor();
    return {cursor.blockNumber(), cursor.positionInBlock()};
  }
  void ClickEntryArea(const QPoint& at, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(Editor->ErrorBox->viewport(), Qt::LeftButton, modifiers, at);
  }
  QPoint EntryCenter(int i) const { return Editor->ErrorBox->visualItemRect(Editor->ErrorBox->item(i)).center(); }
};

TEST_F(EditorAssembleTest, HelloWorldAssemblesRunsAndGreets) {
  ASSERT_TRUE(Editor->LoadAsmFile(HelloPath));
  ASSERT_EQ(Editor->Document()->blockCount(), 15);  // 14 lines and the end of the text
  Main->SysRegs()->SetContents(0, 0x12);
  Main->SetMemoryModified(false);
  Click(Editor->AssembleButton);
  EXPECT_TRUE(Entries().isEmpty());
  EXPECT_TRUE(FPlatform.Messages.isEmpty());
  EXPECT_EQ(Pc(), 0);
  EXPECT_FALSE(Main->MemoryModified());
  EXPECT_FALSE(Editor->ErrorsMenu->isEnabled());
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x21);
  EXPECT_EQ(Main->MainMemory()->GetContents(1), 0x10);  // Text is at 10h
  EXPECT_EQ(Main->MainMemory()->GetContents(0x10), 10);
  EXPECT_EQ(Main->MainMemory()->GetContents(0x11), 'H');
  EXPECT_EQ(Main->DisasmWin()->SelectedRow(), 0);
  QApplication::processEvents();
  EXPECT_TRUE(Main->isActiveWindow());
  // A terminal tall enough for the whole greeting.
  Main->OutputBox()->resize(Main->OutputBox()->width(), 120);
  Main->OutputBox()->Loaded();
  Main->RunSimulator();
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Status(), "Halted");
  EXPECT_EQ(Main->OutputBox()->Lines().join('|'), "|Hello world !!|    from the|  Orvik Simulator|");
}

TEST_F(EditorAssembleTest, TwoErrorsAreListedAndSteppedThrough) {
  Editor->LoadLines({"load R1,256", "halt", "halt R1"});
  Poke(0, {0x55});
  Main->SetMemoryModified(false);
  QTest::keyClick(Editor, Qt::Key_F9, Qt::ControlModifier);
  EXPECT_EQ(Entries(),
            QStringList({"line 1: Number larger than 255", "line 3: Extra characters on line. Expected: nothing"}));
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(Caret(), std::make_pair(0, 11));
  EXPECT_TRUE(Text()->hasFocus());
  EXPECT_TRUE(Editor->ErrorsMenu->isEnabled());
  EXPECT_FALSE(Editor->MenuPreviousError->isEnabled());
  EXPECT_TRUE(Editor->MenuNextError->isEnabled());
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x55) << "nothing is copied when there are errors";
  ASSERT_EQ(Editor->ErrorPositions().size(), 2u);

  QTest::keyClick(Editor, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(Caret(), std::make_pair(2, 5));
  EXPECT_FALSE(Editor->MenuNextError->isEnabled());
  EXPECT_TRUE(Editor->MenuPreviousError->isEnabled());
  Editor->NextErrorClick();
  EXPECT_EQ(Selected(), 1);

  QTest::keyClick(Editor, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(Caret(), std::make_pair(0, 11));
  Editor->PreviousErrorClick();
  EXPECT_EQ(Selected(), 0);
}

TEST_F(EditorAssembleTest, OneErrorLeavesNextEnabledButItDoesNothing) {
  Editor->LoadLines({"halt", "bogus"});
  Editor->AssembleButtonClick();
  ASSERT_EQ(Entries().size(), 1);
  EXPECT_EQ(Entries()[0], "line 2: Unexpected end of line. Expected: ':'");
  EXPECT_TRUE(Editor->MenuNextError->isEnabled());
  Editor->MenuNextError->trigger();
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(Caret(), std::make_pair(1, 5));
}

TEST_F(EditorAssembleTest, ErrorsMenuShortcutsDoNothingWhileItIsDisabled) {
  Editor->LoadLines({"halt R1", "halt R2"});
  Editor->AssembleButtonClick();
  ASSERT_EQ(Entries().size(), 2);
  Editor->LoadLines({"halt"});
  Editor->AssembleButtonClick();
  EXPECT_TRUE(Entries().isEmpty());
  EXPECT_FALSE(Editor->ErrorsMenu->isEnabled());
  EXPECT_FALSE(Editor->MenuNextError->isEnabled());
  EXPECT_FALSE(Editor->MenuPreviousError->isEnabled());
  QTest::keyClick(Editor, Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(Selected(), -1);
}

TEST_F(EditorAssembleTest, ClicksAndEnterInTheErrorBox) {
  Editor->LoadLines({"halt R1", "halt R2"});
  Editor->AssembleButtonClick();
  ASSERT_EQ(Entries().size(), 2);
  ClickEntryArea(EntryCenter(1));
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(Caret(), std::make_pair(1, 5));
  EXPECT_TRUE(Editor->MenuPreviousError->isEnabled());
  // Below the last entry, or with Shift held: the caret stays.
  SetCaret(0, 1);
  ClickEntryArea(QPoint(5, Editor->ErrorBox->viewport()->height() - 2));
  EXPECT_EQ(Caret(), std::make_pair(0, 1));
  ClickEntryArea(EntryCenter(0), Qt::ShiftModifier);
  EXPECT_EQ(Caret(), std::make_pair(0, 1));
  // Moving the selection with keys does not move the caret; Enter does.
  Editor->ErrorBox->setFocus();
  Editor->ErrorBox->setCurrentRow(1);
  EXPECT_EQ(Caret(), std::make_pair(0, 1));
  QTest::keyClick(Editor->ErrorBox, Qt::Key_Return);
  EXPECT_EQ(Caret(), std::make_pair(1, 5));
  EXPECT_TRUE(Text()->hasFocus());
}

TEST_F(EditorAssembleTest, AnErrorPositionBeyondTheEditedTextMeansItsEnd) {
  Editor->LoadLines({"halt", "", "halt R1 ; far"});
  Editor->AssembleButtonClick();
  ASSERT_EQ(Entries().size(), 1);
  Editor->LoadLines({"halt"});
  Editor->ShowError(0);
  EXPECT_EQ(Caret(), std::make_pair(1, 0));
}

TEST_F(EditorAssembleTest, ModifiedMemoryIsOfferedForSavingFirst) {
  struct TRow {
    const char* Name;
    TAnswer Answer;
    bool SaveAsPicked;
    bool Copied;
    bool Saved;
  };
  const TRow rows[] = {
      {"Yes with a cancelled Save As copies nothing", TAnswer::Yes, false, false, false},
      {"Yes saves, then copies", TAnswer::Yes, true, true, true},
      {"No copies without saving", TAnswer::No, false, true, false},
      {"Cancel copies nothing", TAnswer::Cancel, false, false, false},
  };
  Editor->LoadLines({"halt"});
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    const int index = static_cast<int>(&row - rows);
    const QString memFile = FDir.filePath(QString("mem%1.prg").arg(index));
    const int before = 0x70 + index;
    Poke(0, {before});
    Main->SysRegs()->SetContents(0, 6);
    ASSERT_TRUE(Main->MemoryModified());
    FPlatform.Messages.clear();
    FPlatform.Answers = {row.Answer};
    FPlatform.SaveResults.clear();
    if (row.SaveAsPicked) FPlatform.SaveResults = {TScriptedPlatform::Picked(memFile)};
    Editor->AssembleButtonClick();
    ASSERT_EQ(FPlatform.Messages.size(), 1);
    EXPECT_EQ(FPlatform.Messages[0].Caption, "Save?");
    EXPECT_EQ(FPlatform.Messages[0].Text, "Memory Changed.\nDo you want to save before you overwrite the memory?");
    EXPECT_EQ(Main->MainMemory()->GetContents(0), row.Copied ? 0xC0 : before);
    EXPECT_EQ(Pc(), row.Copied ? 0 : 6);
    EXPECT_EQ(Main->MemoryModified(), !row.Copied);
    EXPECT_EQ(QFile::exists(memFile), row.Saved);
    if (row.Saved) {
      EXPECT_EQ(ReadFile(memFile).left(4), QByteArray(1, static_cast<char>(before)) + QByteArray(3, '\0'));
    }
    EXPECT_TRUE(Entries().isEmpty());
    EXPECT_FALSE(Editor->ErrorsMenu->isEnabled());
    Main->SetMemoryModified(false);
  }
}

TEST_F(EditorAssembleTest, AnEmptySourceCopies256Zeros) {
  for (int adr = 0; adr < 256; ++adr) Main->MainMemory()->SetContents(adr, 0xAA);
  Main->SetMemoryModified(false);
  Editor->AssembleButtonClick();
  EXPECT_TRUE(Entries().isEmpty());
  for (int adr = 0; adr < 256; ++adr) ASSERT_EQ(Main->MainMemory()->GetContents(adr), 0) << adr;
  EXPECT_EQ(Main->DisasmWin()->RowText(0x7F), "FE:  00,00  invalid");
}

TEST_F(EditorAssembleTest, PrintDialogDecidesWhetherAnythingIsPrinted) {
  Editor->LoadLines({"halt"});
  Editor->MenuPrint->trigger();
  EXPECT_EQ(FPlatform.PrintDialogs, 1);
}

TEST_F(EditorAssembleTest, PrintingToPdfKeepsTheColours) {
  Editor->LoadLines({"load R1,16 ;start", "db \"Hi\""});
  const std::unique_ptr<QTextDocument> printed = Editor->PrintDocument();
  EXPECT_EQ(printed->toPlainText(), Editor->Document()->toPlainText());
  const auto formatAt = [&](int line, int column) {
    QTextCursor cursor(printed->findBlockByNumber(line));
    cursor.setPosition(cursor.position() + column + 1);
    return cursor.charFormat();
  };
  EXPECT_EQ(formatAt(0, 8).foreground().color(), QColor(0, 0, 255));
  EXPECT_TRUE(formatAt(0, 0).font().bold());
  EXPECT_TRUE(formatAt(0, 12).fontItalic());
  EXPECT_EQ(formatAt(0, 12).foreground().color(), QColor(0, 0, 128));
  EXPECT_EQ(formatAt(1, 4).foreground().color(), QColor(0, 0, 255));

  const QString pdf = FDir.filePath("print.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  Editor->PrintTo(printer);
  EXPECT_EQ(printer.docName(), "");
  const QByteArray bytes = ReadFile(pdf);
  ASSERT_TRUE(bytes.startsWith("%PDF"));
  // The page's drawing commands are compressed; one of them must select blue.
  bool blue = false;
  for (qsizetype at = bytes.indexOf("stream\n"); at >= 0 && !blue; at = bytes.indexOf("stream\n", at + 1)) {
    const qsizetype end = bytes.indexOf("endstream", at);
    if (end < 0) break;
    QByteArray packed = bytes.mid(at + 7, end - at - 7);
    packed.prepend(QByteArray("\x00\x01\x00\x00", 4));  // qUncompress's size hint
    const QByteArray content = qUncompress(packed);
    blue = content.contains("0 0 1 rg") || content.contains("0 0 1 scn");
  }
  EXPECT_TRUE(blue);
}

TEST_F(EditorAssembleTest, AMinimizedMainWindowIsRestoredToShowTheAssembledProgram) {
  Editor->LoadLines({"halt"});
  Main->showMinimized();
  QApplication::processEvents();
  ASSERT_TRUE(Main->isMinimized());
  Click(Editor->AssembleButton);
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0xC0);
  EXPECT_FALSE(Main->isMinimized());
  EXPECT_TRUE(Main->isVisible());
}

TEST_F(EditorAssembleTest, AMisspeltMnemonicKeepsItsEntriesAndAddsAHint) {
  const QString hint = QStringLiteral("laod is not a mnemonic; did you mean load?");
  for (const char* line : {"load R1,2", "laod R3,1"}) {
    Type(line);
    Key(Qt::Key_Return);
  }
  Type("load R4");
  Click(Editor->AssembleButton);
  // The described entries, unchanged; then line 3's, which have no hint.
  ASSERT_GE(Entries().size(), 3);
  ASSERT_EQ(Entries().mid(0, 2), QStringList({"line 2: Syntax error. Expected: ':'",
                                              "line 2: Unknown identifier. Expected: mnemonic, nothing"}));
  ASSERT_TRUE(Entries()[2].startsWith("line 3: "));
  EXPECT_EQ(Editor->ErrorBox->item(0)->toolTip(), hint);
  EXPECT_EQ(Editor->ErrorBox->item(1)->toolTip(), hint);
  EXPECT_EQ(Editor->ErrorBox->item(2)->toolTip(), "");
  EXPECT_EQ(Editor->statusBar()->currentMessage(), hint);
  // An entry without a hint takes it away again.
  Editor->MenuNextError->trigger();
  Editor->MenuNextError->trigger();
  EXPECT_EQ(Editor->statusBar()->currentMessage(), "");
  QTest::mouseClick(Editor->ErrorBox->viewport(), Qt::LeftButton, {}, EntryCenter(1));
  EXPECT_EQ(Editor->statusBar()->currentMessage(), hint);
}
