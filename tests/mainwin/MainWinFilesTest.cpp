#include "MainWinFixture.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QRandomGenerator>

#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// A program file with the given cells first and zeros after them.
QByteArray ProgramFile(std::initializer_list<int> cells, int size = 1024) {
  QByteArray bytes(size, '\0');
  int offset = 0;
  for (int cell : cells) {
    for (int b = 0; b < 4; ++b) bytes[offset + b] = static_cast<char>((static_cast<uint32_t>(cell) >> (8 * b)) & 0xFF);
    offset += 4;
  }
  return bytes;
}

class ProgramFilesTest : public MainWinTest {
 protected:
  QString Path(const char* name) const { return FDir.filePath(name); }
  void OpenThrough(const QString& path) {
    FPlatform.OpenResults.push_back(TScriptedPlatform::Picked(path));
    Click(Main->OpenButton());
  }
};

TEST_F(ProgramFilesTest, SaveWritesFourLittleEndianBytesPerCell) {
  Poke(0x00, {0x20, 0x41, 0xC0, 0x00});
  FPlatform.SaveResults.push_back(TScriptedPlatform::Picked(Path("demo.prg")));
  Click(Main->SaveButton());
  const QByteArray bytes = ReadAll(Path("demo.prg"));
  ASSERT_EQ(bytes.size(), 1024);
  EXPECT_EQ(bytes.left(16).toHex(' '), "20 00 00 00 41 00 00 00 c0 00 00 00 00 00 00 00");
  EXPECT_EQ(Main->windowTitle(), "Orvik Simulator - " + Path("demo.prg"));
  EXPECT_FALSE(Main->MemoryModified());
  EXPECT_EQ(FSettings.CurrentMemFile, Path("demo.prg"));
  ASSERT_EQ(FPlatform.SaveRequests.size(), 1);
  EXPECT_EQ(FPlatform.SaveRequests[0].Title, "Save Program File");
  EXPECT_EQ(FPlatform.SaveRequests[0].InitialDir, FSettings.TempDir);
  EXPECT_TRUE(FPlatform.SaveRequests[0].FileName.isEmpty());
}

TEST_F(ProgramFilesTest, OpenLoadsTheFirst1024BytesAndResetsPc) {
  WriteBytes(Path("long.prg"), ProgramFile({0x20, 0x41, 0xC0, 0x00}, 2000));
  Main->SysRegs()->SetContents(0, 0x40);
  OpenThrough(Path("long.prg"));
  EXPECT_EQ(Main->MainMemory()->GetContents(1), 0x41);
  EXPECT_EQ(Main->MainMemory()->GetContents(2), 0xC0);
  EXPECT_EQ(Pc(), 0);
  EXPECT_EQ(Main->DisasmWin()->SelectedRow(), 0);
  EXPECT_EQ(Main->DisasmWin()->RowText(1), "02:  C0,00  halt             ;...");
  EXPECT_FALSE(Main->MemoryModified());
  EXPECT_EQ(Main->windowTitle(), "Orvik Simulator - " + Path("long.prg"));
  EXPECT_EQ(Main->ProgramFileName(), Path("long.prg"));
  ASSERT_EQ(FPlatform.OpenRequests.size(), 1);
  EXPECT_EQ(FPlatform.OpenRequests[0].Title, "Open Program File");
  EXPECT_EQ(FPlatform.OpenRequests[0].Filters.value(0), "Program Files (*.prg)");
}

TEST_F(ProgramFilesTest, ShortFileIsAStreamReadErrorAndLeavesMemory) {
  Poke(0x00, {0x11, 0x22});
  Main->SetMemoryModified(false);
  Main->SysRegs()->SetContents(0, 0x40);
  WriteBytes(Path("short.prg"), ProgramFile({0x99}, 1000));
  OpenThrough(Path("short.prg"));
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Text, "Stream read error");
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x11);
  EXPECT_EQ(Pc(), 0);
  EXPECT_FALSE(Main->MemoryModified());
  EXPECT_EQ(Main->windowTitle(), "Orvik Simulator");
  EXPECT_EQ(FSettings.CurrentMemFile, Path("short.prg"));  // the dialogs start there next time
}

