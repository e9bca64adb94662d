// Files from outside the Open dialog: the command line (through TProgram, as
// main() passes it), files dropped on the main window or an editor, and
// File > Recent Files in both windows.
#include "MainWinFixture.h"

#include "app/Program.h"
#include "desktop/RecentFiles.h"
#include "desktop/SettingsStore.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

namespace {

const QString AskText = QStringLiteral("Memory Changed.\nDo you want to save before you open another file?");

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// A program file whose cell 0 holds first, the rest zero.
QByteArray ProgramStarting(char first) {
  QByteArray bytes(1024, '\0');
  bytes[0] = first;
  return bytes;
}

// The visible editors, by the file each holds ("" for none).
QMap<QString, TAssemblerEditor*> OpenEditors() {
  QMap<QString, TAssemblerEditor*> editors;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* editor = qobject_cast<TAssemblerEditor*>(widget); editor && editor->isVisible())
      editors.insert(editor->FileName(), editor);
  return editors;
}

void CloseEditors() {
  for (TAssemblerEditor* editor : OpenEditors()) {
    editor->SetModified(false);
    editor->close();
  }
  QApplication::processEvents();
}

// Drags local files (or text) onto a window at a point of one of its
// widgets and drops them there. The events go to the window, which routes
// them to the widget under the point as a drop from a file manager is.
bool Drop(QWidget* widget, QMimeData* data) {
  QWindow* window = widget->window()->windowHandle();
  const QPoint at = widget->mapTo(widget->window(), widget->rect().center());
  QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &enter);
  const bool accepted = enter.isAccepted();
  QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &drop);
  QApplication::processEvents();
  return accepted;
}

bool DropFiles(QWidget* widget, const QStringList& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
  data.setUrls(urls);
  return Drop(widget, &data);
}

// The entries File > Recent Files shows, as the student reads them.
QStringList MenuEntries(TRecentFilesMenu* recent) {
  Q_EMIT recent->Menu()->aboutToShow();
  QStringList entries;
  for (QAction* action : recent->Menu()->actions()) entries.append(action->text());
  return entries;
}

void ChooseEntry(TRecentFilesMenu* recent, int index) {
  Q_EMIT recent->Menu()->aboutToShow();
  recent->Menu()->actions().at(index)->trigger();
  QApplication::processEvents();
}

class OpenFilesTest : public MainWinTest {
 protected:
  void SetUp() override {
    MainWinTest::SetUp();
    WriteFile(Path("first.prg"), ProgramStarting(0x11));
    WriteFile(Path("last.prg"), ProgramStarting(0x22));
    WriteFile(Path("hello.asm"), "Start: halt\r\n");
    WriteFile(Path("LOUD.ASM"), "; loud\r\n");
  }
  void TearDown() override {
    CloseEditors();
    MainWinTest::TearDown();
  }
  QString Path(const char* name) const { return FDir.filePath(name); }
  QList<QString> MessageTexts() const {
    QList<QString> texts;
    for (const TScriptedPlatform::TMessage& message : FPlatform.Messages) texts.append(message.Text);
    return texts;
  }
};

TEST(CommandLineFiles, EachSourceGetsAnEditorTheLastProgramStaysAndABadFileIsReported) {
  TScriptedPlatform platform;
  QTemporaryDir folder;
  WriteFile(folder.filePath("first.prg"), ProgramStarting(0x11));
  WriteFile(folder.filePath("last.prg"), ProgramStarting(0x22));
  WriteFile(folder.filePath("hello.asm"), "Start: halt\r\n");
  WriteFile(folder.filePath("LOUD.ASM"), "; loud\r\n");
  WriteFile(folder.filePath("short.prg"), QByteArray(10, '\0'));
  TProgram program(std::make_unique<TQSettingsStore>(folder.filePath("Zavel.conf")), TVersionResource{},
                   [&](const char*) { return folder.path(); });
  ASSERT_TRUE(program.Start());

  // Relative names, as typed in a terminal in the files' folder.
  const QString before = QDir::currentPath();
  QDir::setCurrent(folder.path());
  program.Show({"first.prg", "hello.asm", "missing.asm", "short.prg", "LOUD.ASM", "last.prg"});
  QDir::setCurrent(before);

  TMainWin* main = program.MainWin();
  EXPECT_TRUE(main->isVisible());
  EXPECT_EQ(main->MainMemory()->GetContents(0), 0x22);
  EXPECT_EQ(main->windowTitle(), "Orvik Simulator - " + folder.filePath("last.prg"));
  const auto editors = OpenEditors();
  EXPECT_EQ(editors.keys(), (QStringList{folder.filePath("LOUD.ASM"), folder.filePath("hello.asm")}));
  if (editors.contains(folder.filePath("hello.asm"))) {
    EXPECT_EQ(editors[folder.filePath("hello.asm")]->Document()->toPlainText(), "Start: halt\n");
  }
  ASSERT_EQ(platform.Messages.size(), 2);
  EXPECT_EQ(platform.Messages[0].Text, "Cannot open file " + folder.filePath("missing.asm"));
  EXPECT_EQ(platform.Messages[1].Text, "Stream read error");
  EXPECT_EQ(platform.Messages[1].Icon, TMsgIcon::Error);
  EXPECT_EQ(program.Settings().RecentFiles, (QStringList{folder.filePath("last.prg"), folder.filePath("LOUD.ASM"),
                                                         folder.filePath("hello.asm"), folder.filePath("first.prg")}));

  CloseEditors();
  ASSERT_TRUE(program.Finish());
  // The list is there again at the next start.
  TProgram again(std::make_unique<TQSettingsStore>(folder.filePath("Zavel.conf")), TVersionResource{},
                 [&](const char*) { return folder.path(); });
  ASSERT_TRUE(again.Start());
  EXPECT_EQ(again.Settings().RecentFiles.value(0), folder.filePath("last.prg"));
  ASSERT_TRUE(again.Finish());
}

