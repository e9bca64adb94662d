#include "mainwin/MainWin.h"

#include "controls/HexGrid.h"
#include "controls/ShowText.h"
#include "desktop/HelpDialog.h"
#include "desktop/HelpHook.h"
#include "desktop/Settings.h"
#include "machine/Disassembler.h"
#include "mainwin/DisasmList.h"
#include "mainwin/LabelGrid.h"
#include "mainwin/SessionCells.h"
#include "mainwin/StatusPanel.h"
#include "mainwin/TracePane.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace {

constexpr int ClientWidth = 632;
constexpr int ClientHeight = 426;
const QColor ChangedCellColor(255, 96, 96);

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QString& hint, THelpContext helpContext, int x,
                        int y, int width = 81, int height = 25) {
  auto* button = new QPushButton(caption, parent);
  button->setToolTip(hint);
  button->setGeometry(x, y, width, height);
  SetHelpContext(button, helpContext);
  return button;
}

QAction* MakeAction(QMenu* menu, const QString& caption, const QKeySequence& shortcut, const QString& hint) {
  QAction* action = menu->addAction(caption);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  // The hint shows in the status bar while the item is highlighted, as the
  // Help menu's do, and as a tooltip.
  if (!hint.isEmpty()) {
    action->setToolTip(hint);
    action->setStatusTip(hint);
  }
  return action;
}

// The main window's grids share their look: grid lines, the changed cell
// bold in light red (plain for the system registers), selected cells in the
// system's highlight-text colour.
void SetUpGrid(THexGrid* grid, int cols, int rows, int x, int y, bool boldChange) {
  grid->SetColCount(cols);
  grid->SetRowCount(rows);
  grid->SetOptions({hgoVertLine, hgoHorzLine});
  QFont changedFont = grid->font();
  changedFont.setBold(boldChange);
  grid->SetFontChanged({changedFont, boldChange ? ChangedCellColor : grid->palette().color(QPalette::WindowText)});
  grid->SetFontSelected({grid->font(), grid->palette().color(QPalette::HighlightedText)});
  grid->Loaded();
  grid->move(x, y);
  grid->resize(grid->sizeHint());
}

}  // namespace

TMainWin::TMainWin(TSettings& settings, QWidget* parent)
    : QMainWindow(parent),
      TZForm(this),
      FSettings(settings),
      FSession(std::make_unique<TSimulator>()),
      FDebug(std::make_unique<TDebugSession>(*FSession)),
      FMemoryCells(std::make_unique<TSessionCells>(*FSession, csMemory)),
      FRegisterCells(std::make_unique<TSessionCells>(*FSession, csRegister)),
      FSysRegCells(std::make_unique<TSessionCells>(*FSession, csSysReg)),
      FRunTimer(new QTimer(this)) {
  setWindowTitle(QStringLiteral("Orvik Simulator"));
  SetHelpContext(this, hcMainWindow);
  QFont windowFont(QStringLiteral("DejaVu Sans"));
  windowFont.setPointSize(8);
  setFont(windowFont);

  CreateViews();
  CreateButtons();
  CreateMenus();
  CreateStatusBar();
  CreateHelpCommands();
  CreateExampleCommands();
  CreateOutsideFileCommands();
  CreateDebugCommands();
  CreateBreakpointCommands();
  CreateTerminalCommands();
  ConnectGrids();
  CreateAccessibility();

  FRunTimer->setInterval(0);
  connect(FRunTimer, &QTimer::timeout, this, [this] { RunSlice(); });

  // The client area (views and status bar) has a fixed size and the window
  // cannot be resized or maximised.
  centralWidget()->setFixedSize(ClientWidth, ClientHeight - statusBar()->sizeHint().height());
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                  Qt::WindowTitleHint) &
                 ~Qt::WindowMaximizeButtonHint);

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    adjustSize();
    move(screen->availableGeometry().center() - rect().center());
  }

  FViewGeneration = FSession->Generation();
  FShownPC = FSession->PC();
  RewriteAllDisasmRows();
  PcChanged(0);
  SetMemoryModified(false);
  SetStatus(QStringLiteral("Ready"), Qt::black);

  SetApplicationHelpHandler(
      [this](uint16_t command, int data, bool& callHelp) { return FormHelp(command, data, callHelp); });
  // Last: zoom scales the window as built above.
  CreateViewMenu();
}

