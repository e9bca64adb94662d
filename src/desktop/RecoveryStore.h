#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class QLockFile;

// What a window wrote so that a crash does not lose it: an editor's text or
// the main window's memory, with the file name it belongs to.
struct TRecoveryEntry {
  QString Key;                    // unique within one process: "source-3", "memory"
  QString Kind;                   // "source" or "memory"
  QString Name;                   // the file the work belongs to; empty for "Untitled"
  QDateTime Time;                 // when it was written
  QMap<QString, QString> Fields;  // further one-line values (PC, registers)
  QByteArray Body;                // the source as Latin-1 text, or the program image
  QString Folder;                 // the process folder it was found in

  // An entry of this moment; the caller adds what it keeps.
  static TRecoveryEntry Now(QString key, QString kind, QString name);

  // The first line of a source that holds something, for the dialog.
  QString FirstLine() const;
};

// The recovery folder: one sub-folder per running program, held by a lock
// file with the owner's process id, so that two programs never take each
// other's entries. A program that ends normally removes its folder; one
// that was killed leaves it for the next start, which finds it unlocked.
// Entries are written through the same atomic writer as saves.
class TRecoveryStore {
 public:
  explicit TRecoveryStore(QString root);
  ~TRecoveryStore();

  // AppLocalDataLocation/recovery: ~/.local/share/Orvik Simulator/recovery
  // on Linux (or under $XDG_DATA_HOME).
  static QString DefaultRoot();
  QString Root() const { return FRoot; }
  // This program's folder; made, and locked, on the first write.
  QString OwnFolder() const { return FOwnFolder; }

  // Writes or replaces one entry of this program; "" or the message.
  QString Write(const TRecoveryEntry& entry);
  void Remove(const QString& key);
  bool Contains(const QString& key) const;

  // The entries of programs that are gone. Their folders stay locked by this
  // program until Discard or Release.
  std::vector<TRecoveryEntry> TakeOrphans();
  // Removes the orphans' folders (restored or thrown away).
  void DiscardOrphans();
  // Gives them back untouched, for the next start.
  void ReleaseOrphans();

  // At an end that must not lose anything (a signal), removing is refused
  // from here on: the entries just written stay for the next start.
  void Keep() { FKeep = true; }
  bool Kept() const { return FKeep; }
  // True only for the first failed write: a full disk is reported once, not
  // at every pause in typing.
  bool FirstFailure() { return !std::exchange(FFailed, true); }
  // A clean end: this program's folder goes.
  void RemoveOwn();

 private:
  bool MakeOwnFolder(QString& error);
  QString EntryPath(const QString& key) const;

  QString FRoot;
  QString FOwnFolder;
  std::unique_ptr<QLockFile> FOwnLock;
  struct TTaken {
    QString Folder;
    std::unique_ptr<QLockFile> Lock;
  };
  std::vector<TTaken> FTaken;
  bool FKeep = false;
  bool FFailed = false;
};

// The entry file: "key: value" lines, an empty line, then the body.
QByteArray EncodeRecoveryEntry(const TRecoveryEntry& entry);
bool DecodeRecoveryEntry(const QByteArray& bytes, TRecoveryEntry& entry);
