// Files from outside the editor's Open dialog: File > Recent Files and files
// dropped on the window. Both go to the main window, which opens each .asm
// source in an editor of its own and a program file into memory, whichever
// window the student used.
#include "editor/AssemblerEditor.h"

#include "app/FileDrop.h"
#include "app/RecentFiles.h"
#include "editor/SourceEdit.h"
#include "mainwin/MainWin.h"

#include <QAction>
#include <QMenu>

void TAssemblerEditor::CreateOutsideFileCommands() {
  // Recent Files goes with Open, Save and Save As, above the line before Print.
  const QList<QAction*> items = FileMenu->actions();
  const qsizetype printAt = items.indexOf(MenuPrint);
  QAction* before = printAt > 0 && items[printAt - 1]->isSeparator() ? items[printAt - 1] : MenuPrint;
  TMainWin* mainWin = &FMainWin;
  RecentMenu =
      new TRecentFilesMenu(FileMenu, before, FSettings, [mainWin](const QString& path) { mainWin->OpenFiles({path}); });
  const auto open = [mainWin](const QStringList& paths) { mainWin->OpenFiles(paths); };
  new TFileDrop(this, open);
  // The text view takes drops itself (dragged text); files dropped on it
  // are opened rather than pasted as their names.
  new TFileDrop(TextEditor, open);
}
