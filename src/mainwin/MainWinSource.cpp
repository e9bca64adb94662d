// The source behind memory: the map of the last Assemble, the editor it
// came from, and breakpoints set on its lines. Where PC stands in the
// source and where a line's breakpoint goes are the debug session's
// answers; the window only shows them.
#include "mainwin/MainWin.h"

#include "editor/AssemblerEditor.h"
#include "mainwin/DisasmList.h"

#include <QColor>

#include <algorithm>

namespace {

QString Hex2(int value) { return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

void TMainWin::AssembledFrom(TAssemblerEditor& editor, const TProgramMap& map, const std::vector<int>& marked) {
  // The breakpoints of the old source's lines go with it; the marks the
  // student has in the new text are bound again on the new map.
  for (const TLineBreakpoint& old : FDebug->LineBreakpoints()) FDebug->SetLineBreakpoint(old.Line, false);
  if (FMappedEditor && FMappedEditor != &editor) FMappedEditor->ShowPcPlace(TAssemblerEditor::ppNone, -1);
  FDebug->SetMap(map);
  FMappedEditor = &editor;
  for (int line : marked) FDebug->SetLineBreakpoint(line + 1, true);
  ShowLabelColumn();
  ShowSourceBreakpoints();
  ShowSourcePlace();
}

void TMainWin::ToggleLineBreakpoint(TAssemblerEditor& editor, int line) {
  if (&editor != FMappedEditor) return;
  // A click beside a comment toggles the breakpoint of the line it went to.
  const std::vector<int> lines = FDebug->BreakpointLines();
  const int codeLine = FDebug->Binding(line + 1).BoundLine;
  const TLineBreakpoint bound =
      codeLine > 0 ? FDebug->SetLineBreakpoint(codeLine, !std::binary_search(lines.begin(), lines.end(), codeLine))
                   : TLineBreakpoint{};
  if (bound.Address < 0) {
    SetStatus(QStringLiteral("No code at or after line %1").arg(line + 1), Qt::black);
    return;
  }
  const bool on = FSession->Breakpoint(bound.Address);
  if (((bound.Address ^ FSession->PC()) & 1) == 0) FDisasmWin->SetRowMarked(DisasmRowOf(bound.Address), on);
  ShowSourceBreakpoints();
  SetStatus((on ? QStringLiteral("Breakpoint set at ") : QStringLiteral("Breakpoint removed at ")) +
                Hex2(bound.Address) + QStringLiteral(" (line %1)").arg(bound.BoundLine),
            Qt::black);
}

void TMainWin::RunToLine(TAssemblerEditor& editor, int line) {
  if (FRunning) return;
  if (&editor != FMappedEditor || !FDebug->HasMap()) {
    SetStatus(QStringLiteral("Run to line: assemble this source into memory first"), Qt::black);
    return;
  }
  // A line without code runs to the next line with code, as a breakpoint
  // set on it would go there.
  const TLineBreakpoint target = FDebug->Binding(line + 1);
  if (target.Address < 0) {
    SetStatus(QStringLiteral("No code at or after line %1").arg(line + 1), Qt::black);
    return;
  }
  if (FDebug->Stale(target.Address) || FDebug->Stale(target.Address + 1)) {
    SetStatus(QStringLiteral("Line %1 changed since assembling: assemble again to run to it").arg(target.BoundLine),
              Qt::black);
    return;
  }
  RunToAddress(target.Address);
}

void TMainWin::SourceLinesMoved(TAssemblerEditor& editor, int fromLine, int delta) {
  if (&editor != FMappedEditor || !FDebug->HasMap()) return;
  // The marks in the gutter move with their lines by themselves; the band
  // and what the session says of lines follow here.
  FDebug->ShiftLines(fromLine + 1, delta);
  ShowSourcePlace();
}

void TMainWin::ShowSourceBreakpoints() {
  if (!FMappedEditor || !FDebug->HasMap()) return;
  std::vector<int> lines;
  for (int line : FDebug->BreakpointLines()) lines.push_back(line - 1);
  FMappedEditor->ShowBreakpointLines(lines);
}

void TMainWin::ShowSourcePlace() {
  if (!FMappedEditor || !FDebug->HasMap()) return;
  const TSourcePlace place = FDebug->PlaceShown();
  switch (place.State) {
    case psCode: FMappedEditor->ShowPcPlace(TAssemblerEditor::ppCode, place.Line - 1); break;
    case psData: FMappedEditor->ShowPcPlace(TAssemblerEditor::ppData, place.Line - 1); break;
    case psStale: FMappedEditor->ShowPcPlace(TAssemblerEditor::ppStale, place.Line - 1); break;
    case psNone: FMappedEditor->ShowPcPlace(TAssemblerEditor::ppNone, -1); break;
  }
}

void TMainWin::ShowLabelColumn() {
  int width = 0;
  if (FDebug->HasMap())
    for (const TMapLabel& label : FDebug->Map().Labels())
      width = std::max(width, FDisasmWin->fontMetrics().horizontalAdvance(QString::fromStdString(label.Name) +
                                                                          QStringLiteral(": ")));
  FDisasmWin->SetLabelColumnWidth(width);
  RewriteAllDisasmRows();
}

QString TMainWin::DisasmRowToolTip(int row) const {
  const TMapLabel* target = FDebug->JumpTargetLabel((2 * row + (FSession->PC() & 1)) & 0xFF);
  return target ? QStringLiteral("Jumps to ") + QString::fromStdString(target->Name) : QString();
}

void TMainWin::DropSource() {
  FDebug->DropMap();
  ShowLabelColumn();
  if (FMappedEditor) FMappedEditor->ShowPcPlace(TAssemblerEditor::ppNone, -1);
  FMappedEditor = nullptr;
}

const TAssemblerEditor* TMainWin::MappedEditor() const { return FMappedEditor.data(); }
