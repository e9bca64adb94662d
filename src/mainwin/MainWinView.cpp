// TMainWin: the View menu, and colours that follow the palette.
#include "app/ViewMenu.h"
#include "mainwin/MainWin.h"

#include <QMenuBar>

void TMainWin::CreateViewMenu() {
  // Between Edit and Run, where desktop programs keep it; the described
  // menus keep their items.
  ViewMenu = new TViewMenu(this, menuBar(), RunMenu->menuAction(), FSettings);
}
