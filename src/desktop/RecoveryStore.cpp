#include "desktop/RecoveryStore.h"

#include "machine/FileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

namespace {

const QString LockName = QStringLiteral("owner.lock");
const QString EntrySuffix = QStringLiteral(".entry");
const QByteArray Magic = "Orvik recovery 1";

}  // namespace

TRecoveryEntry TRecoveryEntry::Now(QString key, QString kind, QString name) {
  TRecoveryEntry entry;
  entry.Key = std::move(key);
  entry.Kind = std::move(kind);
  entry.Name = std::move(name);
  entry.Time = QDateTime::currentDateTime();
  return entry;
}

QString TRecoveryEntry::FirstLine() const {
  if (Kind != QLatin1String("source")) return QString();
  for (const QByteArray& line : Body.split('\n')) {
    const QString text = QString::fromLatin1(line).trimmed();
    if (!text.isEmpty()) return text;
  }
  return QString();
}

QByteArray EncodeRecoveryEntry(const TRecoveryEntry& entry) {
  // Values are single lines: a file name with a line break would end the
  // header early, so line breaks are escaped.
  auto line = [](const QString& key, const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return key.toUtf8() + ": " + escaped.toUtf8() + '\n';
  };
  QByteArray bytes = Magic + '\n';
  bytes += line(QStringLiteral("kind"), entry.Kind);
  bytes += line(QStringLiteral("name"), entry.Name);
  bytes += line(QStringLiteral("time"), entry.Time.toUTC().toString(Qt::ISODateWithMs));
  for (auto it = entry.Fields.cbegin(); it != entry.Fields.cend(); ++it) bytes += line(it.key(), it.value());
  bytes += '\n';
  bytes += entry.Body;
  return bytes;
}

bool DecodeRecoveryEntry(const QByteArray& bytes, TRecoveryEntry& entry) {
  const qsizetype end = bytes.indexOf("\n\n");
  if (end < 0 || !bytes.startsWith(Magic + '\n')) return false;
  const QList<QByteArray> lines = bytes.left(end).split('\n');
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const qsizetype colon = lines[i].indexOf(": ");
    if (colon < 0) return false;
    const QString key = QString::fromUtf8(lines[i].left(colon));
    QString value;
    const QString raw = QString::fromUtf8(lines[i].mid(colon + 2));
    for (qsizetype c = 0; c < raw.size(); ++c) {
      if (raw[c] == QLatin1Char('\\') && c + 1 < raw.size()) {
        ++c;
        value += raw[c] == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : raw[c];
      } else {
        value += raw[c];
      }
    }
    if (key == QLatin1String("kind"))
      entry.Kind = value;
    else if (key == QLatin1String("name"))
      entry.Name = value;
    else if (key == QLatin1String("time"))
      entry.Time = QDateTime::fromString(value, Qt::ISODateWithMs).toLocalTime();
    else
      entry.Fields.insert(key, value);
  }
  entry.Body = bytes.mid(end + 2);
  return entry.Kind == QLatin1String("source") || entry.Kind == QLatin1String("memory");
}

TRecoveryStore::TRecoveryStore(QString root) : FRoot(std::move(root)) {}

TRecoveryStore::~TRecoveryStore() = default;

QString TRecoveryStore::DefaultRoot() {
  return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery");
}

QString TRecoveryStore::EntryPath(const QString& key) const {
  return FOwnFolder + QLatin1Char('/') + key + EntrySuffix;
}

bool TRecoveryStore::MakeOwnFolder(QString& error) {
  if (FOwnLock) return true;
  // The process id names the folder for a reader; the time keeps a reused id
  // from meeting the folder of a program that had it before.
  const QString folder =
      FRoot + QStringLiteral("/%1-%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch());
  if (!QDir().mkpath(folder)) {
    error = QStringLiteral("Cannot create the recovery folder %1").arg(folder);
    return false;
  }
  auto lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + LockName);
  // Never stale by age: a program that runs for days still owns its folder.
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) {
    error = QStringLiteral("Cannot lock the recovery folder %1").arg(folder);
    return false;
  }
  FOwnFolder = folder;
  FOwnLock = std::move(lock);
  return true;
}

QString TRecoveryStore::Write(const TRecoveryEntry& entry) {
  QString error;
  if (!MakeOwnFolder(error)) return error;
  const QByteArray bytes = EncodeRecoveryEntry(entry);
  const std::string problem = WriteFileAtomically(QFile::encodeName(EntryPath(entry.Key)).toStdString(),
                                                  std::string_view(bytes.constData(), size_t(bytes.size())));
  return QString::fromLocal8Bit(problem.c_str());
}

void TRecoveryStore::Remove(const QString& key) {
  if (FKeep || !FOwnLock) return;
  QFile::remove(EntryPath(key));
}

bool TRecoveryStore::Contains(const QString& key) const { return FOwnLock && QFile::exists(EntryPath(key)); }

std::vector<TRecoveryEntry> TRecoveryStore::TakeOrphans() {
  std::vector<TRecoveryEntry> entries;
  const QDir root(FRoot);
  for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
    const QString folder = root.filePath(name);
    if (folder == FOwnFolder) continue;
    auto lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + LockName);
    lock->setStaleLockTime(0);
    // A lock held by a running program (this one's other windows, or a
    // second instance) is not ours to take.
    if (!lock->tryLock(0)) continue;
    const QFileInfoList files = QDir(folder).entryInfoList({QLatin1Char('*') + EntrySuffix}, QDir::Files);
    bool any = false;
    for (const QFileInfo& file : files) {
      QFile input(file.filePath());
      TRecoveryEntry entry;
      if (!input.open(QIODevice::ReadOnly) || !DecodeRecoveryEntry(input.readAll(), entry)) continue;
      entry.Key = file.completeBaseName();
      entry.Folder = folder;
      entries.push_back(std::move(entry));
      any = true;
    }
    if (files.isEmpty()) {
      // Nothing left to offer: a folder of a program that was killed
      // before it wrote anything.
      lock->unlock();
      QDir(folder).removeRecursively();
      continue;
    }
    if (!any) {
      // Entries that cannot be read now (another user's permissions, a
      // newer version's format) are left alone, never deleted unread.
      lock->unlock();
      continue;
    }
    FTaken.push_back({folder, std::move(lock)});
  }
  std::sort(entries.begin(), entries.end(),
            [](const TRecoveryEntry& a, const TRecoveryEntry& b) { return a.Time > b.Time; });
  return entries;
}

void TRecoveryStore::DiscardOrphans() {
  for (TTaken& taken : FTaken) {
    taken.Lock->unlock();
    QDir(taken.Folder).removeRecursively();
  }
  FTaken.clear();
}

void TRecoveryStore::ReleaseOrphans() {
  for (TTaken& taken : FTaken) taken.Lock->unlock();
  FTaken.clear();
}

void TRecoveryStore::RemoveOwn() {
  if (FKeep || !FOwnLock) return;
  const QString folder = FOwnFolder;
  FOwnLock->unlock();
  FOwnLock.reset();
  FOwnFolder.clear();
  QDir(folder).removeRecursively();
  // The root itself goes too once it is empty, so a clean exit leaves
  // nothing behind.
  QDir().rmdir(FRoot);
}
