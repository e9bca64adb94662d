#include "desktop/RecentFiles.h"

#include "app/Startup.h"
#include "desktop/Settings.h"
#include "desktop/SettingsStore.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>
#include <ostream>

namespace {

struct TAddCase {
  const char* Name;
  QStringList Before;
  QString Added;
  QStringList After;
};

// Absolute paths under a made-up root, as the windows hand them over.
QString P(const char* name) { return QDir::cleanPath(QDir::rootPath() + "course/" + name); }

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const TAddCase& c, std::ostream* out) { *out << c.Name; }

class RecentFilesAdd : public ::testing::TestWithParam<TAddCase> {};

TEST_P(RecentFilesAdd, KeepsTheNewestEightOnceEach) {
  QStringList list = GetParam().Before;
  RecentFiles::Add(list, GetParam().Added);
  EXPECT_EQ(list, GetParam().After);
}

const QStringList Eight{P("1"), P("2"), P("3"), P("4"), P("5"), P("6"), P("7"), P("8")};

INSTANTIATE_TEST_SUITE_P(
    Cases, RecentFilesAdd,
    ::testing::Values(
        TAddCase{"first", {}, P("a.prg"), {P("a.prg")}},
        TAddCase{"newest_first", {P("a.prg")}, P("b.asm"), {P("b.asm"), P("a.prg")}},
        TAddCase{"again_moves_up", {P("a"), P("b"), P("c")}, P("c"), {P("c"), P("a"), P("b")}},
        TAddCase{"same_file_other_spelling", {P("a"), P("b")}, QDir::rootPath() + "course/x/../b", {P("b"), P("a")}},
        TAddCase{"ninth_drops_oldest", Eight, P("9"), {P("9"), P("1"), P("2"), P("3"), P("4"), P("5"), P("6"), P("7")}},
        TAddCase{"empty_is_ignored", {P("a")}, QString(), {P("a")}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(RecentFilesStore, RoundTripsAndAShorterListLeavesNoStaleEntries) {
  QTemporaryDir folder;
  const QString file = folder.filePath("Zavel.conf");
  TSettings settings;
  SetDefaultSettings(settings, TVersionResource{});
  settings.RecentFiles = Eight;
  {
    TQSettingsStore store(file);
    SaveSettings(store, settings);
  }
  {
    TQSettingsStore store(file);
    TSettings loaded;
    LoadSettings(store, loaded);
    EXPECT_EQ(loaded.RecentFiles, Eight);
    EXPECT_EQ(store.ReadText("RecentFile8"), P("8"));
    loaded.RecentFiles = {P("only.asm")};
    SaveSettings(store, loaded);
  }
  TQSettingsStore store(file);
  TSettings loaded;
  loaded.RecentFiles = {P("default")};
  LoadSettings(store, loaded);
  EXPECT_EQ(loaded.RecentFiles, QStringList{P("only.asm")});
  EXPECT_EQ(store.ReadText("RecentFile2"), "");
}

}  // namespace
