#pragma once

#include "app/Startup.h"
#include "desktop/Settings.h"

#include <QStringList>

#include <functional>
#include <memory>

class TMainWin;
class TSettingsStore;

// The program's life between the framework's start and its end: the main
// window, the settings read at start and written at the end.
class TProgram {
 public:
  using TGetEnv = std::function<QString(const char*)>;

  TProgram(std::unique_ptr<TSettingsStore> store, TVersionResource version, TGetEnv getEnv);
  ~TProgram();

  // Creates the main window, computes TempDir, reads the version and the
  // settings, and asks for the syntax help when the version changed. False
  // when an error was shown; the store is then untouched.
  bool Start();
  // Shows the main window, then opens the files named on the command line
  // (TMainWin::OpenFiles).
  void Show(const QStringList& files);
  // Show, then the event loop.
  int Run(const QStringList& files);
  // Writes the settings back; false when an error was shown.
  bool Finish();

  TMainWin* MainWin() const { return FMainWin.get(); }
  TSettings& Settings() { return FSettings; }

 private:
  std::unique_ptr<TSettingsStore> FStore;
  TVersionResource FVersion;
  TGetEnv FGetEnv;
  TSettings FSettings;
  std::unique_ptr<TMainWin> FMainWin;
};
