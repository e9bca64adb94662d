#include "app/Program.h"

#include "app/AccessibleFactory.h"
#include "app/EndSignals.h"
#include "desktop/HelpHook.h"
#include "desktop/Platform.h"
#include "desktop/RecentFiles.h"
#include "desktop/RecoveryDialog.h"
#include "desktop/RecoveryStore.h"
#include "desktop/SettingsStore.h"
#include "mainwin/MainWin.h"

#include <QApplication>
#include <QTimer>

TProgram::TProgram(std::unique_ptr<TSettingsStore> store, TVersionResource version, TGetEnv getEnv)
    : FStore(std::move(store)), FVersion(std::move(version)), FGetEnv(std::move(getEnv)) {}

TProgram::~TProgram() = default;

bool TProgram::Start() {
  QApplication::setApplicationName(QStringLiteral("Orvik Simulator"));
  InstallAccessibleFactory();
  FMainWin = std::make_unique<TMainWin>(FSettings);
  FSettings.TempDir = ComputeTempDir(FGetEnv);
  SetDefaultSettings(FSettings, FVersion);
  bool versionDiffers = true;
  try {
    LoadSettings(*FStore, FSettings);
    versionDiffers = StoredVersionDiffers(*FStore, FSettings);
  } catch (const ESettingsError& error) {
    // A damaged file must not keep the student from working: it is moved
    // aside, not overwritten, and the program starts as on a first run.
    const QString aside = FStore->SetAside();
    SetDefaultSettings(FSettings, FVersion);
    Platform().ShowMessage(
        nullptr, QStringLiteral("Error"),
        error.Message() + QLatin1Char('\n') +
            (aside.isEmpty() ? QStringLiteral("The program starts with its default settings.")
                             : QStringLiteral("The program starts with its default settings; the damaged "
                                              "file was kept as %1.")
                                   .arg(aside)),
        TMsgIcon::Error);
  }
  FMainWin->ApplyStoredSettings();
  if (versionDiffers) RequestContextHelp(hcNewVersion);
  FWritten = SettingsSnapshot(FSettings);
  FRecentBaseline = FSettings.RecentFiles;
  FSettingsTimer = new QTimer(FMainWin.get());
  FSettingsTimer->setInterval(SettingsCheckMs);
  QObject::connect(FSettingsTimer, &QTimer::timeout, FMainWin.get(), [this] { WriteChangedSettings(); });
  FSettingsTimer->start();
  FRecovery = std::make_unique<TRecoveryStore>(FRecoveryRoot.isEmpty() ? TRecoveryStore::DefaultRoot() : FRecoveryRoot);
  FMainWin->SetRecovery(FRecovery.get());
  return true;
}

void TProgram::Show(const QStringList& files) {
  FMainWin->show();
  FMainWin->OpenFiles(files);
  OfferRecovery();
}

void TProgram::OfferRecovery() {
  const std::vector<TRecoveryEntry> entries = FRecovery->TakeOrphans();
  if (entries.empty()) return;
  auto* dialog = new TRecoveryDialog(entries, FMainWin.get());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(dialog, &QDialog::finished, FMainWin.get(), [this, entries](int result) {
    if (result == QDialog::Accepted) FMainWin->RestoreRecovered(entries);
    if (result == TRecoveryDialog::NotChosen)
      FRecovery->ReleaseOrphans();
    else
      FRecovery->DiscardOrphans();
  });
  dialog->open();
}

void TProgram::EndOnSignals() {
  FEndSignals = std::make_unique<TEndSignals>([this] { EndWithoutQuestions(); });
}

void TProgram::EndWithoutQuestions() {
  FMainWin->AutosaveAll();
  FRecovery->Keep();
  // Ends every event loop, a question's or a dialog's included.
  QApplication::exit(0);
}

int TProgram::Run(const QStringList& files) {
  Show(files);
  return QApplication::exec();
}

void TProgram::MergeRecentFiles() {
  const QStringList stored = RecentFiles::Load(*FStore);
  FSettings.RecentFiles = RecentFiles::Merge(FSettings.RecentFiles, FRecentBaseline, stored);
  FRecentBaseline = FSettings.RecentFiles;
}

void TProgram::WriteChangedSettings() {
  if (FSettingsWriteFailed) return;
  // Another program's recent files arrive with this program's next write.
  if (SettingsSnapshot(FSettings) == FWritten) return;
  try {
    FStore->Reload();
    MergeRecentFiles();
    SaveChangingSettings(*FStore, FSettings);
    FWritten = SettingsSnapshot(FSettings);
  } catch (const ESettingsError& error) {
    // Said once; the end tries again and reports again.
    FSettingsWriteFailed = true;
    Platform().ShowMessage(FMainWin.get(), QStringLiteral("Error"), error.Message(), TMsgIcon::Error);
  }
}

bool TProgram::Finish() {
  FMainWin.reset();
  bool saved = true;
  try {
    FStore->Reload();
    MergeRecentFiles();
    SaveSettings(*FStore, FSettings);
  } catch (const ESettingsError& error) {
    Platform().ShowMessage(nullptr, QStringLiteral("Error"), error.Message(), TMsgIcon::Error);
    saved = false;
  }
  // A clean end leaves no recovery folder; an end on a signal keeps it.
  if (FRecovery) FRecovery->RemoveOwn();
  FEndSignals.reset();
  return saved;
}
