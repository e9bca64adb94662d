#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "desktop/Platform.h"
#include "machine/MemoryClipboard.h"

#include <QAction>
#include <QMenu>

void TMainWin::MenuCopyClick() {
  const int lo = MainMemory->GetSelLo();
  const int hi = MainMemory->GetSelHi();
  if (lo < 0 || hi < 0) return;
  FMemoryClipboard.clear();
  for (int adr = lo; adr <= hi; ++adr) FMemoryClipboard.append(MainMemory->GetContents(adr));
}

void TMainWin::MenuCutClick() {
  if (MainMemory->GetSelLo() < 0) return;
  MenuCopyClick();
  ClearMainMemory(eaCut);
}

void TMainWin::MenuPasteClick() {
  std::vector<TCellEdit> cells;
  const std::string problem = PasteEdits({FMemoryClipboard.begin(), FMemoryClipboard.end()}, MainMemory->GetSelLo(),
                                         MainMemory->GetSelHi(), cells);
  if (!problem.empty()) {
    Platform().ShowMessage(this, QStringLiteral("Error"), QString::fromStdString(problem), TMsgIcon::Warning);
    return;
  }
  UserEdit(eaPaste, cells);
}

void TMainWin::MenuSelectAllClick() {
  MainMemory->SetSelStart(0);
  MainMemory->SetSelEnd(MainMemory->Count() - 1);
}

void TMainWin::EditMenuClick() {
  const bool selected = MainMemory->GetSelLo() >= 0;
  MenuCut->setEnabled(selected);
  MenuCopy->setEnabled(selected);
  MenuPaste->setEnabled(!FMemoryClipboard.isEmpty());
  MenuSelectAll->setEnabled(true);
}

// The menu shows what applies now, but the shortcuts stay live between two
// openings of the menu: their handlers check the selection themselves.
void TMainWin::EditMenuClosed() {
  for (QAction* action : {MenuCut, MenuCopy, MenuPaste, MenuSelectAll}) action->setEnabled(true);
}
