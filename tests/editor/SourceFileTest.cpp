// The 8-bit text rules shared by the editor's input and its files.
#include "editor/SourceFile.h"

#include <gtest/gtest.h>
#include <QTextDocument>

TEST(SourceFileTest, CharactersWithoutAnEightBitCodeAreFoundAndReplacedOnce) {
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // a surrogate pair
  struct TRow {
    QString Text;
    QString Found;
    QString Replaced;
  };
  const TRow rows[] = {
      {QString("plain ") + QChar(0xE9), "", QString("plain ") + QChar(0xE9)},
      {QString("a") + QChar(0x20AC) + "b" + QChar(0x20AC), QString(QChar(0x20AC)), "a?b?"},
      {"x" + emoji + "y", emoji, "x?y"},
      {QString(QChar(0x2028)), QString(QChar(0x2028)), "?"},
  };
  for (const TRow& row : rows) {
    EXPECT_EQ(NonEightBitCharacters(row.Text), row.Found);
    QString text = row.Text;
    EXPECT_EQ(ReplaceNonEightBit(text), row.Replaced.count('?') - row.Text.count('?'));
    EXPECT_EQ(text, row.Replaced);
  }
  QString dropped = "a" + emoji + "b";
  EXPECT_EQ(ReplaceNonEightBit(dropped, QString()), 1);
  EXPECT_EQ(dropped, "ab");
}

TEST(SourceFileTest, EncodingWritesCrLfAfterEveryLineButNotAfterTheEmptyEnd) {
  struct TRow {
    const char* Text;
    QByteArray Bytes;
  };
  const TRow rows[] = {{"", ""}, {"a", "a\r\n"}, {"a\n", "a\r\n"}, {"a\n\n", "a\r\n\r\n"}, {"\n", "\r\n"}};
  for (const TRow& row : rows) {
    QTextDocument document;
    document.setPlainText(row.Text);
    EXPECT_EQ(EncodeSource(document), row.Bytes) << row.Text;
  }
}
