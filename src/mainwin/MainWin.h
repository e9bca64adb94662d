#pragma once

#include "desktop/ZForm.h"
#include "editor/MachineHost.h"
#include "machine/DebugSession.h"
#include "machine/Pacing.h"
#include "machine/Simulator.h"
#include "machine/TerminalHistory.h"
#include "machine/TerminalModel.h"
#include "mainwin/ComposerHost.h"

#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QVector>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

struct TFileDialogResult;
struct TSettings;
class QAction;
class QKeyEvent;
class QShowEvent;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;
class TAssemblerEditor;
class TDisasmList;
class TLabelGrid;
class THexGrid;
class TRecentFilesMenu;
struct TGradeCase;
class TRecoveryStore;
struct TRecoveryEntry;
class TSessionCells;
class TShowText;
class TSpeedBar;
class TStatusPanel;
class TTracePane;
class TViewMenu;

// The simulator's main window: a view of one simulator session, with its
// memory, registers, PC and IR in three hex grids, the disassembly list, the
// output terminal, and the commands that drive the machine. Every change the
// user makes is an edit of the session; the views catch up from the
// session's change tracking (SyncViews), once per slice of a run.
class TMainWin : public QMainWindow, public TZForm, public TMachineHost, public TComposerHost {
  Q_OBJECT

 public:
  explicit TMainWin(TSettings& settings, QWidget* parent = nullptr);
  ~TMainWin() override;

  TSettings& Settings() const { return FSettings; }
  TSimulator& Session() const override { return *FSession; }
  // The program reads the stored settings after it has built this window;
  // it then applies the choices of an earlier session with this: zoom,
  // colours, run speed, the speed bar and the Trace pane.
  void ApplyStoredSettings();
  // The host of the assembler editors and of the instruction composer.
  QWidget* HostWindow() override { return this; }
  int MemoryCell(int address) const override;
  void WriteInstruction(int address, uint16_t word) override;
  void SaveMemory() override { SaveFileClick(); }
  void AssembleIntoMemory(const std::vector<int32_t>& image) override;
  // The source behind memory (MainWinSource.cpp): the map of the last
  // Assemble, its editor, breakpoints by line.
  void AssembledFrom(TAssemblerEditor& editor, const TProgramMap& map, const std::vector<int>& marked) override;
  void ToggleLineBreakpoint(TAssemblerEditor& editor, int line) override;
  void RunToLine(TAssemblerEditor& editor, int line) override;
  void SourceLinesMoved(TAssemblerEditor& editor, int fromLine, int delta) override;
  const TAssemblerEditor* MappedEditor() const override;
  const TDebugSession& Debug() const { return *FDebug; }
  // A user's change of the machine: one undoable edit of the session. A
  // changed memory cell sets "Modified" and scrolls the disassembly to it;
  // the views are brought up to date at once.
  void UserEdit(TEditAction action, const std::vector<TCellEdit>& cells);
  // Shows what changed in the session since the views last looked: grid
  // cells, disassembly rows, the PC row and the terminal's new output.
  void SyncViews();

  // Controls, named as the user knows them.
  THexGrid* MainMemory() const { return FMainMemory; }
  THexGrid* Registers() const { return FRegisters; }
  THexGrid* SysRegs() const { return FSysRegs; }
  TLabelGrid* LabelsMem1() const { return FLabelsMem1; }
  TLabelGrid* LabelsMem2() const { return FLabelsMem2; }
  TLabelGrid* LabelsReg1() const { return FLabelsReg1; }
  TLabelGrid* LabelsReg2() const { return FLabelsReg2; }
  QLabel* LabelMem() const { return FLabelMem; }
  TDisasmList* DisasmWin() const { return FDisasmWin; }
  TShowText* OutputBox() const { return FOutputBox; }
  QPushButton* ZeroPC() const { return FZeroPC; }
  QPushButton* OpenButton() const { return FOpenButton; }
  QPushButton* SaveButton() const { return FSaveButton; }
  QPushButton* RunButton() const { return FRunButton; }
  QPushButton* StepButton() const { return FStepButton; }
  QPushButton* BreakButton() const { return FBreakButton; }
  QPushButton* ResetButton() const { return FResetButton; }
  QPushButton* AssemblerButton() const { return FAssemblerButton; }
  QPushButton* ViewAsmButton() const { return FViewAsmButton; }
  QLabel* StatusAddress() const { return FStatusAddress; }
  QLabel* StatusModified() const { return FStatusModified; }
  TStatusPanel* StatusText() const { return FStatusText; }

