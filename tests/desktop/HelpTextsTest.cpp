#include "assembler/AsmParser.h"
#include "assembler/LineSource.h"
#include "desktop/HelpDialog.h"
#include "machine/Float8.h"

#include <gtest/gtest.h>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextTable>

#include <string>
#include <vector>

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// The instruction and syntax pages teach encodings and rules; what they show
// must be what the assembler and the machine do.
namespace {

// The texts of every table cell as a reader sees them, row by row.
QList<QStringList> ShownTableRows(const THelpDialog& dialog) {
  QList<QStringList> rows;
  QTextDocument* document = dialog.HelpText()->document();
  QList<QTextTable*> tables;
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    QTextCursor cursor(block);
    if (QTextTable* table = cursor.currentTable(); table && !tables.contains(table)) tables.append(table);
  }
  for (QTextTable* table : tables)
    for (int r = 0; r < table->rows(); ++r) {
      QStringList cells;
      for (int c = 0; c < table->columns(); ++c) {
        const QTextTableCell cell = table->cellAt(r, c);
        QTextCursor cursor = cell.firstCursorPosition();
        cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        cells << cursor.selectedText()
                     .replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
                     .replace(QChar::LineSeparator, QLatin1Char('\n'));
      }
      rows << cells;
    }
  return rows;
}

// The two bytes the assembler makes of one line, as "XX YY", or the error.
QString Assembled(const QString& line) {
  TStringListSource source({line.toStdString()});
  TAsmParser parser(&source);
  QString error;
  parser.Assemble([&](int, int, const std::string& message) { error = QString::fromStdString(message); });
  if (!error.isEmpty()) return error;
  return QString::asprintf("%02X %02X", parser.GetByte(0), parser.GetByte(1));
}

const QRegularExpression ExampleWithBytes(QStringLiteral("^(.+)\\n([0-9A-F]{2} [0-9A-F]{2})$"));
const QRegularExpression Address(QStringLiteral("^[0-9A-F]{2}$"));
const QRegularExpression Bytes(QStringLiteral("^[0-9A-F]{2} [0-9A-F]{2}$"));

TEST(HelpTextsTest, EveryEncodingExampleIsWhatTheAssemblerMakes) {
  int checked = 0;
  for (int context : {202, 203}) {
    THelpDialog dialog;
    dialog.SelectTopic(context);
    for (const QStringList& row : ShownTableRows(dialog)) {
      for (int c = 0; c < row.size(); ++c) {
        // Instruction page: the example and its bytes share a cell; other
        // tables give the bytes in a cell of their own beside the example
        // (after it, or before it where an address column leads).
        if (const QRegularExpressionMatch match = ExampleWithBytes.match(row[c]); match.hasMatch()) {
          EXPECT_EQ(Assembled(match.captured(1)), match.captured(2)) << context << ": " << row[c].toStdString();
          ++checked;
        } else if (Bytes.match(row[c]).hasMatch()) {
          const bool before = c > 0 && !Address.match(row[c - 1]).hasMatch();
          if (!before && c + 1 >= row.size()) continue;
          const QString& source = before ? row[c - 1] : row[c + 1];
          EXPECT_EQ(Assembled(source), row[c]) << context << ": " << source.toStdString();
          ++checked;
        }
      }
    }
  }
  EXPECT_GE(checked, 30);
}

TEST(HelpTextsTest, TheSyntaxPagesExampleProgramAssemblesWithoutErrors) {
  THelpDialog dialog;
  dialog.SelectTopic(203);
  const QString text = dialog.HelpText()->toPlainText();
  const QString intro = QStringLiteral("in the output window.\n");
  const qsizetype start = text.lastIndexOf(intro);
  ASSERT_GE(start, 0);
  std::vector<std::string> lines;
  for (const QString& line : text.mid(start + intro.size()).split(QLatin1Char('\n')))
    lines.push_back(line.toLatin1().toStdString());
  ASSERT_GE(lines.size(), 5u);
  TStringListSource source(lines);
  TAsmParser parser(&source);
  std::vector<std::string> errors;
  parser.Assemble([&](int line, int, const std::string& message) { errors.push_back(lines[line] + ": " + message); });
  EXPECT_EQ(errors, std::vector<std::string>{});
  EXPECT_EQ(parser.GetByte(0), 0x21);  // load R1,Text
}

TEST(HelpTextsTest, FloatingPointRulesAndExamplesAreTheMachines) {
  THelpDialog dialog;
  dialog.SelectTopic(202);
  const QRegularExpression operand(QStringLiteral("^([0-9A-F]{2}) \\((-?\\d+)\\)"));
  int checked = 0;
  for (const QStringList& row : ShownTableRows(dialog)) {
    if (row.size() != 4) continue;
    const QRegularExpressionMatch s = operand.match(row[0]), t = operand.match(row[1]), result = operand.match(row[3]);
    if (!s.hasMatch() || !t.hasMatch() || !result.hasMatch()) continue;
    const int sum = DecodeFloat8(s.captured(1).toInt(nullptr, 16)) + DecodeFloat8(t.captured(1).toInt(nullptr, 16));
    EXPECT_EQ(sum, row[2].toInt()) << row.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(EncodeFloat8(sum), result.captured(1).toInt(nullptr, 16)) << row.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(DecodeFloat8(result.captured(1).toInt(nullptr, 16)), result.captured(2).toInt());
    ++checked;
  }
  EXPECT_GE(checked, 4);

  // The stated size from which the exponent wraps: the sum just below it
  // keeps a value near itself, the sum there loses almost everything.
  const QString text = dialog.HelpText()->toPlainText().simplified();
  const QRegularExpressionMatch wrap =
      QRegularExpression(QStringLiteral("sum of (\\d+) or more[^.]* makes the exponent wrap")).match(text);
  ASSERT_TRUE(wrap.hasMatch()) << text.toStdString();
  const int threshold = wrap.captured(1).toInt();
  EXPECT_GE(DecodeFloat8(EncodeFloat8(threshold - 1)), (threshold - 1) / 2);
  EXPECT_LT(DecodeFloat8(EncodeFloat8(threshold)), threshold / 2);
}

}  // namespace
