#include "mainwin/MainWin.h"

#include "app/HelpDialog.h"
#include "app/HelpHook.h"
#include "app/Settings.h"

#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {
constexpr int ClientWidth = 632;
constexpr int ClientHeight = 426;
}  // namespace

TMainWin::TMainWin(TSettings& settings, QWidget* parent) : QMainWindow(parent), TZForm(this), FSettings(settings) {
  setWindowTitle(QStringLiteral("Orvik Simulator"));
  SetHelpContext(this, 20);

  auto* client = new QWidget(this);
  setCentralWidget(client);
  statusBar()->setSizeGripEnabled(false);
  // The client area (views and status bar) has a fixed size; the window is
  // not resizable.
  client->setFixedSize(ClientWidth, ClientHeight - statusBar()->sizeHint().height());
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                  Qt::WindowTitleHint) &
                 ~Qt::WindowMaximizeButtonHint);

  CreateHelpCommands();
  SetApplicationHelpHandler(
      [this](uint16_t command, int data, bool& callHelp) { return FormHelp(command, data, callHelp); });
}

TMainWin::~TMainWin() {
  SetApplicationHelpHandler(nullptr);
  THelpDialog::CloseAll();
}
