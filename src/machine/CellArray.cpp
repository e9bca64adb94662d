#include "machine/CellStore.h"

#include <stdexcept>
#include <string>

TCellArray::TCellArray(int count) : FCells(static_cast<size_t>(count > 0 ? count : 0), 0) {}

void TCellArray::ThrowOutOfBounds(const char* operation, int adr) const {
  throw std::out_of_range(std::string("TCellArray::") + operation + ": Address (" + std::to_string(adr) +
                          ") out of bounds (0.." + std::to_string(Count() - 1) + ")");
}

void TCellArray::AddListener(TCellChangedEvent listener) { FListeners.push_back(std::move(listener)); }
