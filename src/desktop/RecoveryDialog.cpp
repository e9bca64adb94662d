#include "desktop/RecoveryDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

QString TRecoveryDialog::EntryTitle(const TRecoveryEntry& entry) {
  const QString file = entry.Name.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(entry.Name).fileName();
  return entry.Kind == QLatin1String("memory") ? QStringLiteral("Memory: ") + file : file;
}

TRecoveryDialog::TRecoveryDialog(const std::vector<TRecoveryEntry>& entries, QWidget* owner)
    : QDialog(owner), TZForm(this) {
  setWindowTitle(QStringLiteral("Recover Unsaved Work"));
  auto* layout = new QVBoxLayout(this);
  auto* text = new QLabel(QStringLiteral("Orvik Simulator ended last time without saving this work.\n"
                                         "Restore opens it again, marked Modified; Discard throws it away."),
                          this);
  layout->addWidget(text);

  FList = new QTreeWidget(this);
  FList->setAccessibleName(QStringLiteral("Unsaved work"));
  FList->setRootIsDecorated(false);
  FList->setSelectionMode(QAbstractItemView::NoSelection);
  FList->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Written"), QStringLiteral("First line")});
  const QLocale locale;
  for (const TRecoveryEntry& entry : entries) {
    auto* item = new QTreeWidgetItem(
        FList, {EntryTitle(entry), locale.toString(entry.Time, QLocale::ShortFormat), entry.FirstLine()});
    item->setToolTip(0, entry.Name);
  }
  FList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  FList->header()->setStretchLastSection(true);
  layout->addWidget(FList);

  auto* buttons = new QDialogButtonBox(this);
  FRestore = buttons->addButton(QStringLiteral("&Restore"), QDialogButtonBox::AcceptRole);
  FDiscard = buttons->addButton(QStringLiteral("&Discard"), QDialogButtonBox::DestructiveRole);
  FRestore->setDefault(true);
  connect(FRestore, &QPushButton::clicked, this, &QDialog::accept);
  connect(FDiscard, &QPushButton::clicked, this, [this] { done(Rejected); });
  layout->addWidget(buttons);
  resize(560, 260);
}

void TRecoveryDialog::reject() {
  // Escape or the close box is no decision: nothing is thrown away.
  done(NotChosen);
}
