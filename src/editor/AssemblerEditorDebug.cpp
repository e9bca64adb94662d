// The editor's part in debugging its source: the breakpoint margin, the
// line of the instruction at PC, and line numbers.
#include "editor/AssemblerEditor.h"

#include "desktop/Settings.h"
#include "desktop/ViewMenu.h"
#include "editor/MachineHost.h"
#include "editor/SourceEdit.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTextBlock>

void TAssemblerEditor::CreateDebugCommands() {
  MenuLineNumbers = ViewMenu->Menu()->addAction(QStringLiteral("&Line Numbers"));
  MenuLineNumbers->setCheckable(true);
  connect(MenuLineNumbers, &QAction::triggered, this, [this](bool on) {
    FSettings.LineNumbers = on;
    // Every open editor follows, as they do for zoom and colours.
    for (QWidget* window : QApplication::topLevelWidgets())
      if (auto* editor = qobject_cast<TAssemblerEditor*>(window)) editor->SetLineNumbers(on);
  });
  SetLineNumbers(FSettings.LineNumbers.value_or(false));
  TextEditor->OnGutterClicked = [this](int line) { ToggleBreakpointLine(line); };
  // F2 toggles the caret line's breakpoint, as on a disassembly row.
  auto* toggle = new QAction(QStringLiteral("Toggle breakpoint"), this);
  toggle->setShortcut(QKeySequence(Qt::Key_F2));
  toggle->setShortcutContext(Qt::WidgetShortcut);
  TextEditor->addAction(toggle);
  connect(toggle, &QAction::triggered, this, [this] { ToggleBreakpointLine(TextEditor->textCursor().blockNumber()); });

  // Beside Assemble: the command a student reaches for next.
  MenuRunToLine = new QAction(QStringLiteral("Run to &Line"), this);
  MenuRunToLine->setShortcut(QKeySequence(Qt::Key_F4));
  MenuRunToLine->setStatusTip(QStringLiteral("Run until PC reaches the first instruction of the caret's line (F4)"));
  EditMenu->addAction(MenuRunToLine);
  connect(MenuRunToLine, &QAction::triggered, this,
          [this] { FHost.RunToLine(*this, TextEditor->textCursor().blockNumber()); });

  FLineCount = Document()->blockCount();
  connect(Document(), &QTextDocument::contentsChange, this, [this](int position, int, int) { LinesChanged(position); });
}

void TAssemblerEditor::LinesChanged(int position) {
  const int count = Document()->blockCount();
  const int delta = count - FLineCount;
  FLineCount = count;
  // A whole new text (a file, an example) moves nothing: it is another source.
  if (delta == 0 || !FTrackChanges) return;
  // The text before position is as it was: an edit at the start of a line
  // moves that line, one inside it the lines after it.
  const QTextBlock block = Document()->findBlock(position);
  const int fromLine = block.blockNumber() + (block.position() == position ? 0 : 1);
  FHost.SourceLinesMoved(*this, fromLine, delta);
}

void TAssemblerEditor::SetLineNumbers(bool shown) {
  MenuLineNumbers->setChecked(shown);
  TextEditor->SetLineNumbers(shown);
}

void TAssemblerEditor::ToggleBreakpointLine(int line) {
  if (line < 0 || line >= Document()->blockCount()) return;
  // In the source that is in memory the machine decides where the
  // breakpoint goes (a line without code: the next one with code); before
  // that the mark waits on its line for the next Assemble.
  if (FHost.MappedEditor() == this)
    FHost.ToggleLineBreakpoint(*this, line);
  else
    TextEditor->SetLineMarked(line, !TextEditor->LineMarked(line));
}

void TAssemblerEditor::ShowBreakpointLines(const std::vector<int>& lines) {
  TextEditor->ClearLineMarks();
  for (int line : lines) TextEditor->SetLineMarked(line, true);
}

void TAssemblerEditor::ShowPcPlace(TPcPlace place, int line) {
  switch (place) {
    case ppCode: TextEditor->SetCurrentLine(line, TSourceEdit::ckInstruction); break;
    case ppData: TextEditor->SetCurrentLine(line, TSourceEdit::ckData); break;
    case ppNone:
    case ppStale: TextEditor->SetCurrentLine(-1); break;
  }
  const QString text = place == ppData    ? QStringLiteral("PC at data, line %1").arg(line + 1)
                       : place == ppStale ? QStringLiteral("PC: changed since assembling")
                                          : QString();
  if (text != FPcPlaceText) {
    FPcPlaceText = text;
    // A panel of its own, shown only while it has something to say: a
    // status message would hide the position and mode panels.
    if (FPcPlacePanel == nullptr) {
      FPcPlacePanel = new QLabel(EditorStatusBar);
      EditorStatusBar->addWidget(FPcPlacePanel, 1);
    }
    FPcPlacePanel->setText(text);
    FPcPlacePanel->setVisible(!text.isEmpty());
  }
  if (place == ppCode || place == ppData) {
    // The line comes into view, but the caret stays where the student left it.
    const QTextBlock block = Document()->findBlockByNumber(line);
    const QRect shown = TextEditor->LineRect(block);
    if (block.isValid() && (shown.top() < 0 || shown.bottom() > TextEditor->viewport()->height())) {
      const QTextCursor caret = TextEditor->textCursor();
      TextEditor->setTextCursor(QTextCursor(block));
      TextEditor->centerCursor();
      TextEditor->setTextCursor(caret);
    }
  }
}
