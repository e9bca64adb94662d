#pragma once

#include "desktop/RecoveryStore.h"
#include "desktop/ZForm.h"

#include <QDialog>

#include <vector>

class QPushButton;
class QTreeWidget;

// Offers the work a killed or crashed program left behind: one row per
// entry (file name or "Untitled", when it was written, its first line).
// Restore ends it with Accepted, Discard with Rejected; closing it otherwise
// (Escape, the window's close box) ends it with NotChosen, which keeps the
// entries for the next start.
class TRecoveryDialog : public QDialog, public TZForm {
  Q_OBJECT

 public:
  static constexpr int NotChosen = 2;

  TRecoveryDialog(const std::vector<TRecoveryEntry>& entries, QWidget* owner);

  QTreeWidget* EntryList() const { return FList; }
  QPushButton* RestoreButton() const { return FRestore; }
  QPushButton* DiscardButton() const { return FDiscard; }

  // The words of a row: "x.asm" or "Untitled", "Memory: x.prg".
  static QString EntryTitle(const TRecoveryEntry& entry);

  void reject() override;

 private:
  QTreeWidget* FList;
  QPushButton* FRestore;
  QPushButton* FDiscard;
};
