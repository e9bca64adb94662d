#include "MainWinFixture.h"

#include "assembler/AsmParser.h"
#include "assembler/LineSource.h"
#include "editor/AssemblerEditor.h"
#include "editor/SourceEdit.h"
#include "mainwin/Examples.h"

#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QToolButton>

#include <QFile>

#include <functional>
#include <string>
#include <vector>

namespace {

struct TExample {
  const char* FileName;
  QStringList (*Lines)();
};
const TExample Examples[] = {{"hello.asm", &HelloWorldExampleLines}, {"outputtest.asm", &OutputTestExampleLines}};

// The files are what the editor would save: every line ends in CR LF.
TEST(ExamplesTest, FilesHoldExactlyTheBuiltInLines) {
  for (const TExample& example : Examples) {
    SCOPED_TRACE(example.FileName);
    QFile file(QStringLiteral(ORVIK_EXAMPLES_DIR "/") + example.FileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray expected;
    for (const QString& line : example.Lines()) expected += line.toLatin1() + "\r\n";
    EXPECT_EQ(file.readAll().toStdString(), expected.toStdString());
  }
}

TEST(ExamplesTest, HelloWorldKeepsItsLayout) {
  const QStringList lines = HelloWorldExampleLines();
  ASSERT_EQ(lines.size(), 14);
  EXPECT_EQ(lines[8], "");
  EXPECT_EQ(lines[3], "NextChar:load    RF,[R1]     ;get character and print it on screen");
  EXPECT_EQ(lines[12], "         db      \"  Orvik Simulator\",10");
  EXPECT_EQ(OutputTestExampleLines().size(), 4);
}

// Assembles an example with the assembler core; no error may be reported.
std::vector<int32_t> Assemble(const QStringList& lines) {
  std::vector<std::string> text;
  for (const QString& line : lines) text.push_back(line.toLatin1().toStdString());
  const TStringListSource source(text);
  TAsmParser parser(&source);
  std::vector<std::string> errors;
  parser.Assemble(
      [&](int line, int, const std::string& message) { errors.push_back(std::to_string(line + 1) + " " + message); });
  EXPECT_TRUE(errors.empty()) << errors.front();
  std::vector<int32_t> image;
  for (int adr = 0; adr < TAsmParser::ImageSize; ++adr) image.push_back(parser.GetByte(adr));
  return image;
}

class ExampleRunTest : public MainWinTest {
 protected:
  void Load(const QStringList& lines) {
    Main->LoadMemoryImage(Assemble(lines), eaAssemble);
    Main->SetMemoryModified(false);
  }
  // Every byte written to RF since the window was made, as the session's
  // output port holds it.
  std::string Written() const { return std::string(Main->Session().OutputSince(0)); }
};

TEST_F(ExampleRunTest, HelloWorldPrintsItsGreetingAndHalts) {
  Load(HelloWorldExampleLines());
  Click(Main->RunButton());
  ASSERT_TRUE(WaitForRunEnd());
  const std::string written = Written();
  EXPECT_EQ(Status(), "Halted");
  // The terminator is printed too: it is in RF when the loop tests it.
  EXPECT_EQ(written, std::string("\nHello world !!\n    from the\n  Orvik Simulator\n") + '\0');
  const QString shown = Main->OutputBox()->Lines().join('|');
  EXPECT_TRUE(shown.endsWith("    from the|  Orvik Simulator|")) << shown.toStdString();
  // Four rows of 21 columns: the greeting has not scrolled away.
  EXPECT_EQ(Main->OutputBox()->Rows(), 4);
  EXPECT_EQ(Main->OutputBox()->Cols(), 21);
  EXPECT_EQ(Main->OutputBox()->Lines().value(0), "Hello world !!");
}

TEST_F(ExampleRunTest, OutputTestWritesEveryCodeInTurnUntilBreak) {
  Load(OutputTestExampleLines());
  Click(Main->RunButton());
  QElapsedTimer clock;
  clock.start();
  while (Main->Session().OutputCount() < 600 && clock.elapsed() < 5000) QTest::qWait(5);
  ASSERT_GE(Main->Session().OutputCount(), 600u);
  EXPECT_TRUE(Main->Running());
  EXPECT_EQ(Status(), "Running...");

  Click(Main->BreakButton());
  EXPECT_FALSE(Main->Running());
  EXPECT_EQ(Status(), "Ready");
  const uint64_t atBreak = Main->Session().OutputCount();
  QTest::qWait(30);
  EXPECT_EQ(Main->Session().OutputCount(), atBreak);  // nothing of the run goes on after Break

  const std::string codes = Written();
  ASSERT_EQ(codes.size(), atBreak);
  for (size_t i = 0; i < codes.size(); ++i) ASSERT_EQ(static_cast<unsigned char>(codes[i]), i % 256) << i;
  // The terminal is full, and where two printable codes meet they follow in turn.
  const QStringList lines = Main->OutputBox()->Lines();
  EXPECT_EQ(lines.size(), Main->OutputBox()->Rows());
  int pairs = 0;
  for (const std::string& line : Main->OutputBox()->Model().Lines())
    for (size_t i = 1; i < line.size(); ++i) {
      const auto a = static_cast<unsigned char>(line[i - 1]), b = static_cast<unsigned char>(line[i]);
      if (a <= 32 || b <= 32) continue;
      EXPECT_EQ(b, a + 1) << line;
      ++pairs;
    }
  EXPECT_GT(pairs, 0);
}

}  // namespace

namespace {

// Help > Examples through the real menu items.
class ExampleMenuTest : public MainWinTest {
 protected:
  QAction* ExampleItem(const QString& caption) const {
    for (QAction* action : Main->ExamplesMenu()->actions())
      if (action->text() == caption) return action;
    return nullptr;
  }
  static QString TextOf(const QStringList& lines) { return lines.join('\n'); }
};

TEST_F(ExampleMenuTest, EachChoiceOpensANewUnnamedEditorAndLeavesMemoryAlone) {
  FSettings.CurrentAsmFile = "/somewhere/current.asm";
  Poke(0x00, {0x12});
  Main->SetMemoryModified(false);
  QAction* hello = ExampleItem("Hello &World");
  ASSERT_NE(hello, nullptr);
  ASSERT_NE(ExampleItem("&Output test"), nullptr);

  hello->trigger();
  QPointer<TAssemblerEditor> first = Main->AssemblerEditor();
  hello->trigger();
  QPointer<TAssemblerEditor> second = Main->AssemblerEditor();
  ASSERT_TRUE(first && second);
  EXPECT_NE(first, second);
  for (TAssemblerEditor* editor : {first.data(), second.data()}) {
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->windowTitle(), "Orvik Assembler");
    EXPECT_TRUE(editor->FileName().isEmpty());
    EXPECT_FALSE(editor->Modified());
    EXPECT_EQ(editor->TextEditor->toPlainText().section('\n', 0, 13), TextOf(HelloWorldExampleLines()));
  }
  EXPECT_EQ(FSettings.CurrentAsmFile, "/somewhere/current.asm");
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x12);
  EXPECT_FALSE(Main->MemoryModified());
  first->close();
  second->close();
}

