#pragma once

#include "desktop/ZForm.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTextDocument>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QDialog;
class QLineEdit;
class QLabel;
class QListWidget;
class QMenu;
class QPrinter;
class QSplitter;
class QTimer;
class QStatusBar;
class QTextDocument;
class QToolButton;
class TAsmHighlighter;
class TAsmParser;
class TDocumentLineSource;
class TMachineHost;
class TViewMenu;
class TRecentFilesMenu;
class TSourceEdit;
struct TSettings;

// The assembler editor: one assembly source, its colouring, its file, and
// assembling it into the main window's memory with a list of the errors.
// Made anew for every request and freed when it closes.
class TAssemblerEditor : public QMainWindow, public TZForm {
  Q_OBJECT

 public:
  // Where an error of the last assembly was found (0-based).
  struct TErrorPosition {
    int Line;
    int Column;
  };

  static const QString Caption;
  // Qt lays out a whole line again, with all its coloured runs, for every
  // keystroke in it: past this length a keystroke would take more than a
  // few dozen milliseconds (and seconds for a line of megabytes), so a file
  // with a longer line opens read-only. Such a file cannot assemble anyway:
  // the assembler reports every line past 999 characters.
  static constexpr qsizetype MaxEditableLineLength = 2000;

  TAssemblerEditor(TMachineHost& host, TSettings& settings);
  ~TAssemblerEditor() override;

  // Controls, named as the user knows them.
  TSourceEdit* TextEditor;
  QSplitter* BottomSplitter;
  QListWidget* ErrorBox;
  QWidget* AssemblePanel;
  QToolButton* AssembleButton;
  QStatusBar* EditorStatusBar;
  QLabel* StatusPosition;  // panel 0
  QLabel* StatusModified;  // panel 1
  QLabel* StatusMode;      // panel 2

  QMenu* FileMenu;
  QMenu* EditMenu;
  QMenu* ErrorsMenu;
  TViewMenu* ViewMenu = nullptr;

 protected:
  // A palette turned dark or light again brings the other syntax colours.
  void changeEvent(QEvent* event) override;

 public:
  QMenu* HelpMenu;
  QAction* MenuOpenFile;
  QAction* MenuSaveFile;
  QAction* MenuSaveAsFile;
  QAction* MenuPrint;
  QAction* MenuExitFile;
  QAction* MenuUndo;
  QAction* MenuRedo;
  QAction* MenuFind;
  QAction* MenuReplace;
  QAction* MenuGoToLine;
  QAction* MenuAssembleItem;
  QAction* MenuCut;
  QAction* MenuCopy;
  QAction* MenuPaste;
  QAction* MenuSelectAll;
  QAction* MenuUseSyntaxHighlight;
  QAction* MenuAssemble;
  QAction* MenuNextError;
  QAction* MenuPreviousError;
  QAction* MenuHelpInstructions;
  QAction* MenuHelpSyntax;

  TAsmParser& Parser() const { return *FParser; }
  QTextDocument* Document() const;
  QString FileName() const { return FFileName; }
  bool Modified() const { return FModified; }
  bool InsertMode() const { return FInsertMode; }
  bool TrackChanges() const { return FTrackChanges; }
  bool SyntaxHighlight() const;
  bool ReadOnly() const;
  const std::vector<TErrorPosition>& ErrorPositions() const { return FErrorPositions; }

  void SetModified(bool value);
  void SetInsertMode(bool value);

  // Source files.
  bool LoadAsmFile(const QString& path);
  void LoadLines(const QStringList& lines);
  bool SaveAsmFile(const QString& path);
  void OpenFileClick();
  void SaveFile();
  void SaveAsFile();
  // File > Recent Files; it and files dropped on the window open through the
  // main window, as files named on the command line do.
  TRecentFilesMenu* RecentMenu = nullptr;

  // Recovery after a crash (AssemblerEditorRecovery.cpp): unsaved text is
  // written to the recovery folder AutosaveDelayMs after the last change.
  static constexpr int AutosaveDelayMs = 1000;
  QString RecoveryKey() const { return FRecoveryKey; }
  // Writes the entry now when the text is modified, removes it otherwise.
  void Autosave();
  // Shows recovered text as unsaved work on the file it belonged to (empty
  // for a source that never had a name): Save writes to that file.
  void RestoreRecovered(const QString& text, const QString& fileName);

  // Colouring.
  void ReformatLine(int line, bool repaint);
  void AppendFormattedLine(const QString& text);
  void ReformatAll();
  void MenuUseSyntaxHighlightClick();

  // Edit commands.
  void EditMenuClick();
  void MenuUndoClick();
  void MenuCutClick();
  void MenuCopyClick();
  void MenuPasteClick();
  void MenuSelectAllClick();
  void MenuPrintClick();
  // Prints the whole text with its colours, as a job without a title.
  void PrintTo(QPrinter& printer);
  // The text as it is printed: the colours made part of the characters.
  std::unique_ptr<QTextDocument> PrintDocument() const;

