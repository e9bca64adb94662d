#include "Bench.h"

#include "controls/HexGrid.h"
#include "controls/ShowText.h"
#include "desktop/Settings.h"
#include "mainwin/MainWin.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

// Counts the paints a widget receives.
class TPaintCounter final : public QObject {
 public:
  int Count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Count;
    return false;
  }
};

// Posts a click on a button, as the window system would deliver it: the
// click waits behind whatever the event loop is doing.
void PostClick(QPushButton* button) {
  const QPointF pos = QRectF(button->rect()).center();
  const QPointF global = button->mapToGlobal(pos);
  QCoreApplication::postEvent(
      button, new QMouseEvent(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  QCoreApplication::postEvent(
      button, new QMouseEvent(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

// The Output test's loop, with a store into memory added so that every
// kind of view update happens on every pass:
//   00 load RF,0 / 02 load R7,1 / 04 addi RF,RF,R7 / 06 store RF,[80] / 08 jmp 04
void RunEndlessOutputLoop(TBenchContext& context) {
  TSettings settings;
  TMainWin main(settings);
  main.show();
  if (!QTest::qWaitForWindowExposed(&main)) return;
  const int program[] = {0x2F, 0x00, 0x27, 0x01, 0x5F, 0xF7, 0x3F, 0x80, 0xB0, 0x04};
  for (int adr = 0; adr < static_cast<int>(std::size(program)); ++adr)
    main.MainMemory()->SetContents(adr, program[adr]);
  main.SetMemoryModified(false);

  const uint64_t executedBefore = main.Session().Executed();
  TPaintCounter memoryPaints;
  TPaintCounter terminalPaints;
  main.MainMemory()->installEventFilter(&memoryPaints);
  main.OutputBox()->installEventFilter(&terminalPaints);

  const int runMs = context.Smoke() ? 100 : 2000;
  QTest::mouseClick(main.RunButton(), Qt::LeftButton);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < runMs) QApplication::processEvents(QEventLoop::AllEvents, 50);
  const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  const uint64_t ranInstructions = main.Session().Executed() - executedBefore;
  const int memoryRepaints = memoryPaints.Count;
  const int terminalRepaints = terminalPaints.Count;

  // The click comes from another thread at a moment the run does not
  // choose, as a user's would; the latency runs from posting it to the
  // Break handler.
  std::atomic<qint64> postedAt{0};
  qint64 handledAt = 0;
  QElapsedTimer breakClock;
  breakClock.start();
  QObject::connect(main.BreakButton(), &QPushButton::clicked, &main, [&] { handledAt = breakClock.nsecsElapsed(); });
  std::thread clicker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(7));
    postedAt = breakClock.nsecsElapsed();
    PostClick(main.BreakButton());
  });
  while (main.Running() && breakClock.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 5);
  clicker.join();
  const double breakMs = static_cast<double>(handledAt - postedAt) / 1e6;

  context.Report("gui_run_instructions_per_second", static_cast<double>(ranInstructions) / seconds);
  context.Report("memory_grid_repaints_per_second", memoryRepaints / seconds);
  context.Report("terminal_repaints_per_second", terminalRepaints / seconds);
  context.Report("break_latency_ms", breakMs);
  main.close();
}

}  // namespace

ORVIK_BENCH_CASE(gui_run, RunEndlessOutputLoop, true);
