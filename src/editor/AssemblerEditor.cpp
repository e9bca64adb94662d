#include "editor/AssemblerEditor.h"

#include "desktop/ViewMenu.h"

#include "assembler/AsmParser.h"
#include "desktop/ContextHelp.h"
#include "desktop/HelpHook.h"
#include "desktop/Platform.h"
#include "desktop/RecoveryStore.h"
#include "editor/AsmHighlighter.h"
#include "editor/DocumentLineSource.h"
#include "editor/HighlightStyles.h"
#include "editor/MachineHost.h"
#include "editor/SourceEdit.h"
#include "editor/SourceLayout.h"
#include "editor/WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int ErrorBoxHeight = 57;
constexpr int AssemblePanelWidth = 53;
constexpr int StatusPanelWidth = 60;

QAction* MakeAction(QMenu* menu, const QString& caption, const QKeySequence& shortcut = {}) {
  QAction* action = menu->addAction(caption);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  return action;
}

QLabel* MakePanel(QStatusBar* bar, Qt::Alignment alignment) {
  auto* panel = new QLabel(bar);
  panel->setFixedWidth(StatusPanelWidth);
  panel->setAlignment(alignment | Qt::AlignVCenter);
  bar->addWidget(panel);
  return panel;
}

}  // namespace

const QString TAssemblerEditor::Caption = QStringLiteral("Orvik Assembler");

TAssemblerEditor::TAssemblerEditor(TMachineHost& host, TSettings& settings)
    : QMainWindow(nullptr), TZForm(this), FHost(host), FSettings(settings) {
  setAttribute(Qt::WA_DeleteOnClose);
  // Closing the main window ends the program, editors or not; it asks every
  // editor about unsaved source first.
  setAttribute(Qt::WA_QuitOnClose, false);
  setWindowTitle(Caption);
  SetHelpContext(this, hcEditorWindow);
  TContextHelp::OfferF1(this);

  CreateControls();
  CreateMenus();
  CreateOutsideFileCommands();
  CreateStatusBar();
  resize(562, 451);
  BottomSplitter->setSizes({451, ErrorBoxHeight});
  // Right after Edit, where desktop programs keep it.
  const QList<QAction*> titles = menuBar()->actions();
  TextEditor->installEventFilter(this);
  ViewMenu = new TViewMenu(this, menuBar(), titles.value(titles.indexOf(EditMenu->menuAction()) + 1), FSettings);

  FLineSource = std::make_unique<TDocumentLineSource>(*TextEditor->document());
  FParser = std::make_unique<TAsmParser>(FLineSource.get());
  FHighlighter = new TAsmHighlighter(TextEditor->document());
  CreateDebugCommands();

  connect(TextEditor->document(), &QTextDocument::contentsChange, this,
          [this](int position, int removed, int added) { TextEditorChange(position, removed, added); });
  connect(TextEditor, &QPlainTextEdit::cursorPositionChanged, this, [this] { TextEditorSelectionChange(); });
  // An editor does not outlive the machine it assembles into.
  connect(host.HostWindow(), &QObject::destroyed, this, [this] {
    FHostGone = true;
    delete this;
  });

  CreateAutosave();
  SetModified(false);
  SetInsertMode(true);
  TextEditorSelectionChange();
}

void TAssemblerEditor::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::PaletteChange && FHighlighter) FHighlighter->rehighlight();
}

TAssemblerEditor::~TAssemblerEditor() {
  // The highlighter and the change handlers use the parser, which goes
  // before the controls do.
  TextEditor->document()->disconnect(this);
  TextEditor->disconnect(this);
  TextEditor->removeEventFilter(this);
  ErrorBox->viewport()->removeEventFilter(this);
  ErrorBox->removeEventFilter(this);
  delete FHighlighter;
  // A window that closes has been saved or its changes were given up: its
  // entry goes, unless the program is ending on a signal (the store keeps
  // everything then).
  // An editor that goes with its host leaves the entry to the program's
  // own clean-up at its end.
  if (FHostGone) return;
  if (TRecoveryStore* store = FHost.Recovery()) store->Remove(FRecoveryKey);
}

