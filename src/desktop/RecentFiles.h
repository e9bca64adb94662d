#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QAction;
class QMenu;
class TSettingsStore;
struct TSettings;

// The files opened or saved last, newest first, shared by the main window
// and every editor through the settings record.
namespace RecentFiles {

inline constexpr int MaxCount = 8;

// Puts path first, once (the same file under another spelling of its folder
// counts as the same), and keeps the newest MaxCount.
void Add(QStringList& list, const QString& path);

// The list is stored as "RecentFile1" .. "RecentFile8"; an empty value ends it.
QStringList Load(const TSettingsStore& store);
void Save(TSettingsStore& store, const QStringList& list);

// Two programs share one list: what this one opened since it last read the
// stored list (baseline) comes first, newest first, then what the store
// holds now (the other program's files), then the rest of ours; what this
// one removed stays out. At most MaxCount.
QStringList Merge(const QStringList& ours, const QStringList& baseline, const QStringList& stored);

}  // namespace RecentFiles

// A window's File > Recent Files submenu: rebuilt from the settings each
// time it opens; choosing a file that no longer exists removes it from the
// list with a message instead of opening it.
class TRecentFilesMenu : public QObject {
  Q_OBJECT

 public:
  using TOpen = std::function<void(const QString& path)>;

  TRecentFilesMenu(QMenu* fileMenu, QAction* before, TSettings& settings, TOpen open);

  QMenu* Menu() const { return FMenu; }
  // Fills the submenu from the list; done whenever it is about to show.
  void Rebuild();
  // What choosing an entry does.
  void Choose(const QString& path);

 private:
  QMenu* FMenu;
  QWidget* FWindow;  // the window whose File menu it is, for the message
  TSettings& FSettings;
  TOpen FOpen;
};
