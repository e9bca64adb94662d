#include "desktop/ViewMenu.h"

#include "controls/ReadableColour.h"
#include "controls/Zoom.h"
#include "desktop/DarkPalette.h"
#include "desktop/Settings.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <algorithm>

TViewMenu::TViewMenu(QWidget* window, QMenuBar* bar, QAction* before, TSettings& settings)
    : QObject(window), FWindow(window), FSettings(settings) {
  FMenu = new QMenu(QStringLiteral("&View"), window);
  FMenu->setToolTipsVisible(true);
  bar->insertMenu(before, FMenu);
  // Ctrl+= is what a browser takes for zooming in; Ctrl++ (Ctrl+Shift+= on
  // most keyboards, the keypad's +) is taken too.
  FZoomIn = FMenu->addAction(QStringLiteral("Zoom &In"));
  FZoomIn->setShortcuts({QKeySequence(QStringLiteral("Ctrl+=")), QKeySequence(QStringLiteral("Ctrl++"))});
  FZoomOut = FMenu->addAction(QStringLiteral("Zoom &Out"));
  FZoomOut->setShortcut(QKeySequence(QStringLiteral("Ctrl+-")));
  FActualSize = FMenu->addAction(QStringLiteral("&Actual Size"));
  FActualSize->setShortcut(QKeySequence(QStringLiteral("Ctrl+0")));
  FMenu->addSeparator();
  FDarkColours = FMenu->addAction(QStringLiteral("&Dark Colours"));
  FDarkColours->setCheckable(true);
  for (QAction* action : {FZoomIn, FZoomOut, FActualSize}) action->setShortcutContext(Qt::WindowShortcut);
  FZoomIn->setStatusTip(QStringLiteral("Make everything in the windows larger"));
  FZoomOut->setStatusTip(QStringLiteral("Make everything in the windows smaller"));
  FActualSize->setStatusTip(QStringLiteral("Show the windows at their normal size"));
  FDarkColours->setStatusTip(QStringLiteral("Light text on a dark ground"));

  connect(FZoomIn, &QAction::triggered, this, [this] { SetZoom(FSettings, Zoom(FSettings) + TZoom::StepPercent); });
  connect(FZoomOut, &QAction::triggered, this, [this] { SetZoom(FSettings, Zoom(FSettings) - TZoom::StepPercent); });
  connect(FActualSize, &QAction::triggered, this, [this] { SetZoom(FSettings, TZoom::MinPercent); });
  connect(FDarkColours, &QAction::toggled, this, [this](bool on) {
    if (on != Dark(FSettings)) SetDark(FSettings, on);
  });

  Instances().push_back(this);
  ApplyStored();
}

void TViewMenu::ApplyStored() {
  // Zooming is absolute (from the window's first size), so applying a zoom
  // already applied changes nothing.
  if (Zoom(FSettings) != TZoom::MinPercent) TZoom::Apply(FWindow, Zoom(FSettings));
  // Dark colours chosen in an earlier session come back with the first window.
  if (Dark(FSettings) && !TReadableColour::IsDark(QApplication::palette())) SetDark(FSettings, true);
  Refresh();
}

TViewMenu::~TViewMenu() {
  std::vector<TViewMenu*>& all = Instances();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

std::vector<TViewMenu*>& TViewMenu::Instances() {
  static std::vector<TViewMenu*> instances;
  return instances;
}

int TViewMenu::Zoom(const TSettings& settings) { return TZoom::Clamp(settings.Zoom.value_or(100)); }

void TViewMenu::SetZoom(TSettings& settings, int percent) {
  percent = TZoom::Clamp(percent);
  settings.Zoom = percent;
  for (TViewMenu* menu : Instances()) {
    TZoom::Apply(menu->FWindow, percent);
    menu->Refresh();
  }
}

bool TViewMenu::Dark(const TSettings& settings) { return settings.DarkColours.value_or(false); }

void TViewMenu::SetDark(TSettings& settings, bool dark) {
  settings.DarkColours = dark;
  // The desktop's palette is the one the program had before it first went dark.
  static QPalette desktop;
  static bool desktopKept = false;
  if (dark && !desktopKept) {
    desktop = QApplication::palette();
    desktopKept = true;
  }
  if (dark)
    QApplication::setPalette(DarkPalette());
  else if (desktopKept)
    QApplication::setPalette(desktop);
  for (TViewMenu* menu : Instances()) menu->Refresh();
}

void TViewMenu::Refresh() {
  const int percent = Zoom(FSettings);
  FZoomIn->setEnabled(percent < TZoom::MaxPercent);
  FZoomOut->setEnabled(percent > TZoom::MinPercent);
  FActualSize->setEnabled(percent != TZoom::MinPercent);
  FDarkColours->setChecked(Dark(FSettings));
}
