#include "machine/CellStore.h"

#include <stdexcept>
#include <string>

TCellArray::TCellArray(int count) : FCells(static_cast<size_t>(count > 0 ? count : 0), 0) {}

void TCellArray::CheckAddress(const char* operation, int adr) const {
  if (adr < 0 || adr >= Count())
    throw std::out_of_range(std::string("TCellArray::") + operation + ": Address (" + std::to_string(adr) +
                            ") out of bounds (0.." + std::to_string(Count() - 1) + ")");
}

int32_t TCellArray::GetContents(int adr) const {
  CheckAddress("GetContents", adr);
  return FCells[static_cast<size_t>(adr)];
}

void TCellArray::SetContents(int adr, int32_t value) {
  CheckAddress("SetContents", adr);
  int32_t& cell = FCells[static_cast<size_t>(adr)];
  const int32_t old = cell;
  cell = value;
  for (const TCellChangedEvent& listener : FListeners) listener(adr, old, value);
}

void TCellArray::AddListener(TCellChangedEvent listener) { FListeners.push_back(std::move(listener)); }
