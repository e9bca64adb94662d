#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

struct TSettings;
class TSettingsStore;

// What a version resource would hold; compiled in from the build.
struct TVersionResource {
  bool Present = false;
  std::string FileVersion;  // "2.3.2.289"
  unsigned Flags = 0;       // already masked: 1 debug, 2 pre-release
  QString LegalCopyright;
};

TVersionResource BuiltInVersionResource();

// "2.3.2.289" -> "2.3"; a debug build appends "a", a pre-release "b".
QString MakeVersionText(const std::string& fileVersion, unsigned flags);

// TMP, then TEMP, each with one separator appended; when both are missing or
// empty, the system's temporary folder.
QString ComputeTempDir(const std::function<QString(const char*)>& getEnv);

// The built-in defaults of every field but TempDir.
void SetDefaultSettings(TSettings& settings, const TVersionResource& version);

// Replaces a default by each stored value that exists. Raises ESettingsError.
void LoadSettings(const TSettingsStore& store, TSettings& settings);

// True when the stored "Version" (missing reads as empty) differs from the
// running one: the first run, or the first after an update.
bool StoredVersionDiffers(const TSettingsStore& store, const TSettings& settings);

// Writes the settings back; the product values only when the version changed.
// Raises ESettingsError.
void SaveSettings(TSettingsStore& store, const TSettings& settings);

// Writes what the windows change during a run (the five values, the view's
// choices, the recent files), but not the product values: a run that does
// not end normally still asks for the syntax help at the next start.
// Raises ESettingsError.
void SaveChangingSettings(TSettingsStore& store, const TSettings& settings);

// Everything SaveChangingSettings writes, to tell whether it changed.
QStringList SettingsSnapshot(const TSettings& settings);
