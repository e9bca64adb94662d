#include "mainwin/MainWin.h"

#include "app/Platform.h"
#include "editor/AssemblerEditor.h"

TAssemblerEditor* TMainWin::AssemblerButtonClick() {
  auto* editor = new TAssemblerEditor(*this, FSettings);
  editor->show();
  AssemblerEditor = editor;
  return editor;
}

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
