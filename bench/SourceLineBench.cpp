// Run > Speed 10/s on a source assembled from the editor: every instruction
// should show its line, so the editor must paint the line of PC's
// instruction on its band after each one, before the next runs.
#include "Bench.h"

#include "desktop/Settings.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"
#include "mainwin/MainWin.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPaintEvent>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

#include <cstdint>
#include <set>

namespace {

// A loop of three instructions with a comment inside; LineOf[adr / 2] is
// the line (0-based) of the instruction at adr.
const QStringList LoopSource = {
    QStringLiteral("        load  R1,1"),       // 0: 00
    QStringLiteral("Loop:   addi  R2,R2,R1"),   // 1: 02
    QStringLiteral("; keep the sum"),           // 2
    QStringLiteral("        store R2,[0x80]"),  // 3: 04
    QStringLiteral("        jmp   Loop"),       // 4: 06
};
constexpr int LineOf[] = {0, 1, 3, 4};

// Notes, for every paint of the editor that draws the band on the line of
// the instruction at PC, how many instructions had run by then.
class TBandPaints final : public QObject {
 public:
  TBandPaints(const TMainWin& main, const TSourceEdit& text) : FMain(main), FText(text) {}
  std::set<uint64_t> Painted;

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    const int slot = (FMain.Session().PC() & 0xFF) / 2;
    if (slot >= static_cast<int>(std::size(LineOf))) return false;
    const int line = LineOf[slot];
    const QRect rect = FText.LineRect(FText.document()->findBlockByNumber(line));
    const auto* paint = static_cast<QPaintEvent*>(event);
    if (FText.CurrentLine() == line && paint->region().intersects(rect)) Painted.insert(FMain.Session().Executed());
    return false;
  }

 private:
  const TMainWin& FMain;
  const TSourceEdit& FText;
};

void RunSourceSlowly(TBenchContext& context) {
  TSettings settings;
  TMainWin main(settings);
  main.show();
  if (!QTest::qWaitForWindowExposed(&main)) return;
  TAssemblerEditor* editor = main.AssemblerButtonClick();
  if (!QTest::qWaitForWindowExposed(editor)) return;
  editor->LoadLines(LoopSource);
  // Nothing to save: Assemble asks no question.
  main.SetMemoryModified(false);
  QTest::mouseClick(editor->AssembleButton, Qt::LeftButton);
  QApplication::processEvents();
  main.SetRunSpeed(10);

  TBandPaints paints(main, *editor->TextEditor);
  editor->TextEditor->viewport()->installEventFilter(&paints);
  const uint64_t before = main.Session().Executed();
  const int runMs = context.Smoke() ? 300 : 3000;
  main.RunSimulator();
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < runMs) QApplication::processEvents(QEventLoop::AllEvents, 20);
  main.BreakSimulator();
  // The last instruction's paint may still be on its way.
  QApplication::processEvents();
  editor->TextEditor->viewport()->removeEventFilter(&paints);

  const uint64_t ran = main.Session().Executed() - before;
  uint64_t shown = 0;
  for (uint64_t n = before + 1; n <= before + ran; ++n) shown += paints.Painted.count(n);
  context.Report("source_line_instructions", static_cast<double>(ran));
  context.Report("source_line_frame_accuracy", ran == 0 ? 0.0 : static_cast<double>(shown) / static_cast<double>(ran));
  editor->SetModified(false);
  editor->close();
  main.close();
}

}  // namespace

ORVIK_BENCH_CASE(source_line, RunSourceSlowly, true);
