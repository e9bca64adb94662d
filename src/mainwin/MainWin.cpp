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
  for (THexGrid* grid : {FMainMemory, FRegisters, FSysRegs}) grid->SetModel(nullptr);
  FOutputBox->SetModel(nullptr);
  SetApplicationHelpHandler(nullptr);
  THelpDialog::CloseAll();
}

void TMainWin::CreateViews() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  QFont captionFont = font();
  captionFont.setPointSize(12);
  FLabelMem = new QLabel(QStringLiteral("Main Memory"), client);
  FLabelMem->setFont(captionFont);
  FLabelMem->move(200, 8);
  FLabelReg = new QLabel(QStringLiteral("Registers"), client);
  FLabelReg->setFont(captionFont);
  FLabelReg->move(488, 8);

  FMainMemory = new THexGrid(client);
  SetUpGrid(FMainMemory, 16, 16, 46, 47, true);
  SetHelpContext(FMainMemory, hcMainMemory);
  FRegisters = new THexGrid(client);
  SetUpGrid(FRegisters, 1, 16, 486, 47, true);
  FRegisters->setToolTip(QStringLiteral("General Purpose Registers"));
  SetHelpContext(FRegisters, hcRegisters);
  FSysRegs = new THexGrid(client);
  FSysRegs->SetDefaultColWidth(32);
  SetUpGrid(FSysRegs, 1, 2, 542, 47, false);
  FSysRegs->setToolTip(QStringLiteral("System Registers"));
  SetHelpContext(FSysRegs, hcSysRegs);

  // Captions line up with the cells: a cell is its width plus one grid line.
  const int memCol = FMainMemory->DefaultColWidth() + 1;
  const int memRow = FMainMemory->DefaultRowHeight() + 1;
  FLabelsMem1 = new TLabelGrid(16, 1, memCol, memRow, client);
  FLabelsMem1->move(FMainMemory->x() + FMainMemory->CellRect(0).left(), 32);
  FLabelsMem2 = new TLabelGrid(1, 16, 22, memRow, client);
  FLabelsMem2->move(24, FMainMemory->y() + FMainMemory->CellRect(0).top());
  FLabelsReg1 = new TLabelGrid(1, 16, 22, memRow, client);
  FLabelsReg1->move(464, FRegisters->y() + FRegisters->CellRect(0).top());
  FLabelsReg1->setToolTip(QStringLiteral("General Purpose Registers"));
  FLabelsReg2 = new TLabelGrid(1, 2, 22, memRow, client);
  FLabelsReg2->move(520, FSysRegs->y() + FSysRegs->CellRect(0).top());
  FLabelsReg2->setToolTip(QStringLiteral("System Registers"));
  for (int n = 0; n < 16; ++n) {
    FLabelsMem1->SetCaption(n, QStringLiteral("..%1").arg(n, 0, 16).toUpper());
    FLabelsMem2->SetCaption(n, QString::number(n, 16).toUpper() + QLatin1Char('0'));
    FLabelsReg1->SetCaption(n, QStringLiteral("R%1").arg(n, 0, 16).toUpper());
  }
  FLabelsReg2->SetCaption(0, QStringLiteral("PC"));
  FLabelsReg2->SetCaption(1, QStringLiteral("IR"));
  SetHelpContext(FLabelsMem2, hcRowAddresses);
  SetHelpContext(FLabelsMem1, hcColumnAddresses);
  SetHelpContext(FLabelsReg1, hcRegisterNames);
  SetHelpContext(FLabelsReg2, hcSysRegNames);

  FDisasmWin = new TDisasmList(128, client);
  FDisasmWin->setGeometry(24, 312, 425, 89);
  QFont listFont(QStringLiteral("DejaVu Sans Mono"));
  listFont.setStyleHint(QFont::Monospace);
  listFont.setPointSize(8);
  FDisasmWin->setFont(listFont);
  FDisasmWin->setToolTip(QStringLiteral("Disassembler window"));
  SetHelpContext(FDisasmWin, hcDisasmWin);
  connect(FDisasmWin, &TDisasmList::RowDoubleClicked, this, [this](int row) { DisasmWinDblClick(row); });
  connect(FDisasmWin, &TDisasmList::RowRightPressed, this, [this](int row) { DisasmWinMouseDown(row); });

  FOutputBox = new TShowText(client);
  FOutputBox->setGeometry(456, 312, 153, 57);
  QFont terminalFont(QStringLiteral("DejaVu Sans Mono"));
  terminalFont.setStyleHint(QFont::Monospace);
  // Characters 12 pixels high: four rows in the terminal's 57 pixels.
  terminalFont.setPixelSize(TShowText::PixelSizeForLineHeight(terminalFont, 12));
  FOutputBox->setFont(terminalFont);
  FOutputBox->setToolTip(QStringLiteral("Output Window"));
  FOutputBox->SetModel(&FTerminal.Terminal());
  SetHelpContext(FOutputBox, hcOutputBox);
}