void TAssemblerEditor::CreateControls() {
  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  BottomSplitter = new QSplitter(Qt::Vertical, client);
  BottomSplitter->setHandleWidth(3);
  BottomSplitter->setChildrenCollapsible(false);
  layout->addWidget(BottomSplitter);
  setCentralWidget(client);

  TextEditor = new TSourceEdit(BottomSplitter);
  // The view learns its layout through setDocument only.
  auto* document = new QTextDocument(TextEditor);
  document->setDocumentLayout(new TSourceLayout(document));
  TextEditor->setDocument(document);
  TextEditor->setFont(SourceFont());
  TextEditor->document()->setDefaultFont(SourceFont());
  TextEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
  TextEditor->setTabChangesFocus(false);
  TextEditor->setTabStopDistance(8 * TextEditor->fontMetrics().horizontalAdvance(QLatin1Char(' ')));
  // The selection stays visible while the focus is elsewhere (the error box).
  QPalette palette = TextEditor->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  TextEditor->setPalette(palette);
  SetHelpContext(TextEditor, hcEditorText);
  // Neither box has a caption a screen reader could read out.
  TextEditor->setAccessibleName(QStringLiteral("Assembler source"));
  TextEditor->OnKeyDown = [this](QKeyEvent* event) { return TextEditorKeyDown(event->key(), event->modifiers()); };
  TextEditor->MaxLineLength = MaxEditableLineLength;
  TextEditor->OnLineTooLong = [this] {
    Platform().ShowMessage(this, Caption,
                           QStringLiteral("The inserted text would make a line longer than %1 characters, which "
                                          "cannot be edited.\nIt was not inserted.")
                               .arg(MaxEditableLineLength),
                           TMsgIcon::Warning);
  };
  TextEditor->OnNonEightBit = [this](const QString& characters, bool replaced) {
    TellNonEightBit(characters, replaced);
  };

  auto* bottom = new QWidget(BottomSplitter);
  bottom->setMinimumHeight(1);
  auto* bottomLayout = new QHBoxLayout(bottom);
  bottomLayout->setContentsMargins(0, 0, 0, 0);
  bottomLayout->setSpacing(0);
  ErrorBox = new QListWidget(bottom);
  ErrorBox->setSelectionMode(QAbstractItemView::SingleSelection);
  ErrorBox->setAccessibleName(QStringLiteral("Errors"));
  ErrorBox->setUniformItemSizes(true);
  QFont listFont(QStringLiteral("DejaVu Sans"));
  listFont.setPixelSize(13);
  ErrorBox->setFont(listFont);
  ErrorBox->installEventFilter(this);
  ErrorBox->viewport()->installEventFilter(this);
  SetHelpContext(ErrorBox, hcErrorBox);
  bottomLayout->addWidget(ErrorBox, 1);

  AssemblePanel = new QWidget(bottom);
  AssemblePanel->setFixedWidth(AssemblePanelWidth);
  SetHelpContext(AssemblePanel, hcAssemblePanel);
  auto* panelLayout = new QVBoxLayout(AssemblePanel);
  panelLayout->setContentsMargins(0, 0, 0, 0);
  AssembleButton = new QToolButton(AssemblePanel);
  AssembleButton->setText(QStringLiteral("assemble"));
  AssembleButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  AssembleButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  AssembleButton->setAutoRaise(true);
  AssembleButton->setToolTip(QStringLiteral("Assemble source file"));
  AssembleButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  // The caption must fit the narrow panel whole.
  QFont captionFont = AssembleButton->font();
  while (captionFont.pointSizeF() > 6 &&
         QFontMetrics(captionFont).horizontalAdvance(AssembleButton->text()) > AssemblePanelWidth - 8)
    captionFont.setPointSizeF(captionFont.pointSizeF() - 0.5);
  AssembleButton->setFont(captionFont);
  SetHelpContext(AssembleButton, hcAssemblePanel);
  panelLayout->addWidget(AssembleButton);
  bottomLayout->addWidget(AssemblePanel);
  connect(AssembleButton, &QToolButton::clicked, this, [this] { AssembleButtonClick(); });

  BottomSplitter->setStretchFactor(0, 1);
  BottomSplitter->setStretchFactor(1, 0);
}

