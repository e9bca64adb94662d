// Colouring: the runs of a line, re-colouring while typing, switching it off
// and on, undo, and the styles themselves.
#include "EditorFixture.h"

#include <QFont>
#include <QPaintEvent>
#include <QScrollBar>

namespace {

struct TExpectedRun {
  int Start;
  int Length;
  THighlightStyle Style;
};

}  // namespace

TEST_F(EditorTest, StylesSetAllSevenAttributes) {
  const QTextCharFormat& normal = HighlightFormat(hsNormal);
  EXPECT_EQ(normal.fontFamilies().toStringList().value(0), "DejaVu Sans Mono");
  EXPECT_EQ(normal.fontPointSize(), 10);
  EXPECT_EQ(normal.foreground().color(), QColor(0, 0, 0));
  struct TRow {
    THighlightStyle Style;
    bool Bold, Italic, Underline;
    qreal Points;
    QColor Color;
  };
  const TRow rows[] = {
      {hsNormal, false, false, false, 10, QColor(0, 0, 0)},   {hsKeyword, true, false, false, 10, QColor(0, 0, 0)},
      {hsComment, false, true, false, 9, QColor(0, 0, 128)},  {hsNumeric, false, false, false, 10, QColor(0, 0, 255)},
      {hsString, false, false, false, 10, QColor(0, 0, 255)}, {hsError, false, false, true, 10, QColor(0, 0, 0)}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.Style));
    const QTextCharFormat& format = HighlightFormat(row.Style);
    // Each attribute is set explicitly, also where it is off, so a style
    // removes what the one before it had.
    for (int property :
         {QTextFormat::FontWeight, QTextFormat::FontItalic, QTextFormat::TextUnderlineStyle, QTextFormat::FontStrikeOut,
          QTextFormat::FontPointSize, QTextFormat::ForegroundBrush, QTextFormat::FontFamilies})
      EXPECT_TRUE(format.hasProperty(property)) << property;
    EXPECT_EQ(format.fontWeight() == QFont::Bold, row.Bold);
    EXPECT_EQ(format.fontItalic(), row.Italic);
    EXPECT_EQ(format.fontUnderline(), row.Underline);
    EXPECT_FALSE(format.fontStrikeOut());
    EXPECT_EQ(format.fontPointSize(), row.Points);
    EXPECT_EQ(format.foreground().color(), row.Color);
  }
}

TEST_F(EditorTest, LinesAreColouredByTheLexersRuns) {
  struct TRow {
    const char* Line;
    std::vector<TExpectedRun> Runs;
  };
  const TRow rows[] = {
      {"loop: load R1,16 ;start",
       {{0, 6, hsNormal},
        {6, 4, hsKeyword},
        {10, 4, hsNormal},
        {14, 2, hsNumeric},
        {16, 1, hsNormal},
        {17, 6, hsComment}}},
      {"db 12A3", {{0, 2, hsKeyword}, {2, 1, hsNormal}, {3, 4, hsError}}},
      {"a<b", {{0, 1, hsNormal}, {1, 1, hsError}, {2, 1, hsNormal}}},
      {"a<=b", {{0, 4, hsNormal}}},
      {"db \"abc", {{0, 2, hsKeyword}, {2, 1, hsNormal}, {3, 4, hsString}}},
      {"", {}},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Line);
    Editor->LoadLines({row.Line});
    const std::vector<TRun> runs = Runs(0);
    ASSERT_EQ(runs.size(), row.Runs.size());
    for (size_t i = 0; i < runs.size(); ++i) {
      EXPECT_EQ(runs[i].Start, row.Runs[i].Start) << i;
      EXPECT_EQ(runs[i].Length, row.Runs[i].Length) << i;
      EXPECT_TRUE(Is(runs[i].Format, row.Runs[i].Style)) << i;
    }
  }
}

TEST_F(EditorTest, TypingRecoloursTheLineAsItChanges) {
  Editor->LoadLines({"halt", "lo"});
  SetCaret(1, 2);
  EXPECT_TRUE(Is(FormatAt(1, 0), hsNormal));
  Type("ad");
  EXPECT_TRUE(Is(FormatAt(1, 0), hsKeyword));
  Type("x");
  EXPECT_TRUE(Is(FormatAt(1, 0), hsNormal));
  EXPECT_TRUE(Is(FormatAt(0, 0), hsKeyword));
}

TEST_F(EditorTest, EnterInMidLineRecoloursBothHalves) {
  Editor->LoadLines({"halt;stop"});
  EXPECT_TRUE(Is(FormatAt(0, 4), hsComment));
  SetCaret(0, 2);
  Key(Qt::Key_Return);
  ASSERT_EQ(Line(0), "ha");
  ASSERT_EQ(Line(1), "lt;stop");
  EXPECT_TRUE(Is(FormatAt(0, 0), hsNormal));
  EXPECT_EQ(Runs(0).size(), 1u);
  EXPECT_TRUE(Is(FormatAt(1, 0), hsNormal));
  EXPECT_TRUE(Is(FormatAt(1, 2), hsComment));
  // Joining them again makes a keyword once more.
  Key(Qt::Key_Backspace);
  EXPECT_TRUE(Is(FormatAt(0, 0), hsKeyword));
}

