// Source files in the editor: load, save, the dialogs' starting points, the
// save questions, failures, and the main window's Open for sources.
#include "EditorFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>

#include <sys/stat.h>

#include "editor/SourceFile.h"
#include "machine/FileReader.h"

TEST_F(EditorTest, LoadedFileBecomesTheTextCaptionAndCurrentFile) {
  const QString path = WriteFile("prog.asm", "load R1,2\r\nhalt\r\n");
  Type("old text");
  ASSERT_TRUE(Editor->LoadAsmFile(path));
  EXPECT_EQ(AllText(), "load R1,2\nhalt\n");
  EXPECT_EQ(Editor->windowTitle(), "Orvik Assembler - " + path);
  EXPECT_EQ(Editor->FileName(), path);
  EXPECT_EQ(FSettings.CurrentAsmFile, path);
  EXPECT_FALSE(Editor->Modified());
  EXPECT_EQ(Text()->textCursor().position(), 0);
  EXPECT_EQ(Panel(0), "1: 1  ");
  EXPECT_TRUE(Is(FormatAt(1, 0), hsKeyword));
  EXPECT_FALSE(Editor->Document()->isUndoAvailable());
}

TEST_F(EditorTest, LinesEndAtCrLfLoneCrOrLoneLf) {
  Editor->LoadAsmFile(WriteFile("mixed.asm", "a\r\nb\rc\nd"));
  EXPECT_EQ(AllText(), "a\nb\nc\nd\n");
  Editor->LoadAsmFile(WriteFile("empty.asm", ""));
  EXPECT_EQ(AllText(), "");
}

TEST_F(EditorTest, EveryByteRoundTripsAndLinesAreWrittenWithCrLf) {
  QByteArray bytes;
  for (int b = 0; b < 256; ++b)
    if (b != '\r' && b != '\n') bytes += static_cast<char>(b);
  bytes += "\r\n\r\nhalt ;\xE9\xFF\r\n";
  const QString path = WriteFile("bytes.asm", bytes);
  ASSERT_TRUE(Editor->LoadAsmFile(path));
  const QString copy = FDir.filePath("copy.asm");
  ASSERT_TRUE(Editor->SaveAsmFile(copy));
  EXPECT_EQ(ReadFile(copy), bytes);
  // Mixed line ends come back as CR LF; a last line without a break gets one.
  ASSERT_TRUE(Editor->LoadAsmFile(WriteFile("lf.asm", "a\nb\rc")));
  ASSERT_TRUE(Editor->SaveAsmFile(copy));
  EXPECT_EQ(ReadFile(copy), "a\r\nb\r\nc\r\n");
}

TEST_F(EditorTest, SaveAsmFileSetsNameCaptionAndClearsModified) {
  Type("halt");
  const QString path = FDir.filePath("new.asm");
  ASSERT_TRUE(Editor->SaveAsmFile(path));
  EXPECT_EQ(ReadFile(path), "halt\r\n");
  EXPECT_EQ(Editor->windowTitle(), "Orvik Assembler - " + path);
  EXPECT_EQ(FSettings.CurrentAsmFile, path);
  EXPECT_FALSE(Editor->Modified());
  EXPECT_FALSE(Editor->MenuSaveFile->isEnabled());
  // Save now writes back to that file without a dialog.
  SetCaret(0, 0);
  Type("; ");
  Editor->MenuSaveFile->trigger();
  EXPECT_EQ(ReadFile(path), "; halt\r\n");
  EXPECT_TRUE(FPlatform.SaveRequests.isEmpty());
}