TEST_F(ProgramFilesTest, AFailedOpenKeepsTheEditsAndTheirModifiedState) {
  Poke(0x00, {0x11, 0x22});
  ASSERT_TRUE(Main->MemoryModified());
  WriteBytes(Path("short.prg"), ProgramFile({0x99}, 1000));
  FPlatform.Answers = {TAnswer::No};  // "Save?": no, open the other file
  OpenThrough(Path("short.prg"));
  ASSERT_EQ(FPlatform.Messages.size(), 2);
  EXPECT_EQ(FPlatform.Messages[1].Text, "Stream read error");
  EXPECT_EQ(Main->MainMemory()->GetContents(1), 0x22);
  EXPECT_TRUE(Main->MemoryModified());
  EXPECT_EQ(Main->StatusModified()->text(), "Modified");
  EXPECT_TRUE(Main->SaveButton()->isEnabled());
  // So exiting still asks about them.
  FPlatform.Answers = {TAnswer::Cancel};
  EXPECT_FALSE(Main->close());
  ASSERT_EQ(FPlatform.Messages.size(), 3);
  EXPECT_EQ(FPlatform.Messages[2].Text, "Memory Changed.\nDo you want to save before you exit?");
}

TEST_F(ProgramFilesTest, SaveAsOfNeverSavedMemoryStartsInTheLastFilesFolderWithNoName) {
  FSettings.CurrentMemFile = Path("mixed.prg");  // the last program file used
  ASSERT_TRUE(Main->ProgramFileName().isEmpty());
  Poke(0x00, {0x05});
  Main->MenuSaveAsFile()->trigger();
  Click(Main->SaveButton());
  ASSERT_EQ(FPlatform.SaveRequests.size(), 2);
  for (const TFileDialogRequest& request : FPlatform.SaveRequests) {
    EXPECT_EQ(request.InitialDir, FDir.path());
    EXPECT_EQ(request.FileName, "");
  }
}

TEST_F(ProgramFilesTest, MissingFileCannotBeOpened) {
  OpenThrough(Path("gone.prg"));
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Text, "Cannot open file " + Path("gone.prg"));
}

TEST_F(ProgramFilesTest, SaveWritesBackToTheOpenedFileAndSaveAsMovesOn) {
  WriteBytes(Path("a.prg"), ProgramFile({1, 2}));
  OpenThrough(Path("a.prg"));
  Poke(0x00, {0x05});
  Click(Main->SaveButton());  // no dialog: the opened file
  EXPECT_TRUE(FPlatform.SaveRequests.isEmpty());
  EXPECT_EQ(static_cast<uint8_t>(ReadAll(Path("a.prg"))[0]), 0x05);

  FPlatform.SaveResults.push_back(TScriptedPlatform::Picked(Path("b.prg")));
  Main->MenuSaveAsFile()->trigger();
  ASSERT_EQ(FPlatform.SaveRequests.size(), 1);
  EXPECT_EQ(FPlatform.SaveRequests[0].InitialDir, FDir.path());
  EXPECT_EQ(FPlatform.SaveRequests[0].FileName, "a");
  Poke(0x00, {0x06});
  Click(Main->SaveButton());
  EXPECT_EQ(static_cast<uint8_t>(ReadAll(Path("b.prg"))[0]), 0x06);
  EXPECT_EQ(static_cast<uint8_t>(ReadAll(Path("a.prg"))[0]), 0x05);
}

TEST_F(ProgramFilesTest, OpenWhileModifiedAsksFirst) {
  WriteBytes(Path("a.prg"), ProgramFile({7}));
  Poke(0x00, {0x05});
  FPlatform.Answers.push_back(TAnswer::Cancel);
  OpenThrough(Path("a.prg"));
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x05);
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Caption, "Save?");
  EXPECT_EQ(FPlatform.Messages[0].Text, "Memory Changed.\nDo you want to save before you open another file?");
  EXPECT_EQ(FPlatform.Messages[0].Icon, TMsgIcon::Warning);

  FPlatform.OpenResults.clear();
  FPlatform.Answers.push_back(TAnswer::No);
  OpenThrough(Path("a.prg"));
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 7);
}