void TMainWin::CreateButtons() {
  QWidget* client = centralWidget();
  FZeroPC = MakeButton(client, QStringLiteral("=0"), QStringLiteral("Zero PC"), hcZeroPC, 584, 47, 25, 19);
  FOpenButton =
      MakeButton(client, QStringLiteral("&Open..."), QStringLiteral("Open a file from disk"), hcOpenButton, 528, 96);
  FSaveButton =
      MakeButton(client, QStringLiteral("&Save"), QStringLiteral("Save file to disk"), hcSaveButton, 528, 128);
  FRunButton = MakeButton(client, QStringLiteral("&Run"), QStringLiteral("Run program"), hcRunButton, 528, 184);
  FStepButton =
      MakeButton(client, QStringLiteral("S&tep"), QStringLiteral("Execute one instruction"), hcStepButton, 528, 216);
  FBreakButton =
      MakeButton(client, QStringLiteral("Break"), QStringLiteral("Pause execution"), hcBreakButton, 528, 248);
  FResetButton = MakeButton(client, QStringLiteral("Clear..."), QStringLiteral("Reset memory or registers"),
                            hcResetButton, 528, 280);
  FAssemblerButton = MakeButton(client, QStringLiteral("&Asm"), QStringLiteral("Assembler editor"), hcAssemblerButton,
                                456, 376, 65, 25);
  FViewAsmButton = MakeButton(client, QStringLiteral("&Disasm"), QStringLiteral("View disassembled instructions"),
                              hcViewAsmButton, 528, 376);
  FBreakButton->setEnabled(false);

  connect(FZeroPC, &QPushButton::clicked, this, [this] { ZeroPCClick(); });
  connect(FOpenButton, &QPushButton::clicked, this, [this] { OpenFileClick(); });
  connect(FSaveButton, &QPushButton::clicked, this, [this] { SaveFileClick(); });
  connect(FRunButton, &QPushButton::clicked, this, [this] { RunSimulator(); });
  connect(FStepButton, &QPushButton::clicked, this, [this] { StepSimulator(); });
  connect(FBreakButton, &QPushButton::clicked, this, [this] { BreakSimulator(); });
  connect(FResetButton, &QPushButton::clicked, this, [this] { ClearSimulator(); });
  connect(FViewAsmButton, &QPushButton::clicked, this, [this] { ViewAsmButtonClick(); });
  connect(FAssemblerButton, &QPushButton::clicked, this, [this] { AssemblerButtonClick(); });
}

