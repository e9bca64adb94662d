// TMainWin: the View menu, and colours that follow the palette.
#include "desktop/ViewMenu.h"
#include "mainwin/MainWin.h"
#include "mainwin/TracePane.h"

#include <QMenu>
#include <QMenuBar>

void TMainWin::CreateViewMenu() {
  // Between Edit and Run, where desktop programs keep it; the described
  // menus keep their items.
  ViewMenu = new TViewMenu(this, menuBar(), RunMenu->menuAction(), FSettings);
  ViewMenu->Menu()->addSeparator();
  MenuTrace = ViewMenu->Menu()->addAction(QStringLiteral("&Trace"));
  const QString hint = QStringLiteral("Show what each instruction did, in words");
  MenuTrace->setToolTip(hint);
  MenuTrace->setStatusTip(hint);
  MenuTrace->setCheckable(true);
  connect(MenuTrace, &QAction::toggled, TraceWin, &QWidget::setVisible);
}
