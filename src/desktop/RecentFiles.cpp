#include "desktop/RecentFiles.h"

#include "desktop/Platform.h"
#include "desktop/Settings.h"
#include "desktop/SettingsStore.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

QString StoredName(int n) { return QStringLiteral("RecentFile%1").arg(n); }

QString Canonical(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

void RecentFiles::Add(QStringList& list, const QString& path) {
  if (path.isEmpty()) return;
  const QString full = Canonical(path);
  list.removeIf([&full](const QString& entry) { return Canonical(entry) == full; });
  list.prepend(full);
  while (list.size() > MaxCount) list.removeLast();
}

QStringList RecentFiles::Load(const TSettingsStore& store) {
  QStringList list;
  for (int n = 1; n <= MaxCount; ++n) {
    const QString path = store.ReadText(StoredName(n));
    if (path.isEmpty()) break;
    list.append(path);
  }
  return list;
}

void RecentFiles::Save(TSettingsStore& store, const QStringList& list) {
  // Every slot is written, so a list that got shorter leaves no stale
  // entries behind it.
  for (int n = 1; n <= MaxCount; ++n) store.WriteText(StoredName(n), list.value(n - 1));
}

QStringList RecentFiles::Merge(const QStringList& ours, const QStringList& baseline, const QStringList& stored) {
  // Add moves a file to the front, so the files used since the baseline are
  // the shortest front part of ours whose rest still keeps the baseline's
  // order.
  auto keepsOrder = [&baseline](qsizetype from, const QStringList& list) {
    qsizetype at = 0;
    for (qsizetype i = from; i < list.size(); ++i) {
      while (at < baseline.size() && baseline[at] != list[i]) ++at;
      if (at == baseline.size()) return false;
      ++at;
    }
    return true;
  };
  qsizetype used = 0;
  while (used < ours.size() && !keepsOrder(used, ours)) ++used;
  QStringList merged = ours.mid(0, used);
  for (const QString& path : stored)
    if (!merged.contains(path) && (ours.contains(path) || !baseline.contains(path))) merged.append(path);
  for (const QString& path : ours)
    if (!merged.contains(path)) merged.append(path);
  while (merged.size() > MaxCount) merged.removeLast();
  return merged;
}

TRecentFilesMenu::TRecentFilesMenu(QMenu* fileMenu, QAction* before, TSettings& settings, TOpen open)
    : QObject(fileMenu),
      FMenu(new QMenu(QStringLiteral("Recent &Files"), fileMenu)),
      FWindow(fileMenu->parentWidget() ? fileMenu->parentWidget()->window() : nullptr),
      FSettings(settings),
      FOpen(std::move(open)) {
  fileMenu->insertMenu(before, FMenu);
  connect(FMenu, &QMenu::aboutToShow, this, &TRecentFilesMenu::Rebuild);
  // Also filled at once, so that the submenu is never empty when Qt asks it
  // for its size before the first aboutToShow.
  Rebuild();
}

void TRecentFilesMenu::Rebuild() {
  FMenu->clear();
  const QStringList& list = FSettings.RecentFiles;
  if (list.isEmpty()) {
    FMenu->addAction(QStringLiteral("(none)"))->setEnabled(false);
    return;
  }
  for (int n = 0; n < list.size(); ++n) {
    // "&1 /path/file.prg": the digit is the key that picks the entry; a '&'
    // in a folder name must not become an accelerator.
    QString path = list[n];
    QAction* action =
        FMenu->addAction(QStringLiteral("&%1 %2").arg(n + 1).arg(path.replace(QLatin1Char('&'), QStringLiteral("&&"))));
    const QString entry = list[n];
    connect(action, &QAction::triggered, this, [this, entry] { Choose(entry); });
  }
}

void TRecentFilesMenu::Choose(const QString& path) {
  if (!QFileInfo(path).isFile()) {
    FSettings.RecentFiles.removeAll(path);
    Platform().ShowMessage(
        FWindow, QStringLiteral("Orvik Simulator"),
        QStringLiteral("The file %1 no longer exists.\nIt has been removed from the list of recent files.")
            .arg(QDir::toNativeSeparators(path)),
        TMsgIcon::Warning);
    Rebuild();
    return;
  }
  FOpen(path);
}
