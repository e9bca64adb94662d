// The Edit menu's undo, search and navigation commands, driven through the
// real editor.
#include "EditorFixture.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <functional>

namespace {

struct TBasicsCase {
  const char* Name;
  QStringList Lines;
  std::function<void(TAssemblerEditor&)> Act;
  QString Text;        // the whole text afterwards
  int CaretLine;       // -1: not checked
  QString Selected;    // the selection afterwards
  const char* Status;  // what the find panel says ("" for nothing)
};

QPushButton* Button(TAssemblerEditor& editor, const char* name) {
  return editor.FindDialog->findChild<QPushButton*>(QString::fromLatin1(name));
}

void Find(TAssemblerEditor& editor, bool replace, const QString& what, const QString& with = {}) {
  (replace ? editor.MenuReplace : editor.MenuFind)->trigger();
  editor.FindText->setText(what);
  if (replace) editor.ReplaceWithText->setText(with);
}

}  // namespace

TEST_F(EditorTest, UndoRedoFindReplaceAndGoToLineThroughTheMenu) {
  const std::vector<TBasicsCase> cases = {
      {"undo then redo a typed word",
       {"ld r0, 1"},
       [](TAssemblerEditor& e) {
         QTest::keyClicks(e.TextEditor, "X");
         EXPECT_TRUE(e.MenuUndo->isEnabled());
         e.MenuUndo->trigger();
         EXPECT_TRUE(e.MenuRedo->isEnabled());
         e.MenuRedo->trigger();
         e.MenuUndo->trigger();
         EXPECT_FALSE(e.MenuUndo->isEnabled());
       },
       "ld r0, 1",
       0,
       "",
       ""},
      {"Ctrl+Shift+Z redoes",
       {"a"},
       [](TAssemblerEditor& e) {
         QTest::keyClicks(e.TextEditor, "b");
         QTest::keyClick(e.TextEditor, Qt::Key_Z, Qt::ControlModifier);
         QTest::keyClick(e.TextEditor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
       },
       "ba",
       0,
       "",
       ""},
      {"find selects the next match, case-insensitive, and wraps",
       {"LD r0, 1", "ld r1, 2", "halt"},
       [](TAssemblerEditor& e) {
         Find(e, false, "ld");
         Button(e, "FindNextButton")->click();
         EXPECT_EQ(e.TextEditor->textCursor().blockNumber(), 0);
         Button(e, "FindNextButton")->click();
         EXPECT_EQ(e.TextEditor->textCursor().blockNumber(), 1);
         Button(e, "FindNextButton")->click();
       },
       "LD r0, 1\nld r1, 2\nhalt",
       0,
       "LD",
       ""},
      {"match case skips the other case",
       {"LD r0, 1", "ld r1, 2"},
       [](TAssemblerEditor& e) {
         Find(e, false, "ld");
         e.FindMatchCase->setChecked(true);
         Button(e, "FindNextButton")->click();
         Button(e, "FindNextButton")->click();
         e.FindMatchCase->setChecked(false);
       },
       "LD r0, 1\nld r1, 2",
       1,
       "ld",
       ""},
      {"not found is said in the status bar",
       {"halt"},
       [](TAssemblerEditor& e) {
         Find(e, false, "jmp");
         EXPECT_FALSE(e.FindNext());
       },
       "halt",
       0,
       "",
       "Not found: \"jmp\""},
      {"replace all is one undo step",
       {"ld r0, 1", "LD r1, 2", "halt"},
       [](TAssemblerEditor& e) {
         Find(e, true, "ld", "mov");
         Button(e, "ReplaceAllButton")->click();
         EXPECT_EQ(e.Document()->toPlainText(), "mov r0, 1\nmov r1, 2\nhalt\n");
         EXPECT_TRUE(e.Modified());
         e.MenuUndo->trigger();
       },
       "ld r0, 1\nLD r1, 2\nhalt",
       -1,
       "",
       "2 replaced"},
      {"replace replaces the match found and moves on",
       {"ld ld"},
       [](TAssemblerEditor& e) {
         Find(e, true, "ld", "x");
         Button(e, "ReplaceButton")->click();  // finds the first
         Button(e, "ReplaceButton")->click();  // replaces it, finds the second
       },
       "x ld",
       0,
       "ld",
       ""},
      {"go to line moves the caret",
       {"a", "b", "c", "d"},
       [](TAssemblerEditor& e) {
         QTimer::singleShot(0, [] {
           auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
           ASSERT_NE(dialog, nullptr);
           dialog->setIntValue(3);
           dialog->accept();
         });
         e.MenuGoToLine->trigger();
       },
       "a\nb\nc\nd",
       2,
       "",
       ""},
  };
  for (const TBasicsCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Editor->LoadLines(c.Lines);
    if (Editor->FindDialog) Editor->FindDialog->hide();
    Focus();
    c.Act(*Editor);
    EXPECT_EQ(AllText().remove(QRegularExpression("\n$")), c.Text);
    if (c.CaretLine >= 0) {
      EXPECT_EQ(Text()->textCursor().blockNumber(), c.CaretLine);
    }
    EXPECT_EQ(Text()->textCursor().selectedText(), c.Selected);
    EXPECT_EQ(Editor->FindStatusText(), QString::fromUtf8(c.Status));
  }
}

TEST_F(EditorTest, CtrlF9AndTheEditMenuItemAssemble) {
  Editor->LoadLines({"load R1,1", "halt"});
  for (const bool byKey : {true, false}) {
    SCOPED_TRACE(byKey ? "Ctrl+F9" : "Edit > Assemble");
    Main->MainMemory()->SetContents(0, 0x55);
    Main->SetMemoryModified(false);
    if (byKey)
      QTest::keyClick(Text(), Qt::Key_F9, Qt::ControlModifier);
    else
      Editor->MenuAssembleItem->trigger();
    EXPECT_NE(Main->MainMemory()->GetContents(0), 0x55);
  }
  EXPECT_TRUE(Editor->EditMenu->actions().contains(Editor->MenuAssembleItem));
  EXPECT_TRUE(Editor->MenuAssembleItem->text().endsWith("Ctrl+F9"));
}