  // Find, Replace and Go to line (AssemblerEditorFind.cpp). The dialog is
  // made on first use and stays with the editor, not modal.
  QDialog* FindDialog = nullptr;
  QLineEdit* FindText = nullptr;
  QLineEdit* ReplaceWithText = nullptr;
  QCheckBox* FindMatchCase = nullptr;
  QWidget* ReplaceRow = nullptr;
  void ShowFindDialog(bool replace);
  // From the caret on, wrapping at the end; selects the match. Otherwise
  // the status bar says "Not found".
  bool FindNext();
  // Replaces the selection when it is a match, then finds the next one.
  void ReplaceNext();
  // Every match, as one undo step; returns how many.
  int ReplaceAll();
  void GoToLine(int line);
  void MenuGoToLineClick();
  QString FindStatusText() const;

  // Assembling and the errors.
  void AssembleButtonClick();
  // Assembles the text without touching memory: the errors go to the error
  // box as Assemble puts them, and false is returned when there are any.
  // After true, AssembledImage() and Parser().Map() hold the result.
  bool AssembleText();
  std::vector<int32_t> AssembledImage() const;
  void AddError(int line, int column, const std::string& message);
  void ShowError(int i);
  void NextErrorClick();
  void PreviousErrorClick();

  // Debugging the source (AssemblerEditorDebug.cpp). The main window shows
  // here where PC stands in the source it assembled: the line of the next
  // instruction to run, a data line, or that memory changed there.
  enum TPcPlace { ppNone, ppCode, ppData, ppStale };
  void ShowPcPlace(TPcPlace place, int line);
  // The breakpoint marks as the machine holds them (0-based lines).
  void ShowBreakpointLines(const std::vector<int>& lines);
  // F2, or a click in the margin: a breakpoint on the line.
  void ToggleBreakpointLine(int line);
  // Edit > Run to Line (F4): runs the machine to the caret's line.
  QAction* MenuRunToLine = nullptr;
  // View > Line Numbers, remembered for every editor as "LineNumbers".
  QAction* MenuLineNumbers = nullptr;
  void SetLineNumbers(bool shown);
  // What the status bar says of PC's place ("" when nothing).
  QString PcPlaceText() const { return FPcPlaceText; }

  // The save question; true when the window may close.
  bool FormCloseQuery();
  bool CloseQuery() override { return FormCloseQuery(); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void CreateMenus();
  void CreateStatusBar();
  void CreateOutsideFileCommands();

  void TextEditorChange(int position, int charsRemoved, int charsAdded);
  void TextEditorSelectionChange();
  bool TextEditorKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void DeleteCaretLine();
  void TellNonEightBit(const QString& characters, bool replaced);

  // Makes lines the whole text, coloured, not undoable, caret at the start.
  void ReplaceText(const QStringList& lines);
  void ReplaceWholeText(const QString& text);
  void CreateAutosave();
  void SetCaption(const QString& path);
  // Read-only while the text holds a line too long to edit.
  void SetReadOnly(bool value);
  // Raises a window, restoring it first when it lies minimized, and gives
  // it the focus.
  static void BringToFront(QWidget* window);
  // How long a question waits for its editor to come to the front.
  static constexpr int ActivationWaitMs = 300;
  // Asks whether to save modified text; true when the command may go on.
  bool AskSaveSource(const QString& question);

  bool ErrorBoxMouseUp(QMouseEvent* event);
  bool ErrorBoxKeyPress(QKeyEvent* event);
  int SelectedError() const;
  void SetErrorsMenuEnabled(bool enabled);
  void CopyImageToMemory();
  void CreateDebugCommands();
  void CreateFindCommands();
  QTextDocument::FindFlags FindFlags() const;
  QLabel* FFindPanel = nullptr;
  std::vector<QWidget*> FReplaceButtons;
  QString FPcPlaceText;
  QLabel* FPcPlacePanel = nullptr;
  // Lines the text had at its last change, to tell an edit that moved lines.
  int FLineCount = 1;
  void LinesChanged(int position);

  TMachineHost& FHost;
  TSettings& FSettings;
  std::unique_ptr<TDocumentLineSource> FLineSource;
  std::unique_ptr<TAsmParser> FParser;
  TAsmHighlighter* FHighlighter = nullptr;
  bool FTrackChanges = true;
  bool FModified = true;  // so that the constructor's SetModified(false) sets the indicators
  bool FInsertMode = true;
  QString FFileName;
  std::vector<TErrorPosition> FErrorPositions;
  QTimer* FAutosaveTimer = nullptr;
  QString FRecoveryKey;
  // Set once the host window is being destroyed: it is no longer a whole
  // TMachineHost then, so the editor's own destruction must not call it.
  bool FHostGone = false;
};
