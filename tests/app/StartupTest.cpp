#include "app/Program.h"
#include "app/Startup.h"
#include "desktop/RecentFiles.h"
#include "desktop/Settings.h"
#include "desktop/SettingsStore.h"
#include "mainwin/MainWin.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <map>

#include <unistd.h>

namespace {

TEST(TempDir, FollowsTmpThenTempWithOneSeparatorAppended) {
  const QString sep = QDir::separator();
  struct TCase {
    std::map<std::string, QString> Env;
    QString Expected;
  };
  const TCase cases[] = {
      {{{"TMP", "/t"}}, "/t" + sep},
      {{{"TMP", "/t" + sep}}, "/t" + sep + sep},  // a second separator, as the rule says
      {{{"TMP", ""}, {"TEMP", "/e"}}, "/e" + sep},
      {{{"TEMP", "/e"}}, "/e" + sep},
      {{{"TMP", "/t"}, {"TEMP", "/e"}}, "/t" + sep},
      {{}, QDir::toNativeSeparators(QDir::tempPath()) + sep},
      {{{"TMP", ""}, {"TEMP", ""}}, QDir::toNativeSeparators(QDir::tempPath()) + sep},
  };
  for (const TCase& c : cases) {
    const QString dir = ComputeTempDir([&](const char* name) {
      const auto it = c.Env.find(name);
      return it == c.Env.end() ? QString() : it->second;
    });
    EXPECT_EQ(dir.toStdString(), c.Expected.toStdString());
  }
}

TEST(VersionText, CutsBeforeTheSecondFullStopAndAddsTheFlagLetter) {
  struct TCase {
    const char* FileVersion;
    unsigned Flags;
    const char* Expected;
  };
  const TCase cases[] = {
      {"2.3.2.289", 0, "2.3"},
      {"2.3.2.289", 1, "2.3a"},
      {"2.3.2.289", 2, "2.3b"},
      {"2.3.2.289", 3, "2.3a"},
      {"2.3", 0, "2.3"},
      {"7", 2, "7b"},
      {"", 0, ""},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(MakeVersionText(c.FileVersion, c.Flags).toStdString(), c.Expected) << c.FileVersion << " " << c.Flags;
}

TEST(VersionText, MissingResourceGivesEmptyTexts) {
  TSettings settings;
  SetDefaultSettings(settings, TVersionResource{});
  EXPECT_TRUE(settings.VersionText.isEmpty());
  EXPECT_TRUE(settings.LegalText.isEmpty());
}

class ProgramTest : public ::testing::Test {
 protected:
  QString StorePath() const { return FDir.filePath("Zavel.conf"); }

  TVersionResource Version(const char* fileVersion = "2.3.2.289") const {
    TVersionResource version;
    version.Present = true;
    version.FileVersion = fileVersion;
    version.LegalCopyright = "(c) test";
    return version;
  }

  std::unique_ptr<TProgram> MakeProgram(const TVersionResource& version) {
    return std::make_unique<TProgram>(
        std::make_unique<TQSettingsStore>(StorePath()), version,
        [this](const char* name) { return QString(name) == "TMP" ? FDir.path() : QString(); });
  }

  QStringList StoredKeys() const {
    QSettings stored(StorePath(), QSettings::IniFormat);
    QStringList keys = stored.allKeys();
    keys.sort();
    return keys;
  }

  void Store(const QString& name, const QVariant& value) const {
    QSettings stored(StorePath(), QSettings::IniFormat);
    stored.setValue(name, value);
  }

  QTemporaryDir FDir;
  TScriptedPlatform FPlatform;
};

TEST_F(ProgramTest, FirstRunAsksForSyntaxHelpBeforeShowingAndWritesEveryValue) {
  auto program = MakeProgram(Version());
  ASSERT_TRUE(program->Start());
  EXPECT_EQ(FPlatform.HelpTopics, QList<int>{700});
  EXPECT_FALSE(program->MainWin()->isVisible());
  EXPECT_EQ(program->Settings().TempDir, FDir.path() + QDir::separator());
  EXPECT_EQ(program->Settings().TempLstFile, "OSasm.lst");
  EXPECT_EQ(program->Settings().WebHelpAddress, BuiltInWebHelpAddress);
  EXPECT_TRUE(StoredKeys().isEmpty());  // nothing is written before the end
  ASSERT_TRUE(program->Finish());

  const QStringList expected{
      "Author", "Copyright",   "CurrentAsmFile", "CurrentMemFile", "Default", "DefaultWebHelpAddress",
      "EMail",  "TempLstFile", "Version",        "WebHelpAddress"};
  QStringList sorted = expected;
  // The recent-files list writes all of its slots, empty ones too.
  for (int n = 1; n <= 8; ++n) sorted.append(QStringLiteral("RecentFile%1").arg(n));
  sorted.sort();
  EXPECT_EQ(StoredKeys(), sorted);
  QSettings stored(StorePath(), QSettings::IniFormat);
  EXPECT_EQ(stored.value("Version").toString(), "2.3");
  EXPECT_EQ(stored.value("Copyright").toString(), "(c) test");
  EXPECT_TRUE(FPlatform.Messages.isEmpty());
}

TEST_F(ProgramTest, SecondRunWithSameVersionAsksNothingAndWritesOnlyTheFiveValues) {
  {
    auto first = MakeProgram(Version());
    ASSERT_TRUE(first->Start());
    ASSERT_TRUE(first->Finish());
  }
  Store("Author", "someone else");  // would be overwritten if the product values were written
  Store("CurrentMemFile", "/work/demo.prg");
  FPlatform.HelpTopics.clear();
  auto second = MakeProgram(Version());
  ASSERT_TRUE(second->Start());
  EXPECT_TRUE(FPlatform.HelpTopics.isEmpty());
  EXPECT_EQ(second->Settings().CurrentMemFile, "/work/demo.prg");
  second->Settings().CurrentAsmFile = "/work/demo.asm";
  ASSERT_TRUE(second->Finish());
  QSettings stored(StorePath(), QSettings::IniFormat);
  EXPECT_EQ(stored.value("Author").toString(), "someone else");
  EXPECT_EQ(stored.value("CurrentAsmFile").toString(), "/work/demo.asm");
}

TEST_F(ProgramTest, NewVersionAsksAgainAndRewritesTheProductValues) {
  {
    auto first = MakeProgram(Version("2.3.2.289"));
    ASSERT_TRUE(first->Start());
    ASSERT_TRUE(first->Finish());
  }
  FPlatform.HelpTopics.clear();
  auto second = MakeProgram(Version("2.4.0.1"));
  ASSERT_TRUE(second->Start());
  EXPECT_EQ(FPlatform.HelpTopics, QList<int>{700});
  ASSERT_TRUE(second->Finish());
  QSettings stored(StorePath(), QSettings::IniFormat);
  EXPECT_EQ(stored.value("Version").toString(), "2.4");
}

TEST_F(ProgramTest, StoredDefaultWebHelpAddressLeavesWebHelpAddressAlone) {
  Store("DefaultWebHelpAddress", "file:///usr/share/doc/orvik/index.html");
  auto program = MakeProgram(Version());
  ASSERT_TRUE(program->Start());
  EXPECT_EQ(program->Settings().DefaultWebHelpAddress, "file:///usr/share/doc/orvik/index.html");
  EXPECT_EQ(program->Settings().WebHelpAddress, BuiltInWebHelpAddress);
}

// A damaged store never stops the start: defaults, one message, the bad
// file kept beside as Zavel.conf.damaged, a fresh one written at the end.
TEST_F(ProgramTest, DamagedStoreOfEachKindStartsWithDefaultsAndKeepsTheDamagedCopy) {
  struct TCase {
    const char* Kind;
    QByteArray Bytes;  // the file's contents; a folder when Folder is set
    bool Folder = false;
    bool Unreadable = false;
  };
  const TCase cases[] = {
      {"value that is not text", "[General]\nVersion=2.3\nTempLstFile=a, b\n"},
      {"NUL bytes", QByteArray(300, '\0')},
      {"junk", "\x89PNG\r\n\x1a\n\xff\xfe[[[=\n=\x01\x02 garbage\n[General\nTempLstFile"},
      {"a folder", "", true},
      {"unreadable", "[General]\nTempLstFile=x.lst\n", false, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Kind);
    // The owner of a file can always read it when that owner is root.
    if (c.Unreadable && geteuid() == 0) continue;
    QDir(StorePath() + ".damaged").removeRecursively();
    QFile::remove(StorePath() + ".damaged");
    QDir(StorePath()).removeRecursively();
    QFile::remove(StorePath());
    if (c.Folder) {
      ASSERT_TRUE(QDir().mkpath(StorePath() + "/inside"));
    } else {
      QFile file(StorePath());
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(c.Bytes);
      file.close();
      if (c.Unreadable) file.setPermissions(QFileDevice::WriteOwner);
    }
    FPlatform.Messages.clear();
    FPlatform.HelpTopics.clear();

    auto program = MakeProgram(Version());
    ASSERT_TRUE(program->Start());
    ASSERT_EQ(FPlatform.Messages.size(), 1);
    EXPECT_TRUE(FPlatform.Messages[0].Text.contains(StorePath() + ".damaged"))
        << FPlatform.Messages[0].Text.toStdString();
    EXPECT_EQ(program->Settings().TempLstFile, "OSasm.lst");
    EXPECT_EQ(FPlatform.HelpTopics, QList<int>{700});  // as on a first run
    const QFileInfo aside(StorePath() + ".damaged");
    if (c.Folder) {
      EXPECT_TRUE(QFileInfo(aside.filePath() + "/inside").isDir());
    } else {
      QFile kept(aside.filePath());
      kept.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
      ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
      EXPECT_EQ(kept.readAll(), c.Bytes);
    }
    ASSERT_TRUE(program->Finish());
    QSettings stored(StorePath(), QSettings::IniFormat);
    EXPECT_EQ(stored.status(), QSettings::NoError);
    EXPECT_EQ(stored.value("TempLstFile").toString(), "OSasm.lst");
  }
}

TEST_F(ProgramTest, TwoInstancesMergeTheirRecentFilesNewestFirst) {
  Store("RecentFile1", "/old/one.prg");
  Store("RecentFile2", "/old/two.prg");
  auto first = MakeProgram(Version());
  auto second = MakeProgram(Version());
  ASSERT_TRUE(first->Start());
  ASSERT_TRUE(second->Start());
  RecentFiles::Add(first->Settings().RecentFiles, "/a/first.asm");
  RecentFiles::Add(second->Settings().RecentFiles, "/b/second.asm");
  RecentFiles::Add(second->Settings().RecentFiles, "/old/two.prg");
  // The first writes while it runs; the second, ending last, keeps it.
  first->WriteChangedSettings();
  ASSERT_TRUE(second->Finish());
  ASSERT_TRUE(first->Finish());
  QSettings stored(StorePath(), QSettings::IniFormat);
  QStringList list;
  for (int n = 1; n <= 8 && !stored.value(QStringLiteral("RecentFile%1").arg(n)).toString().isEmpty(); ++n)
    list << stored.value(QStringLiteral("RecentFile%1").arg(n)).toString();
  EXPECT_EQ(list, QStringList({"/old/two.prg", "/b/second.asm", "/a/first.asm", "/old/one.prg"}));
}

TEST_F(ProgramTest, UnwritableStoreAtTheEndIsReportedWithoutCrashing) {
  // A folder that cannot be made, whatever the user's rights: its parent is a file.
  QFile blocker(FDir.filePath("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  TProgram program(std::make_unique<TQSettingsStore>(blocker.fileName() + "/qto/Zavel.conf"), Version(),
                   [](const char*) { return QString(); });
  ASSERT_TRUE(program.Start());
  EXPECT_FALSE(program.Finish());
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_TRUE(FPlatform.Messages[0].Text.startsWith("Cannot save the settings"))
      << FPlatform.Messages[0].Text.toStdString();
}

}  // namespace