TMainWin::~TMainWin() {
  FRunTimer->stop();
  // The grids and the terminal outlive the models they show (they are
  // deleted with the window's widgets, after these members).
  for (THexGrid* grid : {MainMemory, Registers, SysRegs}) grid->SetModel(nullptr);
  OutputBox->SetModel(nullptr);
  SetApplicationHelpHandler(nullptr);
  THelpDialog::CloseAll();
}

void TMainWin::CreateViews() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  QFont captionFont = font();
  captionFont.setPointSize(12);
  LabelMem = new QLabel(QStringLiteral("Main Memory"), client);
  LabelMem->setFont(captionFont);
  LabelMem->move(200, 8);
  LabelReg = new QLabel(QStringLiteral("Registers"), client);
  LabelReg->setFont(captionFont);
  LabelReg->move(488, 8);

  MainMemory = new THexGrid(client);
  SetUpGrid(MainMemory, 16, 16, 46, 47, true);
  SetHelpContext(MainMemory, hcMainMemory);
  Registers = new THexGrid(client);
  SetUpGrid(Registers, 1, 16, 486, 47, true);
  Registers->setToolTip(QStringLiteral("General Purpose Registers"));
  SetHelpContext(Registers, hcRegisters);
  SysRegs = new THexGrid(client);
  SysRegs->SetDefaultColWidth(32);
  SetUpGrid(SysRegs, 1, 2, 542, 47, false);
  SysRegs->setToolTip(QStringLiteral("System Registers"));
  SetHelpContext(SysRegs, hcSysRegs);

  // Captions line up with the cells: a cell is its width plus one grid line.
  const int memCol = MainMemory->DefaultColWidth() + 1;
  const int memRow = MainMemory->DefaultRowHeight() + 1;
  LabelsMem1 = new TLabelGrid(16, 1, memCol, memRow, client);
  LabelsMem1->move(MainMemory->x() + MainMemory->CellRect(0).left(), 32);
  LabelsMem2 = new TLabelGrid(1, 16, 22, memRow, client);
  LabelsMem2->move(24, MainMemory->y() + MainMemory->CellRect(0).top());
  LabelsReg1 = new TLabelGrid(1, 16, 22, memRow, client);
  LabelsReg1->move(464, Registers->y() + Registers->CellRect(0).top());
  LabelsReg1->setToolTip(QStringLiteral("General Purpose Registers"));
  LabelsReg2 = new TLabelGrid(1, 2, 22, memRow, client);
  LabelsReg2->move(520, SysRegs->y() + SysRegs->CellRect(0).top());
  LabelsReg2->setToolTip(QStringLiteral("System Registers"));
  for (int n = 0; n < 16; ++n) {
    LabelsMem1->SetCaption(n, QStringLiteral("..%1").arg(n, 0, 16).toUpper());
    LabelsMem2->SetCaption(n, QString::number(n, 16).toUpper() + QLatin1Char('0'));
    LabelsReg1->SetCaption(n, QStringLiteral("R%1").arg(n, 0, 16).toUpper());
  }
  LabelsReg2->SetCaption(0, QStringLiteral("PC"));
  LabelsReg2->SetCaption(1, QStringLiteral("IR"));
  SetHelpContext(LabelsMem2, hcRowAddresses);
  SetHelpContext(LabelsMem1, hcColumnAddresses);
  SetHelpContext(LabelsReg1, hcRegisterNames);
  SetHelpContext(LabelsReg2, hcSysRegNames);

  DisasmWin = new TDisasmList(128, client);
  DisasmWin->setGeometry(24, 312, 425, 89);
  QFont listFont(QStringLiteral("DejaVu Sans Mono"));
  listFont.setStyleHint(QFont::Monospace);
  listFont.setPointSize(8);
  DisasmWin->setFont(listFont);
  DisasmWin->setToolTip(QStringLiteral("Disassembler window"));
  SetHelpContext(DisasmWin, hcDisasmWin);
  connect(DisasmWin, &TDisasmList::RowDoubleClicked, this, [this](int row) { DisasmWinDblClick(row); });
  connect(DisasmWin, &TDisasmList::RowRightPressed, this, [this](int row) { DisasmWinMouseDown(row); });

  OutputBox = new TShowText(client);
  OutputBox->setGeometry(456, 312, 153, 57);
  QFont terminalFont(QStringLiteral("DejaVu Sans Mono"));
  terminalFont.setStyleHint(QFont::Monospace);
  // Characters 12 pixels high: four rows in the terminal's 57 pixels.
  terminalFont.setPixelSize(TShowText::PixelSizeForLineHeight(terminalFont, 12));
  OutputBox->setFont(terminalFont);
  OutputBox->setToolTip(QStringLiteral("Output Window"));
  OutputBox->SetModel(&FTerminal.Terminal());
  SetHelpContext(OutputBox, hcOutputBox);
}

