// Debugging the student's source through the real editor and main window:
// the line of the instruction at PC, breakpoints set on lines, the trace's
// line names, and line numbers.
#include "EditorFixture.h"

#include "controls/ReadableColour.h"
#include "desktop/Settings.h"
#include "desktop/ViewMenu.h"
#include "editor/SourceGutter.h"
#include "mainwin/DisasmList.h"
#include "mainwin/TracePane.h"

#include <QAction>
#include <QToolButton>

namespace {

const QString HelloPath = QStringLiteral(ORVIK_SOURCE_DIR "/examples/hello.asm");

// Code, data between code, code again.
const QStringList DataBetweenCode = {
    QStringLiteral("        load R1,1"),  // 0: 00
    QStringLiteral("        jmp  Over"),  // 1: 02
    QStringLiteral("Data:   db   5,6"),   // 2: 04 05
    QStringLiteral("Over:   load R2,2"),  // 3: 06
    QStringLiteral("        halt"),       // 4: 08
};

}  // namespace

class SourceDebugTest : public EditorTest {
 protected:
  void Assemble() {
    Main->SetMemoryModified(false);
    Click(Editor->AssembleButton);
    ASSERT_EQ(Editor->ErrorBox->count(), 0);
  }
  int Current() const { return Text()->CurrentLine(); }
  TSourceEdit::TCurrentKind Kind() const { return Text()->CurrentKind(); }
  void SetPc(int pc) { Main->UserEdit(eaCellEdit, {{csSysReg, PCIndex, pc}}); }
};

using EditorCurrentLineTest = SourceDebugTest;

TEST_F(EditorCurrentLineTest, FollowsStepStepBackAndHaltInHello) {
  ASSERT_TRUE(Editor->LoadAsmFile(HelloPath));
  EXPECT_EQ(Current(), -1);  // nothing assembled yet
  Assemble();
  EXPECT_EQ(Current(), 0);
  // Each row: the command, then the line of the next instruction to run.
  struct TRow {
    const char* What;
    int Line;
  };
  const TRow rows[] = {{"step", 1}, {"step", 2}, {"step", 3}, {"step", 4}, {"back", 3},       {"step", 4},
                       {"step", 5}, {"step", 6}, {"step", 3}, {"back", 6}, {"run to halt", 7}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::string(row.What) + " to line " + std::to_string(row.Line + 1));
    if (std::string(row.What) == "step")
      Main->StepSimulator();
    else if (std::string(row.What) == "back")
      Main->StepBackSimulator();
    else {
      Main->RunSimulator();
      ASSERT_TRUE(WaitForRunEnd());
      EXPECT_EQ(Main->StatusTextValue(), QStringLiteral("Halted"));
    }
    EXPECT_EQ(Current(), row.Line);
    EXPECT_EQ(Kind(), TSourceEdit::ckInstruction);
    // A band over the line, in a colour of its own.
    const QList<QTextEdit::ExtraSelection> bands = Text()->extraSelections();
    ASSERT_EQ(bands.size(), 1);
    EXPECT_EQ(bands[0].cursor.blockNumber(), row.Line);
    EXPECT_EQ(bands[0].format.background().color(), Text()->CurrentLineColour(TSourceEdit::ckInstruction));
  }
}

TEST_F(EditorCurrentLineTest, DataBetweenCodeAndAStaleCell) {
  Editor->LoadLines(DataBetweenCode);
  Assemble();
  Main->StepSimulator();
  EXPECT_EQ(Current(), 1);
  Main->StepSimulator();  // the jump passes over the data
  EXPECT_EQ(Current(), 3);
  // PC put on the data: its line shows as data, in the data colour.
  SetPc(4);
  EXPECT_EQ(Current(), 2);
  EXPECT_EQ(Kind(), TSourceEdit::ckData);
  EXPECT_EQ(Editor->PcPlaceText(), QStringLiteral("PC at data, line 3"));
  // A cell changed since assembling names no line.
  SetPc(6);
  EXPECT_EQ(Current(), 3);
  TypeIntoCell(Main->MainMemory(), 7, "5");
  EXPECT_EQ(Current(), -1);
  EXPECT_EQ(Editor->PcPlaceText(), QStringLiteral("PC: changed since assembling"));
  // Undo gives the cell back, and with it the line.
  Main->UndoEditClick();
  EXPECT_EQ(Current(), 3);
  EXPECT_EQ(Editor->PcPlaceText(), QString());
}

