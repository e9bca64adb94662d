// The main window's help: the application's help hook, the Help menu, the
// "What's this?" button, web help, the options dialog and the about box.
#include "mainwin/MainWin.h"

#include "desktop/AboutForm.h"
#include "desktop/ContextHelp.h"
#include "desktop/HelpHook.h"
#include "desktop/LaunchDocument.h"
#include "desktop/OptionsDialog.h"
#include "desktop/Platform.h"
#include "desktop/Settings.h"

#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace {

QAction* HelpItem(QMenu* menu, const QString& caption, const QString& hint) {
  QAction* action = menu->addAction(caption);
  action->setStatusTip(hint);
  action->setToolTip(hint);
  return action;
}

}  // namespace

void TMainWin::CreateHelpCommands() {
  FHelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  FHelpMenu->setToolTipsVisible(true);
  QAction* instructions = HelpItem(FHelpMenu, QStringLiteral("&Instructions"),
                                   QStringLiteral("Help about the instructions of the Orvik Simulator"));
  instructions->setData(hcInstructions);
  QAction* syntax = HelpItem(FHelpMenu, QStringLiteral("Assembler &Syntax"),
                             QStringLiteral("Help about the syntax of the Orvik Assembler"));
  syntax->setData(hcSyntax);
  for (QAction* item : {instructions, syntax})
    connect(item, &QAction::triggered, this, [this, item] { HelpMenuItemClick(item); });
  FExamplesMenu = FHelpMenu->addMenu(QStringLiteral("&Examples"));
  FExamplesMenu->menuAction()->setStatusTip(QStringLiteral("Submenu with assembler examples"));
  FExamplesMenu->menuAction()->setToolTip(QStringLiteral("Submenu with assembler examples"));
  connect(HelpItem(FHelpMenu, QStringLiteral("&Web help"), QStringLiteral("General help about the Orvik Simulator")),
          &QAction::triggered, this, &TMainWin::MenuWWWHelpClick);
  FHelpMenu->addSeparator();
  connect(FHelpMenu->addAction(QStringLiteral("&Options...")), &QAction::triggered, this, &TMainWin::MenuOptionsClick);
  FHelpMenu->addSeparator();
  connect(HelpItem(FHelpMenu, QStringLiteral("&About..."), QStringLiteral("Display the About box")),
          &QAction::triggered, this, &TMainWin::MenuAboutClick);

  FHelpButton = new QToolButton(centralWidget());
  FHelpButton->setText(QStringLiteral("?"));
  QFont bold = FHelpButton->font();
  bold.setBold(true);
  FHelpButton->setFont(bold);
  FHelpButton->setCheckable(true);
  FHelpButton->setAutoRaise(true);
  FHelpButton->setFocusPolicy(Qt::NoFocus);
  FHelpButton->setToolTip(QStringLiteral("\"What's this?\" help"));
  FHelpButton->setGeometry(612, 1, 20, 20);
  connect(FHelpButton, &QToolButton::clicked, this, &TMainWin::HelpButtonClick);
  // The button stays down while the mode lasts, whichever window began it.
  connect(&TContextHelp::Instance(), &TContextHelp::WhatsThisModeChanged, FHelpButton, &QToolButton::setChecked);

  TContextHelp::OfferF1(this);
}

bool TMainWin::FormHelp(uint16_t command, int data, bool& callHelp) {
  callHelp = false;
  if (command != HELP_CONTEXTPOPUP) return false;
  Platform().ShowHelpTopic(data);
  return true;
}

void TMainWin::HelpMenuItemClick(QAction* sender) { RequestContextHelp(sender->data().toInt()); }

void TMainWin::HelpButtonClick() { TContextHelp::StartWhatsThis(); }

void TMainWin::MenuWWWHelpClick() {
  LaunchDocument(this, QStringLiteral("Cannot open Web help.\n"), FSettings.WebHelpAddress);
}

void TMainWin::MenuOptionsClick() {
  TOptionsDialog dialog(FSettings, this);
  dialog.exec();
}

void TMainWin::MenuAboutClick() { (new TAboutForm(FSettings, this))->show(); }
