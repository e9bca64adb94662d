#pragma once

#include <cstdint>

class QWidget;

// What the instruction composer needs of the window that shows the machine:
// the cells it reads and the one edit it makes. The composer writes only
// through here, so that the window records the edit for Undo and brings its
// views up to date; it never sees the window's class.
class TComposerHost {
 public:
  // The window the composer opens over, placed relative to it.
  virtual QWidget* HostWindow() = 0;
  // A memory cell as the session holds it; a cell loaded from a program
  // file may hold more than a byte.
  virtual int MemoryCell(int address) const = 0;
  // Writes the composed instruction's two bytes, at address and at the next
  // address modulo 256, as one undoable edit.
  virtual void WriteInstruction(int address, uint16_t word) = 0;

 protected:
  ~TComposerHost() = default;
};
