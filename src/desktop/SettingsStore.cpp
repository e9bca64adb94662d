#include "desktop/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QVariant>

TQSettingsStore::TQSettingsStore() { Open(); }

TQSettingsStore::TQSettingsStore(const QString& fileName) : FFileName(fileName) { Open(); }

void TQSettingsStore::Open() {
  FSettings = FFileName.isEmpty() ? std::make_unique<QSettings>(QStringLiteral("qto"), QStringLiteral("Zavel"))
                                  : std::make_unique<QSettings>(FFileName, QSettings::IniFormat);
}

QString TQSettingsStore::SetAside() {
  const QString name = FSettings->fileName();
  const QString aside = name + QStringLiteral(".damaged");
  FSettings.reset();
  const QFileInfo old(aside);
  if (old.isDir() && !old.isSymLink())
    QDir(aside).removeRecursively();
  else if (old.exists() || old.isSymLink())
    QFile::remove(aside);
  // QDir::rename moves a folder in the file's place as well as a file.
  const bool moved = QDir().rename(name, aside);
  Open();
  return moved ? aside : QString();
}

TQSettingsStore::~TQSettingsStore() = default;

void TQSettingsStore::CheckReadable() const {
  switch (FSettings->status()) {
    case QSettings::NoError: return;
    case QSettings::AccessError:
      throw ESettingsError(QStringLiteral("Cannot read the settings from %1.").arg(FSettings->fileName()));
    case QSettings::FormatError:
      throw ESettingsError(QStringLiteral("The settings in %1 are damaged.").arg(FSettings->fileName()));
  }
}

bool TQSettingsStore::Contains(const QString& name) const {
  CheckReadable();
  return FSettings->contains(name);
}

QString TQSettingsStore::ReadText(const QString& name) const {
  CheckReadable();
  const QVariant value = FSettings->value(name);
  if (!value.isValid()) return QString();
  // An INI file turns an unquoted "a, b" into a list and "@Variant(...)" into
  // whatever it encodes; only plain strings are text.
  const int type = value.typeId();
  if (type == QMetaType::QString) return value.toString();
  if (type == QMetaType::QByteArray) return QString::fromLatin1(value.toByteArray());
  throw ESettingsError(QStringLiteral("The setting \"%1\" in %2 is not text.").arg(name, FSettings->fileName()));
}

void TQSettingsStore::WriteText(const QString& name, const QString& value) { FSettings->setValue(name, value); }

void TQSettingsStore::Commit() {
  FSettings->sync();
  if (FSettings->status() != QSettings::NoError)
    throw ESettingsError(QStringLiteral("Cannot save the settings to %1.").arg(FSettings->fileName()));
}

void TQSettingsStore::Reload() { FSettings->sync(); }
