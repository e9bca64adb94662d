#include "Bench.h"

#include "controls/HexGrid.h"
#include "desktop/Settings.h"
#include "mainwin/DisasmList.h"
#include "mainwin/MainWin.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPaintEvent>
#include <QPushButton>
#include <QTest>

#include <cstdint>
#include <set>

namespace {

// Notes, for every paint of the disassembly list that draws the row of the
// session's PC as the selected row, how many instructions had run by then.
class TPcRowPaints final : public QObject {
 public:
  explicit TPcRowPaints(const TMainWin& main) : FMain(main) {}
  std::set<uint64_t> Painted;

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    const TDisasmList* list = FMain.DisasmWin();
    const int row = (FMain.Session().PC() & 0xFF) / 2;
    const auto* paint = static_cast<QPaintEvent*>(event);
    if (list->SelectedRow() == row && paint->region().intersects(list->RowRect(row)))
      Painted.insert(FMain.Session().Executed());
    return false;
  }

 private:
  const TMainWin& FMain;
};

// Run > Speed 10/s on a loop of three instructions: at that speed every
// instruction should be seen, so the PC row must be painted after each one
// before the next runs.
void RunSlowly(TBenchContext& context) {
  TSettings settings;
  TMainWin main(settings);
  main.show();
  if (!QTest::qWaitForWindowExposed(&main)) return;
  // 00 load R1,1 / 02 addi R2,R2,R1 / 04 store R2,[80] / 06 jmp 02
  const int program[] = {0x21, 0x01, 0x52, 0x21, 0x32, 0x80, 0xB0, 0x02};
  for (int adr = 0; adr < static_cast<int>(std::size(program)); ++adr)
    main.MainMemory()->SetContents(adr, program[adr]);
  main.SetMemoryModified(false);
  main.SetRunSpeed(10);

  TPcRowPaints paints(main);
  main.DisasmWin()->viewport()->installEventFilter(&paints);
  const uint64_t before = main.Session().Executed();
  const int runMs = context.Smoke() ? 300 : 3000;
  QTest::mouseClick(main.RunButton(), Qt::LeftButton);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < runMs) QApplication::processEvents(QEventLoop::AllEvents, 20);
  QTest::mouseClick(main.BreakButton(), Qt::LeftButton);
  // The last instruction's paint may still be on its way.
  QApplication::processEvents();
  main.DisasmWin()->viewport()->removeEventFilter(&paints);

  const uint64_t ran = main.Session().Executed() - before;
  uint64_t shown = 0;
  for (uint64_t n = before + 1; n <= before + ran; ++n) shown += paints.Painted.count(n);
  context.Report("slow_run_instructions", static_cast<double>(ran));
  context.Report("slow_run_frame_accuracy", ran == 0 ? 0.0 : static_cast<double>(shown) / static_cast<double>(ran));
  main.close();
}

}  // namespace

ORVIK_BENCH_CASE(slow_run, RunSlowly, true);
