#include "editor/SourceFile.h"

#include "machine/FileWriter.h"

#include "assembler/SourceText.h"
#include "machine/FileReader.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>

#include <string>

namespace {

bool IsEightBit(QChar c) { return c.unicode() <= 0xFF; }

// A character outside 8 bits may take two UTF-16 units (a surrogate pair);
// it is still one character to the user.
qsizetype CharacterLength(const QString& text, qsizetype i) {
  return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
}

}  // namespace

bool ReadSourceFile(const QString& path, QStringList& lines, QString& error) {
  // Through the core's reader: a FIFO would block the window for good, a
  // link to /dev/zero would eat all memory, and a huge file would take
  // minutes to lay out. Such files are refused with the same messages as in
  // orvik-cli.
  std::string bytes;
  TFileError failure;
  if (!ReadRegularFile(QFile::encodeName(path).toStdString(), MaxSourceFileSize, false, bytes, failure)) {
    const bool systemMessage = failure.Message.rfind("Cannot open file ", 0) == 0 && !failure.Reason.empty();
    // The file layer names the path in the system's encoding; the message
    // box shows the name as the user picked it.
    if (systemMessage)
      error = QStringLiteral("Cannot open file %1").arg(path);
    else
      error = QString::fromLocal8Bit(failure.Message.c_str());
    return false;
  }
  // Counted before anything is split: the lines of a huge file would cost
  // far more memory than its bytes.
  if (CountSourceLines(bytes) > static_cast<size_t>(MaxSourceLines)) {
    error = QStringLiteral("File too large: %1 has more than %2 lines").arg(path).arg(MaxSourceLines);
    return false;
  }
  lines.clear();
  for (const std::string& line : SplitSourceLines(bytes))
    lines.append(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
  return true;
}

QByteArray EncodeSource(const QTextDocument& document) {
  QByteArray bytes;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    const QString text = block.text();
    if (!block.next().isValid() && text.isEmpty()) break;
    bytes += text.toLatin1();
    bytes += "\r\n";
  }
  return bytes;
}

bool WriteSourceFile(const QString& path, const QByteArray& bytes, QString& error) {
  // The same safe writer as program files: the old file is replaced only by
  // a complete new one, and a failure names the file and the reason.
  const std::string problem = WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                                  std::string_view(bytes.constData(), size_t(bytes.size())));
  error = QString::fromLocal8Bit(problem.c_str());
  return problem.empty();
}

int ReplaceNonEightBit(QString& text, const QString& replacement) {
  int count = 0;
  QString result;
  result.reserve(text.size());
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype length = CharacterLength(text, i);
    if (IsEightBit(text.at(i))) {
      result += text.at(i);
    } else {
      result += replacement;
      ++count;
    }
    i += length;
  }
  if (count > 0) text = result;
  return count;
}

QString NonEightBitCharacters(const QString& text) {
  QString found;
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype length = CharacterLength(text, i);
    const QString character = text.mid(i, length);
    if (!IsEightBit(text.at(i)) && !found.contains(character)) found += character;
    i += length;
  }
  return found;
}
