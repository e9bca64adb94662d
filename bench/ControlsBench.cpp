// Cost of the display controls' writes: a grid holding its own cells (the
// main window's grids are views of the session and take changes once per
// frame) and the terminal, which output is written into byte by byte.
#include "Bench.h"

#ifdef ORVIK_BENCH_GUI

#include "controls/HexGrid.h"
#include "controls/ShowText.h"

#include <benchmark/benchmark.h>
#include <QApplication>

#include <chrono>
#include <cstdint>

namespace {

using TClock = std::chrono::steady_clock;

double NanosecondsPer(TClock::time_point start, long count) {
  return std::chrono::duration<double, std::nano>(TClock::now() - start).count() / static_cast<double>(count);
}

// Instruction-like traffic on a shown 16 x 16 grid: three reads and three
// writes per step, with a cell-changed handler, and the event loop given a
// turn every 20,000 steps as a time-sliced run does between slices.
void HexGridStoreTraffic(TBenchContext& context) {
  THexGrid grid;
  grid.SetColCount(16);
  grid.SetRowCount(16);
  grid.resize(grid.sizeHint());
  int64_t handled = 0;
  grid.OnCellChanged = [&](THexGrid*, int, int32_t old, int32_t value) { handled += value - old; };
  grid.show();
  QApplication::processEvents();

  const long steps = context.Smoke() ? 2000 : 5000000;
  uint32_t adr = 0;
  int32_t sum = 0;
  const TClock::time_point start = TClock::now();
  for (long i = 0; i < steps; ++i) {
    adr = (adr * 1103515245u + 12345u) & 0xFFu;
    sum += grid.GetContents(static_cast<int>(adr));
    sum += grid.GetContents(static_cast<int>((adr + 1) & 0xFF));
    sum += grid.GetContents(static_cast<int>((adr + 7) & 0xFF));
    grid.SetContents(static_cast<int>(adr), static_cast<int32_t>(i & 0xFF));
    grid.SetContents(static_cast<int>((adr + 3) & 0xFF), sum & 0xFF);
    grid.SetContents(static_cast<int>((adr + 11) & 0xFF), static_cast<int32_t>(adr));
    if (i % 20000 == 0) QApplication::processEvents();
  }
  const double perStep = NanosecondsPer(start, steps);
  benchmark::DoNotOptimize(sum);
  benchmark::DoNotOptimize(handled);
  context.Report("hexgrid_step_ns", perStep);
  context.Report("hexgrid_steps_per_second", 1e9 / perStep);
}

// One terminal byte per step, as the "Output test" example does.
void ShowTextWrites(TBenchContext& context) {
  TShowText text;
  text.resize(153, 57);
  text.show();
  QApplication::processEvents();
  const long writes = context.Smoke() ? 2000 : 5000000;
  const TClock::time_point start = TClock::now();
  for (long i = 0; i < writes; ++i) {
    text.Write(static_cast<char>(i & 0xFF));
    if (i % 20000 == 0) QApplication::processEvents();
  }
  const double perWrite = NanosecondsPer(start, writes);
  context.Report("showtext_write_ns", perWrite);
  context.Report("showtext_writes_per_second", 1e9 / perWrite);
}

}  // namespace

ORVIK_BENCH_CASE(HexGridStoreTraffic, HexGridStoreTraffic, true);
ORVIK_BENCH_CASE(ShowTextWrites, ShowTextWrites, true);

#endif
