#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "machine/CellStore.h"
#include "machine/Machine.h"

// One write seen by a listener: store ('M' memory, 'R' registers, 'S' PC/IR),
// address and new value.
struct TWrite {
  char Store;
  int Adr;
  int32_t Value;
  bool operator==(const TWrite&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const TWrite& w) {
  return os << w.Store << '[' << w.Adr << "]=" << std::hex << w.Value << std::dec;
}

// A store the executor cannot see through (as the window's grids are): the
// generic path must behave exactly like the one for plain arrays.
class TForwardingStore final : public TCellStore {
 public:
  explicit TForwardingStore(TCellArray& inner) : FInner(inner) {}
  int Count() const override { return FInner.Count(); }
  int32_t GetContents(int adr) const override { return FInner.GetContents(adr); }
  void SetContents(int adr, int32_t value) override { FInner.SetContents(adr, value); }

 private:
  TCellArray& FInner;
};

// A machine over plain arrays that records every write in order, and whether
// the machine said it was executing at that moment.
struct TMachineFixture {
  TCellArray Memory{256};
  TCellArray Registers{16};
  TCellArray SysRegs{2};
  TMachine Machine{Memory, Registers, SysRegs};
  std::vector<TWrite> Writes;
  std::vector<bool> ExecutingAtWrite;

  TMachineFixture() {
    Listen(Memory, 'M');
    Listen(Registers, 'R');
    Listen(SysRegs, 'S');
  }

  void Listen(TCellArray& store, char name) {
    store.AddListener([this, name](int adr, int32_t, int32_t value) {
      Writes.push_back({name, adr, value});
      ExecutingAtWrite.push_back(Machine.Executing());
    });
  }

  // Puts bytes at address (wrapping) and forgets the writes that made them.
  void Poke(int address, const std::vector<int32_t>& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) Memory.SetContents((address + static_cast<int>(i)) % 256, bytes[i]);
    Writes.clear();
    ExecutingAtWrite.clear();
  }
  void SetRegister(int n, int32_t value) {
    Registers.SetContents(n, value);
    Writes.clear();
    ExecutingAtWrite.clear();
  }
  TMemoryCells MemoryCells() const {
    TMemoryCells cells{};
    for (int adr = 0; adr < MemorySize; ++adr) cells[static_cast<size_t>(adr)] = Memory.GetContents(adr);
    return cells;
  }
  void SetPC(int32_t pc) {
    SysRegs.SetContents(0, pc);
    Writes.clear();
    ExecutingAtWrite.clear();
  }
};
