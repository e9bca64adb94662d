#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "desktop/ContextHelp.h"
#include "desktop/HelpHook.h"
#include "machine/EditWords.h"
#include "machine/TraceFormat.h"
#include "machine/ValueReadings.h"
#include "mainwin/DisasmList.h"
#include "mainwin/TracePane.h"

#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace {

const QColor StopColor(255, 0, 0);

QString ActionName(TEditAction action) { return QString::fromLatin1(EditActionName(action)); }

QAction* AddItem(QMenu* menu, const QString& caption, const QList<QKeySequence>& keys, const QString& hint) {
  QAction* action = menu->addAction(caption);
  action->setShortcuts(keys);
  action->setToolTip(hint);
  action->setStatusTip(hint);
  return action;
}

}  // namespace

void TMainWin::CreateDebugCommands() {
  // The new items go below the ones students know, so that those keep
  // their places in the menus.
  FEditMenu->addSeparator();
  FMenuUndo = AddItem(FEditMenu, QStringLiteral("&Undo"), {QKeySequence(QStringLiteral("Ctrl+Z"))},
                      QStringLiteral("Undo your last change of memory or registers"));
  FMenuRedo = AddItem(FEditMenu, QStringLiteral("&Redo"),
                      {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))},
                      QStringLiteral("Make an undone change again"));
  connect(FMenuUndo, &QAction::triggered, this, [this] { UndoEditClick(); });
  connect(FMenuRedo, &QAction::triggered, this, [this] { RedoEditClick(); });
  connect(FEditMenu, &QMenu::aboutToShow, this, [this] { UpdateUndoItems(); });
  // As with the clipboard items, the keys stay live while the menu is closed.
  connect(FEditMenu, &QMenu::aboutToHide, this, [this] {
    FMenuUndo->setEnabled(true);
    FMenuRedo->setEnabled(true);
  });

  FRunMenu->addSeparator();
  FMenuStepBack = AddItem(FRunMenu, QStringLiteral("Step &Back"), {QKeySequence(QStringLiteral("Shift+F8"))},
                          QStringLiteral("Undo the last executed instruction"));
  FMenuBackToStart = AddItem(FRunMenu, QStringLiteral("Back to s&tart of run"), {},
                             QStringLiteral("Undo every instruction since the program was last changed"));
  connect(FMenuStepBack, &QAction::triggered, this, [this] { StepBackSimulator(); });
  connect(FMenuBackToStart, &QAction::triggered, this, [this] { BackToStartOfRun(); });

  // Its View > Trace item is made with the View menu (CreateViewMenu).
  FTraceWin = new TTracePane(this);
  addDockWidget(Qt::BottomDockWidgetArea, FTraceWin);
  FTraceWin->hide();
  FStatusValue = new QLabel(statusBar());
  FStatusValue->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  FStatusValue->setMargin(1);
  FStatusValue->hide();
  statusBar()->addPermanentWidget(FStatusValue);
  SetHelpContext(FTraceWin, hcTraceWindow);
  // The trace can float as a window of its own: F1 and "What's this?" work
  // in it there too.
  TContextHelp::OfferF1(FTraceWin);
  SetHelpContext(FStatusValue, hcDebugging);
  // Hovering a cell reads its value the same ways, in a tooltip.
  FMainMemory->SetCellToolTip([this](int adr) { return ValueReadings(FSession->Memory(adr)); });
  FRegisters->SetCellToolTip([this](int adr) { return ValueReadings(FSession->Register(adr)); });
  FRegisters->OnSelectCell = [this](THexGrid*, int col, int row, bool&) {
    InspectCell(csRegister, FRegisters->coor2adr(col, row));
  };
}

void TMainWin::UpdateUndoItems() {
  TEditAction action{};
  const bool canUndo = !FRunning && FSession->NewestEdit(action);
  FMenuUndo->setEnabled(canUndo);
  FMenuUndo->setText(canUndo ? QStringLiteral("&Undo ") + ActionName(action) : QStringLiteral("&Undo"));
  const bool canRedo = !FRunning && FSession->CanRedo();
  FMenuRedo->setEnabled(canRedo);
  FMenuRedo->setText(canRedo ? QStringLiteral("&Redo ") + ActionName(FSession->RedoEdits().back().Action)
                             : QStringLiteral("&Redo"));
}

