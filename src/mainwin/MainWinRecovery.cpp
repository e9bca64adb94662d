// Memory written for recovery after a crash, and what a crash left brought
// back into the windows.
#include "mainwin/MainWin.h"

#include "desktop/Platform.h"
#include "desktop/RecoveryStore.h"
#include "editor/AssemblerEditor.h"
#include "machine/ProgramImage.h"

#include <QStringList>
#include <QTimer>

namespace {

const QString MemoryKey = QStringLiteral("memory");

}  // namespace

void TMainWin::SetRecovery(TRecoveryStore* store) {
  FRecovery = store;
  if (FMemoryAutosaveTimer == nullptr) {
    FMemoryAutosaveTimer = new QTimer(this);
    FMemoryAutosaveTimer->setSingleShot(true);
    FMemoryAutosaveTimer->setInterval(TAssemblerEditor::AutosaveDelayMs);
    connect(FMemoryAutosaveTimer, &QTimer::timeout, this, [this] { AutosaveMemory(); });
  }
}

void TMainWin::AutosaveMemory() {
  if (FRecovery == nullptr) return;
  if (FMemoryAutosaveTimer) FMemoryAutosaveTimer->stop();
  if (!FMemoryModified) {
    FRecovery->Remove(MemoryKey);
    return;
  }
  TRecoveryEntry entry = TRecoveryEntry::Now(MemoryKey, QStringLiteral("memory"), FProgramFileName);
  QStringList registers;
  for (int32_t value : FSession->RegisterCells()) registers.append(QString::number(value));
  entry.Fields.insert(QStringLiteral("registers"), registers.join(QLatin1Char(' ')));
  entry.Fields.insert(QStringLiteral("pc"), QString::number(FSession->PC()));
  entry.Fields.insert(QStringLiteral("ir"), QString::number(FSession->IR()));
  const std::string image = EncodeProgramImage(FSession->MemoryCells());
  entry.Body = QByteArray(image.data(), static_cast<qsizetype>(image.size()));
  const QString error = FRecovery->Write(entry);
  if (!error.isEmpty() && FRecovery->FirstFailure())
    Platform().ShowMessage(
        this, QStringLiteral("Orvik Simulator"),
        QStringLiteral("The changed memory cannot be kept for recovery after a crash.\n%1").arg(error),
        TMsgIcon::Warning);
}

void TMainWin::AutosaveAll() {
  AutosaveMemory();
  for (TZForm* form : TZForm::AllForms())
    if (auto* editor = dynamic_cast<TAssemblerEditor*>(form)) editor->Autosave();
}

void TMainWin::RestoreRecovered(const std::vector<TRecoveryEntry>& entries) {
  for (const TRecoveryEntry& entry : entries) {
    if (entry.Kind == QLatin1String("source")) {
      AssemblerButtonClick()->RestoreRecovered(QString::fromLatin1(entry.Body), entry.Name);
      continue;
    }
    std::vector<int32_t> cells;
    std::string error;
    if (!DecodeProgramImage(std::string_view(entry.Body.constData(), static_cast<size_t>(entry.Body.size())), cells,
                            error))
      continue;
    std::vector<TCellEdit> edits;
    for (int adr = 0; adr < MemorySize; ++adr) edits.push_back({csMemory, adr, cells[static_cast<size_t>(adr)]});
    const QStringList registers = entry.Fields.value(QStringLiteral("registers")).split(QLatin1Char(' '));
    for (int n = 0; n < RegisterCount && n < registers.size(); ++n)
      edits.push_back({csRegister, n, registers[n].toInt()});
    edits.push_back({csSysReg, IRIndex, entry.Fields.value(QStringLiteral("ir")).toInt()});
    edits.push_back({csSysReg, PCIndex, entry.Fields.value(QStringLiteral("pc")).toInt()});
    UserEdit(eaLoadFile, edits);
    FProgramFileName = entry.Name;
    setWindowTitle(entry.Name.isEmpty() ? QStringLiteral("Orvik Simulator")
                                        : QStringLiteral("Orvik Simulator - ") + entry.Name);
    SetMemoryModified(true);
    AutosaveMemory();
  }
  raise();
}