void TMainWin::CreateButtons() {
  QWidget* client = centralWidget();
  ZeroPC = MakeButton(client, QStringLiteral("=0"), QStringLiteral("Zero PC"), hcZeroPC, 584, 47, 25, 19);
  OpenButton =
      MakeButton(client, QStringLiteral("&Open..."), QStringLiteral("Open a file from disk"), hcOpenButton, 528, 96);
  SaveButton = MakeButton(client, QStringLiteral("&Save"), QStringLiteral("Save file to disk"), hcSaveButton, 528, 128);
  RunButton = MakeButton(client, QStringLiteral("&Run"), QStringLiteral("Run program"), hcRunButton, 528, 184);
  StepButton =
      MakeButton(client, QStringLiteral("S&tep"), QStringLiteral("Execute one instruction"), hcStepButton, 528, 216);
  BreakButton = MakeButton(client, QStringLiteral("Break"), QStringLiteral("Pause execution"), hcBreakButton, 528, 248);
  ResetButton = MakeButton(client, QStringLiteral("Clear..."), QStringLiteral("Reset memory or registers"),
                           hcResetButton, 528, 280);
  AssemblerButton = MakeButton(client, QStringLiteral("&Asm"), QStringLiteral("Assembler editor"), hcAssemblerButton,
                               456, 376, 65, 25);
  ViewAsmButton = MakeButton(client, QStringLiteral("&Disasm"), QStringLiteral("View disassembled instructions"),
                             hcViewAsmButton, 528, 376);
  BreakButton->setEnabled(false);

  connect(ZeroPC, &QPushButton::clicked, this, [this] { ZeroPCClick(); });
  connect(OpenButton, &QPushButton::clicked, this, [this] { OpenFileClick(); });
  connect(SaveButton, &QPushButton::clicked, this, [this] { SaveFileClick(); });
  connect(RunButton, &QPushButton::clicked, this, [this] { RunSimulator(); });
  connect(StepButton, &QPushButton::clicked, this, [this] { StepSimulator(); });
  connect(BreakButton, &QPushButton::clicked, this, [this] { BreakSimulator(); });
  connect(ResetButton, &QPushButton::clicked, this, [this] { ClearSimulator(); });
  connect(ViewAsmButton, &QPushButton::clicked, this, [this] { ViewAsmButtonClick(); });
  connect(AssemblerButton, &QPushButton::clicked, this, [this] { AssemblerButtonClick(); });
}

