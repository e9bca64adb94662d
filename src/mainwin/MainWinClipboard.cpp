#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "desktop/Platform.h"
#include "machine/MemoryClipboard.h"

#include <QAction>
#include <QMenu>

void TMainWin::MenuCopyClick() {
  const int lo = FMainMemory->GetSelLo();
  const int hi = FMainMemory->GetSelHi();
  if (lo < 0 || hi < 0) return;
  FMemoryClipboard.clear();
  for (int adr = lo; adr <= hi; ++adr) FMemoryClipboard.append(FMainMemory->GetContents(adr));
}

void TMainWin::MenuCutClick() {
  if (FMainMemory->GetSelLo() < 0) return;
  MenuCopyClick();
  ClearMainMemory(eaCut);
}

void TMainWin::MenuPasteClick() {
  std::vector<TCellEdit> cells;
  const std::string problem = PasteEdits({FMemoryClipboard.begin(), FMemoryClipboard.end()}, FMainMemory->GetSelLo(),
                                         FMainMemory->GetSelHi(), cells);
  if (!problem.empty()) {
    Platform().ShowMessage(this, QStringLiteral("Error"), QString::fromStdString(problem), TMsgIcon::Warning);
    return;
  }
  UserEdit(eaPaste, cells);
}

void TMainWin::MenuSelectAllClick() {
  FMainMemory->SetSelStart(0);
  FMainMemory->SetSelEnd(FMainMemory->Count() - 1);
}

void TMainWin::EditMenuClick() {
  const bool selected = FMainMemory->GetSelLo() >= 0;
  FMenuCut->setEnabled(selected);
  FMenuCopy->setEnabled(selected);
  FMenuPaste->setEnabled(!FMemoryClipboard.isEmpty());
  FMenuSelectAll->setEnabled(true);
}

// The menu shows what applies now, but the shortcuts stay live between two
// openings of the menu: their handlers check the selection themselves.
void TMainWin::EditMenuClosed() {
  for (QAction* action : {FMenuCut, FMenuCopy, FMenuPaste, FMenuSelectAll}) action->setEnabled(true);
}