TEST_F(EditorCurrentLineTest, BandReadsInLightAndDarkColours) {
  for (bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    TViewMenu::SetDark(FSettings, dark);
    QApplication::processEvents();
    const QColor text = Text()->palette().color(QPalette::Text);
    for (auto kind : {TSourceEdit::ckInstruction, TSourceEdit::ckData})
      EXPECT_GE(TReadableColour::Contrast(text, Text()->CurrentLineColour(kind)), TReadableColour::MinContrast);
  }
  TViewMenu::SetDark(FSettings, false);
}

TEST_F(EditorCurrentLineTest, OpeningAProgramFileShowsNoLine) {
  Editor->LoadLines(DataBetweenCode);
  Assemble();
  EXPECT_EQ(Current(), 0);
  const QString path = FDir.filePath(QStringLiteral("plain.prg"));
  ASSERT_TRUE(Main->SaveMemoryFile(path));
  ASSERT_TRUE(Main->LoadProgramFile(path));
  EXPECT_EQ(Current(), -1);
  Main->StepSimulator();
  EXPECT_EQ(Current(), -1);
  EXPECT_EQ(Main->TraceWin()->Lines().constLast().left(4), QStringLiteral("00: "));
}

using LineBreakpointTest = SourceDebugTest;

TEST_F(LineBreakpointTest, CommentLineBindsToNextCodeLineAndStopsThere) {
  Editor->LoadLines({QStringLiteral("        load R1,1"), QStringLiteral("; wait here"),
                     QStringLiteral("        load R2,2"), QStringLiteral("        halt")});
  // Before assembling the mark stays where the student put it ...
  SetCaret(1, 0);
  Key(Qt::Key_F2);
  EXPECT_TRUE(Text()->LineMarked(1));
  EXPECT_TRUE(Text()->Gutter()->isVisible());
  // ... and goes to the line with code on Assemble.
  Assemble();
  EXPECT_EQ(Text()->MarkedLines(), std::vector<int>{2});
  EXPECT_TRUE(Main->DisasmWin()->RowMarked(1));
  Main->RunSimulator();
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Pc(), 2);
  EXPECT_EQ(Main->StatusTextValue(), QStringLiteral("Breakpoint at 02"));
  EXPECT_EQ(Current(), 2);
  // A click in the margin beside the comment takes the same breakpoint away.
  const QRect comment = Text()->LineRect(Editor->Document()->findBlockByNumber(1));
  QTest::mouseClick(Text()->Gutter(), Qt::LeftButton, {}, QPoint(3, comment.center().y()));
  EXPECT_TRUE(Text()->MarkedLines().empty());
  EXPECT_FALSE(Main->DisasmWin()->RowMarked(1));
}

TEST_F(LineBreakpointTest, SurvivesAnEditAboveAndReassembly) {
  Editor->LoadLines(
      {QStringLiteral("        load R1,1"), QStringLiteral("        load R2,2"), QStringLiteral("        halt")});
  Assemble();
  SetCaret(1, 0);
  Key(Qt::Key_F2);
  EXPECT_TRUE(Main->DisasmWin()->RowMarked(1));
  // A new instruction typed above moves the mark down with its line.
  SetCaret(0, 0);
  Type("        load R3,3");
  Key(Qt::Key_Return);
  EXPECT_EQ(Text()->MarkedLines(), std::vector<int>{2});
  Assemble();
  EXPECT_EQ(Text()->MarkedLines(), std::vector<int>{2});
  EXPECT_FALSE(Main->DisasmWin()->RowMarked(1));
  EXPECT_TRUE(Main->DisasmWin()->RowMarked(2));
  Main->RunSimulator();
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Pc(), 4);
}

TEST_F(LineBreakpointTest, DisassemblyMarginAndGutterShowTheSame) {
  ASSERT_TRUE(Editor->LoadAsmFile(HelloPath));
  Assemble();
  Main->ToggleBreakpoint(6);  // NextChar: load RF,[R1]
  EXPECT_EQ(Text()->MarkedLines(), std::vector<int>{3});
  Main->ToggleBreakpoint(6);
  EXPECT_TRUE(Text()->MarkedLines().empty());
  SetCaret(7, 0);
  Key(Qt::Key_F2);
  EXPECT_TRUE(Main->DisasmWin()->RowMarked(7));
  Main->RemoveAllBreakpoints();
  EXPECT_TRUE(Text()->MarkedLines().empty());
}

