// Files that come from outside the Open dialog: the command line, files
// dropped on the window, and File > Recent Files.
#include "mainwin/MainWin.h"

#include "desktop/FileDrop.h"
#include "desktop/RecentFiles.h"
#include "editor/AssemblerEditor.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace {

// Outside the Open dialog there is no file type to pick, so the name
// decides, as it does for orvik-cli.
bool IsSourceFile(const QString& path) {
  return QFileInfo(path).suffix().compare(QStringLiteral("asm"), Qt::CaseInsensitive) == 0;
}

}  // namespace

void TMainWin::CreateOutsideFileCommands() {
  // Recent Files goes with Open, Save and Save As, above the line before Exit.
  const QList<QAction*> items = FFileMenu->actions();
  const qsizetype exitAt = items.indexOf(FMenuExit);
  QAction* before = exitAt > 0 && items[exitAt - 1]->isSeparator() ? items[exitAt - 1] : FMenuExit;
  FRecentMenu = new TRecentFilesMenu(FFileMenu, before, FSettings, [this](const QString& path) { OpenFiles({path}); });
  new TFileDrop(this, [this](const QStringList& paths) { OpenFiles(paths); });
  FMenuOpenExercise = new QAction(QStringLiteral("Open &Exercise..."), this);
  FMenuOpenExercise->setStatusTip(QStringLiteral("Open an exercise with its cases, to write and check an answer"));
  FMenuOpenExercise->setToolTip(FMenuOpenExercise->statusTip());
  FFileMenu->insertAction(FMenuSaveFile, FMenuOpenExercise);
  connect(FMenuOpenExercise, &QAction::triggered, this, &TMainWin::OpenExerciseClick);
}

void TMainWin::OpenFiles(const QStringList& paths) {
  for (const QString& given : paths) {
    // Relative names come from a terminal; the title, the settings and the
    // recent list hold full ones.
    const QString path = QFileInfo(given).absoluteFilePath();
    if (QFileInfo(path).suffix().compare(QStringLiteral("json"), Qt::CaseInsensitive) == 0) {
      OpenExercise(path);
      continue;
    }
    if (IsSourceFile(path)) {
      TAssemblerEditor* editor = AssemblerButtonClick();
      // An empty editor left behind by a file that could not be read would
      // only be in the way.
      if (!editor->LoadAsmFile(path)) editor->close();
      continue;
    }
    if (AskSaveMemory(QStringLiteral("Memory Changed.\nDo you want to save before you open another file?")))
      LoadProgramFile(path);
  }
}
