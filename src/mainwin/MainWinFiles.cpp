#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "desktop/PathRules.h"
#include "desktop/Platform.h"
#include "desktop/RecentFiles.h"
#include "desktop/SaveRequest.h"
#include "desktop/Settings.h"
#include "machine/ProgramImage.h"
#include "mainwin/TracePane.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString WindowCaption = QStringLiteral("Orvik Simulator");
const QString ProgramFilter = QStringLiteral("Program Files (*.prg)");

// File errors are shown as they come from the file layer, in the box the
// program uses for every failed file operation.
void ShowFileError(QWidget* parent, const QString& message) {
  Platform().ShowMessage(parent, WindowCaption, message, TMsgIcon::Error);
}

}  // namespace

bool TMainWin::AskSaveMemory(const QString& question) {
  if (!FMemoryModified) return true;
  switch (Platform().AskYesNoCancel(this, QStringLiteral("Save?"), question, TMsgIcon::Warning)) {
    case TAnswer::Yes: SaveFileClick(); return !FMemoryModified;
    case TAnswer::No: return true;
    case TAnswer::Cancel: break;
  }
  return false;
}

void TMainWin::OpenFileClick() {
  if (!AskSaveMemory(QStringLiteral("Memory Changed.\nDo you want to save before you open another file?"))) return;
  TFileDialogRequest request;
  request.Title = QStringLiteral("Open Program File");
  request.Filters = OpenFilters();
  request.FilterIndex = 0;
  request.InitialDir = FSettings.CurrentMemFile.isEmpty() ? FSettings.TempDir : DirectoryPart(FSettings.CurrentMemFile);
  request.MustExist = true;
  const TFileDialogResult chosen = Platform().OpenFileDialog(this, request);
  if (!chosen.Accepted) return;
  if (OpenSourceFile(chosen)) return;
  LoadProgramFile(chosen.Path);
}

bool TMainWin::LoadProgramFile(const QString& path) {
  FSettings.CurrentMemFile = path;
  std::vector<int32_t> cells;
  std::string error;
  // Everything is read before the first cell is written, so a short or
  // unreadable file leaves memory as it was.
  const bool loaded = ReadProgramFile(QFile::encodeName(path).toStdString(), cells, error);
  if (loaded) {
    // Breakpoints belong to the program they were set in.
    RemoveAllBreakpoints();
    LoadMemoryImage(cells, eaLoadFile);
    FTraceWin->StartSection(QStringLiteral("Opened ") + QFileInfo(path).fileName(), FSession->Executed());
    DropSource();
    setWindowTitle(WindowCaption + QStringLiteral(" - ") + path);
    FProgramFileName = path;
    RecentFiles::Add(FSettings.RecentFiles, path);
    SetMemoryModified(false);
  } else {
    // Memory still holds what it held, edits included: it stays as modified
    // as it was, so that exiting still asks about it.
    ShowFileError(this, QString::fromLocal8Bit(error.c_str()));
    ResetProgramCounter();
  }
  return loaded;
}

void TMainWin::SaveFileClick() {
  if (FProgramFileName.isEmpty())
    MenuSaveAsFileClick();
  else
    SaveMemoryFile(FProgramFileName);
}

void TMainWin::MenuSaveAsFileClick() {
  const TFileDialogResult chosen = Platform().SaveFileDialog(
      this, SaveRequestFor(QStringLiteral("Save Program File"), ProgramFilter, QStringLiteral("prg"), FProgramFileName,
                           FSettings.CurrentMemFile, FSettings.TempDir));
  if (chosen.Accepted) SaveMemoryFile(chosen.Path);
}

bool TMainWin::SaveMemoryFile(const QString& path) {
  // Written through a temporary file that replaces the old one only when
  // complete: a full disk or a lost permission never destroys the file the
  // student had. The message names the file and the system's reason.
  // A cell being edited is saved with the digits typed so far.
  TakeTypedCells();
  const std::string problem = WriteProgramFile(QFile::encodeName(path).toStdString(), FSession->MemoryCells());
  if (!problem.empty()) {
    ShowFileError(this, QString::fromLocal8Bit(problem.c_str()));
    return false;
  }
  setWindowTitle(WindowCaption + QStringLiteral(" - ") + path);
  FProgramFileName = path;
  FSettings.CurrentMemFile = path;
  RecentFiles::Add(FSettings.RecentFiles, path);
  SetMemoryModified(false);
  return true;
}

bool TMainWin::FormCloseQuery() {
  // Every other program window may refuse first (an editor with unsaved
  // source asks about it), the most recently created first.
  const std::vector<TZForm*> forms = TZForm::AllForms();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    TZForm* form = *it;
    if (form == this || !form->Window()->isVisible()) continue;
    if (!form->CloseQuery()) return false;
  }
  activateWindow();
  setFocus();
  return AskSaveMemory(QStringLiteral("Memory Changed.\nDo you want to save before you exit?"));
}