TEST_F(LineBreakpointTest, TraceNamesLineAndLabel) {
  ASSERT_TRUE(Editor->LoadAsmFile(HelloPath));
  Assemble();
  for (int i = 0; i < 4; ++i) Main->StepSimulator();
  const QStringList lines = Main->TraceWin()->Lines();
  ASSERT_EQ(lines.size(), 4);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("line 1: "))) << lines[0].toStdString();
  EXPECT_TRUE(lines[3].startsWith(QStringLiteral("line 4, NextChar: "))) << lines[3].toStdString();
}

TEST_F(LineBreakpointTest, BandAndBreakpointsFollowEditsUntilTheNextAssemble) {
  Editor->LoadLines({QStringLiteral("        load R1,1"), QStringLiteral("        load R2,2"),
                     QStringLiteral("        load R3,3"), QStringLiteral("        halt")});
  Assemble();
  Main->StepSimulator();
  SetCaret(2, 0);
  Key(Qt::Key_F2);  // load R3,3 at 04
  // Two lines typed at the top: the band moves down with its line at once.
  SetCaret(0, 0);
  Type("; a");
  Key(Qt::Key_Return);
  Type("; b");
  Key(Qt::Key_Return);
  EXPECT_EQ(Current(), 3);
  Main->StepSimulator();
  EXPECT_EQ(Current(), 4);
  // Lines are the text's as it reads now, also for a breakpoint set in the
  // disassembly (the halt, at 06) and for F2 on its line.
  Main->ToggleBreakpoint(6);
  EXPECT_EQ(Text()->MarkedLines(), (std::vector<int>{4, 5}));
  SetCaret(5, 0);
  Key(Qt::Key_F2);
  EXPECT_FALSE(Main->Session().Breakpoint(6));
  EXPECT_EQ(Text()->MarkedLines(), std::vector<int>{4});
  // A line removed above (Ctrl+Y) moves them up again.
  SetCaret(0, 0);
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Current(), 3);
  EXPECT_EQ(Text()->MarkedLines(), std::vector<int>{3});
  // Assembled again, the breakpoint stops the run on the same code line.
  Assemble();
  Main->RunSimulator();
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Pc(), 4);
  EXPECT_EQ(Main->StatusTextValue(), QStringLiteral("Breakpoint at 04"));
  EXPECT_EQ(Current(), 3);
}

using RunToLineTest = SourceDebugTest;

TEST_F(RunToLineTest, F4RunsToTheFirstInstructionOfTheCaretLineOrSaysWhyNot) {
  Editor->LoadLines({QStringLiteral("        load R1,1"),  // 0: 00
                     QStringLiteral("        jmp  Over"),  // 1: 02
                     QStringLiteral("Data:   db   5,6"),   // 2: 04
                     QStringLiteral("; run here"),         // 3
                     QStringLiteral("Over:   load R2,2"),  // 4: 06
                     QStringLiteral("        halt"),       // 5: 08
                     QStringLiteral("; end")});
  struct TRow {
    const char* What;
    bool Assembled;
    int ChangedCell;  // -1: none
    bool ByMenu;      // Edit > Run to Line, else F4
    int Caret;
    int Pc;  // after the command, from 00
    const char* Status;
  };
  const TRow rows[] = {
      {"before assembling", false, -1, false, 4, 0, "Run to line: assemble this source into memory first"},
      {"a code line", true, -1, false, 1, 2, "Breakpoint at 02"},
      {"a comment: the next code line", true, -1, true, 3, 6, "Breakpoint at 06"},
      {"no code at or after it", true, -1, false, 6, 0, "No code at or after line 7"},
      {"its code changed", true, 7, false, 4, 0, "Line 5 changed since assembling: assemble again to run to it"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.What);
    if (row.Assembled && Main->MappedEditor() == nullptr) Assemble();
    if (row.ChangedCell >= 0) TypeIntoCell(Main->MainMemory(), row.ChangedCell, "5");
    SetPc(0);
    // Assemble brought the main window to the front, where F4 is Run to
    // row; the student goes back to the editor.
    Editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Editor.data()));
    Focus();
    SetCaret(row.Caret, 0);
    if (row.ByMenu)
      Editor->MenuRunToLine->trigger();
    else
      Key(Qt::Key_F4);
    ASSERT_TRUE(WaitForRunEnd());
    EXPECT_EQ(Pc(), row.Pc);
    EXPECT_EQ(Main->StatusTextValue(), QString::fromLatin1(row.Status));
    // The breakpoint was for this run only.
    EXPECT_FALSE(Main->Session().Breakpoint(row.Pc));
    if (row.Pc != 0) {
      EXPECT_EQ(Current(), row.Caret == 3 ? 4 : row.Caret);
    }
  }
}