// An editor without a file of its own (a new one, an example) starts in the
// last source's folder but never proposes that file's name: one Enter would
// overwrite another program.
TEST_F(EditorTest, SaveAsOfAnUnnamedEditorStartsInTheLastSourcesFolderWithNoName) {
  struct TRow {
    QString Current;
    QString Dir;
    QString Name;
  };
  const TRow rows[] = {
      {"C:\\src\\prog.asm", "C:\\src", ""},       {"C:\\src\\prog", "C:\\src", ""}, {"prog.asm", "", ""},
      {"/home/kim/demo.v2.asm", "/home/kim", ""}, {"", FSettings.TempDir, ""},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Current.toStdString());
    FSettings.CurrentAsmFile = row.Current;
    FPlatform.SaveRequests.clear();
    Editor->MenuSaveAsFile->trigger();
    ASSERT_EQ(FPlatform.SaveRequests.size(), 1);
    const TFileDialogRequest& request = FPlatform.SaveRequests[0];
    EXPECT_EQ(request.InitialDir, row.Dir);
    EXPECT_EQ(request.FileName, row.Name);
    EXPECT_EQ(request.Title, "Save Assembly File");
    EXPECT_EQ(request.Filters, QStringList{"Assembly Files (*.asm)"});
    EXPECT_EQ(request.DefaultSuffix, "asm");
    EXPECT_TRUE(request.ConfirmOverwrite);
  }
  // The editor's own file name comes before the setting.
  ASSERT_TRUE(Editor->SaveAsmFile(FDir.filePath("own.asm")));
  FSettings.CurrentAsmFile = "C:\\other\\x.asm";
  FPlatform.SaveRequests.clear();
  Editor->SaveAsFile();
  ASSERT_EQ(FPlatform.SaveRequests.size(), 1);
  EXPECT_EQ(FPlatform.SaveRequests[0].InitialDir, FDir.path());
  EXPECT_EQ(FPlatform.SaveRequests[0].FileName, "own");
}

TEST_F(EditorTest, SaveAsWritesTheChosenFileAndCancelChangesNothing) {
  Type("halt");
  Editor->SaveAsFile();
  EXPECT_TRUE(Editor->Modified());
  EXPECT_EQ(Editor->windowTitle(), "Orvik Assembler");
  const QString path = FDir.filePath("chosen.asm");
  FPlatform.SaveResults = {TScriptedPlatform::Picked(path)};
  Editor->SaveAsFile();
  EXPECT_EQ(ReadFile(path), "halt\r\n");
  EXPECT_EQ(Editor->FileName(), path);
}

TEST_F(EditorTest, OpenStartsInTheCurrentFilesDirectoryWithAnEmptyName) {
  FSettings.CurrentAsmFile = "C:\\src\\prog.asm";
  Editor->MenuOpenFile->trigger();
  ASSERT_EQ(FPlatform.OpenRequests.size(), 1);
  const TFileDialogRequest& request = FPlatform.OpenRequests[0];
  EXPECT_EQ(request.Title, "Open Assembly File");
  EXPECT_EQ(request.Filters, QStringList({"Assembly Files (*.asm)", "All Files (*.*)"}));
  EXPECT_EQ(request.InitialDir, "C:\\src");
  EXPECT_EQ(request.FileName, "");
  EXPECT_TRUE(request.MustExist);
  FSettings.CurrentAsmFile.clear();
  Editor->OpenFileClick();
  EXPECT_EQ(FPlatform.OpenRequests.last().InitialDir, FSettings.TempDir);
}

TEST_F(EditorTest, OpenWhileModifiedAsksFirst) {
  const QString other = WriteFile("other.asm", "halt\r\n");
  const QString question = "Assembly File Changed.\nDo you want to save before you open another file?";
  // Cancel keeps everything; no dialog.
  Type("mine");
  FPlatform.Answers = {TAnswer::Cancel};
  FPlatform.OpenResults = {TScriptedPlatform::Picked(other)};
  Editor->OpenFileClick();
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Text, question);
  EXPECT_EQ(FPlatform.Messages[0].Caption, "Save?");
  EXPECT_TRUE(FPlatform.OpenRequests.isEmpty());
  EXPECT_EQ(AllText(), "mine");
  // Yes with no file name shows Save As; cancelling it stops the Open.
  FPlatform.Answers = {TAnswer::Yes};
  Editor->OpenFileClick();
  EXPECT_EQ(FPlatform.SaveRequests.size(), 1);
  EXPECT_TRUE(FPlatform.OpenRequests.isEmpty());
  EXPECT_EQ(AllText(), "mine");
  EXPECT_TRUE(Editor->Modified());
  // No opens without saving.
  FPlatform.Answers = {TAnswer::No};
  Editor->OpenFileClick();
  EXPECT_EQ(FPlatform.OpenRequests.size(), 1);
  EXPECT_EQ(AllText(), "halt\n");
  EXPECT_EQ(Editor->FileName(), other);
  EXPECT_FALSE(Editor->Modified());
  EXPECT_EQ(FPlatform.SaveRequests.size(), 1);
}

