// TMainWin: the View menu, and colours that follow the palette.
#include "controls/Zoom.h"
#include "desktop/Settings.h"
#include "desktop/ViewMenu.h"
#include "mainwin/MainWin.h"
#include "mainwin/SpeedBar.h"
#include "mainwin/TracePane.h"

#include <QLayout>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

void TMainWin::CreateViewMenu() {
  // Before the zoom of the view menu, which then scales it too.
  FSpeedBar = new TSpeedBar({0, 1000, 100, 50, 20, 10, 5, 2, 1}, {FMenuStepBack, FMenuBackToStart}, this);
  addToolBar(Qt::TopToolBarArea, FSpeedBar);
  FSpeedBar->hide();
  connect(FSpeedBar, &TSpeedBar::SpeedChosen, this, [this](int perSecond) { SetRunSpeed(perSecond); });
  // Between Edit and Run, where desktop programs keep it; the described
  // menus keep their items.
  FViewMenu = new TViewMenu(this, menuBar(), FRunMenu->menuAction(), FSettings);
  FViewMenu->Menu()->addSeparator();
  // The pane's own show/hide item: it follows the pane's close button too.
  FMenuTrace = FTraceWin->toggleViewAction();
  FMenuTrace->setText(QStringLiteral("&Trace"));
  const QString hint = QStringLiteral("Show what each instruction did, in words");
  FMenuTrace->setToolTip(hint);
  FMenuTrace->setStatusTip(hint);
  FViewMenu->Menu()->addAction(FMenuTrace);
  // The window grows downwards for the pane; what grows past the screen's
  // edge comes back up.
  // (On triggered: the pane shows itself on that signal, before this.)
  connect(FMenuTrace, &QAction::triggered, this, [this](bool on) {
    if (!on || !isVisible()) return;
    layout()->activate();
    TZoom::KeepOnScreen(this);
  });
  // Remembered once the student shows or closes it (also with its own
  // close button; not when the window goes, which hides it too), so a first
  // run writes no key for it.
  connect(FMenuTrace, &QAction::triggered, this, [this](bool on) { FSettings.TracePane = on; });
  connect(FTraceWin, &TTracePane::Closed, this, [this] { FSettings.TracePane = false; });

  // The bar's own show/hide item (also in the tool-bar area's pop-up menu);
  // only a student's choice is remembered.
  FMenuSpeedBar = FSpeedBar->toggleViewAction();
  FMenuSpeedBar->setText(QStringLiteral("&Speed Bar"));
  FMenuSpeedBar->setStatusTip(QStringLiteral("Show the run speed and the step back buttons in a bar"));
  FMenuSpeedBar->setToolTip(FMenuSpeedBar->statusTip());
  FViewMenu->Menu()->addAction(FMenuSpeedBar);
  connect(FMenuSpeedBar, &QAction::triggered, this, [this](bool on) { FSettings.SpeedBar = on; });
}

void TMainWin::ApplyStoredSettings() {
  FViewMenu->ApplyStored();
  const std::optional<int> stored = FSettings.RunSpeed;
  const int speed = stored.value_or(0);
  if (stored && FSpeedMenu && std::ranges::any_of(FSpeedMenu->actions(), [speed](const QAction* item) {
        return item->data().toInt() == speed;
      }))
    SetRunSpeed(speed);
  if (FSettings.SpeedBar.value_or(false)) FSpeedBar->show();
  if (FSettings.TracePane.value_or(false)) FTraceWin->show();
}