void TMainWin::CreateMenus() {
  FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  FileMenu->setToolTipsVisible(true);
  MenuOpenFile = MakeAction(FileMenu, QStringLiteral("&Open..."), QKeySequence(QStringLiteral("Ctrl+O")),
                            QStringLiteral("Open file with data for main memory"));
  MenuSaveFile = MakeAction(FileMenu, QStringLiteral("&Save"), QKeySequence(QStringLiteral("Ctrl+S")),
                            QStringLiteral("Save main memory to file"));
  MenuSaveAsFile = MakeAction(FileMenu, QStringLiteral("Save &As..."), QKeySequence(),
                              QStringLiteral("Save with different filename"));
  FileMenu->addSeparator();
  MenuExit = MakeAction(FileMenu, QStringLiteral("E&xit"), QKeySequence(), QStringLiteral("Exit Orvik Simulator"));
  connect(MenuOpenFile, &QAction::triggered, this, [this] { OpenFileClick(); });
  connect(MenuSaveFile, &QAction::triggered, this, [this] { SaveFileClick(); });
  connect(MenuSaveAsFile, &QAction::triggered, this, [this] { MenuSaveAsFileClick(); });
  connect(MenuExit, &QAction::triggered, this, &QWidget::close);

  EditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
  MenuCut = MakeAction(EditMenu, QStringLiteral("Cu&t"), QKeySequence(QStringLiteral("Ctrl+X")), QString());
  MenuCopy = MakeAction(EditMenu, QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")), QString());
  MenuPaste = MakeAction(EditMenu, QStringLiteral("&Paste"), QKeySequence(QStringLiteral("Ctrl+V")), QString());
  EditMenu->addSeparator();
  MenuSelectAll =
      MakeAction(EditMenu, QStringLiteral("Select &All"), QKeySequence(QStringLiteral("Ctrl+A")), QString());
  connect(EditMenu, &QMenu::aboutToShow, this, [this] { EditMenuClick(); });
  connect(EditMenu, &QMenu::aboutToHide, this, [this] { EditMenuClosed(); });
  connect(MenuCut, &QAction::triggered, this, [this] { MenuCutClick(); });
  connect(MenuCopy, &QAction::triggered, this, [this] { MenuCopyClick(); });
  connect(MenuPaste, &QAction::triggered, this, [this] { MenuPasteClick(); });
  connect(MenuSelectAll, &QAction::triggered, this, [this] { MenuSelectAllClick(); });

  RunMenu = menuBar()->addMenu(QStringLiteral("&Run"));
  RunMenu->setToolTipsVisible(true);
  MenuRun = MakeAction(RunMenu, QStringLiteral("&Run"), QKeySequence(Qt::Key_F9),
                       QStringLiteral("Run program in main memory"));
  MenuStep =
      MakeAction(RunMenu, QStringLiteral("&Step"), QKeySequence(Qt::Key_F8), QStringLiteral("Execute one instruction"));
  MenuClear = MakeAction(RunMenu, QStringLiteral("&Clear"), QKeySequence(QStringLiteral("Ctrl+F2")),
                         QStringLiteral("Reset program counter"));
  connect(MenuRun, &QAction::triggered, this, [this] { RunSimulator(); });
  connect(MenuStep, &QAction::triggered, this, [this] { StepSimulator(); });
  connect(MenuClear, &QAction::triggered, this, [this] { ClearSimulator(); });

  // The grids' pop-up menus; their shortcuts work while the grid has the focus.
  MainMemoryPopup = new QMenu(this);
  QAction* clearMemory = MainMemoryPopup->addAction(QStringLiteral("Clear"));
  clearMemory->setShortcut(QKeySequence(Qt::Key_Delete));
  clearMemory->setShortcutContext(Qt::WidgetShortcut);
  MainMemory->addAction(clearMemory);
  connect(clearMemory, &QAction::triggered, this, [this] { ClearMainMemory(); });
  // The clipboard items show the Edit menu's keys, which work everywhere in
  // the window; as text after a tab, since a second shortcut for the same
  // keys would make both ambiguous.
  auto popupItem = [this](const QString& caption, QAction* editItem, void (TMainWin::*handler)()) {
    QAction* item = MainMemoryPopup->addAction(caption + QLatin1Char('\t') +
                                               editItem->shortcut().toString(QKeySequence::NativeText));
    connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  };
  MainMemoryPopup->addSeparator();
  popupItem(QStringLiteral("Cu&t"), MenuCut, &TMainWin::MenuCutClick);
  popupItem(QStringLiteral("&Copy"), MenuCopy, &TMainWin::MenuCopyClick);
  popupItem(QStringLiteral("&Paste"), MenuPaste, &TMainWin::MenuPasteClick);
  MainMemoryPopup->addSeparator();
  popupItem(QStringLiteral("Select &All"), MenuSelectAll, &TMainWin::MenuSelectAllClick);
  MainMemory->SetPopupMenu(MainMemoryPopup);

  RegistersPopup = new QMenu(this);
  QAction* clearRegisters = RegistersPopup->addAction(QStringLiteral("Clear"));
  clearRegisters->setShortcut(QKeySequence(Qt::Key_Delete));
  clearRegisters->setShortcutContext(Qt::WidgetShortcut);
  Registers->addAction(clearRegisters);
  connect(clearRegisters, &QAction::triggered, this, [this] { ClearRegisters(); });
  Registers->SetPopupMenu(RegistersPopup);
}

void TMainWin::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(false);
  SetHelpContext(bar, hcStatusBar);
  // Each panel is as wide as its longest text in the window's font, and
  // framed, so that neither cuts a digit nor runs into the next.
  const auto makePanel = [bar](const QString& longest) {
    auto* panel = new QLabel(bar);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setMargin(1);
    panel->setFixedWidth(panel->fontMetrics().horizontalAdvance(longest) + 2 * (panel->frameWidth() + 1) + 4);
    return panel;
  };
  StatusAddress = makePanel(QStringLiteral("Address: 888"));
  FAddressPanelWidth = StatusAddress->width();
  FAddressPanelTextWidth = StatusAddress->fontMetrics().horizontalAdvance(QStringLiteral("Address: 888"));
  StatusAddress->setText(QStringLiteral("Address:"));
  StatusModified = makePanel(QStringLiteral("Modified"));
  StatusText = new TStatusPanel(bar);
  bar->addWidget(StatusAddress);
  bar->addWidget(StatusModified);
  bar->addWidget(StatusText, 1);
}