TEST_F(EditorTest, YesSavesToTheFileNameBeforeOpening) {
  const QString mine = WriteFile("mine.asm", "halt\r\n");
  const QString other = WriteFile("other.asm", "db 1\r\n");
  ASSERT_TRUE(Editor->LoadAsmFile(mine));
  Type("x: ");
  FPlatform.Answers = {TAnswer::Yes};
  FPlatform.OpenResults = {TScriptedPlatform::Picked(other)};
  Editor->OpenFileClick();
  EXPECT_EQ(ReadFile(mine), "x: halt\r\n");
  EXPECT_EQ(AllText(), "db 1\n");
}

TEST_F(EditorTest, ExampleLinesLeaveCurrentAsmFileAloneAndSaveAsksForAName) {
  FSettings.CurrentAsmFile = "keep.asm";
  ASSERT_TRUE(Editor->SaveAsmFile(FDir.filePath("before.asm")));
  Editor->LoadLines({"         halt", "", "; end"});
  EXPECT_EQ(AllText(), "         halt\n\n; end\n");
  EXPECT_EQ(FSettings.CurrentAsmFile, FDir.filePath("before.asm"));
  EXPECT_EQ(Editor->windowTitle(), "Orvik Assembler");
  EXPECT_EQ(Editor->FileName(), "");
  EXPECT_FALSE(Editor->Modified());
  EXPECT_FALSE(Editor->MenuSaveFile->isEnabled());
  EXPECT_TRUE(Is(FormatAt(0, 9), hsKeyword));
  Type("x");
  Editor->MenuSaveFile->trigger();
  EXPECT_EQ(FPlatform.SaveRequests.size(), 1);
}

TEST_F(EditorTest, AFileThatCannotBeReadChangesNothing) {
  Type("mine");
  FSettings.CurrentAsmFile = "keep.asm";
  const QString missing = FDir.filePath("missing.asm");
  EXPECT_FALSE(Editor->LoadAsmFile(missing));
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Text, "Cannot open file " + missing);
  EXPECT_EQ(FPlatform.Messages[0].Icon, TMsgIcon::Error);
  EXPECT_EQ(AllText(), "mine");
  EXPECT_TRUE(Editor->Modified());
  EXPECT_EQ(Editor->FileName(), "");
  EXPECT_EQ(FSettings.CurrentAsmFile, "keep.asm");
  EXPECT_EQ(Editor->windowTitle(), "Orvik Assembler");
  EXPECT_TRUE(Editor->TrackChanges());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  Type("!");
  EXPECT_EQ(Panel(0), "1: 6  ");
}