  QMenu* FileMenu() const { return FFileMenu; }
  QMenu* EditMenu() const { return FEditMenu; }
  QMenu* RunMenu() const { return FRunMenu; }
  TViewMenu* ViewMenu() const { return FViewMenu; }
  QAction* MenuOpenFile() const { return FMenuOpenFile; }
  QAction* MenuSaveFile() const { return FMenuSaveFile; }
  QAction* MenuSaveAsFile() const { return FMenuSaveAsFile; }
  QAction* MenuExit() const { return FMenuExit; }
  QAction* MenuCut() const { return FMenuCut; }
  QAction* MenuCopy() const { return FMenuCopy; }
  QAction* MenuPaste() const { return FMenuPaste; }
  QAction* MenuSelectAll() const { return FMenuSelectAll; }
  QAction* MenuRun() const { return FMenuRun; }
  QAction* MenuClear() const { return FMenuClear; }
  QMenu* MainMemoryPopup() const { return FMainMemoryPopup; }

  // Memory state and the status panel.
  bool MemoryModified() const { return FMemoryModified; }
  void SetMemoryModified(bool flag);
  void SetStatus(const QString& text, const QColor& color);
  QString StatusTextValue() const;
  QColor StatusColor() const { return FStatusColor; }
  bool Running() const { return FRunning; }

  // Run control.
  void StepSimulator();
  void RunSimulator();
  void BreakSimulator();
  void ClearSimulator();
  void ZeroPCClick();

  // Going back (MainWinDebug.cpp): instructions are taken back through the
  // session's history, terminal output included; the student's own edits
  // are undone and redone from the Edit menu.
  void StepBackSimulator();
  void BackToStartOfRun();
  void UndoEditClick();
  void RedoEditClick();
  QAction* MenuStepBack() const { return FMenuStepBack; }
  QAction* MenuBackToStart() const { return FMenuBackToStart; }
  QAction* MenuClearOutput() const { return FMenuClearOutput; }
  QAction* MenuCopyOutput() const { return FMenuCopyOutput; }
  QAction* MenuUndo() const { return FMenuUndo; }
  QAction* MenuRedo() const { return FMenuRedo; }
  // View > Trace: what each instruction stepped through did, in words.
  QAction* MenuTrace() const { return FMenuTrace; }
  TTracePane* TraceWin() const { return FTraceWin; }
  // The selected cell's value read every way, in the status bar; hidden
  // until a memory cell or register is selected.
  QLabel* StatusValue() const { return FStatusValue; }
  void InspectCell(TCellSpace space, int address);
  static QString ValueReadings(int32_t value);

  // Breakpoints and watches (MainWinBreakpoints.cpp), kept in the session.
  void ToggleBreakpoint(int address);
  void ToggleWatch(TCellSpace space, int address);
  void RemoveAllBreakpoints();
  void RunToSelectedRow();
  // Runs until PC reaches adr, with a breakpoint there for this run only
  // unless the student set one (Run to row, Run to line).
  void RunToAddress(int adr);
  // Run > Speed: instructions per second, 0 for as fast as the machine goes
  // (the default). At ShowEveryStepSpeed and below every instruction is shown.
  static constexpr int ShowEveryStepSpeed = TPacing::ShowEveryStepSpeed;
  void SetRunSpeed(int perSecond);
  int RunSpeed() const { return FRunSpeed; }
  QMenu* SpeedMenu() const { return FSpeedMenu; }
  // View > Speed Bar: the speed as a list and the step back buttons in a
  // movable tool bar, hidden by default.
  TSpeedBar* SpeedBar() const { return FSpeedBar; }
  QAction* MenuSpeedBar() const { return FMenuSpeedBar; }
  QAction* MenuWatchMemory() const { return FMenuWatchMemory; }
  QAction* MenuWatchRegister() const { return FMenuWatchRegister; }

