// The assembler editor with sources that are long in odd ways: typing in the
// longest line it still lets the user edit, a file of one 5 MB line (opened
// read-only) left idle, and a file of a million empty lines.
#include "Bench.h"
#include "TypeKey.h"

#ifdef ORVIK_BENCH_GUI

#include "desktop/Platform.h"
#include "desktop/Settings.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"
#include "mainwin/MainWin.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <functional>
#include <stdexcept>

namespace {

// Answers every box at once: the read-only notice would wait for a click.
class TQuietPlatform final : public TPlatform {
 public:
  TQuietPlatform() { SetPlatform(this); }
  ~TQuietPlatform() override { SetPlatform(nullptr); }
  TAnswer AskYesNoCancel(QWidget*, const QString&, const QString&, TMsgIcon) override { return TAnswer::No; }
  void ShowMessage(QWidget*, const QString&, const QString&, TMsgIcon) override {}
  TFileDialogResult OpenFileDialog(QWidget*, const TFileDialogRequest&) override { return {}; }
  TFileDialogResult SaveFileDialog(QWidget*, const TFileDialogRequest&) override { return {}; }
  bool PrintDialog(QWidget*, QPrinter*) override { return false; }
  int OpenDocument(const QString&) override { return 42; }
  bool StartTextEditor(const QString&, std::function<void()>) override { return false; }
  void ShowHelpTopic(int) override {}
};

using TClock = std::chrono::steady_clock;

double MillisecondsSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QString WriteSource(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  const QString path = dir.filePath(QString::fromLatin1(name));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
    throw std::runtime_error("cannot write the benchmark source");
  return path;
}

// The share of one core the process used while the event loop only waited.
double IdleCpuPercent(int milliseconds) {
  const double before = ProcessCpuSeconds();
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
  return 100.0 * (ProcessCpuSeconds() - before) * 1000 / milliseconds;
}

TAssemblerEditor* Load(TMainWin& mainWin, const QString& path, double& loadMs) {
  TAssemblerEditor* editor = mainWin.AssemblerButtonClick();
  QApplication::processEvents();
  const TClock::time_point start = TClock::now();
  if (!editor->LoadAsmFile(path)) throw std::runtime_error("cannot load the benchmark source");
  QApplication::processEvents();
  loadMs = MillisecondsSince(start);
  return editor;
}

void Close(TAssemblerEditor* editor) {
  editor->SetModified(false);
  editor->close();
  QApplication::processEvents();
}

void EditorLongLines(TBenchContext& context) {
  const bool smoke = context.Smoke();
  TQuietPlatform quiet;
  QTemporaryDir dir;
  TSettings settings;
  settings.TempDir = dir.path() + QLatin1Char('/');
  TMainWin mainWin(settings);
  mainWin.show();
  QApplication::processEvents();
  double loadMs = 0;

  // Typing at the end of the longest editable line.
  QByteArray longest;
  // Dense with coloured runs, the dearest kind of line to lay out.
  while (longest.size() + 20 <= TAssemblerEditor::MaxEditableLineLength) longest += "db 1,'ab',0x7F,12A3 ";
  TAssemblerEditor* editor = Load(mainWin, WriteSource(dir, "longest.asm", longest + "\r\nhalt\r\n"), loadMs);
  if (editor->ReadOnly()) throw std::logic_error("the longest editable line opened read-only");
  QTextCursor cursor(editor->Document()->firstBlock());
  cursor.movePosition(QTextCursor::EndOfBlock);
  editor->TextEditor->setTextCursor(cursor);
  QApplication::processEvents();
  const int keys = smoke ? 3 : 20;
  const TClock::time_point start = TClock::now();
  for (int k = 0; k < keys; ++k) TypeKey(editor->TextEditor, static_cast<char>('a' + k % 26));
  context.Report("editor_keystroke_ms_longest_editable_line", MillisecondsSince(start) / keys);
  context.Report("editor_idle_cpu_percent_longest_editable_line", IdleCpuPercent(smoke ? 100 : 2000));
  Close(editor);

  // One huge line: opened read-only, then nothing may keep the process busy.
  const QByteArray huge(smoke ? 20000 : 5 << 20, 'x');
  editor = Load(mainWin, WriteSource(dir, "huge.asm", huge), loadMs);
  context.Report("editor_load_5mb_line_ms", loadMs);
  context.Report("editor_idle_cpu_percent_5mb_line", IdleCpuPercent(smoke ? 100 : 2000));
  Close(editor);

  // A million empty lines.
  const int lines = smoke ? 1000 : 1000000;
  editor = Load(mainWin, WriteSource(dir, "empty.asm", QByteArray(lines * 2, '\n').replace("\n\n", "\r\n")), loadMs);
  context.Report("editor_load_1m_empty_lines_ms", loadMs);
  Close(editor);
  mainWin.SetMemoryModified(false);
}

}  // namespace

ORVIK_BENCH_CASE(editor_long_lines, EditorLongLines, true);

#endif