TEST_F(EditorTest, AFileThatCannotBeWrittenKeepsTheOldFileAndTheModifiedState) {
  const QString path = WriteFile("prog.asm", "halt\r\n");
  ASSERT_TRUE(Editor->LoadAsmFile(path));
  Type("x");
  FSettings.CurrentAsmFile = path;
  const QString blocked = FDir.filePath("no/such/dir/prog.asm");
  EXPECT_FALSE(Editor->SaveAsmFile(blocked));
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  // The file layer's message, then the system's reason.
  EXPECT_TRUE(FPlatform.Messages[0].Text.startsWith(QString("Cannot create file " + blocked) + ": "))
      << FPlatform.Messages[0].Text.toStdString();
  EXPECT_TRUE(Editor->Modified());
  EXPECT_EQ(Editor->FileName(), path);
  EXPECT_EQ(FSettings.CurrentAsmFile, path);
  EXPECT_EQ(Editor->windowTitle(), "Orvik Assembler - " + path);
  // A close whose save fails does not go on.
  Editor->LoadLines({});
  Type("y");
  FPlatform.SaveResults = {TScriptedPlatform::Picked(blocked)};
  FPlatform.Answers = {TAnswer::Yes};
  EXPECT_FALSE(Editor->FormCloseQuery());
  EXPECT_TRUE(Editor->Modified());
  EXPECT_EQ(ReadFile(path), "halt\r\n");
}

TEST_F(EditorTest, MainWindowOpensAFileChosenAsAssemblyInANewEditor) {
  const QString path = WriteFile("looks.prg", "halt\r\n");
  Poke(0, {0x20, 0x41});
  Main->SetMemoryModified(false);
  Main->SysRegs()->SetContents(0, 4);
  const QPointer<TAssemblerEditor> before = Editor;
  FPlatform.OpenResults = {TScriptedPlatform::Picked(path, 1)};
  Main->OpenFileClick();
  ASSERT_EQ(FPlatform.OpenRequests.size(), 1);
  EXPECT_EQ(FPlatform.OpenRequests[0].Filters, QStringList({"Program Files (*.prg)", "Assembly Files (*.asm)"}));
  TAssemblerEditor* opened = Main->AssemblerEditor();
  ASSERT_NE(opened, nullptr);
  EXPECT_NE(opened, before.data());
  EXPECT_TRUE(opened->isVisible());
  EXPECT_EQ(opened->Document()->toPlainText(), "halt\n");
  EXPECT_EQ(opened->FileName(), path);
  // The machine is untouched.
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x20);
  EXPECT_EQ(Pc(), 4);
  EXPECT_FALSE(Main->MemoryModified());
  EXPECT_EQ(Main->ProgramFileName(), "");
  EXPECT_EQ(FSettings.CurrentMemFile, "");
}

// A FIFO would block the window for good and /dev/zero behind a link would
// eat all memory; a huge file would take minutes. Each is refused with a
// message and the text typed so far stays.
TEST_F(EditorTest, OpenRefusesWhatIsNotASmallRegularFile) {
  const QString fifo = FDir.filePath("pipe.asm");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString zero = FDir.filePath("zero.asm");
  ASSERT_TRUE(QFile::link("/dev/zero", zero));
  const QString huge = WriteFile("huge.asm", "");
  ASSERT_TRUE(QFile::resize(huge, static_cast<qint64>(MaxSourceFileSize) + 1));
  // A lone CR ends a line as LF does; the last line needs no break.
  const QString manyLines =
      WriteFile("lines.asm", QByteArray(MaxSourceLines / 2, '\n') + QByteArray(MaxSourceLines / 2, '\r') + "last");
  const struct {
    QString Path;
    QString Message;
  } rows[] = {
      {fifo, "Cannot open file " + fifo + ": not a regular file"},
      {zero, "Cannot open file " + zero + ": not a regular file"},
      {huge, "File too large: " + huge + " is larger than 16 MB (16777216 bytes)"},
      {manyLines, "File too large: " + manyLines + " has more than 1000000 lines"},
      {FDir.filePath("missing.asm"), "Cannot open file " + FDir.filePath("missing.asm")},
  };
  Type("mine");
  Editor->SaveAsmFile(FDir.filePath("mine.asm"));
  for (const auto& row : rows) {
    FPlatform.Messages.clear();
    FPlatform.OpenResults = {TScriptedPlatform::Picked(row.Path)};
    Editor->MenuOpenFile->trigger();
    ASSERT_EQ(FPlatform.Messages.size(), 1) << row.Path.toStdString();
    EXPECT_EQ(FPlatform.Messages[0].Text, row.Message);
    EXPECT_EQ(AllText(), "mine");
    EXPECT_EQ(Editor->FileName(), FDir.filePath("mine.asm"));
  }
}

