#include "machine/History.h"

#include <cassert>

THistory::THistory() = default;

size_t THistory::Size() const {
  if (FChunks.empty()) return 0;
  return (FChunks.size() - 1) * ChunkRecords + FBackUsed;
}

THistoryRecord* THistory::Reserve(size_t wanted, size_t& granted) {
  if (FChunks.empty() || FBackUsed == ChunkRecords) NewChunk();
  const size_t room = ChunkRecords - FBackUsed;
  granted = wanted < room ? wanted : room;
  return FChunks.back().get() + FBackUsed;
}

THistoryRecord* THistory::ReserveWhole(size_t count) {
  assert(count <= ChunkRecords);
  if (FChunks.empty() || ChunkRecords - FBackUsed < count) NewChunk();
  return FChunks.back().get() + FBackUsed;
}

const THistoryRecord& THistory::Back() const {
  assert(!Empty());
  return FChunks.back()[FBackUsed - 1];
}

void THistory::PopBack() {
  assert(!Empty());
  --FBackUsed;
  if (FBackUsed > 0) return;
  // The last chunk is empty now: keep it for reuse.
  FSpare = std::move(FChunks.back());
  FChunks.pop_back();
  FBackUsed = FChunks.empty() ? 0 : ChunkRecords;
}

void THistory::Clear() {
  FDropped += Size();
  if (!FChunks.empty() && !FSpare) FSpare = std::move(FChunks.back());
  FChunks.clear();
  FBackUsed = 0;
}

void THistory::SetLimitBytes(size_t bytes) {
  FLimitChunks = bytes / ChunkBytes > 0 ? bytes / ChunkBytes : 1;
  while (FChunks.size() > FLimitChunks) DropOldest();
}

void THistory::NewChunk() {
  // The chunk that makes room for the new one goes first, so that the
  // limit holds also while the new one is in use.
  if (FChunks.size() >= FLimitChunks) DropOldest();
  FChunks.push_back(FSpare ? std::move(FSpare) : std::unique_ptr<THistoryRecord[]>(new THistoryRecord[ChunkRecords]));
  FBackUsed = 0;
}

void THistory::DropOldest() {
  assert(!FChunks.empty());
  if (FChunks.size() == 1) {
    Clear();
    return;
  }
  FDropped += ChunkRecords;
  FSpare = std::move(FChunks.front());
  FChunks.erase(FChunks.begin());
}
