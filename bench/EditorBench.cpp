// The assembler editor with colouring on: loading a long source, and typing
// in it, against typing in a short one. Typing must not depend on the length
// of the text (only the touched line is coloured again).
#include "Bench.h"
#include "TypeKey.h"

#ifdef ORVIK_BENCH_GUI

#include "desktop/Settings.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"
#include "mainwin/MainWin.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextBlock>

#include <chrono>
#include <memory>
#include <stdexcept>

namespace {

using TClock = std::chrono::steady_clock;

double MicrosecondsSince(TClock::time_point start) {
  return std::chrono::duration<double, std::micro>(TClock::now() - start).count();
}

// Lines of every colour: labels, mnemonics, numbers, strings, comments and
// the odd malformed number.
QByteArray GenerateSource(int lines) {
  QByteArray source;
  for (int i = 0; i < lines; ++i) {
    const QByteArray n = QByteArray::number(i);
    switch (i % 4) {
      case 0: source += "L" + n + ": load R1,[0x" + QByteArray::number(i % 256, 16) + "] ; fetch " + n; break;
      case 1: source += "         addi    R2,R2,R1    ;sum"; break;
      case 2: source += "         db      \"text " + n + "\",10,12A3"; break;
      default: source += "         jmpLE   R2<=R0,L" + n; break;
    }
    source += "\r\n";
  }
  return source;
}

double TypeAt(TAssemblerEditor& editor, int line, int keys) {
  QTextCursor cursor(editor.Document()->findBlockByNumber(line));
  cursor.movePosition(QTextCursor::EndOfBlock);
  editor.TextEditor->setTextCursor(cursor);
  editor.TextEditor->ensureCursorVisible();
  QApplication::processEvents();
  static const char typed[] = " load R3,0x42 ;typed \"x\"";
  const TClock::time_point start = TClock::now();
  for (int k = 0; k < keys; ++k) TypeKey(editor.TextEditor, typed[k % (sizeof typed - 1)]);
  return MicrosecondsSince(start);
}

struct TEditorRun {
  double LoadMs;
  double KeystrokeUs;
};

TEditorRun MeasureEditor(TMainWin& mainWin, const QString& path, int lines, int keys) {
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write the benchmark source");
    file.write(GenerateSource(lines));
  }
  TAssemblerEditor* editor = mainWin.AssemblerButtonClick();
  // Wide enough for the typed line: sideways scrolling repaints the whole
  // view, whose cost depends on how many lines are on screen, not on how
  // long the text is.
  editor->resize(1400, editor->height());
  QApplication::processEvents();
  const TClock::time_point start = TClock::now();
  if (!editor->LoadAsmFile(path)) throw std::runtime_error("cannot load the benchmark source");
  QApplication::processEvents();
  const double loadMs = MicrosecondsSince(start) / 1000.0;
  if (editor->Document()->blockCount() != lines + 1) throw std::logic_error("the source lost lines");

  const double atEnd = TypeAt(*editor, lines - 1, keys);
  const double inMiddle = TypeAt(*editor, lines / 2, keys);
  editor->SetModified(false);
  editor->close();
  QApplication::processEvents();
  return {loadMs, (atEnd + inMiddle) / (2.0 * keys)};
}

void EditorTyping(TBenchContext& context) {
  const int longLines = context.Smoke() ? 200 : 10000;
  const int keys = context.Smoke() ? 5 : 100;
  QTemporaryDir dir;
  TSettings settings;
  settings.TempDir = dir.path() + QLatin1Char('/');
  TMainWin mainWin(settings);
  mainWin.show();
  QApplication::processEvents();

  const TEditorRun longRun = MeasureEditor(mainWin, dir.filePath(QStringLiteral("long.asm")), longLines, keys);
  const TEditorRun shortRun = MeasureEditor(mainWin, dir.filePath(QStringLiteral("short.asm")), 10, keys);
  mainWin.SetMemoryModified(false);
  context.Report("editor_load_10000_lines_ms", longRun.LoadMs);
  context.Report("editor_keystroke_us_10000_lines", longRun.KeystrokeUs);
  context.Report("editor_keystroke_us_10_lines", shortRun.KeystrokeUs);
  context.Report("editor_keystroke_ratio", longRun.KeystrokeUs / shortRun.KeystrokeUs);
}

}  // namespace

ORVIK_BENCH_CASE(editor_typing, EditorTyping, true);

#endif