// Qt lays a line out again for every keystroke in it; a file with a line
// past the limit opens read-only with a word, and every way of editing is
// closed until another text is loaded.
TEST_F(EditorTest, AFileWithALineTooLongToEditOpensReadOnly) {
  const QByteArray longest(TAssemblerEditor::MaxEditableLineLength, 'a');
  ASSERT_TRUE(Editor->LoadAsmFile(WriteFile("longest.asm", "halt\r\n" + longest + "\r\n")));
  EXPECT_FALSE(Editor->ReadOnly());
  EXPECT_TRUE(FPlatform.Messages.isEmpty());

  const QString path = WriteFile("long.asm", "halt\r\n" + longest + "b\r\n");
  ASSERT_TRUE(Editor->LoadAsmFile(path));
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Text, path +
                                            " has lines longer than 2000 characters, which cannot be edited.\n"
                                            "It is opened read-only: it can still be assembled, printed and "
                                            "saved under another name.");
  EXPECT_TRUE(Editor->ReadOnly());
  EXPECT_EQ(Panel(2), "Read only");
  const QString before = AllText();
  QApplication::clipboard()->setText("pasted");
  Type("x");
  Key(Qt::Key_Y, Qt::ControlModifier);
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  Key(Qt::Key_Insert);
  Editor->MenuSelectAll->trigger();
  Key(Qt::Key_Delete, Qt::ShiftModifier);
  Editor->MenuCut->trigger();
  Editor->MenuPaste->trigger();
  EXPECT_EQ(AllText(), before);
  EXPECT_FALSE(Editor->Modified());
  Editor->EditMenu->popup(QPoint());
  EXPECT_FALSE(Editor->MenuPaste->isEnabled());
  EXPECT_FALSE(Editor->MenuCut->isEnabled());
  Editor->EditMenu->hide();
  // Saved under another name, every byte stays.
  ASSERT_TRUE(Editor->SaveAsmFile(FDir.filePath("copy.asm")));
  EXPECT_EQ(ReadFile(FDir.filePath("copy.asm")), "halt\r\n" + longest + "b\r\n");

  ASSERT_TRUE(Editor->LoadAsmFile(WriteFile("short.asm", "halt\r\n")));
  EXPECT_FALSE(Editor->ReadOnly());
  EXPECT_EQ(Panel(2), "Overwrite");
  Type("x");
  EXPECT_EQ(AllText(), "xalt\n");
}

// Pasted text may not build what a file may not bring: a line too long to
// edit, in one paste or paste by paste.
TEST_F(EditorTest, APasteThatMakesALineTooLongIsRefused) {
  const QString piece((TAssemblerEditor::MaxEditableLineLength - 1) / 2, QLatin1Char('p'));
  QApplication::clipboard()->setText(piece);
  Type("a");
  Editor->MenuPaste->trigger();
  Editor->MenuPaste->trigger();
  EXPECT_TRUE(FPlatform.Messages.isEmpty());
  EXPECT_EQ(AllText(), "a" + piece + piece);
  const QString message =
      "The inserted text would make a line longer than 2000 characters, which cannot be edited.\nIt was not inserted.";
  Key(Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(FPlatform.Messages.size(), 1);
  EXPECT_EQ(FPlatform.Messages[0].Text, message);
  EXPECT_EQ(AllText(), "a" + piece + piece);
  // On a line of its own the piece fits; one character more in one line
  // never does.
  Key(Qt::Key_Return);
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(AllText(), "a" + piece + piece + "\n" + piece);
  Key(Qt::Key_Return);
  QApplication::clipboard()->setText("x\n" + piece + piece + piece + "\ny");
  Editor->MenuPaste->trigger();
  EXPECT_EQ(FPlatform.Messages.size(), 2);
  EXPECT_EQ(AllText(), "a" + piece + piece + "\n" + piece + "\n");
}