TEST_F(ProgramFilesTest, ExitQuestionCancelOrCancelledSaveKeepsTheWindow) {
  Poke(0x00, {0x05});
  FPlatform.Answers.push_back(TAnswer::Cancel);
  EXPECT_FALSE(Main->close());
  EXPECT_TRUE(Main->isVisible());
  EXPECT_EQ(FPlatform.Messages.back().Text, "Memory Changed.\nDo you want to save before you exit?");

  FPlatform.Answers.push_back(TAnswer::Yes);  // and then the Save As dialog is cancelled
  EXPECT_FALSE(Main->close());
  EXPECT_TRUE(Main->isVisible());
  EXPECT_EQ(FPlatform.SaveRequests.size(), 1);

  FPlatform.Answers.push_back(TAnswer::Yes);
  FPlatform.SaveResults.push_back(TScriptedPlatform::Picked(Path("exit.prg")));
  EXPECT_TRUE(Main->close());
  EXPECT_EQ(ReadAll(Path("exit.prg")).size(), 1024);
}

TEST_F(ProgramFilesTest, FailedSaveChangesNothing) {
  QFile blocker(Path("blocker"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  Poke(0x00, {0x05});
  FPlatform.SaveResults.push_back(TScriptedPlatform::Picked(blocker.fileName() + "/x.prg"));
  Click(Main->SaveButton());
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  // The file layer's message, then the system's reason.
  EXPECT_TRUE(
      FPlatform.Messages[0].Text.startsWith(QString("Cannot create file " + blocker.fileName() + "/x.prg") + ": "))
      << FPlatform.Messages[0].Text.toStdString();
  EXPECT_EQ(Main->windowTitle(), "Orvik Simulator");
  EXPECT_TRUE(Main->ProgramFileName().isEmpty());
  EXPECT_TRUE(FSettings.CurrentMemFile.isEmpty());
  EXPECT_TRUE(Main->MemoryModified());
}

TEST_F(ProgramFilesTest, SaveThatFailsHalfwayLeavesTheOldFileIntact) {
  const QByteArray old = ProgramFile({0x42, 0x43});
  WriteBytes(Path("keep.prg"), old);
  OpenThrough(Path("keep.prg"));
  Poke(0x00, {0x05});
  // A file size limit makes the write fail after some bytes, as a full disk would.
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = before;
  limited.rlim_cur = 512;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  Click(Main->SaveButton());
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &before), 0);
  std::signal(SIGXFSZ, oldHandler);

  ASSERT_EQ(FPlatform.Messages.size(), 1);
  // The file layer's message, then the system's reason.
  EXPECT_TRUE(FPlatform.Messages[0].Text.startsWith(QString("Stream write error") + ": "))
      << FPlatform.Messages[0].Text.toStdString();
  EXPECT_EQ(ReadAll(Path("keep.prg")), old);
  EXPECT_TRUE(Main->MemoryModified());
}

TEST_F(ProgramFilesTest, RandomFilesNeverBreakTheMachine) {
  QRandomGenerator random(20261208);
  for (int round = 0; round < 40; ++round) {
    const int size = static_cast<int>(random.bounded(4097));
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>(random.bounded(256));
    // Mostly bytes, sometimes whole random 32-bit cells.
    if (round % 2 == 0)
      for (int i = 3; i < size; i += 4) bytes[i] = random.bounded(4) == 0 ? static_cast<char>(random.bounded(256)) : 0;
    WriteBytes(Path("random.prg"), bytes);
    FPlatform.Messages.clear();
    OpenThrough(Path("random.prg"));
    EXPECT_EQ(FPlatform.Messages.isEmpty(), size >= 1024) << size;
    for (int step = 0; step < 300; ++step) Main->StepSimulator();
    Main->SetMemoryModified(false);
  }
  QApplication::processEvents();
}

