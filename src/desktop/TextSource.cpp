#include "desktop/TextSource.h"

#include <algorithm>
#include <cstring>

int64_t TTextSource::Read(char* buffer, int64_t count) {
  const int64_t copied = std::clamp<int64_t>(FSize - FPosition, 0, std::max<int64_t>(count, 0));
  if (copied > 0) std::memcpy(buffer, FText.constData() + FPosition, static_cast<size_t>(copied));
  FPosition += copied;
  return copied;
}

int64_t TTextSource::Seek(int64_t offset, int origin) {
  int64_t target = 0;
  switch (origin) {
    case soBeginning: target = offset; break;
    case soCurrent: target = FPosition + offset; break;
    case soEnd: target = FSize - offset; break;
    default: return -1;
  }
  if (target < 0 || target > FSize) return -1;
  FPosition = target;
  return target;
}

int64_t TTextSource::Write(const char*, int64_t) { return 0; }