void TMainWin::CreateMenus() {
  FFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  FFileMenu->setToolTipsVisible(true);
  FMenuOpenFile = MakeAction(FFileMenu, QStringLiteral("&Open..."), QKeySequence(QStringLiteral("Ctrl+O")),
                             QStringLiteral("Open file with data for main memory"));
  FMenuSaveFile = MakeAction(FFileMenu, QStringLiteral("&Save"), QKeySequence(QStringLiteral("Ctrl+S")),
                             QStringLiteral("Save main memory to file"));
  FMenuSaveAsFile = MakeAction(FFileMenu, QStringLiteral("Save &As..."), QKeySequence(),
                               QStringLiteral("Save with different filename"));
  FFileMenu->addSeparator();
  FMenuExit = MakeAction(FFileMenu, QStringLiteral("E&xit"), QKeySequence(), QStringLiteral("Exit Orvik Simulator"));
  connect(FMenuOpenFile, &QAction::triggered, this, [this] { OpenFileClick(); });
  connect(FMenuSaveFile, &QAction::triggered, this, [this] { SaveFileClick(); });
  connect(FMenuSaveAsFile, &QAction::triggered, this, [this] { MenuSaveAsFileClick(); });
  connect(FMenuExit, &QAction::triggered, this, &QWidget::close);

  FEditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
  FMenuCut = MakeAction(FEditMenu, QStringLiteral("Cu&t"), QKeySequence(QStringLiteral("Ctrl+X")), QString());
  FMenuCopy = MakeAction(FEditMenu, QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")), QString());
  FMenuPaste = MakeAction(FEditMenu, QStringLiteral("&Paste"), QKeySequence(QStringLiteral("Ctrl+V")), QString());
  FEditMenu->addSeparator();
  FMenuSelectAll =
      MakeAction(FEditMenu, QStringLiteral("Select &All"), QKeySequence(QStringLiteral("Ctrl+A")), QString());
  connect(FEditMenu, &QMenu::aboutToShow, this, [this] { EditMenuClick(); });
  connect(FEditMenu, &QMenu::aboutToHide, this, [this] { EditMenuClosed(); });
  connect(FMenuCut, &QAction::triggered, this, [this] { MenuCutClick(); });
  connect(FMenuCopy, &QAction::triggered, this, [this] { MenuCopyClick(); });
  connect(FMenuPaste, &QAction::triggered, this, [this] { MenuPasteClick(); });
  connect(FMenuSelectAll, &QAction::triggered, this, [this] { MenuSelectAllClick(); });

  FRunMenu = menuBar()->addMenu(QStringLiteral("&Run"));
  FRunMenu->setToolTipsVisible(true);
  FMenuRun = MakeAction(FRunMenu, QStringLiteral("&Run"), QKeySequence(Qt::Key_F9),
                        QStringLiteral("Run program in main memory"));
  FMenuStep = MakeAction(FRunMenu, QStringLiteral("&Step"), QKeySequence(Qt::Key_F8),
                         QStringLiteral("Execute one instruction"));
  FMenuClear = MakeAction(FRunMenu, QStringLiteral("&Clear"), QKeySequence(QStringLiteral("Ctrl+F2")),
                          QStringLiteral("Reset program counter"));
  connect(FMenuRun, &QAction::triggered, this, [this] { RunSimulator(); });
  connect(FMenuStep, &QAction::triggered, this, [this] { StepSimulator(); });
  connect(FMenuClear, &QAction::triggered, this, [this] { ClearSimulator(); });

  // The grids' pop-up menus; their shortcuts work while the grid has the focus.
  FMainMemoryPopup = new QMenu(this);
  QAction* clearMemory = FMainMemoryPopup->addAction(QStringLiteral("Clear"));
  clearMemory->setShortcut(QKeySequence(Qt::Key_Delete));
  clearMemory->setShortcutContext(Qt::WidgetShortcut);
  FMainMemory->addAction(clearMemory);
  connect(clearMemory, &QAction::triggered, this, [this] { ClearMainMemory(); });
  // The clipboard items show the Edit menu's keys, which work everywhere in
  // the window; as text after a tab, since a second shortcut for the same
  // keys would make both ambiguous.
  auto popupItem = [this](const QString& caption, QAction* editItem, void (TMainWin::*handler)()) {
    QAction* item = FMainMemoryPopup->addAction(caption + QLatin1Char('\t') +
                                                editItem->shortcut().toString(QKeySequence::NativeText));
    connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  };
  FMainMemoryPopup->addSeparator();
  popupItem(QStringLiteral("Cu&t"), FMenuCut, &TMainWin::MenuCutClick);
  popupItem(QStringLiteral("&Copy"), FMenuCopy, &TMainWin::MenuCopyClick);
  popupItem(QStringLiteral("&Paste"), FMenuPaste, &TMainWin::MenuPasteClick);
  FMainMemoryPopup->addSeparator();
  popupItem(QStringLiteral("Select &All"), FMenuSelectAll, &TMainWin::MenuSelectAllClick);
  FMainMemory->SetPopupMenu(FMainMemoryPopup);

  FRegistersPopup = new QMenu(this);
  QAction* clearRegisters = FRegistersPopup->addAction(QStringLiteral("Clear"));
  clearRegisters->setShortcut(QKeySequence(Qt::Key_Delete));
  clearRegisters->setShortcutContext(Qt::WidgetShortcut);
  FRegisters->addAction(clearRegisters);
  connect(clearRegisters, &QAction::triggered, this, [this] { ClearRegisters(); });
  FRegisters->SetPopupMenu(FRegistersPopup);
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
  FStatusAddress = makePanel(QStringLiteral("Address: 888"));
  FAddressPanelWidth = FStatusAddress->width();
  FAddressPanelTextWidth = FStatusAddress->fontMetrics().horizontalAdvance(QStringLiteral("Address: 888"));
  FStatusAddress->setText(QStringLiteral("Address:"));
  FStatusModified = makePanel(QStringLiteral("Modified"));
  FStatusText = new TStatusPanel(bar);
  bar->addWidget(FStatusAddress);
  bar->addWidget(FStatusModified);
  bar->addWidget(FStatusText, 1);
}

void TMainWin::ConnectGrids() {
  // The grids show the session; what the user types into them is an edit of it.
  for (TSessionCells* cells : {FMemoryCells.get(), FRegisterCells.get(), FSysRegCells.get()})
    cells->OnWrite = [this](TCellSpace space, int adr, int32_t value) { UserEdit(eaCellEdit, {{space, adr, value}}); };
  FMainMemory->SetModel(FMemoryCells.get());
  FRegisters->SetModel(FRegisterCells.get());
  FSysRegs->SetModel(FSysRegCells.get());
  FMainMemory->OnSelChanged = [this](THexGrid*, int start, int end) { MainMemorySelChanged(start, end); };
  FMainMemory->OnSelectCell = [this](THexGrid*, int col, int row, bool&) { MainMemorySelectCell(col, row); };

  // The register grids never show a selected range.
  auto noSelection = [](THexGrid* grid, int start, int end) {
    if (start >= 0 || end >= 0) grid->SetSelStart(-1);
  };
  FRegisters->OnSelChanged = noSelection;
  FSysRegs->OnSelChanged = noSelection;
  // IR can never become the current cell, so it can never be edited; it
  // shows four digits.
  FSysRegs->OnSelectCell = [](THexGrid*, int, int row, bool& canSelect) {
    if (row == 1) canSelect = false;
  };
  FSysRegs->OnGetEditLimit = [](THexGrid*, int, int row, int& digits) {
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
  for (QPushButton* button : {FOpenButton, FSaveButton, FRunButton, FStepButton, FBreakButton, FResetButton,
                              FAssemblerButton, FViewAsmButton, FZeroPC})
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
