#include "mainwin/MainWin.h"

#include "app/Platform.h"

QStringList TMainWin::OpenFilters() const { return {QStringLiteral("Program Files (*.prg)")}; }

bool TMainWin::OpenSourceFile(const TFileDialogResult&) { return false; }
