// Unsaved work survives a killed program: a child process (this test binary
// again, running RecoverChild.TypesAndWaits) types into real windows and is
// then killed; the next start offers what it left.
#include "app/Program.h"
#include "app/Startup.h"
#include "controls/HexGrid.h"
#include "desktop/RecentFiles.h"
#include "desktop/RecoveryDialog.h"
#include "desktop/RecoveryStore.h"
#include "desktop/Settings.h"
#include "desktop/SettingsStore.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"
#include "mainwin/MainWin.h"
#include "support/ScriptedPlatform.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>

namespace {

const QString TypedIntoFile = QStringLiteral("; typed, never saved\n");
const QString TypedUntitled = QStringLiteral("ld r1, 5\nhalt");  // no line break at the end
const QByteArray FileText = "; on disk\r\nhalt\r\n";

QString RecoveryRoot(const QString& home) { return home + "/data/Orvik Simulator/recovery"; }
QString ConfigFile(const QString& home) { return home + "/config/qto/Zavel.conf"; }

int EntryFiles(const QString& root) {
  int count = 0;
  for (QDirIterator it(root, {"*.entry"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next()) ++count;
  return count;
}

// Types as a user does, Enter for each line break.
void Type(QWidget* widget, const QString& text) {
  const QStringList lines = text.split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i > 0) QTest::keyClick(widget, Qt::Key_Return);
    QTest::keyClicks(widget, lines[i]);
  }
}

// The child: the real program's start, two editors and memory changed, then
// it waits for the autosave and the settings write and says READY.
TEST(RecoverChild, TypesAndWaits) {
  if (qEnvironmentVariableIsEmpty("ORVIK_RECOVER_CHILD")) GTEST_SKIP() << "runs only as the child of Recover tests";
  const QString home = qEnvironmentVariable("HOME");
  const QString file = qEnvironmentVariable("ORVIK_RECOVER_FILE");
  TProgram program(std::make_unique<TQSettingsStore>(), BuiltInVersionResource(),
                   [](const char* name) { return qEnvironmentVariable(name); });
  ASSERT_TRUE(program.Start());
  program.EndOnSignals();
  program.Show({});
  TMainWin* win = program.MainWin();
  TAssemblerEditor* named = win->AssemblerButtonClick();
  ASSERT_TRUE(named->LoadAsmFile(file));
  named->TextEditor->moveCursor(QTextCursor::End);
  Type(named->TextEditor, TypedIntoFile);
  TAssemblerEditor* untitled = win->AssemblerButtonClick();
  Type(untitled->TextEditor, TypedUntitled);
  win->MainMemory()->SetContents(0x10, 0x2A);
  win->Registers()->SetContents(3, 7);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return EntryFiles(RecoveryRoot(home)) == 3 &&
               QSettings(ConfigFile(home), QSettings::IniFormat).value("RecentFile1").toString() == file;
      },
      15000));
  std::fputs("READY\n", stdout);
  std::fflush(stdout);
  QApplication::exec();  // until a signal ends it, or SIGKILL
  std::_Exit(program.Finish() ? 0 : 1);
}

class RecoverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir().mkpath(FHome.path() + "/config") && QDir().mkpath(FHome.path() + "/data"));
    FFile = FHome.filePath("prog.asm");
    QFile out(FFile);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(FileText);
  }

  void StartChild() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", FHome.path());
    env.insert("XDG_CONFIG_HOME", FHome.path() + "/config");
    env.insert("XDG_DATA_HOME", FHome.path() + "/data");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ORVIK_RECOVER_CHILD", "1");
    env.insert("ORVIK_RECOVER_FILE", FFile);
    FChild.setProcessEnvironment(env);
    FChild.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=RecoverChild.TypesAndWaits"});
    ASSERT_TRUE(FChild.waitForStarted());
    QByteArray out;
    while (!out.contains("READY\n")) {
      ASSERT_TRUE(FChild.waitForReadyRead(30000)) << out.toStdString() << FChild.readAllStandardError().toStdString();
      out += FChild.readAllStandardOutput();
    }
  }

  std::unique_ptr<TProgram> StartAgain() {
    auto program = std::make_unique<TProgram>(std::make_unique<TQSettingsStore>(ConfigFile(FHome.path())),
                                              BuiltInVersionResource(), [](const char*) { return QString(); });
    program->SetRecoveryRoot(RecoveryRoot(FHome.path()));
    EXPECT_TRUE(program->Start());
    program->Show({});
    return program;
  }

  static TRecoveryDialog* OfferedDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<TRecoveryDialog*>(widget); dialog && dialog->isVisible()) return dialog;
    return nullptr;
  }

  static std::vector<TAssemblerEditor*> Editors() {
    std::vector<TAssemblerEditor*> editors;
    for (TZForm* form : TZForm::AllForms())
      if (auto* editor = dynamic_cast<TAssemblerEditor*>(form)) editors.push_back(editor);
    return editors;
  }

  QTemporaryDir FHome;
  QString FFile;
  QProcess FChild;
  TScriptedPlatform FPlatform;
};