  // Memory views.
  // The selected cells, or all of memory without a selection, become 0.
  void ClearMainMemory(TEditAction action = eaClear);
  void ClearRegisters();
  // A program file or an assembled image: all memory cells and PC := 0, as
  // one edit.
  void LoadMemoryImage(const std::vector<int32_t>& cells, TEditAction action);
  // PC := 2 then 0, so that a change of PC is signalled even when it was 0.
  void ResetProgramCounter(TEditAction action = eaCellEdit);
  void BeginDisasmUpdate();
  void EndDisasmUpdate();

  // Assembler editors ("&Asm"): a new window for every request; the most
  // recent one is kept to hand it a file or an example.
  TAssemblerEditor* AssemblerButtonClick();
  // Help > Examples: a new editor holding the example as an unnamed source.
  TAssemblerEditor* MenuHelloWorldExampleClick();
  TAssemblerEditor* MenuOutputtestExampleClick();
  TAssemblerEditor* AssemblerEditor() const;

  // Listing ("&Disasm").
  void ViewAsmButtonClick();
  // Where the listing goes: TempLstFile, in TempDir unless it names a folder.
  QString ListingPath() const;

  // Program files.
  void OpenFileClick();
  void SaveFileClick();
  void MenuSaveAsFileClick();
  bool SaveMemoryFile(const QString& path);
  QString ProgramFileName() const { return FProgramFileName; }
  // Loads a program file into memory, as a file chosen with Open is; false
  // when it could not be read (the message has been shown).
  bool LoadProgramFile(const QString& path);

  // Files from outside the window (the command line, a drop, File > Recent
  // Files, MainWinOutside.cpp): each .asm source in an editor of its own, any
  // other file into memory after the save question, so the last program
  // file stays. A file that cannot be opened is reported; the others still
  // open.
  void OpenFiles(const QStringList& paths) override;
  TRecentFilesMenu* RecentMenu() const { return FRecentMenu; }

  // Exercises (MainWinExercise.cpp): File > Open Exercise... and a .json
  // file from outside open an editor on the student's own copy of the
  // answer, with the exercise's pane and Check beside it; nullptr when the
  // exercise could not be read (the message has been shown).
  QAction* MenuOpenExercise() const { return FMenuOpenExercise; }
  void OpenExerciseClick();
  TAssemblerEditor* OpenExercise(const QString& path);
  // Where the answer to the exercise at exercisePath is kept.
  static QString ExerciseSourcePath(const QString& exercisePath);
  // Debug this case: the case's start in the machine as one undoable edit,
  // with the map of the source Check ran.
  void DebugExerciseCase(TAssemblerEditor& editor, const TGradeCase& gradeCase, size_t maxOutput,
                         const std::vector<int32_t>& image, const TProgramMap& map);

  // Recovery after a crash (MainWinRecovery.cpp): a modified memory, with
  // PC and the registers, is written to the store within a second of a
  // change, as every editor writes its unsaved text.
  void SetRecovery(TRecoveryStore* store);
  TRecoveryStore* Recovery() const override { return FRecovery; }
  void AutosaveMemory();
  // Every window's unsaved work written now (the program ends on a signal).
  void AutosaveAll();
  // Brings back what an earlier program left: sources in new editors,
  // memory into this window, each marked Modified with its file name.
  void RestoreRecovered(const std::vector<TRecoveryEntry>& entries);

  // Memory clipboard.
  void MenuCutClick();
  void MenuCopyClick();
  void MenuPasteClick();
  void MenuSelectAllClick();
  void EditMenuClick();
  void EditMenuClosed();
  const QVector<int32_t>& MemoryClipboard() const { return FMemoryClipboard; }