void TMainWin::TraceLastStep() {
  TStepTrace trace;
  if (!FSession->LastStep(trace)) return;
  // "line 6, NextChar: ..." when the instruction came from the source in memory.
  const std::string place = FDebug->TraceTag(trace.Address);
  const std::string line = FormatTraceLine(trace, FSession->RegisterCells());
  FTraceWin->AddLine(QString::fromStdString(place.empty() ? line : place + ": " + line), FSession->Executed());
}

QString TMainWin::ValueReadings(int32_t value) { return QString::fromStdString(::ValueReadings(value)); }

void TMainWin::InspectCell(TCellSpace space, int address) {
  FInspectedSpace = space;
  FInspectedAddress = address;
  UpdateValuePanel();
}

void TMainWin::UpdateValuePanel() {
  if (!FStatusValue || FInspectedSpace == csNone) return;
  const QString text = ValueReadings(FSession->Cell(FInspectedSpace, FInspectedAddress));
  if (FStatusValue->text() != text) {
    FStatusValue->setText(text);
    FStatusValue->setToolTip(text);
  }
  FStatusValue->show();
}

void TMainWin::ShowStepsBack(const QString& what) {
  SetStatus(QString::fromStdString(StepBackWords(what.toStdString(), *FSession)), Qt::black);
}

void TMainWin::StepBackSimulator() {
  // Going back ends a run, as Break would.
  if (FRunning) BreakSimulator();
  TakeTypedCells();
  if (!FSession->StepBack()) {
    SetStatus(QString::fromLatin1(NoStepBackWords), StopColor);
    return;
  }
  FTraceWin->TakeBackTo(FSession->Executed());
  SyncViews();
  ShowStepsBack(QStringLiteral("Stepped back"));
}

void TMainWin::BackToStartOfRun() {
  if (FRunning) BreakSimulator();
  TakeTypedCells();
  // Every instruction since the last edit: the point a student started
  // the program from. The views catch up once, at the end.
  uint64_t undone = 0;
  while (FSession->StepBack()) ++undone;
  FTraceWin->Clear(FSession->Executed());
  SyncViews();
  SetStatus(QString::fromStdString(BackToStartWords(undone, *FSession)), undone == 0 ? StopColor : Qt::black);
}

void TMainWin::UndoEditClick() {
  if (FRunning) return;
  TakeTypedCells();
  TEditAction action{};
  if (!FSession->NewestEdit(action)) {
    // Instructions ran after the last edit: those go back with Step Back.
    SetStatus(QString::fromStdString(UndoWords(*FSession)), StopColor);
    return;
  }
  // Each command of the student's (a Clear, an Open, an Assemble) is one
  // edit of the session, so one Undo takes back exactly one of them.
  const auto before = FSession->MemoryCells();
  const QString words = QString::fromStdString(UndoWords(*FSession));
  FSession->Undo();
  if (action == eaClearOutput) OutputUncleared();
  // Memory that changed is no longer what a file holds.
  if (FSession->MemoryCells() != before) SetMemoryModified(true);
  SyncViews();
  SetStatus(words, Qt::black);
}

void TMainWin::RedoEditClick() {
  if (FRunning) return;
  if (!FSession->CanRedo()) {
    SetStatus(QString::fromStdString(RedoWords(*FSession)), StopColor);
    return;
  }
  const TEditAction action = FSession->RedoEdits().back().Action;
  const auto before = FSession->MemoryCells();
  const QString words = QString::fromStdString(RedoWords(*FSession));
  FSession->Redo();
  if (action == eaClearOutput) OutputClearedAgain();
  if (FSession->MemoryCells() != before) SetMemoryModified(true);
  SyncViews();
  SetStatus(words, Qt::black);
}