TEST_F(ProgramFilesTest, OutOfRangeCellsShowAllTheirDigits) {
  WriteBytes(Path("wide.prg"), ProgramFile({0x100, -1}));
  OpenThrough(Path("wide.prg"));
  EXPECT_EQ(Cell(Main->MainMemory(), 0), "100");
  EXPECT_EQ(Cell(Main->MainMemory(), 1), "FFFFFFFF");
  Click(Main->StepButton());
  EXPECT_EQ(Status(), "Invalid instruction");
  EXPECT_EQ(Pc(), 2);
}

class ClipboardTest : public MainWinTest {
 protected:
  void Select(int lo, int hi) {
    Main->MainMemory()->SetSelStart(lo);
    Main->MainMemory()->SetSelEnd(hi);
  }
};

TEST_F(ClipboardTest, CopyThenPasteNearTheEndDropsWhatDoesNotFit) {
  Poke(0x10, {0x20, 0x41, 0xC0, 0x00});
  Select(0x10, 0x13);
  Main->MenuCopyClick();
  Select(0xFE, 0xFE);
  Main->MenuPasteClick();
  EXPECT_EQ(Main->MainMemory()->GetContents(0xFE), 0x20);
  EXPECT_EQ(Main->MainMemory()->GetContents(0xFF), 0x41);
  EXPECT_EQ(Main->MainMemory()->GetContents(0x00), 0);
  EXPECT_EQ(Main->MainMemory()->GetSelLo(), 0xFE);  // the selection stays
  EXPECT_TRUE(FPlatform.Messages.isEmpty());
}

TEST_F(ClipboardTest, PasteReportsAnEmptyClipboardOrAMissingDestination) {
  Select(0x20, 0x20);
  Main->MenuPasteClick();
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Caption, "Error");
  EXPECT_EQ(FPlatform.Messages[0].Text, "Nothing on the clipboard to paste.");
  EXPECT_EQ(FPlatform.Messages[0].Icon, TMsgIcon::Warning);

  Main->MenuCopyClick();
  Select(0x30, 0x31);
  Main->MenuPasteClick();
  ASSERT_EQ(FPlatform.Messages.size(), 2);
  EXPECT_EQ(FPlatform.Messages[1].Text,
            "No destination selected.\nSelect one cell to mark the start of the destination.");
}

TEST_F(ClipboardTest, CutLeavesZerosAndPasteRestoresTheValuesAsTheyWereCopied) {
  Poke(0x40, {1, 2, 3});
  Select(0x40, 0x42);
  Main->MenuCutClick();
  EXPECT_EQ(Main->MainMemory()->GetContents(0x41), 0);
  Poke(0x40, {9, 9, 9});  // later changes do not reach the clipboard
  Select(0x80, 0x80);
  Main->MenuPasteClick();
  EXPECT_EQ(Main->MainMemory()->GetContents(0x80), 1);
  EXPECT_EQ(Main->MainMemory()->GetContents(0x82), 3);
  EXPECT_TRUE(Main->MemoryModified());
}

TEST_F(ClipboardTest, EditMenuEnablesWhatApplies) {
  Main->EditMenuClick();
  EXPECT_FALSE(Main->MenuCut()->isEnabled());
  EXPECT_FALSE(Main->MenuCopy()->isEnabled());
  EXPECT_FALSE(Main->MenuPaste()->isEnabled());
  EXPECT_TRUE(Main->MenuSelectAll()->isEnabled());
  Main->MenuSelectAll()->trigger();
  EXPECT_EQ(Status(), "Selected: 0-255");
  Main->EditMenuClick();
  EXPECT_TRUE(Main->MenuCopy()->isEnabled());
  Main->MenuCopy()->trigger();
  Main->EditMenuClick();
  EXPECT_TRUE(Main->MenuPaste()->isEnabled());
  EXPECT_EQ(Main->MemoryClipboard().size(), 256);
}

