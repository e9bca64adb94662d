#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "mainwin/DisasmList.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {

QString Hex2(int value) { return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

void TMainWin::CreateBreakpointCommands() {
  MenuRunToRow = RunMenu->addAction(QStringLiteral("Run &to row"));
  MenuRunToRow->setShortcut(QKeySequence(Qt::Key_F4));
  MenuRunToRow->setStatusTip(QStringLiteral("Run until PC reaches the selected disassembly row"));
  MenuRunToRow->setToolTip(MenuRunToRow->statusTip());
  MenuRemoveBreakpoints = RunMenu->addAction(QStringLiteral("Remove all brea&kpoints"));
  MenuRemoveBreakpoints->setStatusTip(QStringLiteral("Remove every breakpoint and every watch"));
  MenuRemoveBreakpoints->setToolTip(MenuRemoveBreakpoints->statusTip());
  SpeedMenu = RunMenu->addMenu(QStringLiteral("S&peed"));
  auto* speeds = new QActionGroup(this);
  for (int speed : {1, 2, 5, 10, 20, 50, 100, 1000, 0}) {
    QAction* item = SpeedMenu->addAction(speed == 0 ? QStringLiteral("Max") : QStringLiteral("%1/s").arg(speed));
    item->setCheckable(true);
    item->setChecked(speed == 0);
    item->setData(speed);
    speeds->addAction(item);
    connect(item, &QAction::triggered, this, [this, speed] { SetRunSpeed(speed); });
  }
  connect(MenuRunToRow, &QAction::triggered, this, [this] { RunToSelectedRow(); });
  connect(MenuRemoveBreakpoints, &QAction::triggered, this, [this] { RemoveAllBreakpoints(); });
  DisasmWin->OnRowToolTip = [this](int row) { return DisasmRowToolTip(row); };
  connect(DisasmWin, &TDisasmList::RowMarginClicked, this, [this](int row) {
    const int adr = (2 * row + (FSession->PC() & 1)) & 0xFF;
    ToggleBreakpoint(adr);
  });

  // The grids' pop-up menus grow at their ends, below the described items.
  MainMemoryPopup->addSeparator();
  MenuBreakHere = MainMemoryPopup->addAction(QStringLiteral("Break here"));
  MenuBreakHere->setCheckable(true);
  MenuWatchMemory = MainMemoryPopup->addAction(QStringLiteral("Stop when written"));
  MenuWatchMemory->setCheckable(true);
  connect(MainMemoryPopup, &QMenu::aboutToShow, this, [this] {
    const int adr = MainMemory->coor2adr(MainMemory->Col(), MainMemory->Row());
    MenuBreakHere->setChecked(FSession->Breakpoint(adr));
    MenuWatchMemory->setChecked(FSession->Watched(csMemory, adr));
  });
  connect(MenuBreakHere, &QAction::triggered, this,
          [this] { ToggleBreakpoint(MainMemory->coor2adr(MainMemory->Col(), MainMemory->Row())); });
  connect(MenuWatchMemory, &QAction::triggered, this,
          [this] { ToggleWatch(csMemory, MainMemory->coor2adr(MainMemory->Col(), MainMemory->Row())); });

  RegistersPopup->addSeparator();
  MenuWatchRegister = RegistersPopup->addAction(QStringLiteral("Stop when written"));
  MenuWatchRegister->setCheckable(true);
  connect(RegistersPopup, &QMenu::aboutToShow, this, [this] {
    MenuWatchRegister->setChecked(
        FSession->Watched(csRegister, Registers->coor2adr(Registers->Col(), Registers->Row())));
  });
  connect(MenuWatchRegister, &QAction::triggered, this,
          [this] { ToggleWatch(csRegister, Registers->coor2adr(Registers->Col(), Registers->Row())); });
}

void TMainWin::ToggleBreakpoint(int address) {
  const bool on = !FSession->Breakpoint(address);
  FSession->SetBreakpoint(address, on);
  if (((address ^ FSession->PC()) & 1) == 0) DisasmWin->SetRowMarked(DisasmRowOf(address), on);
  ShowSourceBreakpoints();
  SetStatus(on ? QStringLiteral("Breakpoint set at ") + Hex2(address)
               : QStringLiteral("Breakpoint removed at ") + Hex2(address),
            Qt::black);
}

void TMainWin::ToggleWatch(TCellSpace space, int address) {
  const bool on = !FSession->Watched(space, address);
  FSession->SetWatch(space, address, on);
  const QString name = space == csRegister ? QStringLiteral("R%1").arg(address & 0x0F, 0, 16).toUpper()
                                           : QStringLiteral("Cell ") + Hex2(address);
  SetStatus(name + (on ? QStringLiteral(" watched") : QStringLiteral(" no longer watched")), Qt::black);
}

void TMainWin::RemoveAllBreakpoints() {
  for (int adr = 0; adr < MemorySize; ++adr) {
    FSession->SetBreakpoint(adr, false);
    FSession->SetWatch(csMemory, adr, false);
  }
  for (int n = 0; n < RegisterCount; ++n) FSession->SetWatch(csRegister, n, false);
  for (int row = 0; row < DisasmWin->RowCount(); ++row) DisasmWin->SetRowMarked(row, false);
  ShowSourceBreakpoints();
}

void TMainWin::RunToSelectedRow() {
  if (FRunning || DisasmWin->SelectedRow() < 0) return;
  const int adr = (2 * DisasmWin->SelectedRow() + (FSession->PC() & 1)) & 0xFF;
  // A breakpoint only for this run, unless the student set one there.
  if (!FSession->Breakpoint(adr)) {
    FSession->SetBreakpoint(adr, true);
    FRunToAddress = adr;
  }
  RunSimulator();
}

void TMainWin::EndRunToRow() {
  if (FRunToAddress < 0) return;
  FSession->SetBreakpoint(FRunToAddress, false);
  if (((FRunToAddress ^ FSession->PC()) & 1) == 0) DisasmWin->SetRowMarked(DisasmRowOf(FRunToAddress), false);
  FRunToAddress = -1;
  ShowSourceBreakpoints();
}

QString TMainWin::WatchStopText() const {
  TStepTrace trace;
  if (!FSession->LastStep(trace) || trace.Writes.size() < 3) return QStringLiteral("Watched cell written");
  const TTraceWrite& write = trace.Writes.back();
  const QString name = write.Space == csRegister ? QStringLiteral("R%1").arg(write.Address & 0x0F, 0, 16).toUpper()
                                                 : QStringLiteral("Cell ") + Hex2(write.Address);
  return name + QStringLiteral(" written at ") + Hex2(trace.Address);
}

QString TMainWin::BreakpointStopText() const { return QStringLiteral("Breakpoint at ") + Hex2(FSession->PC()); }
