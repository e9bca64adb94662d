#pragma once

#include <QString>
#include <memory>
#include <stdexcept>

class QSettings;

// Raised when the store holds something that cannot be read as text, or
// cannot be read or written at all; its message is shown to the user as is.
class ESettingsError : public std::runtime_error {
 public:
  explicit ESettingsError(const QString& message) : std::runtime_error(message.toStdString()) {}
  QString Message() const { return QString::fromStdString(what()); }
};

// The per-user settings store: text values under one key.
class TSettingsStore {
 public:
  virtual ~TSettingsStore() = default;
  virtual bool Contains(const QString& name) const = 0;
  // A missing value reads as empty text; a value that is not text raises.
  virtual QString ReadText(const QString& name) const = 0;
  virtual void WriteText(const QString& name, const QString& value) = 0;
  // Makes the writes permanent; raises when the store cannot be written.
  virtual void Commit() = 0;
  // A store that could not be read is moved aside, so that the program can
  // start with its defaults without overwriting it; returns where it went,
  // or "" when it could not be moved.
  virtual QString SetAside() { return QString(); }
  // Reads again what another program may have written meanwhile.
  virtual void Reload() {}
};

// The store on QSettings: the registry key Software\qto\Zavel on Windows, an
// INI file in the user's configuration folder elsewhere. A file name puts it
// into that file instead (tests).
class TQSettingsStore final : public TSettingsStore {
 public:
  TQSettingsStore();
  explicit TQSettingsStore(const QString& fileName);
  ~TQSettingsStore() override;

  bool Contains(const QString& name) const override;
  QString ReadText(const QString& name) const override;
  void WriteText(const QString& name, const QString& value) override;
  void Commit() override;
  // The file becomes FILE.damaged (an older one there is replaced).
  QString SetAside() override;
  void Reload() override;

  // The key's unnamed default value goes under this name.
  static QString DefaultValueName() { return QStringLiteral("Default"); }

 private:
  void CheckReadable() const;
  void Open();
  QString FFileName;  // empty for the per-user default
  std::unique_ptr<QSettings> FSettings;
};
