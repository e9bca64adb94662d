#pragma once

#include "app/ZForm.h"

#include <QList>
#include <QMainWindow>

struct TSettings;
class QAction;
class QLabel;
class QMenu;
class QToolButton;
class TWhatsThisMode;

// The simulator's main window.
class TMainWin : public QMainWindow, public TZForm {
  Q_OBJECT

 public:
  explicit TMainWin(TSettings& settings, QWidget* parent = nullptr);
  ~TMainWin() override;

  TSettings& Settings() const { return FSettings; }

  // The application's help hook (installed on creation).
  bool FormHelp(uint16_t command, int data, bool& callHelp);
  // Context popups asked for so far, in order.
  const QList<int>& HelpRequests() const { return FHelpRequests; }

  // Help menu and "What's this?" help (MainWinHelp.cpp).
  void HelpMenuItemClick(QAction* sender);
  void HelpButtonClick();
  void MenuWWWHelpClick();
  void MenuOptionsClick();
  void MenuAboutClick();
  QToolButton* HelpButton() const { return FHelpButton; }
  QMenu* HelpMenu() const { return FHelpMenu; }
  QMenu* ExamplesMenu() const { return FExamplesMenu; }
  TWhatsThisMode* WhatsThis() const { return FWhatsThis; }

 private:
  void CreateHelpCommands();

  TSettings& FSettings;
  QList<int> FHelpRequests;
  QToolButton* FHelpButton = nullptr;
  QMenu* FHelpMenu = nullptr;
  QMenu* FExamplesMenu = nullptr;
  TWhatsThisMode* FWhatsThis = nullptr;
};
