#pragma once

#include "app/Startup.h"
#include "desktop/Settings.h"

#include <QStringList>

#include <functional>
#include <memory>

class QTimer;
class TEndSignals;
class TMainWin;
class TRecoveryStore;
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
  // (TMainWin::OpenFiles), then offers the work an earlier program that was
  // killed left in the recovery folder.
  void Show(const QStringList& files);
  // SIGTERM and SIGHUP end the program as EndWithoutQuestions does.
  void EndOnSignals();
  // Ends the event loop as a close would, but asks nothing: unsaved work is
  // written for recovery instead, and Finish writes the settings.
  void EndWithoutQuestions();
  // The recovery folder; TRecoveryStore::DefaultRoot() unless set before Start.
  void SetRecoveryRoot(const QString& root) { FRecoveryRoot = root; }
  TRecoveryStore* Recovery() const { return FRecovery.get(); }
  // Writes the settings when they differ from what was last written (run by
  // a timer every SettingsCheckMs); the product values wait for the end.
  static constexpr int SettingsCheckMs = 2000;
  void WriteChangedSettings();
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
  std::unique_ptr<TRecoveryStore> FRecovery;
  QString FRecoveryRoot;
  std::unique_ptr<TMainWin> FMainWin;
  std::unique_ptr<TEndSignals> FEndSignals;
  QTimer* FSettingsTimer = nullptr;
  // The settings as last read or written, and the recent files then.
  QStringList FWritten;
  QStringList FRecentBaseline;
  bool FSettingsWriteFailed = false;
  void OfferRecovery();
  void MergeRecentFiles();
};
