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
    const int adr = MainMemory->MenuAddress();
    MenuBreakHere->setChecked(FSession->Breakpoint(adr));
    MenuWatchMemory->setChecked(FSession->Watched(csMemory, adr));
  });
  connect(MenuBreakHere, &QAction::triggered, this, [this] { ToggleBreakpoint(MainMemory->MenuAddress()); });
  connect(MenuWatchMemory, &QAction::triggered, this, [this] { ToggleWatch(csMemory, MainMemory->MenuAddress()); });

  RegistersPopup->addSeparator();
  MenuWatchRegister = RegistersPopup->addAction(QStringLiteral("Stop when written"));
  MenuWatchRegister->setCheckable(true);
  connect(RegistersPopup, &QMenu::aboutToShow, this,
          [this] { MenuWatchRegister->setChecked(FSession->Watched(csRegister, Registers->MenuAddress())); });
  connect(MenuWatchRegister, &QAction::triggered, this, [this] { ToggleWatch(csRegister, Registers->MenuAddress()); });

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
  MainMemory->OnDrawCell = watchMark(csMemory);
  Registers->OnDrawCell = watchMark(csRegister);
}

void TMainWin::ToggleBreakpoint(int address) {
  const bool on = !FSession->Breakpoint(address);
  FSession->SetBreakpoint(address, on);
  if (((address ^ FSession->PC()) & 1) == 0) DisasmWin->SetRowMarked(DisasmRowOf(address), on);
  ShowSourceBreakpoints();
  SetStatus(QString::fromStdString(BreakpointWords(address, on)), Qt::black);
}

void TMainWin::ToggleWatch(TCellSpace space, int address) {
  const bool on = !FSession->Watched(space, address);
  FSession->SetWatch(space, address, on);
  SetStatus(QString::fromStdString(WatchWords(space, address, on)), Qt::black);
  THexGrid* grid = space == csRegister ? Registers : MainMemory;
  grid->update(grid->CellRect(address));
}

void TMainWin::RemoveAllBreakpoints() {
  for (int adr = 0; adr < MemorySize; ++adr) {
    FSession->SetBreakpoint(adr, false);
    FSession->SetWatch(csMemory, adr, false);
  }
  for (int n = 0; n < RegisterCount; ++n) FSession->SetWatch(csRegister, n, false);
  for (int row = 0; row < DisasmWin->RowCount(); ++row) DisasmWin->SetRowMarked(row, false);
  MainMemory->update();
  Registers->update();
  ShowSourceBreakpoints();
}

void TMainWin::RunToSelectedRow() {
  if (FRunning || DisasmWin->SelectedRow() < 0) return;
  RunToAddress((2 * DisasmWin->SelectedRow() + (FSession->PC() & 1)) & 0xFF);
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
  if (((FRunToAddress ^ FSession->PC()) & 1) == 0) DisasmWin->SetRowMarked(DisasmRowOf(FRunToAddress), false);
  FRunToAddress = -1;
  ShowSourceBreakpoints();
}