void TAssemblerEditor::CreateMenus() {
  FileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  MenuOpenFile = MakeAction(FileMenu, QStringLiteral("&Open..."), QKeySequence(QStringLiteral("Ctrl+O")));
  MenuSaveFile = MakeAction(FileMenu, QStringLiteral("&Save"), QKeySequence(QStringLiteral("Ctrl+S")));
  MenuSaveAsFile = MakeAction(FileMenu, QStringLiteral("Save &As..."));
  FileMenu->addSeparator();
  MenuPrint = MakeAction(FileMenu, QStringLiteral("&Print..."));
  FileMenu->addSeparator();
  MenuExitFile = MakeAction(FileMenu, QStringLiteral("E&xit"));
  connect(MenuOpenFile, &QAction::triggered, this, [this] { OpenFileClick(); });
  connect(MenuSaveFile, &QAction::triggered, this, [this] { SaveFile(); });
  connect(MenuSaveAsFile, &QAction::triggered, this, [this] { SaveAsFile(); });
  connect(MenuPrint, &QAction::triggered, this, [this] { MenuPrintClick(); });
  connect(MenuExitFile, &QAction::triggered, this, &QWidget::close);

  EditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
  // The text control's own undo history. Ctrl+Y deletes the caret line in
  // this editor, so Redo has Ctrl+Shift+Z only.
  MenuUndo = MakeAction(EditMenu, QStringLiteral("&Undo"), QKeySequence(QStringLiteral("Ctrl+Z")));
  MenuRedo = MakeAction(EditMenu, QStringLiteral("&Redo"), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
  MenuUndo->setStatusTip(QStringLiteral("Take back the last change of the text"));
  MenuRedo->setStatusTip(QStringLiteral("Make the change taken back again"));
  MenuUndo->setEnabled(false);
  MenuRedo->setEnabled(false);
  connect(TextEditor, &QPlainTextEdit::undoAvailable, MenuUndo, &QAction::setEnabled);
  connect(TextEditor, &QPlainTextEdit::redoAvailable, MenuRedo, &QAction::setEnabled);
  connect(MenuRedo, &QAction::triggered, this, [this] {
    TextEditor->redo();
    TextEditor->viewport()->update();
  });
  EditMenu->addSeparator();
  MenuCut = MakeAction(EditMenu, QStringLiteral("Cu&t"), QKeySequence(QStringLiteral("Ctrl+X")));
  MenuCopy = MakeAction(EditMenu, QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")));
  MenuPaste = MakeAction(EditMenu, QStringLiteral("&Paste"), QKeySequence(QStringLiteral("Ctrl+V")));
  EditMenu->addSeparator();
  MenuSelectAll = MakeAction(EditMenu, QStringLiteral("Select &All"), QKeySequence(QStringLiteral("Ctrl+A")));
  EditMenu->addSeparator();
  MenuUseSyntaxHighlight = MakeAction(EditMenu, QStringLiteral("Use Syntaxhighlight"));
  MenuUseSyntaxHighlight->setCheckable(true);
  MenuUseSyntaxHighlight->setChecked(true);
  CreateFindCommands();
  connect(EditMenu, &QMenu::aboutToShow, this, [this] { EditMenuClick(); });
  // Shortcuts must work whatever the menu showed when it was last opened.
  connect(EditMenu, &QMenu::aboutToHide, this, [this] {
    for (QAction* action : {MenuCut, MenuCopy, MenuPaste}) action->setEnabled(true);
  });
  connect(MenuUndo, &QAction::triggered, this, [this] { MenuUndoClick(); });
  connect(MenuCut, &QAction::triggered, this, [this] { MenuCutClick(); });
  connect(MenuCopy, &QAction::triggered, this, [this] { MenuCopyClick(); });
  connect(MenuPaste, &QAction::triggered, this, [this] { MenuPasteClick(); });
  connect(MenuSelectAll, &QAction::triggered, this, [this] { MenuSelectAllClick(); });
  connect(MenuUseSyntaxHighlight, &QAction::triggered, this, [this] {
    FHighlighter->SetEnabled(MenuUseSyntaxHighlight->isChecked());
    ReformatAll();
  });

  MenuAssemble = menuBar()->addAction(QStringLiteral("&Assemble!"));
  MenuAssemble->setShortcut(QKeySequence(QStringLiteral("Ctrl+F9")));
  MenuAssemble->setStatusTip(QStringLiteral("Assemble the source into memory (Ctrl+F9)"));
  // A command on the menu bar shows no key; the Edit menu lists it with its
  // key. The key stays on the bar's command alone: two actions with one
  // shortcut would make it ambiguous and neither would run.
  EditMenu->addSeparator();
  MenuAssembleItem = EditMenu->addAction(QStringLiteral("Asse&mble\tCtrl+F9"));
  MenuAssembleItem->setStatusTip(MenuAssemble->statusTip());
  connect(MenuAssembleItem, &QAction::triggered, this, [this] { AssembleButtonClick(); });
  connect(MenuAssemble, &QAction::triggered, this, [this] { AssembleButtonClick(); });

  ErrorsMenu = menuBar()->addMenu(QStringLiteral("E&rrors"));
  MenuNextError = MakeAction(ErrorsMenu, QStringLiteral("&Next"), QKeySequence(QStringLiteral("Ctrl+N")));
  MenuPreviousError = MakeAction(ErrorsMenu, QStringLiteral("&Previous"), QKeySequence(QStringLiteral("Ctrl+P")));
  connect(MenuNextError, &QAction::triggered, this, [this] { NextErrorClick(); });
  connect(MenuPreviousError, &QAction::triggered, this, [this] { PreviousErrorClick(); });
  SetErrorsMenuEnabled(false);

  HelpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  MenuHelpInstructions = MakeAction(HelpMenu, QStringLiteral("&Instructions"));
  MenuHelpSyntax = MakeAction(HelpMenu, QStringLiteral("&Syntax"));
  connect(MenuHelpInstructions, &QAction::triggered, this, [] { RequestContextHelp(hcEditorInstructions); });
  connect(MenuHelpSyntax, &QAction::triggered, this, [] { RequestContextHelp(hcEditorSyntax); });
}

void TAssemblerEditor::CreateStatusBar() {
  EditorStatusBar = statusBar();
  SetHelpContext(EditorStatusBar, hcEditorStatusBar);
  StatusPosition = MakePanel(EditorStatusBar, Qt::AlignRight);
  StatusModified = MakePanel(EditorStatusBar, Qt::AlignLeft);
  StatusMode = MakePanel(EditorStatusBar, Qt::AlignLeft);
  FFindPanel = new QLabel(EditorStatusBar);
  EditorStatusBar->addWidget(FFindPanel, 1);
}

QTextDocument* TAssemblerEditor::Document() const { return TextEditor->document(); }

bool TAssemblerEditor::SyntaxHighlight() const { return MenuUseSyntaxHighlight->isChecked(); }

void TAssemblerEditor::SetModified(bool value) {
  if (FModified == value) return;
  FModified = value;
  if (!value) Autosave();
  MenuSaveFile->setEnabled(value);
  StatusModified->setText(value ? QStringLiteral("Modified") : QString());
}

void TAssemblerEditor::SetInsertMode(bool value) {
  FInsertMode = value;
  TextEditor->setOverwriteMode(!value);
  StatusMode->setText(ReadOnly() ? QStringLiteral("Read only")
                      : value    ? QStringLiteral("Insert")
                                 : QStringLiteral("Overwrite"));
}

bool TAssemblerEditor::ReadOnly() const { return TextEditor->isReadOnly(); }

void TAssemblerEditor::SetReadOnly(bool value) {
  // Read-only also hides the caret: with nothing blinking, an idle window
  // never paints the huge line again.
  TextEditor->setReadOnly(value);
  SetInsertMode(FInsertMode);
}

void TAssemblerEditor::SetCaption(const QString& path) {
  setWindowTitle(path.isEmpty() ? Caption : Caption + QStringLiteral(" - ") + path);
}

void TAssemblerEditor::TextEditorChange(int, int charsRemoved, int charsAdded) {
  // The highlighter has already re-coloured the lines the change touched.
  if (!FTrackChanges || (charsRemoved == 0 && charsAdded == 0)) return;
  SetModified(true);
  // The only work of a keystroke for recovery: the write waits until the
  // typing pauses.
  if (FAutosaveTimer) FAutosaveTimer->start();
}

void TAssemblerEditor::TextEditorSelectionChange() {
  if (!FTrackChanges) return;
  const QTextCursor cursor = TextEditor->textCursor();
  StatusPosition->setText(QStringLiteral("%1: %2  ").arg(cursor.blockNumber() + 1).arg(cursor.positionInBlock() + 1));
}

bool TAssemblerEditor::TextEditorKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  // The keypad flag says where a key sits, not how it was pressed.
  const Qt::KeyboardModifiers held =
      modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  // Our own editing keys change the text through cursors, which a read-only
  // control does not stop.
  if (ReadOnly() &&
      ((key == Qt::Key_Insert && held == Qt::ShiftModifier) || (key == Qt::Key_Delete && held == Qt::ShiftModifier) ||
       (key == Qt::Key_Y && held == Qt::ControlModifier)))
    return true;
  // Tab types a tab into the source, so Ctrl+Tab and Ctrl+Shift+Tab leave it
  // for the other controls: without them the keyboard could never get out.
  if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && (held & Qt::ControlModifier)) {
    const bool forward = key == Qt::Key_Tab && !(held & Qt::ShiftModifier);
    QWidget* next = forward ? TextEditor->nextInFocusChain() : TextEditor->previousInFocusChain();
    while (next != TextEditor && !(next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)))
      next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
    next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
  }
  if (key == Qt::Key_Insert && held == Qt::NoModifier) {
    SetInsertMode(!FInsertMode);
    return false;
  }
  if (key == Qt::Key_Insert && held == Qt::ShiftModifier) {
    MenuPasteClick();
    return true;
  }
  if (key == Qt::Key_Insert && held == Qt::ControlModifier) {
    MenuCopyClick();
    return true;
  }
  if (key == Qt::Key_Delete && held == Qt::ShiftModifier) {
    MenuCutClick();
    return true;
  }
  if (key == Qt::Key_Y && held == Qt::ControlModifier) {
    DeleteCaretLine();
    return true;
  }
  return false;
}

