#pragma once

#include <QStringList>

#include <cstdint>
#include <vector>

class QWidget;
class TRecoveryStore;
class TAssemblerEditor;
class TProgramMap;
class TSimulator;

// What an assembler editor needs of the window that shows the machine. The
// editor reads the simulator session directly; it changes the machine only
// through here, so that the window can record the change for Undo, set or
// clear "Modified" and bring its views up to date. The main window is the
// host; the editor never sees its class, so the two folders cannot tangle.
class TMachineHost {
 public:
  virtual const TSimulator& Session() const = 0;
  // The window the editor brings to the front after assembling, and whose
  // end ends the editor.
  virtual QWidget* HostWindow() = 0;
  // Saves memory as the main window's Save does (it may ask for a name, be
  // cancelled or fail: the session's "Modified" then stays set).
  virtual void SaveMemory() = 0;
  // Writes an assembled image into memory as one undoable edit, leaves it
  // unmodified and resets PC.
  virtual void AssembleIntoMemory(const std::vector<int32_t>& image) = 0;
  // The image just assembled into memory came from this editor's source,
  // with this map; marked holds the lines (0-based) the student put
  // breakpoints on. The host binds them on the map and tells the editor
  // where they went (TAssemblerEditor::ShowBreakpointLines).
  virtual void AssembledFrom(TAssemblerEditor& editor, const TProgramMap& map, const std::vector<int>& marked) = 0;
  // A click or F2 on a line of the editor whose source is in memory.
  virtual void ToggleLineBreakpoint(TAssemblerEditor& editor, int line) = 0;
  // F4 or Edit > Run to Line: runs until PC reaches the first instruction
  // of line (0-based) in the editor whose source is in memory, or says why not.
  virtual void RunToLine(TAssemblerEditor& editor, int line) = 0;
  // The student added or removed lines of an editor's text: from fromLine
  // (0-based) on every line moved by delta (delta < 0: removed lines).
  virtual void SourceLinesMoved(TAssemblerEditor& editor, int fromLine, int delta) = 0;
  // The editor whose source is in memory, if any.
  virtual const TAssemblerEditor* MappedEditor() const = 0;
  // Opens program or source files as the main window's Open does.
  virtual void OpenFiles(const QStringList& paths) = 0;
  // Where unsaved text is written for recovery after a crash; none when the
  // program runs without one (tests of other things).
  virtual TRecoveryStore* Recovery() const { return nullptr; }

 protected:
  ~TMachineHost() = default;
};
