#pragma once

#include <cassert>
#include <cstdint>
#include <functional>
#include <vector>

// A fixed-size array of signed 32-bit cells. The machine reads and writes its
// memory, registers and PC/IR only through this interface, so the same
// executor drives the plain arrays of the command-line tool and the hex grids
// of the main window.
class TCellStore {
 public:
  virtual ~TCellStore() = default;
  virtual int Count() const = 0;
  virtual int32_t GetContents(int adr) const = 0;
  // Every call notifies its listeners, also when the value does not change:
  // a program that stores the same byte into RF twice prints it twice.
  virtual void SetContents(int adr, int32_t value) = 0;
};

// Called synchronously after every write with (address, old value, new value).
using TCellChangedEvent = std::function<void(int adr, int32_t oldValue, int32_t value)>;

// The plain store: a vector of cells and a list of listeners. The accessors
// are inline so that the executor, instantiated for this class, runs without
// a call per cell access.
class TCellArray final : public TCellStore {
 public:
  explicit TCellArray(int count);

  int Count() const override { return static_cast<int>(FCells.size()); }
  int32_t GetContents(int adr) const override {
    if (static_cast<unsigned>(adr) >= FCells.size()) ThrowOutOfBounds("GetContents", adr);
    return GetUnchecked(adr);
  }
  void SetContents(int adr, int32_t value) override {
    if (static_cast<unsigned>(adr) >= FCells.size()) ThrowOutOfBounds("SetContents", adr);
    SetUnchecked(adr, value);
  }

  // The same without the bounds check, for a caller that has proved adr to
  // lie in 0..Count()-1 (the executor checks the sizes once and reduces every
  // address it computes). Writes notify like SetContents.
  int32_t GetUnchecked(int adr) const {
    assert(static_cast<unsigned>(adr) < FCells.size());
    return FCells[static_cast<size_t>(adr)];
  }
  void SetUnchecked(int adr, int32_t value) {
    assert(static_cast<unsigned>(adr) < FCells.size());
    int32_t& cell = FCells[static_cast<size_t>(adr)];
    const int32_t old = cell;
    cell = value;
    for (const TCellChangedEvent& listener : FListeners) listener(adr, old, value);
  }

  void AddListener(TCellChangedEvent listener);

 private:
  [[noreturn]] void ThrowOutOfBounds(const char* operation, int adr) const;

  std::vector<int32_t> FCells;
  std::vector<TCellChangedEvent> FListeners;
};