void TAssemblerEditor::DeleteCaretLine() {
  QTextCursor cursor = TextEditor->textCursor();
  const QTextBlock block = cursor.block();
  cursor.setPosition(block.position());
  // The line goes with its line break; the last line has none, so only its
  // text goes.
  if (block.next().isValid())
    cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
  else
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  TextEditor->setTextCursor(cursor);
}

void TAssemblerEditor::TellNonEightBit(const QString& characters, bool replaced) {
  const QString text =
      replaced ? QStringLiteral(
                     "The inserted text held characters without an 8-bit code (\"%1\"); each was "
                     "replaced by \"?\".\nAssembly sources are 8-bit text.")
                     .arg(characters)
               : QStringLiteral("\"%1\" has no 8-bit code and was not inserted.\nAssembly sources are 8-bit text.")
                     .arg(characters);
  // A paste reports this while it shows the hourglass; the box waits for
  // the user, so the normal cursor belongs over it.
  QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
  Platform().ShowMessage(this, Caption, text, TMsgIcon::Warning);
  QApplication::restoreOverrideCursor();
}

void TAssemblerEditor::EditMenuClick() {
  const bool selection = TextEditor->textCursor().hasSelection();
  MenuCut->setEnabled(selection && !ReadOnly());
  MenuCopy->setEnabled(selection);
  const QMimeData* clipboard = QApplication::clipboard()->mimeData();
  MenuPaste->setEnabled(clipboard != nullptr && clipboard->hasText() && !ReadOnly());
}

