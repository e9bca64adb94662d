#include "controls/ShowText.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QTest>

#include <memory>

namespace {

class TPaintCounter : public QObject {
 public:
  int Paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++Paints;
    return false;
  }
};

class ShowTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FWindow = std::make_unique<QWidget>();
    FWindow->resize(400, 300);
    Text = new TShowText(FWindow.get());
    FWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
  }
  // The size in character cells that the current font and size give.
  QSize ExpectedCells() const {
    const QFontMetrics metrics(Text->font());
    return QSize(Text->contentsRect().width() / metrics.horizontalAdvance(QLatin1Char('x')),
                 Text->contentsRect().height() / metrics.height());
  }
  int LitPixels() {
    const QImage image = Text->grab(Text->contentsRect()).toImage();
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) > 160) ++lit;
    return lit;
  }

  std::unique_ptr<QWidget> FWindow;
  TShowText* Text = nullptr;
};

TEST_F(ShowTextTest, Defaults) {
  EXPECT_EQ(Text->size(), QSize(169, 57));
  EXPECT_EQ(Text->Color(), QColor(64, 64, 64));
  EXPECT_EQ(Text->FontColor(), QColor(255, 255, 255));
  EXPECT_EQ(Text->focusPolicy(), Qt::NoFocus);
  EXPECT_TRUE(QFontInfo(Text->font()).fixedPitch());
  EXPECT_TRUE(Text->Lines().isEmpty());
}

TEST_F(ShowTextTest, MeasuresTheLetterXOnTheFirstWrite) {
  Text->resize(300, 120);
  Text->Write("hi");
  EXPECT_EQ(QSize(Text->Cols(), Text->Rows()), ExpectedCells());
  EXPECT_GE(Text->Rows(), 2);
  EXPECT_EQ(Text->Lines(), QStringList{"hi"});
}

TEST_F(ShowTextTest, LoadedMeasuresForTheWritesThatFollow) {
  Text->resize(300, 120);
  Text->Loaded();
  EXPECT_EQ(QSize(Text->Cols(), Text->Rows()), ExpectedCells());
  Text->Write("abc");
  EXPECT_EQ(Text->Lines(), QStringList{"abc"});
}

TEST_F(ShowTextTest, AProportionalFontIsMadeFixedPitch) {
  // Whatever the system's fixed face is (fontconfig may resolve it to one not
  // marked fixed-pitch), the terminal falls back on DejaVu Sans Mono first.
  const bool haveDejaVuMono = QFontDatabase::families().contains(QStringLiteral("DejaVu Sans Mono"));
  for (const char* family : {"DejaVu Sans", "DejaVu Serif", "Sans Serif"}) {
    SCOPED_TRACE(family);
    Text->setFont(QFont(QString::fromLatin1(family), 14));
    EXPECT_TRUE(QFontInfo(Text->font()).fixedPitch());
    EXPECT_EQ(Text->font().pointSize(), 14);
    if (haveDejaVuMono) {
      EXPECT_EQ(QFontInfo(Text->font()).family(), QStringLiteral("DejaVu Sans Mono"));
    }
  }
}

TEST_F(ShowTextTest, AFontOrSizeChangeTrimsTheLinesBeforeTheNextByteShows) {
  Text->resize(300, 120);
  Text->Write("one\ntwo\nthree\nfour");
  const int rowsBefore = Text->Rows();
  ASSERT_GE(rowsBefore, 4);
  QFont big = Text->font();
  big.setPixelSize(QFontMetrics(Text->font()).height() * rowsBefore / 2);
  Text->setFont(big);
  // Nothing changes until a byte arrives.
  EXPECT_EQ(Text->Lines().size(), 4);
  Text->Write('!');
  EXPECT_EQ(QSize(Text->Cols(), Text->Rows()), ExpectedCells());
  ASSERT_LT(Text->Rows(), 4);
  EXPECT_EQ(Text->Lines().size(), Text->Rows());
  EXPECT_EQ(Text->CurLine(), Text->Rows() - 1);
  EXPECT_TRUE(Text->Lines().back().endsWith('!'));
  for (const QString& line : Text->Lines()) EXPECT_LE(line.size(), Text->Cols());

  // Shrunk below one character cell: one row of one column.
  Text->resize(6, 6);
  Text->Write("ab");
  EXPECT_EQ(Text->Lines(), QStringList{"b"});
}

TEST_F(ShowTextTest, WritesOnlyAskForOneRepaintAndPaintingShowsTheText) {
  QApplication::processEvents();
  TPaintCounter counter;
  Text->installEventFilter(&counter);
  EXPECT_EQ(LitPixels(), 0);
  counter.Paints = 0;
  for (int i = 0; i < 1000; ++i) Text->Write(static_cast<char>('A' + i % 26));
  EXPECT_EQ(counter.Paints, 0);
  QApplication::processEvents();
  EXPECT_EQ(counter.Paints, 1);
  EXPECT_GT(LitPixels(), 0);
}

TEST_F(ShowTextTest, MouseButtonsDoNothing) {
  Text->Write("ab");
  QTest::mouseClick(Text, Qt::LeftButton);
  QTest::mouseDClick(Text, Qt::LeftButton);
  QTest::mouseClick(Text, Qt::RightButton);
  EXPECT_FALSE(Text->hasFocus());
  EXPECT_EQ(Text->Lines(), QStringList{"ab"});
}

TEST(ShowTextChars, BytesAreShownAsWindows1252) {
  const std::pair<unsigned char, char16_t> rows[] = {{'A', u'A'},    {13, 0x000D},   {0, 0x0000},
                                                     {0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160},
                                                     {0x9F, 0x0178}, {0xA0, 0x00A0}, {0xE9, 0x00E9}};
  for (const auto& [byte, code] : rows) EXPECT_EQ(TShowText::DisplayChar(byte).unicode(), code) << int(byte);
}

}  // namespace
