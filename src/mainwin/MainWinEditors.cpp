#include "mainwin/MainWin.h"

#include "desktop/Platform.h"
#include "editor/AssemblerEditor.h"
#include "mainwin/Examples.h"

#include <QMenu>

TAssemblerEditor* TMainWin::AssemblerButtonClick() {
  auto* editor = new TAssemblerEditor(*this, FSettings);
  editor->show();
  FAssemblerEditor = editor;
  return editor;
}

// Out of line: the guarded pointer converts only with the editor's class known.
TAssemblerEditor* TMainWin::AssemblerEditor() const { return FAssemblerEditor; }

QStringList TMainWin::OpenFilters() const {
  return {QStringLiteral("Program Files (*.prg)"), QStringLiteral("Assembly Files (*.asm)")};
}

bool TMainWin::OpenSourceFile(const TFileDialogResult& chosen) {
  // Picked under the assembly filter, a file is a source whatever its name;
  // memory, PC, the file names and the modified state stay as they are.
  if (chosen.FilterIndex != 1) return false;
  AssemblerButtonClick()->LoadAsmFile(chosen.Path);
  return true;
}

TAssemblerEditor* TMainWin::MenuHelloWorldExampleClick() {
  TAssemblerEditor* editor = AssemblerButtonClick();
  editor->LoadLines(HelloWorldExampleLines());
  return editor;
}

TAssemblerEditor* TMainWin::MenuOutputtestExampleClick() {
  TAssemblerEditor* editor = AssemblerButtonClick();
  editor->LoadLines(OutputTestExampleLines());
  return editor;
}

void TMainWin::CreateExampleCommands() {
  connect(FExamplesMenu->addAction(QStringLiteral("Hello &World")), &QAction::triggered, this,
          [this] { MenuHelloWorldExampleClick(); });
  connect(FExamplesMenu->addAction(QStringLiteral("&Output test")), &QAction::triggered, this,
          [this] { MenuOutputtestExampleClick(); });
}