TEST_F(ClipboardTest, ShortcutsWorkThroughTheRealMenu) {
  Poke(0x00, {0x12});
  // Opened with nothing to copy, the menu greys Cut and Copy out; once it
  // closes, the keys must work again for a selection made afterwards.
  Main->EditMenu()->popup(Main->mapToGlobal(QPoint(0, 0)));
  EXPECT_FALSE(Main->MenuCopy()->isEnabled());
  Main->EditMenu()->hide();
  Select(0x00, 0x00);
  Main->MainMemory()->setFocus();
  QTest::keyClick(Main->MainMemory(), Qt::Key_C, Qt::ControlModifier);
  Select(0x05, 0x05);
  QTest::keyClick(Main->MainMemory(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Main->MainMemory()->GetContents(0x05), 0x12);
  QTest::keyClick(Main->MainMemory(), Qt::Key_Delete);
  EXPECT_EQ(Main->MainMemory()->GetContents(0x05), 0);
}

// The keys a menu item shows: its own shortcut, or the text after a tab.
QString ShownKeys(const QAction* item) {
  if (!item->shortcut().isEmpty()) return item->shortcut().toString(QKeySequence::NativeText);
  return item->text().section(QLatin1Char('\t'), 1);
}

TEST_F(ClipboardTest, MemoryPopupShowsTheClipboardKeysAndItsItemsWork) {
  Poke(0x10, {0x20, 0x41});
  Select(0x10, 0x11);
  const QPoint cell = Main->MainMemory()->CellRect(0x10).center();
  QContextMenuEvent event(QContextMenuEvent::Mouse, cell, Main->MainMemory()->mapToGlobal(cell));
  QApplication::sendEvent(Main->MainMemory(), &event);
  QMenu* popup = Main->MainMemoryPopup();
  ASSERT_TRUE(popup->isVisible());
  QStringList shown;
  for (const QAction* item : popup->actions())
    if (!item->isSeparator()) shown << item->text().section(QLatin1Char('\t'), 0, 0) + " " + ShownKeys(item);
  // The described items come first, in their order; the debugging items
  // follow them.
  EXPECT_EQ(shown.mid(0, 5).join(" | ").toStdString(),
            "Clear Del | Cu&t Ctrl+X | &Copy Ctrl+C | &Paste Ctrl+V | Select &All Ctrl+A");
  EXPECT_EQ(shown.mid(5).join(" | ").toStdString(), "Break here  | Stop when written ");

  QTest::keyClick(popup, Qt::Key_C);  // the mnemonic of Copy
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(Main->MemoryClipboard(), QVector<int32_t>({0x20, 0x41}));
}

}  // namespace

// Opening a FIFO used to wait for a writer on the user-interface thread,
// forever; a device behind a link is no program file either.
TEST_F(ProgramFilesTest, OpenRefusesFifosAndDevices) {
  const QString fifo = Path("pipe.prg");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString zero = Path("zero.prg");
  ASSERT_TRUE(QFile::link("/dev/zero", zero));
  Poke(0x00, {0x20, 0x41});
  Main->SetMemoryModified(false);
  for (const QString& path : {fifo, zero}) {
    FPlatform.Messages.clear();
    OpenThrough(path);
    ASSERT_EQ(FPlatform.Messages.size(), 1);
    EXPECT_EQ(FPlatform.Messages[0].Text, "Cannot open file " + path + ": not a regular file");
    EXPECT_EQ(Cell(Main->MainMemory(), 0), "20");
    EXPECT_EQ(Cell(Main->MainMemory(), 1), "41");
  }
}

// The listing goes to the shared temporary folder, where anyone may plant a
// symlink at a name they can guess; it is never followed.
TEST_F(ProgramFilesTest, TheListingNeverFollowsAPlantedSymlink) {
  const QString victim = Path("victim");
  WriteBytes(victim, "precious");
  ASSERT_TRUE(QFile::link(victim, Path("OSasm.lst.orvik-tmp")));
  Poke(0x00, {0xC0, 0x00});
  Click(Main->ViewAsmButton());
  EXPECT_EQ(ReadAll(victim), "precious");
  EXPECT_TRUE(ReadAll(Path("OSasm.lst")).startsWith("00:  C0,00  halt"));
  EXPECT_EQ(FPlatform.EditedFiles, QStringList{Path("OSasm.lst")});
}
