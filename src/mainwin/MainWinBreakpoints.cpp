#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "machine/StopWords.h"
#include "mainwin/DisasmList.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPainter>

#include <algorithm>

namespace {

const QColor WatchMarkColor(220, 0, 0);

}  // namespace

void TMainWin::CreateBreakpointCommands() {
  FMenuRunToRow = FRunMenu->addAction(QStringLiteral("Run &to row"));
  FMenuRunToRow->setShortcut(QKeySequence(Qt::Key_F4));
  FMenuRunToRow->setStatusTip(QStringLiteral("Run until PC reaches the selected disassembly row"));
  FMenuRunToRow->setToolTip(FMenuRunToRow->statusTip());
  FMenuRemoveBreakpoints = FRunMenu->addAction(QStringLiteral("Remove all brea&kpoints"));
  FMenuRemoveBreakpoints->setStatusTip(QStringLiteral("Remove every breakpoint and every watch"));
  FMenuRemoveBreakpoints->setToolTip(FMenuRemoveBreakpoints->statusTip());
  FSpeedMenu = FRunMenu->addMenu(QStringLiteral("S&peed"));
  auto* speeds = new QActionGroup(this);
  for (int speed : {1, 2, 5, 10, 20, 50, 100, 1000, 0}) {
    QAction* item = FSpeedMenu->addAction(speed == 0 ? QStringLiteral("Max") : QStringLiteral("%1/s").arg(speed));
    item->setCheckable(true);
    item->setChecked(speed == 0);
    item->setData(speed);
    speeds->addAction(item);
    connect(item, &QAction::triggered, this, [this, speed] { SetRunSpeed(speed); });
  }
  connect(FMenuRunToRow, &QAction::triggered, this, [this] { RunToSelectedRow(); });
  connect(FMenuRemoveBreakpoints, &QAction::triggered, this, [this] { RemoveAllBreakpoints(); });
  FDisasmWin->OnRowToolTip = [this](int row) { return DisasmRowToolTip(row); };
  connect(FDisasmWin, &TDisasmList::RowMarginClicked, this, [this](int row) {
    const int adr = (2 * row + (FSession->PC() & 1)) & 0xFF;
    ToggleBreakpoint(adr);
  });

  // The grids' pop-up menus grow at their ends, below the described items.
  FMainMemoryPopup->addSeparator();
  FMenuBreakHere = FMainMemoryPopup->addAction(QStringLiteral("Break here"));
  FMenuBreakHere->setCheckable(true);
  FMenuWatchMemory = FMainMemoryPopup->addAction(QStringLiteral("Stop when written"));
  FMenuWatchMemory->setCheckable(true);
  connect(FMainMemoryPopup, &QMenu::aboutToShow, this, [this] {
    const int adr = FMainMemory->MenuAddress();
    FMenuBreakHere->setChecked(FSession->Breakpoint(adr));
    FMenuWatchMemory->setChecked(FSession->Watched(csMemory, adr));
  });
  connect(FMenuBreakHere, &QAction::triggered, this, [this] { ToggleBreakpoint(FMainMemory->MenuAddress()); });
  connect(FMenuWatchMemory, &QAction::triggered, this, [this] { ToggleWatch(csMemory, FMainMemory->MenuAddress()); });

  FRegistersPopup->addSeparator();
  FMenuWatchRegister = FRegistersPopup->addAction(QStringLiteral("Stop when written"));
  FMenuWatchRegister->setCheckable(true);
  connect(FRegistersPopup, &QMenu::aboutToShow, this,
          [this] { FMenuWatchRegister->setChecked(FSession->Watched(csRegister, FRegisters->MenuAddress())); });
  connect(FMenuWatchRegister, &QAction::triggered, this,
          [this] { ToggleWatch(csRegister, FRegisters->MenuAddress()); });

  // A watched cell carries a dot in its corner, as a breakpoint row does in
  // the disassembly margin; the cell's own colours stay as they are.
  auto watchMark = [this](TCellSpace space) {
    return [this, space](THexGrid* grid, int col, int row, const QRect& rect, TGridDrawState, QPainter& painter) {
      if (!FSession->Watched(space, grid->coor2adr(col, row))) return;
      painter.save();
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setPen(Qt::NoPen);
      painter.setBrush(WatchMarkColor);
      const int d = std::max(4, rect.height() / 3);
      painter.drawEllipse(QRect(rect.right() - d, rect.top() + 1, d, d));
      painter.restore();
    };
  };
  FMainMemory->OnDrawCell = watchMark(csMemory);
  FRegisters->OnDrawCell = watchMark(csRegister);
}

void TMainWin::ToggleBreakpoint(int address) {
  const bool on = !FSession->Breakpoint(address);
  FSession->SetBreakpoint(address, on);
  if (((address ^ FSession->PC()) & 1) == 0) FDisasmWin->SetRowMarked(DisasmRowOf(address), on);
  ShowSourceBreakpoints();
  SetStatus(QString::fromStdString(BreakpointWords(address, on)), Qt::black);
}

void TMainWin::ToggleWatch(TCellSpace space, int address) {
  const bool on = !FSession->Watched(space, address);
  FSession->SetWatch(space, address, on);
  SetStatus(QString::fromStdString(WatchWords(space, address, on)), Qt::black);
  THexGrid* grid = space == csRegister ? FRegisters : FMainMemory;
  grid->update(grid->CellRect(address));
}

void TMainWin::RemoveAllBreakpoints() {
  for (int adr = 0; adr < MemorySize; ++adr) {
    FSession->SetBreakpoint(adr, false);
    FSession->SetWatch(csMemory, adr, false);
  }
  for (int n = 0; n < RegisterCount; ++n) FSession->SetWatch(csRegister, n, false);
  for (int row = 0; row < FDisasmWin->RowCount(); ++row) FDisasmWin->SetRowMarked(row, false);
  FMainMemory->update();
  FRegisters->update();
  ShowSourceBreakpoints();
}

void TMainWin::RunToSelectedRow() {
  if (FRunning || FDisasmWin->SelectedRow() < 0) return;
  RunToAddress((2 * FDisasmWin->SelectedRow() + (FSession->PC() & 1)) & 0xFF);
}

void TMainWin::RunToAddress(int adr) {
  if (FRunning) return;
  if (!FSession->Breakpoint(adr)) {
    FSession->SetBreakpoint(adr, true);
    FRunToAddress = adr;
  }
  RunSimulator();
}

void TMainWin::EndRunToRow() {
  if (FRunToAddress < 0) return;
  FSession->SetBreakpoint(FRunToAddress, false);
  if (((FRunToAddress ^ FSession->PC()) & 1) == 0) FDisasmWin->SetRowMarked(DisasmRowOf(FRunToAddress), false);
  FRunToAddress = -1;
  ShowSourceBreakpoints();
}