TEST_F(RecoverTest, RecoverAfterKillRestoresEveryWindowModifiedWithItsName) {
  StartChild();
  FChild.kill();
  ASSERT_TRUE(FChild.waitForFinished());
  // Settings are written when they change, not only at the end.
  EXPECT_EQ(QSettings(ConfigFile(FHome.path()), QSettings::IniFormat).value("RecentFile1").toString(), FFile);

  auto program = StartAgain();
  TRecoveryDialog* dialog = OfferedDialog();
  ASSERT_NE(dialog, nullptr);
  QStringList rows;
  for (int i = 0; i < dialog->EntryList()->topLevelItemCount(); ++i)
    rows << dialog->EntryList()->topLevelItem(i)->text(0) + " | " + dialog->EntryList()->topLevelItem(i)->text(2);
  rows.sort();
  EXPECT_EQ(rows, QStringList({"Memory: Untitled | ", "Untitled | ld r1, 5", "prog.asm | ; on disk"}));
  QTest::mouseClick(dialog->RestoreButton(), Qt::LeftButton);

  const std::vector<TAssemblerEditor*> editors = Editors();
  ASSERT_EQ(editors.size(), 2u);
  QStringList texts;
  for (TAssemblerEditor* editor : editors) {
    EXPECT_TRUE(editor->Modified());
    EXPECT_EQ(editor->StatusModified->text(), "Modified");
    if (editor->FileName().isEmpty()) {
      EXPECT_EQ(editor->TextEditor->toPlainText(), TypedUntitled);
      EXPECT_EQ(editor->windowTitle(), "Orvik Assembler");
    } else {
      EXPECT_EQ(editor->FileName(), FFile);
      EXPECT_EQ(editor->windowTitle(), "Orvik Assembler - " + FFile);
      EXPECT_EQ(editor->TextEditor->toPlainText(), "; on disk\nhalt\n" + TypedIntoFile);
    }
  }
  TMainWin* win = program->MainWin();
  EXPECT_EQ(win->Session().Memory(0x10), 0x2A);
  EXPECT_EQ(win->Session().Register(3), 7);
  EXPECT_TRUE(win->MemoryModified());
  EXPECT_EQ(win->StatusModified()->text(), "Modified");
  // The restored work now lives in this program's own folder, and only there.
  EXPECT_EQ(EntryFiles(RecoveryRoot(FHome.path())), 3);
  EXPECT_EQ(EntryFiles(program->Recovery()->OwnFolder()), 3);

  // A clean exit leaves nothing.
  ASSERT_TRUE(program->Finish());
  EXPECT_FALSE(QFileInfo::exists(RecoveryRoot(FHome.path())));
}

TEST_F(RecoverTest, AutosaveOnSigtermWritesSettingsAndEntriesAndDiscardRemovesThem) {
  StartChild();
  FChild.terminate();
  ASSERT_TRUE(FChild.waitForFinished());
  EXPECT_EQ(FChild.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(FChild.exitCode(), 0) << FChild.readAllStandardError().toStdString();
  QSettings stored(ConfigFile(FHome.path()), QSettings::IniFormat);
  const TVersionResource version = BuiltInVersionResource();
  EXPECT_EQ(stored.value("Version").toString(), MakeVersionText(version.FileVersion, version.Flags));
  EXPECT_EQ(stored.value("CurrentAsmFile").toString(), FFile);
  EXPECT_EQ(EntryFiles(RecoveryRoot(FHome.path())), 3);

  auto program = StartAgain();
  TRecoveryDialog* dialog = OfferedDialog();
  ASSERT_NE(dialog, nullptr);
  QTest::mouseClick(dialog->DiscardButton(), Qt::LeftButton);
  EXPECT_TRUE(Editors().empty());
  EXPECT_FALSE(program->MainWin()->MemoryModified());
  EXPECT_EQ(EntryFiles(RecoveryRoot(FHome.path())), 0);
}

TEST_F(RecoverTest, RecoverNeverTakesTheEntriesOfARunningProgram) {
  TRecoveryStore running(RecoveryRoot(FHome.path()));
  TRecoveryEntry entry;
  entry.Key = "source-1";
  entry.Kind = "source";
  entry.Body = "halt";
  ASSERT_EQ(running.Write(entry), "");
  TRecoveryStore second(RecoveryRoot(FHome.path()));
  EXPECT_TRUE(second.TakeOrphans().empty());
  EXPECT_TRUE(running.Contains("source-1"));
}

// What a start does with the folder a killed program left: offers what it can
// read, removes a folder with nothing in it, and never deletes an entry it
// cannot read (a newer version's, another user's).
TEST_F(RecoverTest, OrphanFoldersAreOfferedRemovedOrLeftAsTheirEntriesAllow) {
  struct TRow {
    const char* Name;
    QByteArray Entry;  // empty: no entry file at all
    size_t Offered;
    bool FolderKept;
  };
  const TRow rows[] = {
      {"written", EncodeRecoveryEntry(TRecoveryEntry::Now("source-1", "source", "a.asm")), 1, true},
      {"nothing written", QByteArray(), 0, false},
      {"newer version", QByteArray("Orvik recovery 2\nkind: source\n\nhalt"), 0, true},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    const QString root = RecoveryRoot(FHome.path()) + "/" + row.Name;
    const QString folder = root + "/4242-1";
    ASSERT_TRUE(QDir().mkpath(folder));
    if (!row.Entry.isEmpty()) {
      QFile file(folder + "/source-1.entry");
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(row.Entry);
    }
    TRecoveryStore store(root);
    EXPECT_EQ(store.TakeOrphans().size(), row.Offered);
    store.ReleaseOrphans();
    EXPECT_EQ(QDir(folder).exists(), row.FolderKept);
  }
}

}  // namespace