TEST_F(EditorTest, SwitchingColouringOffShowsNormalTextAndOnRecoloursEverything) {
  Editor->LoadLines({"load R1,16 ;a", "db \"x\""});
  Editor->MenuUseSyntaxHighlightClick();
  EXPECT_FALSE(Editor->MenuUseSyntaxHighlight->isChecked());
  EXPECT_TRUE(Runs(0).empty());
  EXPECT_TRUE(Runs(1).empty());
  EXPECT_EQ(Editor->Document()->defaultFont().pointSize(), 10);
  // Nothing is coloured while typing with colouring off.
  SetCaret(1, 0);
  Type("halt ");
  EXPECT_TRUE(Runs(1).empty());
  EXPECT_TRUE(Editor->Modified());
  Editor->MenuUseSyntaxHighlightClick();
  EXPECT_TRUE(Editor->MenuUseSyntaxHighlight->isChecked());
  EXPECT_TRUE(Is(FormatAt(0, 0), hsKeyword));
  EXPECT_TRUE(Is(FormatAt(0, 12), hsComment));
  EXPECT_TRUE(Is(FormatAt(1, 0), hsKeyword));
  EXPECT_TRUE(Is(FormatAt(1, 8), hsString));
}

TEST_F(EditorTest, UndoRestoresTheTextAndItsColours) {
  Editor->LoadLines({"load R1,16"});
  // A load is not undoable: there is nothing to undo yet.
  EXPECT_FALSE(Editor->Document()->isUndoAvailable());
  SetCaret(0, 4);
  Type("x");
  ASSERT_EQ(Line(0), "loadx R1,16");
  ASSERT_TRUE(Is(FormatAt(0, 0), hsNormal));
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Line(0), "load R1,16");
  EXPECT_TRUE(Is(FormatAt(0, 0), hsKeyword));
  EXPECT_TRUE(Is(FormatAt(0, 8), hsNumeric));
  // Colouring left no step of its own: one undo took the typing back, and
  // nothing is left to undo.
  EXPECT_FALSE(Editor->Document()->isUndoAvailable());
}

TEST_F(EditorTest, ReformatLineAndAppendFormattedLineColourOneLine) {
  Editor->LoadLines({});
  Editor->AppendFormattedLine("halt");
  Editor->AppendFormattedLine("");
  EXPECT_EQ(AllText(), "halt\n\n");
  EXPECT_TRUE(Is(FormatAt(0, 0), hsKeyword));
  EXPECT_TRUE(Runs(1).empty());
  // A line whose colours were lost is coloured again on request.
  Editor->Document()->firstBlock().layout()->clearFormats();
  ASSERT_TRUE(Runs(0).empty());
  Editor->ReformatLine(0, true);
  EXPECT_TRUE(Is(FormatAt(0, 0), hsKeyword));
}

namespace {

// Collects what the text view paints.
class TPaintSpy final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) Painted |= static_cast<QPaintEvent*>(event)->region();
    return false;
  }
  QRegion Painted;
};

}  // namespace

TEST_F(EditorTest, TypingRepaintsTheLinesBandUnlessItsHeightChanges) {
  QStringList lines;
  for (int i = 0; i < 40; ++i) lines << "halt";
  Editor->LoadLines(lines);
  QApplication::processEvents();
  EXPECT_EQ(Text()->verticalScrollBar()->maximum(), 41 - Text()->verticalScrollBar()->pageStep());
  TPaintSpy spy;
  Text()->viewport()->installEventFilter(&spy);
  const auto lineTop = [&](int line) { return Text()->LineRect(Editor->Document()->findBlockByNumber(line)).top(); };
  const int lineHeight = lineTop(6) - lineTop(5);

  SetCaret(5, 4);
  QApplication::processEvents();
  spy.Painted = QRegion();
  Type("x");
  QApplication::processEvents();
  EXPECT_FALSE(spy.Painted.isEmpty());
  EXPECT_LE(spy.Painted.boundingRect().height(), 3 * lineHeight);
  EXPECT_TRUE(spy.Painted.boundingRect().contains(QPoint(1, lineTop(5) + 1)));

  // A comment alone on its line is smaller: what lies below moves up and is
  // painted again.
  SetCaret(5, 0);
  QApplication::processEvents();
  spy.Painted = QRegion();
  Type(";");
  QApplication::processEvents();
  EXPECT_LT(lineTop(6) - lineTop(5), lineHeight);
  EXPECT_GE(spy.Painted.boundingRect().bottom(), Text()->viewport()->height() - 2);
  Text()->viewport()->removeEventFilter(&spy);
}