  // The application's help hook (installed on creation).
  bool FormHelp(uint16_t command, int data, bool& callHelp);

  // Help menu and "What's this?" help (MainWinHelp.cpp).
  void HelpMenuItemClick(QAction* sender);
  void HelpButtonClick();
  void MenuWWWHelpClick();
  void MenuOptionsClick();
  void MenuAboutClick();
  QToolButton* HelpButton() const { return FHelpButton; }
  QMenu* HelpMenu() const { return FHelpMenu; }
  QMenu* ExamplesMenu() const { return FExamplesMenu; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateHelpCommands();
  void CreateExampleCommands();
  void CreateOutsideFileCommands();
  void CreateViews();
  void CreateDebugCommands();
  // The terminal's menu and its items in the Run menu.
  void CreateTerminalCommands();
  void ClearOutput();
  void CopyOutput();
  // Brings the terminal up to the session's output.
  void FollowOutput();
  // After an Undo or Redo of clearing the terminal.
  void OutputUncleared();
  void OutputClearedAgain();
  void CreateBreakpointCommands();
  void EndRunToRow();
  // The editor's current line and breakpoint marks follow the machine.
  void ShowSourcePlace();
  void ShowSourceBreakpoints();
  void DropSource();
  // The disassembly's label column, open only for a source with labels.
  void ShowLabelColumn();
  QString DisasmRowToolTip(int row) const;
  void UpdateUndoItems();
  // Adds the newest instruction's line to the trace.
  void TraceLastStep();
  void UpdateValuePanel();
  TCellSpace FInspectedSpace = csNone;
  int FInspectedAddress = 0;
  // "N steps back available" after a step back.
  void ShowStepsBack(const QString& what);
  void CreateButtons();
  void CreateMenus();
  void CreateStatusBar();
  void CreateAccessibility();
  void CreateViewMenu();
  void SetAnnouncing(bool on);
  void ConnectGrids();
  // The enabled command button whose underlined letter the key is, if any.
  QPushButton* ButtonForMnemonic(const QKeyEvent* event) const;

  void MainMemorySelChanged(int selStart, int selEnd);
  void MainMemorySelectCell(int col, int row);

  // Disassembly list.
  int DisasmRowOf(int address) const;
  void RewriteDisasmRow(int row);
  void RewriteAllDisasmRows();
  void PcChanged(int pc);
  void DisasmWinDblClick(int row);
  void DisasmWinMouseDown(int row);

  // A program started, a file saved or a listing made while the user types
  // into a cell sees the digits typed so far: they become the cell's value,
  // as Enter would make them.
  void TakeTypedCells();
  void RunSlice();
  void FinishRun(TStopReason reason);
  void ShowStepResult(TStopReason reason);

  bool FormCloseQuery();
  // Asks the save question when memory is modified; true when the command
  // may go on (No, or Yes and the save succeeded).
  bool AskSaveMemory(const QString& question);
  // The filters of the Open dialog, and the handling of a file chosen as an
  // assembly source (true when it was one).
  QStringList OpenFilters() const;
  bool OpenSourceFile(const TFileDialogResult& chosen);

  TSettings& FSettings;
  std::unique_ptr<TSimulator> FSession;
  std::unique_ptr<TDebugSession> FDebug;
  QPointer<TAssemblerEditor> FMappedEditor;
  std::unique_ptr<TSessionCells> FMemoryCells;
  std::unique_ptr<TSessionCells> FRegisterCells;
  std::unique_ptr<TSessionCells> FSysRegCells;
  // The session's generation the views last caught up with, and the PC
  // they show (the disassembly rows follow its alignment).
  uint64_t FViewGeneration = 0;
  int32_t FShownPC = 0;
  std::vector<int> FChangedCells;
  // The terminal's text (OutputBox shows it) and its copies for step back.
  TTerminalHistory FTerminal;
  QTimer* FRunTimer;
  bool FRunning = false;
  // The address of the breakpoint Run to row set for itself, or -1.
  int FRunToAddress = -1;
  int FRunSpeed = 0;
  // A paced run: when it (or its last speed change) started, and the core's
  // count of what is due and done since.
  std::chrono::steady_clock::time_point FPaceStart;
  TPacing FPacing;
  bool RunPacedSlice();
  // The state of the varying distance between a run's clock checks.
  uint32_t FClockCheckState = 0x9E3779B9u;
  bool FMemoryModified = true;  // so that the first SetMemoryModified(false) runs in full
  QColor FStatusColor;
  // The address panel's usual width, and the width of its longest usual text.
  int FAddressPanelWidth = 0;
  int FAddressPanelTextWidth = 0;
  QString FProgramFileName;
  QVector<int32_t> FMemoryClipboard;
  QToolButton* FHelpButton = nullptr;
  QMenu* FHelpMenu = nullptr;
  QMenu* FExamplesMenu = nullptr;
  TRecoveryStore* FRecovery = nullptr;
  QTimer* FMemoryAutosaveTimer = nullptr;

  // The controls (MainWin.cpp builds them), reached from outside through
  // the accessors named as the user knows them.
  THexGrid* FMainMemory;
  THexGrid* FRegisters;
  THexGrid* FSysRegs;
  TLabelGrid* FLabelsMem1;
  TLabelGrid* FLabelsMem2;
  TLabelGrid* FLabelsReg1;
  TLabelGrid* FLabelsReg2;
  QLabel* FLabelMem;
  QLabel* FLabelReg;
  TDisasmList* FDisasmWin;
  TShowText* FOutputBox;
  QPushButton* FZeroPC;
  QPushButton* FOpenButton;
  QPushButton* FSaveButton;
  QPushButton* FRunButton;
  QPushButton* FStepButton;
  QPushButton* FBreakButton;
  QPushButton* FResetButton;
  QPushButton* FAssemblerButton;
  QPushButton* FViewAsmButton;
  QLabel* FStatusAddress;     // panel 0
  QLabel* FStatusModified;    // panel 1
  TStatusPanel* FStatusText;  // panel 2, drawn in StatusColor
  QMenu* FFileMenu;
  QMenu* FEditMenu;
  QMenu* FRunMenu;
  TViewMenu* FViewMenu = nullptr;
  QAction* FMenuOpenFile;
  QAction* FMenuSaveFile;
  QAction* FMenuSaveAsFile;
  QAction* FMenuExit;
  QAction* FMenuCut;
  QAction* FMenuCopy;
  QAction* FMenuPaste;
  QAction* FMenuSelectAll;
  QAction* FMenuRun;
  QAction* FMenuStep;
  QAction* FMenuClear;
  QMenu* FMainMemoryPopup;
  QMenu* FRegistersPopup;
  QAction* FMenuStepBack = nullptr;
  QAction* FMenuBackToStart = nullptr;
  QAction* FMenuClearOutput = nullptr;
  QAction* FMenuCopyOutput = nullptr;
  QAction* FMenuUndo = nullptr;
  QAction* FMenuRedo = nullptr;
  QAction* FMenuTrace = nullptr;
  TTracePane* FTraceWin = nullptr;
  QLabel* FStatusValue = nullptr;
  QAction* FMenuRunToRow = nullptr;
  QMenu* FSpeedMenu = nullptr;
  TSpeedBar* FSpeedBar = nullptr;
  QAction* FMenuSpeedBar = nullptr;
  QAction* FMenuRemoveBreakpoints = nullptr;
  QAction* FMenuBreakHere = nullptr;
  QAction* FMenuWatchMemory = nullptr;
  QAction* FMenuWatchRegister = nullptr;
  QPointer<TAssemblerEditor> FAssemblerEditor;
  TRecentFilesMenu* FRecentMenu = nullptr;
  QAction* FMenuOpenExercise = nullptr;
};