void TMainWin::ConnectGrids() {
  // The grids show the session; what the user types into them is an edit of it.
  for (TSessionCells* cells : {FMemoryCells.get(), FRegisterCells.get(), FSysRegCells.get()})
    cells->OnWrite = [this](TCellSpace space, int adr, int32_t value) { UserEdit(eaCellEdit, {{space, adr, value}}); };
  MainMemory->SetModel(FMemoryCells.get());
  Registers->SetModel(FRegisterCells.get());
  SysRegs->SetModel(FSysRegCells.get());
  MainMemory->OnSelChanged = [this](THexGrid*, int start, int end) { MainMemorySelChanged(start, end); };
  MainMemory->OnSelectCell = [this](THexGrid*, int col, int row, bool&) { MainMemorySelectCell(col, row); };

  // The register grids never show a selected range.
  auto noSelection = [](THexGrid* grid, int start, int end) {
    if (start >= 0 || end >= 0) grid->SetSelStart(-1);
  };
  Registers->OnSelChanged = noSelection;
  SysRegs->OnSelChanged = noSelection;
  // IR can never become the current cell, so it can never be edited; it
  // shows four digits.
  SysRegs->OnSelectCell = [](THexGrid*, int, int row, bool& canSelect) {
    if (row == 1) canSelect = false;
  };
  SysRegs->OnGetEditLimit = [](THexGrid*, int, int row, int& digits) {
    if (row == 1) digits = 4;
  };
}

void TMainWin::closeEvent(QCloseEvent* event) {
  if (!FormCloseQuery()) {
    event->ignore();
    return;
  }
  // Nothing of a run lives on the stack (it is driven by a timer), so
  // stopping the timer is all a close needs.
  if (FRunning) BreakSimulator();
  event->accept();
  // Every window has been asked once; asking again (as the application's
  // quit would, closing the rest) could leave them open without a main
  // window and the program running with no way to end it.
  for (TZForm* form : TZForm::AllForms())
    if (form != this) form->CloseAfterQuery();
}

// Alt and a button's underlined letter presses that button even when a menu
// title has the same letter ("&Run" is both): the buttons are what the
// window is used with. Qt would only focus the button on the first press and
// open the menu on the second.
QPushButton* TMainWin::ButtonForMnemonic(const QKeyEvent* event) const {
  if (event->modifiers() != Qt::AltModifier || event->key() < Qt::Key_A || event->key() > Qt::Key_Z) return nullptr;
  const QKeySequence pressed(event->key() | Qt::AltModifier);
  for (QPushButton* button : {OpenButton, SaveButton, RunButton, StepButton, BreakButton, ResetButton, AssemblerButton,
                              ViewAsmButton, ZeroPC})
    if (button->isEnabled() && button->isVisible() && QKeySequence::mnemonic(button->text()) == pressed) return button;
  return nullptr;
}

bool TMainWin::event(QEvent* event) {
  // Taking the override keeps the menu bar from claiming the key; the key
  // press then comes here.
  if (event->type() == QEvent::ShortcutOverride && ButtonForMnemonic(static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  return QMainWindow::event(event);
}

void TMainWin::keyPressEvent(QKeyEvent* event) {
  if (QPushButton* button = ButtonForMnemonic(event)) {
    button->animateClick();
    event->accept();
    return;
  }
  QMainWindow::keyPressEvent(event);
}
