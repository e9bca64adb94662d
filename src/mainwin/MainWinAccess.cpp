// TMainWin: what screen readers are told about the views.
#include "controls/HexGrid.h"
#include "controls/ShowText.h"
#include "desktop/AccessibleNames.h"
#include "mainwin/DisasmList.h"
#include "mainwin/MainWin.h"

void TMainWin::CreateAccessibility() {
  FMainMemory->setAccessibleName(QStringLiteral("Main Memory"));
  FMainMemory->OnGetCellName = [](THexGrid*, int adr, QString& name) {
    name = QStringLiteral("memory ") + QStringLiteral("%1").arg(adr, 2, 16, QLatin1Char('0')).toUpper();
  };
  FRegisters->OnGetCellName = [](THexGrid*, int adr, QString& name) {
    name = QStringLiteral("register R") + QString::number(adr, 16).toUpper();
  };
  FSysRegs->OnGetCellName = [](THexGrid*, int adr, QString& name) {
    name = adr == 0 ? QStringLiteral("register PC") : QStringLiteral("register IR");
  };
  NameUnnamedControls(this);
}

// A running program changes cells, PC and output far faster than anyone can
// listen: the views stay silent for the run and are read again after it.
void TMainWin::SetAnnouncing(bool on) {
  for (THexGrid* grid : {FMainMemory, FRegisters, FSysRegs}) grid->SetAnnounceChanges(on);
  FDisasmWin->SetAnnounceChanges(on);
  FOutputBox->SetAnnounceWrites(on);
}