using EditorLineNumbersTest = SourceDebugTest;

TEST_F(EditorLineNumbersTest, ToggledInViewAndRemembered) {
  Editor->LoadLines(DataBetweenCode);
  // Off at first: the editor looks as always.
  EXPECT_FALSE(Editor->MenuLineNumbers->isChecked());
  EXPECT_FALSE(Text()->Gutter()->isVisible());
  EXPECT_EQ(Text()->viewport()->x(), Text()->contentsRect().x());
  EXPECT_FALSE(FSettings.LineNumbers.has_value());
  Editor->MenuLineNumbers->trigger();
  EXPECT_TRUE(Text()->Gutter()->isVisible());
  EXPECT_GT(Text()->Gutter()->width(), 0);
  EXPECT_GE(Text()->viewport()->x(), Text()->contentsRect().x() + Text()->Gutter()->width());
  EXPECT_EQ(FSettings.LineNumbers, true);
  // A new editor takes the choice; turning it off reaches every editor.
  TAssemblerEditor* second = Main->AssemblerButtonClick();
  EXPECT_TRUE(second->MenuLineNumbers->isChecked());
  EXPECT_TRUE(second->TextEditor->LineNumbers());
  second->MenuLineNumbers->trigger();
  EXPECT_FALSE(Text()->LineNumbers());
  EXPECT_FALSE(Text()->Gutter()->isVisible());
  EXPECT_EQ(FSettings.LineNumbers, false);
}

using DisasmLabelTest = SourceDebugTest;

TEST_F(DisasmLabelTest, ColumnOnlyForASourceWithLabelsAndJumpTooltips) {
  TDisasmList* list = Main->DisasmWin();
  Editor->LoadLines({QStringLiteral("        load R1,1"), QStringLiteral("        halt")});
  Assemble();
  EXPECT_EQ(list->LabelColumnWidth(), 0);  // no labels: the list as always
  ASSERT_TRUE(Editor->LoadAsmFile(HelloPath));
  Assemble();
  EXPECT_GT(list->LabelColumnWidth(), 0);
  // Rows keep their described text; the names stand beside them.
  const struct {
    int Row;
    const char* Label;
  } rows[] = {{0, ""}, {3, "NextChar:"}, {7, "Ready:"}, {8, "Text:"}, {2, ""}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Row);
    EXPECT_EQ(list->RowLabel(row.Row), QString::fromLatin1(row.Label));
  }
  EXPECT_TRUE(list->RowText(3).startsWith(QStringLiteral("06: ")));
  ASSERT_TRUE(list->OnRowToolTip);
  EXPECT_EQ(list->OnRowToolTip(5), QStringLiteral("Jumps to Ready"));     // jmpEQ RF=R0,Ready
  EXPECT_EQ(list->OnRowToolTip(6), QStringLiteral("Jumps to NextChar"));  // jmp NextChar
  EXPECT_EQ(list->OnRowToolTip(0), QString());
  // A program file has no labels to show.
  const QString path = FDir.filePath(QStringLiteral("hello.prg"));
  ASSERT_TRUE(Main->SaveMemoryFile(path));
  ASSERT_TRUE(Main->LoadProgramFile(path));
  EXPECT_EQ(list->LabelColumnWidth(), 0);
  EXPECT_EQ(list->RowLabel(3), QString());
  EXPECT_EQ(list->OnRowToolTip(5), QString());
}
