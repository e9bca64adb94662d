// The editor window: what a new one shows, typing, the key table, the edit
// commands, and closing.
#include "EditorFixture.h"

#include "desktop/HelpHook.h"

#include <QClipboard>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>

TEST_F(EditorTest, NewEditorShowsItsCaptionPanelsAndDisabledSave) {
  EXPECT_EQ(Editor->windowTitle(), "Orvik Assembler");
  EXPECT_EQ(Panel(0), "1: 1  ");
  EXPECT_EQ(Panel(1), "");
  EXPECT_EQ(Panel(2), "Insert");
  EXPECT_FALSE(Editor->MenuSaveFile->isEnabled());
  EXPECT_FALSE(Editor->Modified());
  EXPECT_TRUE(Editor->MenuUseSyntaxHighlight->isChecked());
  EXPECT_FALSE(Editor->ErrorsMenu->isEnabled());
  EXPECT_EQ(Editor->AssembleButton->text(), "assemble");
  EXPECT_EQ(Editor->AssembleButton->toolTip(), "Assemble source file");
  EXPECT_EQ(Editor->AssemblePanel->width(), 53);
  EXPECT_EQ(Editor->BottomSplitter->handleWidth(), 3);
  EXPECT_EQ(Editor->ErrorBox->height(), 57);
  EXPECT_EQ(Text()->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_TRUE(Editor->testAttribute(Qt::WA_DeleteOnClose));
  const std::pair<QWidget*, int> contexts[] = {{Editor, 904},
                                               {Text(), 901},
                                               {Editor->ErrorBox, 902},
                                               {Editor->AssemblePanel, 903},
                                               {Editor->EditorStatusBar, 905}};
  for (const auto& [widget, context] : contexts) EXPECT_EQ(HelpContextOf(widget), context);
}

TEST_F(EditorTest, EveryRequestMakesANewEditorAndClosingFreesIt) {
  QPointer<TAssemblerEditor> first = Editor;
  Click(Main->AssemblerButton());
  QPointer<TAssemblerEditor> second = Main->AssemblerEditor();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_TRUE(first->isVisible());
  second->close();
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(second.isNull());
  EXPECT_FALSE(first.isNull());
}

TEST_F(EditorTest, TypingMarksTheTextModifiedWithAndWithoutColouring) {
  for (bool colouring : {true, false}) {
    SCOPED_TRACE(colouring);
    Editor->LoadLines({"load R1,2"});
    if (Editor->SyntaxHighlight() != colouring) Editor->MenuUseSyntaxHighlightClick();
    ASSERT_EQ(Editor->SyntaxHighlight(), colouring);
    ASSERT_FALSE(Editor->Modified());
    Type("x");
    EXPECT_TRUE(Editor->Modified());
    EXPECT_EQ(Panel(1), "Modified");
    EXPECT_TRUE(Editor->MenuSaveFile->isEnabled());
    EXPECT_EQ(Line(0), "xload R1,2");
  }
}

TEST_F(EditorTest, CaretPanelShowsLineAndColumnFromOne) {
  Editor->LoadLines({"abc", "de"});
  SetCaret(1, 2);
  EXPECT_EQ(Panel(0), "2: 3  ");
  Key(Qt::Key_Home);
  EXPECT_EQ(Panel(0), "2: 1  ");
}

TEST_F(EditorTest, InsertSwitchesToARealOverwriteModeOnlyWithoutModifiers) {
  Editor->LoadLines({"abc"});
  // Alt, Ctrl+Alt and Meta with Insert are not the plain key.
  for (Qt::KeyboardModifiers held :
       {Qt::KeyboardModifiers(Qt::AltModifier), Qt::KeyboardModifiers(Qt::AltModifier | Qt::ControlModifier),
        Qt::KeyboardModifiers(Qt::MetaModifier)}) {
    Key(Qt::Key_Insert, held);
    EXPECT_TRUE(Editor->InsertMode());
    EXPECT_EQ(Panel(2), "Insert");
  }
  Key(Qt::Key_Insert);
  EXPECT_FALSE(Editor->InsertMode());
  EXPECT_EQ(Panel(2), "Overwrite");
  SetCaret(0, 0);
  Type("XY");
  EXPECT_EQ(Line(0), "XYc");
  Key(Qt::Key_Insert);
  EXPECT_EQ(Panel(2), "Insert");
  Type("Z");
  EXPECT_EQ(Line(0), "XYZc");
}

TEST_F(EditorTest, CtrlYDeletesTheCaretLine) {
  Editor->LoadLines({"one", "two", "three"});
  SetCaret(1, 1);
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(AllText(), "one\nthree\n");
  EXPECT_TRUE(Editor->Modified());
  // The last line has no break after it: only its text goes.
  Editor->LoadLines({});
  Type("last");
  Editor->SetModified(false);
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(AllText(), "");
  EXPECT_TRUE(Editor->Modified());
  // Ctrl+Shift+Y is not the command.
  Type("keep");
  Key(Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(AllText(), "keep");
}

TEST_F(EditorTest, ClipboardKeysOfTheKeyTable) {
  Editor->LoadLines({"alpha beta"});
  QTextCursor cursor = Text()->textCursor();
  cursor.setPosition(0);
  cursor.setPosition(5, QTextCursor::KeepAnchor);
  Text()->setTextCursor(cursor);
  Key(Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "alpha");
  EXPECT_FALSE(Editor->Modified());
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(Line(0), " beta");
  EXPECT_TRUE(Editor->Modified());
  Key(Qt::Key_End);
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Line(0), " betaalpha");
  EXPECT_TRUE(Editor->InsertMode()) << "Shift+Insert pastes and does not switch the mode";
}

TEST_F(EditorTest, ShiftDeleteWithoutSelectionCutsNothingButMarksModified) {
  Editor->LoadLines({"abc"});
  QApplication::clipboard()->setText("before");
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(Line(0), "abc");
  EXPECT_EQ(QApplication::clipboard()->text(), "before");
  EXPECT_TRUE(Editor->Modified());
}

TEST_F(EditorTest, EditMenuEnablesCutCopyAndPasteByWhatThereIs) {
  Editor->LoadLines({"abc"});
  QApplication::clipboard()->clear();
  Editor->EditMenuClick();
  EXPECT_FALSE(Editor->MenuCut->isEnabled());
  EXPECT_FALSE(Editor->MenuCopy->isEnabled());
  EXPECT_FALSE(Editor->MenuPaste->isEnabled());
  Editor->MenuSelectAllClick();
  QApplication::clipboard()->setText("x");
  Editor->EditMenuClick();
  EXPECT_TRUE(Editor->MenuCut->isEnabled());
  EXPECT_TRUE(Editor->MenuCopy->isEnabled());
  EXPECT_TRUE(Editor->MenuPaste->isEnabled());
  // Undo is listed, enabled while there is something to take back.
  EXPECT_TRUE(Editor->MenuUndo->isVisible());
}

TEST_F(EditorTest, ATypedCharacterWithoutAnEightBitCodeIsRefusedWithAMessage) {
  Editor->LoadLines({"db 1"});
  SetCaret(0, 4);
  QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x20AC)));
  QApplication::sendEvent(Text(), &euro);
  EXPECT_EQ(Line(0), "db 1");
  EXPECT_FALSE(Editor->Modified());
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_TRUE(FPlatform.Messages[0].Text.contains(QChar(0x20AC)));
  EXPECT_TRUE(FPlatform.Messages[0].Text.contains("not inserted"));
  // Latin-1 letters are 8-bit characters and go in.
  QKeyEvent eAcute(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)));
  QApplication::sendEvent(Text(), &eAcute);
  EXPECT_EQ(Line(0), QString("db 1") + QChar(0xE9));
  EXPECT_EQ(FPlatform.Messages.size(), 1);
}

