#include "app/Program.h"

#include "desktop/HelpHook.h"
#include "desktop/Platform.h"
#include "desktop/SettingsStore.h"
#include "mainwin/MainWin.h"

#include <QApplication>

TProgram::TProgram(std::unique_ptr<TSettingsStore> store, TVersionResource version, TGetEnv getEnv)
    : FStore(std::move(store)), FVersion(std::move(version)), FGetEnv(std::move(getEnv)) {}

TProgram::~TProgram() = default;

bool TProgram::Start() {
  QApplication::setApplicationName(QStringLiteral("Orvik Simulator"));
  FMainWin = std::make_unique<TMainWin>(FSettings);
  FSettings.TempDir = ComputeTempDir(FGetEnv);
  SetDefaultSettings(FSettings, FVersion);
  try {
    LoadSettings(*FStore, FSettings);
    FMainWin->ApplyStoredSettings();
    if (StoredVersionDiffers(*FStore, FSettings)) RequestContextHelp(700);
  } catch (const ESettingsError& error) {
    Platform().ShowMessage(nullptr, QStringLiteral("Error"), error.Message(), TMsgIcon::Error);
    return false;
  }
  return true;
}

void TProgram::Show(const QStringList& files) {
  FMainWin->show();
  FMainWin->OpenFiles(files);
}

int TProgram::Run(const QStringList& files) {
  Show(files);
  return QApplication::exec();
}

bool TProgram::Finish() {
  FMainWin.reset();
  try {
    SaveSettings(*FStore, FSettings);
  } catch (const ESettingsError& error) {
    Platform().ShowMessage(nullptr, QStringLiteral("Error"), error.Message(), TMsgIcon::Error);
    return false;
  }
  return true;
}
