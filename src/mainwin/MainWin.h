#pragma once

#include "app/ZForm.h"

#include <QList>
#include <QMainWindow>

struct TSettings;
class QLabel;

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

private:
  TSettings& FSettings;
  QList<int> FHelpRequests;
};
