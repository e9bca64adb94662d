#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// What a history record stands for.
enum THistoryKind : uint8_t {
  hkStep,       // one executed instruction
  hkEditBegin,  // the start of a user edit; the cells follow
  hkEditCell,   // one cell of a user edit
  hkEditEnd,    // the end of a user edit
};

// One entry of the history, 16 bytes. An instruction is one record holding
// everything it overwrote: PC and IR before it and the old value of the one
// cell its effect wrote (Space csNone when it wrote nothing else). The new
// values are not kept: undoing runs newest first, so they are the values the
// cells hold at that moment.
struct THistoryRecord {
  THistoryKind Kind;
  uint8_t Space;    // TCellSpace of the effect or the edited cell
  uint8_t Address;  // of that cell
  uint8_t Extra;    // edits: the TEditAction; edited cells: 1 when a byte was output
  int32_t OldPC;    // edited cells: the old value
  int32_t OldIR;
  int32_t OldValue;
};
static_assert(sizeof(THistoryRecord) == 16);

// The record log of a simulator session: fixed-size chunks, so appending
// never moves what is recorded, and the oldest chunk is dropped whole when
// the log reaches its limit. A user edit lies within one chunk, so the log
// always starts at a complete entry.
class THistory {
 public:
  static constexpr size_t ChunkRecords = 65536;  // 1 MB
  static constexpr size_t DefaultLimitBytes = 32u << 20;

  THistory();

  // Room for up to wanted records in a row: returns the place and sets
  // granted (at least 1 when wanted > 0). Nothing is recorded until Commit.
  THistoryRecord* Reserve(size_t wanted, size_t& granted);
  // Room for exactly count records in a row (count <= ChunkRecords), so that
  // a user edit never spans two chunks and is dropped whole or not at all.
  THistoryRecord* ReserveWhole(size_t count);
  void Commit(size_t count) { FBackUsed += count; }

  bool Empty() const { return Size() == 0; }
  // Records held now.
  size_t Size() const;
  const THistoryRecord& Back() const;
  // The record index places from the oldest one held (index < Size()).
  const THistoryRecord& At(size_t index) const { return FChunks[index / ChunkRecords][index % ChunkRecords]; }
  void PopBack();
  // Records ever appended minus those popped: a position that stays valid
  // while older records are dropped. Records below FirstPosition() are gone.
  uint64_t EndPosition() const { return FDropped + Size(); }
  uint64_t FirstPosition() const { return FDropped; }

  void Clear();
  // At least one chunk is always kept.
  void SetLimitBytes(size_t bytes);
  size_t LimitBytes() const { return FLimitChunks * ChunkBytes; }
  // Memory held by the chunks.
  size_t AllocatedBytes() const { return (FChunks.size() + (FSpare ? 1 : 0)) * ChunkBytes; }

 private:
  static constexpr size_t ChunkBytes = ChunkRecords * sizeof(THistoryRecord);
  using TChunk = std::unique_ptr<THistoryRecord[]>;

  void NewChunk();
  void DropOldest();

  std::vector<TChunk> FChunks;
  TChunk FSpare;          // the last chunk freed, reused for the next one
  size_t FBackUsed = 0;   // records used in the last chunk
  uint64_t FDropped = 0;  // records dropped at the front
  size_t FLimitChunks = DefaultLimitBytes / ChunkBytes;
};