TEST_F(EditorTest, PastedCharactersWithoutAnEightBitCodeBecomeQuestionMarks) {
  Editor->LoadLines({});
  QApplication::clipboard()->setText(QString("db \"a") + QChar(0x20AC) + "b\"\r\nhalt" + QChar(0x2713));
  Editor->MenuPasteClick();
  EXPECT_EQ(Line(0), "db \"a?b\"");
  EXPECT_EQ(Line(1), "halt?");
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_TRUE(FPlatform.Messages[0].Text.contains(QString(QChar(0x20AC)) + QChar(0x2713)));
  EXPECT_TRUE(FPlatform.Messages[0].Text.contains("replaced by \"?\""));
  // The paste shows the hourglass, but not over the box that waits for the user.
  EXPECT_FALSE(FPlatform.Messages[0].UnderWaitCursor);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(EditorTest, ShiftEnterStartsARealLine) {
  Editor->LoadLines({"ab"});
  SetCaret(0, 1);
  Key(Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(Line(0), "a");
  EXPECT_EQ(Line(1), "b");
}

TEST_F(EditorTest, HelpMenuAsksForTheInstructionAndSyntaxPages) {
  Editor->MenuHelpInstructions->trigger();
  Editor->MenuHelpSyntax->trigger();
  EXPECT_EQ(FPlatform.HelpTopics, QList<int>({601, 602}));
}

TEST_F(EditorTest, ClosingAModifiedEditorAsksAndCancelKeepsIt) {
  Type("x");
  FPlatform.Answers = {TAnswer::Cancel};
  EXPECT_FALSE(Editor->close());
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Caption, "Save?");
  EXPECT_EQ(FPlatform.Messages[0].Text, "Assembly File Changed.\nDo you want to save before you exit?");
  EXPECT_EQ(FPlatform.Messages[0].Icon, TMsgIcon::Question);
  EXPECT_TRUE(Editor->isVisible());
  // Yes with a Save As dialog that is cancelled keeps it open too.
  FPlatform.Answers = {TAnswer::Yes};
  EXPECT_FALSE(Editor->close());
  EXPECT_EQ(FPlatform.SaveRequests.size(), 1);
  // No closes and frees it.
  FPlatform.Answers = {TAnswer::No};
  EXPECT_TRUE(Editor->close());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(Editor.isNull());
}

TEST_F(EditorTest, ClosingTheMainWindowAsksEveryModifiedEditorNewestFirst) {
  Type("older");
  Click(Main->AssemblerButton());
  QPointer<TAssemblerEditor> newer = Main->AssemblerEditor();
  const QString path = WriteFile("newer.asm", "halt\r\n");
  ASSERT_TRUE(newer->LoadAsmFile(path));
  QTest::keyClicks(newer->TextEditor, "; ");
  // The newer one is asked first and saves; the older one refuses, so the
  // main window stays.
  FPlatform.Answers = {TAnswer::Yes, TAnswer::Cancel};
  EXPECT_FALSE(Main->close());
  EXPECT_EQ(FPlatform.Messages.size(), 2);
  EXPECT_EQ(ReadFile(path), "; halt\r\n");
  EXPECT_FALSE(newer->Modified());
  EXPECT_TRUE(Editor->Modified());
  EXPECT_TRUE(Main->isVisible());
  // Now only the older one has something to ask.
  FPlatform.Answers = {TAnswer::No};
  EXPECT_TRUE(Main->close());
  EXPECT_EQ(FPlatform.Messages.size(), 3);
  // The editors go with the main window.
  Main.reset();
  EXPECT_TRUE(newer.isNull());
  EXPECT_TRUE(Editor.isNull());
}

TEST_F(EditorTest, AMinimizedEditorIsRestoredBeforeItAsksAboutItsText) {
  Type("x");
  Editor->showMinimized();
  QApplication::processEvents();
  ASSERT_TRUE(Editor->isMinimized());
  FPlatform.Answers = {TAnswer::Cancel};
  EXPECT_FALSE(Main->close());
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_FALSE(Editor->isMinimized());
  EXPECT_TRUE(Editor->isVisible());
}

TEST_F(EditorTest, WithTwoEditorsTheOneAskingAboutItsChangedFileComesToTheFrontFirst) {
  Type("first");
  Editor->setWindowTitle("first.asm");
  Click(Main->AssemblerButton());
  QPointer<TAssemblerEditor> second = Main->AssemblerEditor();
  ASSERT_NE(second, Editor);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(second.data()));
  second->setWindowTitle("second.asm");
  QTest::keyClicks(second->TextEditor, "second");
  // The student closes the main window from its menu: each editor asks.
  QApplication::setActiveWindow(Main.get());
  QApplication::processEvents();
  FPlatform.Answers = {TAnswer::No, TAnswer::No};
  Main->SetMemoryModified(false);
  Main->close();
  ASSERT_EQ(FPlatform.Messages.size(), 2);
  EXPECT_EQ(FPlatform.Messages[0].Text, "Assembly File Changed.\nDo you want to save before you exit?");
  EXPECT_EQ(FPlatform.Messages[0].ActiveTitle, "second.asm");
  EXPECT_EQ(FPlatform.Messages[1].ActiveTitle, "first.asm");
  Main.reset();
}