void TAssemblerEditor::MenuUndoClick() {
  TextEditor->undo();
  TextEditor->viewport()->update();
}

void TAssemblerEditor::MenuCutClick() {
  if (ReadOnly()) return;
  TextEditor->cut();
  SetModified(true);
  TextEditor->viewport()->update();
}

void TAssemblerEditor::MenuCopyClick() { TextEditor->copy(); }

void TAssemblerEditor::MenuPasteClick() {
  if (ReadOnly()) return;
  TWaitCursor wait;
  // The pasted lines are coloured as they arrive; see TAsmHighlighter.
  TextEditor->paste();
  SetModified(true);
  TextEditor->viewport()->update();
}

void TAssemblerEditor::MenuSelectAllClick() {
  TextEditor->selectAll();
  TextEditor->viewport()->update();
}

bool TAssemblerEditor::AskSaveSource(const QString& question) {
  if (!FModified) return true;
  // The question does not name the file: the editor asking comes to the
  // front first, so that its title does. Raising is a request to the window
  // system; the question waits a moment for it to be granted.
  BringToFront(this);
  QElapsedTimer waited;
  waited.start();
  while (!isActiveWindow() && waited.elapsed() < ActivationWaitMs)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  switch (Platform().AskYesNoCancel(this, QStringLiteral("Save?"), question, TMsgIcon::Question)) {
    case TAnswer::Yes: SaveFile(); return !FModified;
    case TAnswer::No: return true;
    case TAnswer::Cancel: break;
  }
  return false;
}

void TAssemblerEditor::BringToFront(QWidget* window) {
  // Raising alone leaves a minimized window out of sight: the user would be
  // asked about a window, or sent to one, that cannot be seen.
  if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->raise();
  window->activateWindow();
}

bool TAssemblerEditor::FormCloseQuery() {
  if (!FModified) return true;
  BringToFront(this);
  TextEditor->setFocus();
  return AskSaveSource(QStringLiteral("Assembly File Changed.\nDo you want to save before you exit?"));
}

void TAssemblerEditor::closeEvent(QCloseEvent* event) {
  if (ClosingAfterQuery() || FormCloseQuery())
    event->accept();
  else
    event->ignore();
}
