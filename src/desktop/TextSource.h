#pragma once

#include <QByteArray>
#include <cstdint>

// Seek origins, numbered as the platform's stream callbacks number them.
enum TSeekOrigin : int { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// A read-only byte stream over one text: how a help topic is handed to the
// rich-text view. The text is copied; its size is fixed at creation.
class TTextSource {
 public:
  explicit TTextSource(QByteArray text) : FText(std::move(text)), FSize(FText.size()) {}

  // Copies up to count bytes from the position, never past the end, and
  // advances; returns the number copied (0 at the end).
  int64_t Read(char* buffer, int64_t count);
  // Moves the position. From the end a positive offset counts back. A target
  // outside 0..size, or an unknown origin, gives -1 and keeps the position.
  int64_t Seek(int64_t offset, int origin);
  // The source is read-only: writes nothing.
  int64_t Write(const char* buffer, int64_t count);

  int64_t Position() const { return FPosition; }
  int64_t Size() const { return FSize; }

 private:
  QByteArray FText;
  int64_t FSize;
  int64_t FPosition = 0;
};
