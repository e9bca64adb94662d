// Files from outside the editor's Open dialog: File > Recent Files and files
// dropped on the window. Both go to the main window, which opens each .asm
// source in an editor of its own and a program file into memory, whichever
// window the student used.
#include "editor/AssemblerEditor.h"

#include "desktop/FileDrop.h"
#include "desktop/RecentFiles.h"
#include "editor/MachineHost.h"
#include "editor/SourceEdit.h"

#include <QAction>
#include <QMenu>

void TAssemblerEditor::CreateOutsideFileCommands() {
  // Recent Files goes with Open, Save and Save As, above the line before Print.
  const QList<QAction*> items = FileMenu->actions();
  const qsizetype printAt = items.indexOf(MenuPrint);
  QAction* before = printAt > 0 && items[printAt - 1]->isSeparator() ? items[printAt - 1] : MenuPrint;
  TMachineHost* host = &FHost;
  RecentMenu =
      new TRecentFilesMenu(FileMenu, before, FSettings, [host](const QString& path) { host->OpenFiles({path}); });
  const auto open = [host](const QStringList& paths) { host->OpenFiles(paths); };
  new TFileDrop(this, open);
  // The text view takes drops itself (dragged text); files dropped on it
  // are opened rather than pasted as their names.
  new TFileDrop(TextEditor, open);
}
