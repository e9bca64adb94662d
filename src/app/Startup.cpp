#include "app/Startup.h"

#include "app/VersionInfo.h"
#include "desktop/RecentFiles.h"
#include "desktop/Settings.h"
#include "desktop/SettingsStore.h"

#include <QDir>

TVersionResource BuiltInVersionResource() {
  TVersionResource version;
  version.Present = true;
  version.FileVersion = OrvikFileVersion;
  version.Flags = OrvikVersionFlags;
  version.LegalCopyright = QString::fromUtf8(OrvikLegalCopyright);
  return version;
}

QString MakeVersionText(const std::string& fileVersion, unsigned flags) {
  std::string text = fileVersion;
  const size_t first = text.find('.');
  if (first != std::string::npos) {
    const size_t second = text.find('.', first + 1);
    if (second != std::string::npos) text.resize(second);
  }
  if (flags & 1u)
    text += 'a';
  else if (flags & 2u)
    text += 'b';
  return QString::fromStdString(text);
}

QString ComputeTempDir(const std::function<QString(const char*)>& getEnv) {
  const QChar separator = QDir::separator();
  for (const char* name : {"TMP", "TEMP"}) {
    const QString value = getEnv(name);
    if (!value.isEmpty()) return value + separator;
  }
  // On Linux neither variable is usually set; the current folder, where the
  // program may not even be allowed to write, would be a poor default.
  return QDir::toNativeSeparators(QDir::tempPath()) + separator;
}

void SetDefaultSettings(TSettings& settings, const TVersionResource& version) {
  settings.VersionText = version.Present ? MakeVersionText(version.FileVersion, version.Flags) : QString();
  settings.LegalText = version.Present ? version.LegalCopyright : QString();
  settings.ContactAddress = BuiltInContactAddress;
  settings.CurrentMemFile.clear();
  settings.CurrentAsmFile.clear();
  settings.DefaultWebHelpAddress = BuiltInWebHelpAddress;
  settings.WebHelpAddress = settings.DefaultWebHelpAddress;
  settings.TempLstFile = DefaultTempLstFile;
  settings.RecentFiles.clear();
}

namespace {

// The five values read at start and written at the end, in their order.
struct TStoredField {
  const char* Name;
  QString TSettings::*Field;
};

constexpr TStoredField StoredFields[] = {
    {"CurrentMemFile", &TSettings::CurrentMemFile}, {"CurrentAsmFile", &TSettings::CurrentAsmFile},
    {"WebHelpAddress", &TSettings::WebHelpAddress}, {"DefaultWebHelpAddress", &TSettings::DefaultWebHelpAddress},
    {"TempLstFile", &TSettings::TempLstFile},
};

// The view's choices: written only once made, so that a program that never
// zoomed keeps exactly the keys it always had. They are text on disk, as
// they always were: numbers in decimal, flags "1" and "0". A value that does
// not read as one counts as never made and stays on disk as it is.
struct TNumberField {
  const char* Name;
  std::optional<int> TSettings::*Field;
};
struct TFlagField {
  const char* Name;
  std::optional<bool> TSettings::*Field;
};

constexpr TNumberField NumberFields[] = {{"Zoom", &TSettings::Zoom}, {"RunSpeed", &TSettings::RunSpeed}};
constexpr TFlagField FlagFields[] = {
    {"DarkColours", &TSettings::DarkColours},
    {"SpeedBar", &TSettings::SpeedBar},
    {"TracePane", &TSettings::TracePane},
    {"LineNumbers", &TSettings::LineNumbers},
};

std::optional<int> NumberFromText(const QString& text) {
  bool ok = false;
  const int number = text.trimmed().toInt(&ok);
  return ok ? std::optional<int>(number) : std::nullopt;
}

std::optional<bool> FlagFromText(const QString& text) {
  const QString flag = text.trimmed();
  if (flag == QLatin1String("1")) return true;
  if (flag == QLatin1String("0")) return false;
  return std::nullopt;
}

QString NumberText(std::optional<int> number) { return number ? QString::number(*number) : QString(); }

QString FlagText(std::optional<bool> flag) {
  if (!flag) return QString();
  return *flag ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

void LoadSettings(const TSettingsStore& store, TSettings& settings) {
  for (const TStoredField& field : StoredFields) {
    const QString name = QString::fromLatin1(field.Name);
    if (store.Contains(name)) settings.*field.Field = store.ReadText(name);
  }
  for (const TNumberField& field : NumberFields) {
    const QString name = QString::fromLatin1(field.Name);
    if (store.Contains(name)) settings.*field.Field = NumberFromText(store.ReadText(name));
  }
  for (const TFlagField& field : FlagFields) {
    const QString name = QString::fromLatin1(field.Name);
    if (store.Contains(name)) settings.*field.Field = FlagFromText(store.ReadText(name));
  }
  settings.RecentFiles = RecentFiles::Load(store);
}

bool StoredVersionDiffers(const TSettingsStore& store, const TSettings& settings) {
  return store.ReadText(QStringLiteral("Version")) != settings.VersionText;
}

void SaveSettings(TSettingsStore& store, const TSettings& settings) {
  if (StoredVersionDiffers(store, settings)) {
    store.WriteText(TQSettingsStore::DefaultValueName(), ProductDescription);
    store.WriteText(QStringLiteral("Version"), settings.VersionText);
    store.WriteText(QStringLiteral("Copyright"), settings.LegalText);
    store.WriteText(QStringLiteral("EMail"), settings.ContactAddress);
    store.WriteText(QStringLiteral("Author"), AuthorName);
  }
  SaveChangingSettings(store, settings);
}

void SaveChangingSettings(TSettingsStore& store, const TSettings& settings) {
  for (const TStoredField& field : StoredFields)
    store.WriteText(QString::fromLatin1(field.Name), settings.*field.Field);
  for (const TNumberField& field : NumberFields)
    if (settings.*field.Field) store.WriteText(QString::fromLatin1(field.Name), NumberText(settings.*field.Field));
  for (const TFlagField& field : FlagFields)
    if (settings.*field.Field) store.WriteText(QString::fromLatin1(field.Name), FlagText(settings.*field.Field));
  RecentFiles::Save(store, settings.RecentFiles);
  store.Commit();
}

QStringList SettingsSnapshot(const TSettings& settings) {
  QStringList snapshot;
  for (const TStoredField& field : StoredFields) snapshot.append(settings.*field.Field);
  for (const TNumberField& field : NumberFields) snapshot.append(NumberText(settings.*field.Field));
  for (const TFlagField& field : FlagFields) snapshot.append(FlagText(settings.*field.Field));
  snapshot.append(QString::number(settings.RecentFiles.size()));
  snapshot += settings.RecentFiles;
  return snapshot;
}
