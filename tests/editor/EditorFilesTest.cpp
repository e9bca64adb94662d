// Source files in the editor: load, save, the dialogs' starting points, the
// save questions, failures, and the main window's Open for sources.
#include "EditorFixture.h"

#include <QFileInfo>

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
  EXPECT_EQ(FPlatform.Messages[0].Text, "Cannot create file " + blocked);
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
  Main->SysRegs->SetContents(0, 4);
  const QPointer<TAssemblerEditor> before = Editor;
  FPlatform.OpenResults = {TScriptedPlatform::Picked(path, 1)};
  Main->OpenFileClick();
  ASSERT_EQ(FPlatform.OpenRequests.size(), 1);
  EXPECT_EQ(FPlatform.OpenRequests[0].Filters, QStringList({"Program Files (*.prg)", "Assembly Files (*.asm)"}));
  TAssemblerEditor* opened = Main->AssemblerEditor;
  ASSERT_NE(opened, nullptr);
  EXPECT_NE(opened, before.data());
  EXPECT_TRUE(opened->isVisible());
  EXPECT_EQ(opened->Document()->toPlainText(), "halt\n");
  EXPECT_EQ(opened->FileName(), path);
  // The machine is untouched.
  EXPECT_EQ(Main->MainMemory->GetContents(0), 0x20);
  EXPECT_EQ(Pc(), 4);
  EXPECT_FALSE(Main->MemoryModified());
  EXPECT_EQ(Main->ProgramFileName(), "");
  EXPECT_EQ(FSettings.CurrentMemFile, "");
}