TEST_F(ExampleMenuTest, OutputTestFromTheMenuAssemblesRunsAndStopsAtBreak) {
  ExampleItem("&Output test")->trigger();
  QPointer<TAssemblerEditor> editor = Main->AssemblerEditor();
  ASSERT_TRUE(editor);
  QTest::mouseClick(editor->AssembleButton, Qt::LeftButton);
  EXPECT_EQ(editor->ErrorBox->count(), 0);
  EXPECT_EQ(Main->MainMemory()->GetContents(0), 0x2F);
  EXPECT_EQ(Pc(), 0);
  Click(Main->RunButton());
  QElapsedTimer clock;
  clock.start();
  while (Main->OutputBox()->Lines().join("").size() < 40 && clock.elapsed() < 5000) QTest::qWait(5);
  Click(Main->BreakButton());
  EXPECT_FALSE(Main->Running());
  EXPECT_EQ(Status(), "Ready");
  EXPECT_GE(Main->OutputBox()->Lines().join("").size(), 40);
  editor->close();
}

}  // namespace

namespace {

class ExampleBreakpointTest : public ExampleRunTest {};

TEST_F(ExampleBreakpointTest, ABreakpointStopsHelloWorldAtItsHaltRow) {
  Load(HelloWorldExampleLines());
  int haltRow = -1;
  for (int row = 0; row < Main->DisasmWin()->RowCount() && haltRow < 0; ++row)
    if (Main->DisasmWin()->RowText(row).contains("halt")) haltRow = row;
  ASSERT_GE(haltRow, 0);
  const QString haltAddress = QString::asprintf("%02X", 2 * haltRow);
  Main->DisasmWin()->SetTopRow(haltRow);
  // A click in the margin left of the address sets the breakpoint.
  QTest::mouseClick(Main->DisasmWin()->viewport(), Qt::LeftButton, {},
                    QPoint(2, Main->DisasmWin()->RowRect(haltRow).center().y()));
  ASSERT_TRUE(Main->DisasmWin()->RowMarked(haltRow));
  ASSERT_TRUE(Main->Session().Breakpoint(2 * haltRow));

  Click(Main->RunButton());
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Status(), "Breakpoint at " + haltAddress);
  EXPECT_EQ(Cell(Main->SysRegs(), 0), haltAddress);
  EXPECT_EQ(Main->DisasmWin()->SelectedRow(), haltRow);
  // The greeting is out, the halt has not run yet; Run goes on from here.
  EXPECT_EQ(Written(), std::string("\nHello world !!\n    from the\n  Orvik Simulator\n") + '\0');
  EXPECT_NE(Cell(Main->SysRegs(), 1), "C000");
  Click(Main->RunButton());
  ASSERT_TRUE(WaitForRunEnd());
  EXPECT_EQ(Status(), "Halted");

  // Clear of memory keeps it; F2 on the selected row takes it away.
  Main->ClearMainMemory();
  EXPECT_TRUE(Main->Session().Breakpoint(2 * haltRow));
  Main->DisasmWin()->SetSelectedRow(haltRow);
  Main->DisasmWin()->setFocus();
  QTest::keyClick(Main->DisasmWin(), Qt::Key_F2);
  EXPECT_FALSE(Main->Session().Breakpoint(2 * haltRow));
  EXPECT_FALSE(Main->DisasmWin()->RowMarked(haltRow));
}

}  // namespace
