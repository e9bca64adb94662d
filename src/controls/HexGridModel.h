#pragma once

#include <cstdint>

// Where a THexGrid's cells live when the grid is a view of them. The grid
// keeps a copy of what it shows and takes the changes from the model when
// asked (THexGrid::Refresh), so that a model written millions of times per
// second costs the grid nothing between two frames.
class THexGridModel {
 public:
  virtual ~THexGridModel() = default;
  virtual int32_t CellValue(int adr) const = 0;
  // A write made through the grid: the user's, never the program's.
  virtual void WriteCell(int adr, int32_t value) = 0;
  // Grows with every change; a cell written after the grid looked at
  // generation G has a generation greater than G.
  virtual uint64_t Generation() const = 0;
  virtual uint64_t CellGeneration(int adr) const = 0;
};
