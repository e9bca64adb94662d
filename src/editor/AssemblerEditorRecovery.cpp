// Unsaved text written for recovery after a crash, and brought back.
#include "editor/AssemblerEditor.h"

#include "desktop/Platform.h"
#include "desktop/RecoveryStore.h"
#include "editor/MachineHost.h"
#include "editor/SourceEdit.h"

#include <QTextDocument>
#include <QTimer>

#include <atomic>

void TAssemblerEditor::CreateAutosave() {
  if (FHost.Recovery() == nullptr) return;
  // Each window of a program has its own entry.
  static std::atomic<int> serial{0};
  FRecoveryKey = QStringLiteral("source-%1").arg(++serial);
  FAutosaveTimer = new QTimer(this);
  FAutosaveTimer->setSingleShot(true);
  FAutosaveTimer->setInterval(AutosaveDelayMs);
  connect(FAutosaveTimer, &QTimer::timeout, this, [this] { Autosave(); });
}

void TAssemblerEditor::Autosave() {
  TRecoveryStore* store = FHost.Recovery();
  if (store == nullptr || FAutosaveTimer == nullptr) return;
  FAutosaveTimer->stop();
  if (!FModified) {
    store->Remove(FRecoveryKey);
    return;
  }
  TRecoveryEntry entry = TRecoveryEntry::Now(FRecoveryKey, QStringLiteral("source"), FFileName);
  // The text exactly as the document holds it (a last line without a line
  // break stays so); it has only 8-bit characters.
  entry.Body = Document()->toPlainText().toLatin1();
  const QString error = store->Write(entry);
  if (!error.isEmpty() && store->FirstFailure())
    Platform().ShowMessage(this, Caption,
                           QStringLiteral("Unsaved text cannot be kept for recovery after a crash.\n%1").arg(error),
                           TMsgIcon::Warning);
}

void TAssemblerEditor::RestoreRecovered(const QString& text, const QString& fileName) {
  ReplaceWholeText(text);
  SetReadOnly(false);
  SetCaption(fileName);
  FFileName = fileName;
  SetModified(true);
  // Written again at once, into this program's own folder, so that a second
  // crash does not lose it either.
  Autosave();
}