TEST_F(OpenFilesTest, ChangedMemoryAsksFirstAndCancelSkipsOnlyThatFile) {
  Poke(0x00, {0x55});
  ASSERT_TRUE(Main->MemoryModified());
  FPlatform.Answers = {TAnswer::Cancel};
  Main->OpenFiles({Path("first.prg"), Path("hello.asm")});
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Caption, "Save?");
  EXPECT_EQ(FPlatform.Messages[0].Text, AskText);
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x55);
  EXPECT_TRUE(Main->MemoryModified());
  EXPECT_TRUE(OpenEditors().contains(Path("hello.asm")));

  // Answered No, the file replaces memory; the next one asks no more.
  FPlatform.Answers = {TAnswer::No};
  Main->OpenFiles({Path("first.prg"), Path("last.prg")});
  EXPECT_EQ(FPlatform.Messages.size(), 2);
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x22);
  EXPECT_FALSE(Main->MemoryModified());
}

TEST_F(OpenFilesTest, FilesDroppedOnTheMainWindowOpenAsFromTheCommandLine) {
  EXPECT_TRUE(
      DropFiles(Main->MainMemory(), {Path("first.prg"), Path("gone.prg"), Path("hello.asm"), Path("last.prg")}));
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x22);
  EXPECT_EQ(Main->ProgramFileName(), Path("last.prg"));
  EXPECT_EQ(MessageTexts(), QList<QString>{"Cannot open file " + Path("gone.prg")});
  EXPECT_TRUE(OpenEditors().contains(Path("hello.asm")));
}

TEST_F(OpenFilesTest, FilesDroppedOnAnEditorsTextOpenAndAreNotPastedThere) {
  Click(Main->AssemblerButton());
  QPointer<TAssemblerEditor> editor = Main->AssemblerEditor();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.data()));
  editor->LoadLines({"; mine"});

  EXPECT_TRUE(DropFiles(editor->TextEditor, {Path("LOUD.ASM"), Path("first.prg")}));
  EXPECT_EQ(editor->Document()->toPlainText(), "; mine\n");
  EXPECT_TRUE(OpenEditors().contains(Path("LOUD.ASM")));
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x11);
  EXPECT_TRUE(FPlatform.Messages.isEmpty());

  // Text dragged onto the view is still the view's to insert.
  QMimeData text;
  text.setText(QStringLiteral("halt"));
  Drop(editor->TextEditor, &text);
  EXPECT_TRUE(editor->Document()->toPlainText().contains("halt"));
}

TEST_F(OpenFilesTest, RecentFilesListsOpenedAndSavedFilesNewestFirstInBothWindows) {
  EXPECT_EQ(MenuEntries(Main->RecentMenu()), QStringList{"(none)"});
  FPlatform.OpenResults.push_back(TScriptedPlatform::Picked(Path("first.prg")));
  Click(Main->OpenButton());
  FPlatform.SaveResults.push_back(TScriptedPlatform::Picked(Path("saved.prg")));
  Main->MenuSaveAsFileClick();
  Main->OpenFiles({Path("hello.asm")});
  const QStringList expected{"&1 " + Path("hello.asm"), "&2 " + Path("saved.prg"), "&3 " + Path("first.prg")};
  EXPECT_EQ(MenuEntries(Main->RecentMenu()), expected);
  TAssemblerEditor* editor = OpenEditors().value(Path("hello.asm"));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(MenuEntries(editor->RecentMenu), expected);
  // It sits below Save As in both File menus.
  const QList<QAction*> mainItems = Main->FileMenu()->actions();
  EXPECT_EQ(mainItems.indexOf(Main->RecentMenu()->Menu()->menuAction()), mainItems.indexOf(Main->MenuSaveAsFile()) + 1);
  const QList<QAction*> editorItems = editor->FileMenu->actions();
  EXPECT_EQ(editorItems.indexOf(editor->RecentMenu->Menu()->menuAction()),
            editorItems.indexOf(editor->MenuSaveAsFile) + 1);

  // Chosen in the editor, a program file goes into memory.
  Poke(0x00, {0x77});
  Main->SetMemoryModified(false);
  ChooseEntry(editor->RecentMenu, 1);
  EXPECT_EQ(Main->ProgramFileName(), Path("saved.prg"));
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x11);
}

TEST_F(OpenFilesTest, AChosenRecentFileThatIsGoneIsRemovedWithAMessage) {
  FSettings.RecentFiles = {Path("gone.asm"), Path("last.prg")};
  ChooseEntry(Main->RecentMenu(), 0);
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Text,
            "The file " + Path("gone.asm") + " no longer exists.\nIt has been removed from the list of recent files.");
  EXPECT_TRUE(OpenEditors().isEmpty());
  EXPECT_EQ(MenuEntries(Main->RecentMenu()), QStringList{"&1 " + Path("last.prg")});
  ChooseEntry(Main->RecentMenu(), 0);
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x22);
  EXPECT_EQ(FPlatform.Messages.size(), 1);
}

}  // namespace
