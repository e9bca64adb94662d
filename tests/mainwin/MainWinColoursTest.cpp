#include "MainWinFixture.h"

#include "controls/ReadableColour.h"
#include "desktop/ViewMenu.h"
#include "editor/AssemblerEditor.h"
#include "editor/HighlightStyles.h"
#include "editor/SourceEdit.h"
#include "mainwin/StatusPanel.h"

#include <QAction>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// Every painted text against its background, by what it is.
struct TPaintedText {
  std::string What;
  QColor Text;
  QColor Background;
};

class MainWinColoursTest : public MainWinTest {
 protected:
  void TearDown() override {
    if (Main && Main->ViewMenu()->DarkColours()->isChecked()) Main->ViewMenu()->DarkColours()->trigger();
    MainWinTest::TearDown();
  }

  // Paints every kind of text the window shows: a cell plain, changed,
  // selected, both; each status text; the list's rows; the terminal; the
  // captions; the syntax styles.
  std::vector<TPaintedText> PaintedTexts() {
    std::vector<TPaintedText> texts;
    THexGrid* memory = Main->MainMemory();
    memory->SetContents(0x05, 7);  // changed
    memory->SetSelStart(0x04);
    memory->SetSelEnd(0x05);
    for (int adr : {0x04, 0x05, 0x06}) {
      memory->SetContents(0x05, 7 + adr);  // keep 05 the changed one
      texts.push_back({"memory cell " + std::to_string(adr), memory->CellTextColor(adr), memory->CellBackground(adr)});
    }
    memory->SetSelStart(-1);
    texts.push_back({"changed memory cell", memory->CellTextColor(0x05), memory->CellBackground(0x05)});
    Main->Registers()->SetContents(2, 1);
    texts.push_back({"changed register", Main->Registers()->CellTextColor(2), Main->Registers()->CellBackground(2)});
    texts.push_back({"register", Main->Registers()->CellTextColor(3), Main->Registers()->CellBackground(3)});
    Main->SysRegs()->SetContents(0, 4);
    texts.push_back({"changed PC", Main->SysRegs()->CellTextColor(0), Main->SysRegs()->CellBackground(0)});

    const QColor window = Main->StatusText()->palette().color(QPalette::Window);
    // The status colours as the window sets them: Ready, Running, a stop, a selection.
    Main->SetStatus(QStringLiteral("Ready"), Qt::black);
    texts.push_back({"status Ready", Main->StatusText()->PaintedColor(), window});
    Poke(0x00, {0xC0, 0x00});
    Click(Main->StepButton());
    texts.push_back({"status Halted", Main->StatusText()->PaintedColor(), window});
    Main->SetStatus(QStringLiteral("Running..."), QColor(0, 128, 0));
    texts.push_back({"status Running", Main->StatusText()->PaintedColor(), window});
    ClickCell(Main->MainMemory(), 0x10);
    texts.push_back({"status Selected", Main->StatusText()->PaintedColor(), window});

    TDisasmList* list = Main->DisasmWin();
    const QPalette lp = list->palette();
    texts.push_back({"list row", list->TextColor(), list->viewport()->palette().color(QPalette::Window)});
    texts.push_back({"list PC row", lp.color(QPalette::HighlightedText), lp.color(QPalette::Highlight)});
    texts.push_back({"terminal", Main->OutputBox()->FontColor(), Main->OutputBox()->Color()});
    const QPalette wp = Main->palette();
    texts.push_back({"captions", wp.color(QPalette::WindowText), wp.color(QPalette::Window)});
    texts.push_back({"buttons", Main->RunButton()->palette().color(QPalette::ButtonText),
                     Main->RunButton()->palette().color(QPalette::Button)});
    const QColor base = QApplication::palette().color(QPalette::Base);
    for (THighlightStyle style : {hsNormal, hsKeyword, hsComment, hsNumeric, hsString, hsError})
      texts.push_back({"syntax style " + std::to_string(style), HighlightFormat(style).foreground().color(), base});
    return texts;
  }
};

TEST_F(MainWinColoursTest, OnADarkPaletteEveryTextStandsOutFromItsGround) {
  QAction* dark = Main->ViewMenu()->DarkColours();
  dark->trigger();
  ASSERT_TRUE(dark->isChecked());
  EXPECT_EQ(FSettings.DarkColours, true);
  EXPECT_TRUE(TReadableColour::IsDark(QApplication::palette()));
  QApplication::processEvents();  // the windows take the new palette from the event loop
  EXPECT_TRUE(TReadableColour::IsDark(Main->palette()));
  for (const TPaintedText& t : PaintedTexts())
    EXPECT_GE(TReadableColour::Contrast(t.Text, t.Background), TReadableColour::MinContrast)
        << t.What << ": " << t.Text.name().toStdString() << " on " << t.Background.name().toStdString();
  // The cells' ground is the window's.
  EXPECT_EQ(Main->MainMemory()->CellBackground(0x30), Main->palette().color(QPalette::Window));
}

TEST_F(MainWinColoursTest, OnALightPaletteTheProgramsOwnColoursStay) {
  ASSERT_FALSE(TReadableColour::IsDark(Main->palette()));
  // Dark and back: the colours are those of before.
  Main->ViewMenu()->DarkColours()->trigger();
  Main->ViewMenu()->DarkColours()->trigger();
  EXPECT_EQ(FSettings.DarkColours, false);
  const std::vector<TPaintedText> texts = PaintedTexts();
  auto find = [&](const std::string& what) {
    for (const TPaintedText& t : texts)
      if (t.What == what) return t;
    ADD_FAILURE() << what;
    return TPaintedText{};
  };
  EXPECT_EQ(find("changed memory cell").Text, QColor(255, 96, 96));
  EXPECT_EQ(find("memory cell 6").Background, QColor(240, 240, 245));
  EXPECT_EQ(find("status Halted").Text, QColor(255, 0, 0));
  EXPECT_EQ(find("status Running").Text, QColor(0, 128, 0));
  EXPECT_EQ(find("status Selected").Text, QColor(0, 0, 192));
  EXPECT_EQ(find("terminal").Background, QColor(64, 64, 64));
  EXPECT_EQ(find("list row").Text, QColor(Qt::black));
  EXPECT_EQ(HighlightFormat(hsComment).foreground().color(), QColor(0, 0, 128));
  EXPECT_EQ(HighlightFormat(hsNumeric).foreground().color(), QColor(0, 0, 255));
}

TEST_F(MainWinColoursTest, TheEditorTakesTheDarkSyntaxColoursAtOnce) {
  Click(Main->AssemblerButton());
  TAssemblerEditor* editor = Main->AssemblerEditor();
  ASSERT_NE(editor, nullptr);
  editor->TextEditor->setPlainText(QStringLiteral("; note"));
  const auto commentColour = [&] {
    const QTextLayout* layout = editor->TextEditor->document()->firstBlock().layout();
    return layout->formats().isEmpty() ? QColor() : layout->formats().first().format.foreground().color();
  };
  EXPECT_EQ(commentColour(), QColor(0, 0, 128));
  editor->ViewMenu->DarkColours()->trigger();
  EXPECT_TRUE(Main->ViewMenu()->DarkColours()->isChecked());  // one choice for all windows
  QApplication::processEvents();
  EXPECT_GE(TReadableColour::Contrast(commentColour(), editor->TextEditor->palette().color(QPalette::Base)),
            TReadableColour::MinContrast);
  editor->SetModified(false);
}

}  // namespace
