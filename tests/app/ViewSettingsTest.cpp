#include "app/Startup.h"
#include "desktop/Settings.h"
#include "desktop/SettingsStore.h"

#include <gtest/gtest.h>
#include <QSettings>
#include <QTemporaryDir>

namespace {

// What a loaded view choice holds, as words, so that one table covers
// numbers and flags alike.
template <typename T>
std::string Held(const std::optional<T>& value) {
  if (!value) return "unset";
  if constexpr (std::is_same_v<T, bool>) return *value ? "on" : "off";
  return std::to_string(*value);
}

std::string HeldByName(const TSettings& settings, const std::string& name) {
  if (name == "Zoom") return Held(settings.Zoom);
  if (name == "RunSpeed") return Held(settings.RunSpeed);
  if (name == "DarkColours") return Held(settings.DarkColours);
  if (name == "SpeedBar") return Held(settings.SpeedBar);
  if (name == "TracePane") return Held(settings.TracePane);
  if (name == "LineNumbers") return Held(settings.LineNumbers);
  return "no such setting";
}

// Settings files written before the choices were numbers and flags keep
// reading the same, and what cannot be read is left on disk untouched.
TEST(ViewSettings, StoredTextReadsAsNumbersAndFlagsAndIsWrittenBackAsItWas) {
  struct TCase {
    const char* Name;
    const char* Stored;
    const char* Held;
  };
  const TCase cases[] = {
      {"Zoom", "150", "150"},       {"Zoom", " 200 ", "200"},  {"Zoom", "big", "unset"},    {"RunSpeed", "0", "0"},
      {"RunSpeed", "7", "7"},       {"RunSpeed", "", "unset"}, {"DarkColours", "1", "on"},  {"DarkColours", "0", "off"},
      {"SpeedBar", "yes", "unset"}, {"TracePane", "1", "on"},  {"LineNumbers", "0", "off"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Name) + "=" + c.Stored);
    QTemporaryDir folder;
    const QString file = folder.filePath("Zavel.conf");
    QSettings(file, QSettings::IniFormat).setValue(c.Name, c.Stored);
    TSettings settings;
    {
      TQSettingsStore store(file);
      LoadSettings(store, settings);
      EXPECT_EQ(HeldByName(settings, c.Name), c.Held);
      SaveChangingSettings(store, settings);
    }
    QSettings written(file, QSettings::IniFormat);
    const QString back = written.value(c.Name).toString();
    // A readable value comes back in its plain form; an unreadable one as it was.
    if (std::string(c.Held) == "unset")
      EXPECT_EQ(back, c.Stored);
    else
      EXPECT_EQ(back, QString(c.Stored).trimmed());
  }
}

TEST(ViewSettings, OnlyChoicesMadeAreWritten) {
  QTemporaryDir folder;
  const QString file = folder.filePath("Zavel.conf");
  TSettings settings;
  settings.Zoom = 250;
  settings.LineNumbers = true;
  settings.SpeedBar = false;
  {
    TQSettingsStore store(file);
    SaveChangingSettings(store, settings);
  }
  QSettings written(file, QSettings::IniFormat);
  EXPECT_EQ(written.value("Zoom").toString(), "250");
  EXPECT_EQ(written.value("LineNumbers").toString(), "1");
  EXPECT_EQ(written.value("SpeedBar").toString(), "0");
  for (const char* never : {"DarkColours", "RunSpeed", "TracePane"}) EXPECT_FALSE(written.contains(never)) << never;
}

}  // namespace
