#include "mainwin/MainWin.h"

#include "controls/ShowText.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

namespace {

const QString ClearOutputHint = QStringLiteral("Empty the output terminal (Undo brings the text back)");
const QString CopyOutputHint = QStringLiteral("Copy the text of the output terminal to the clipboard");

QAction* AddTerminalItem(QMenu* menu, const QString& caption, const QString& hint) {
  QAction* action = menu->addAction(caption);
  action->setToolTip(hint);
  action->setStatusTip(hint);
  return action;
}

}  // namespace

void TMainWin::CreateTerminalCommands() {
  // Below the items students know, so that those keep their places.
  FRunMenu->addSeparator();
  FMenuClearOutput = AddTerminalItem(FRunMenu, QStringLiteral("Clear o&utput"), ClearOutputHint);
  FMenuCopyOutput = AddTerminalItem(FRunMenu, QStringLiteral("Cop&y output"), CopyOutputHint);
  connect(FMenuClearOutput, &QAction::triggered, this, [this] { ClearOutput(); });
  connect(FMenuCopyOutput, &QAction::triggered, this, [this] { CopyOutput(); });

  auto* menu = new QMenu(FOutputBox);
  menu->setToolTipsVisible(true);
  connect(AddTerminalItem(menu, QStringLiteral("Clear &output"), ClearOutputHint), &QAction::triggered, this,
          [this] { ClearOutput(); });
  connect(AddTerminalItem(menu, QStringLiteral("&Copy"), CopyOutputHint), &QAction::triggered, this,
          [this] { CopyOutput(); });
  FOutputBox->SetContextMenu(menu);
}

void TMainWin::FollowOutput() {
  // A new size or font first, so that the bytes wrap as the student sees it.
  FOutputBox->Fit();
  std::string written;
  if (FTerminal.Follow(*FSession, &written))
    FOutputBox->Redrawn();
  else
    FOutputBox->Wrote(written);
}

void TMainWin::ClearOutput() {
  // The terminal first catches up with the output, so that the clearing
  // sits at the point of the output where the student saw it.
  SyncViews();
  FTerminal.Clear();
  FSession->Edit(eaClearOutput, {});
  FOutputBox->Redrawn();
  SyncViews();
  SetStatus(QStringLiteral("Output cleared"), Qt::black);
}

void TMainWin::OutputUncleared() {
  if (FTerminal.Unclear()) FOutputBox->Redrawn();
}

void TMainWin::OutputClearedAgain() {
  FTerminal.Clear();
  FOutputBox->Redrawn();
}

void TMainWin::CopyOutput() {
  QGuiApplication::clipboard()->setText(FOutputBox->VisibleText());
  SetStatus(QStringLiteral("Output copied"), Qt::black);
}
