#include "MainWinFixture.h"

#include "editor/AssemblerEditor.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QToolButton>

#include <functional>
#include <string>

namespace {

// What hello prints, as the terminal of 21 columns and 4 rows shows it.
const std::string HelloShown = "Hello world !!\n    from the\n  Orvik Simulator\n";

class TerminalClearOutputTest : public MainWinTest {
 protected:
  // The Hello World example from the menu, assembled in its editor.
  void AssembleHello() {
    for (QAction* action : Main->ExamplesMenu()->actions())
      if (action->text() == "Hello &World") action->trigger();
    FEditor = Main->AssemblerEditor();
    ASSERT_TRUE(FEditor);
    Click(FEditor->AssembleButton);
  }
  void TearDown() override {
    if (FEditor) FEditor->close();
    MainWinTest::TearDown();
  }

  // Opens the terminal's menu with the right mouse button and clicks the item.
  void ClickTerminalItem(const QString& caption) {
    TShowText* box = Main->OutputBox();
    const QPoint at = box->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, box->mapToGlobal(at));
    QApplication::sendEvent(box, &event);
    QMenu* menu = box->ContextMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    QAction* item = nullptr;
    for (QAction* action : menu->actions())
      if (action->text() == caption) item = action;
    ASSERT_NE(item, nullptr) << caption.toStdString();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    ASSERT_TRUE(QTest::qWaitFor([menu] { return !menu->isVisible(); }));
  }

  std::string Shown() const { return Main->OutputBox()->VisibleText().toStdString(); }
  void Undo() { Main->MenuUndo()->trigger(); }
  void Redo() { Main->MenuRedo()->trigger(); }

  QPointer<TAssemblerEditor> FEditor;
};

TEST_F(TerminalClearOutputTest, ClearIsUndoneAndRedoneAndCopyTakesTheShownText) {
  struct TWay {
    const char* Name;
    bool FromTerminal;  // else from the Run menu
  };
  const TWay ways[] = {{"terminal menu", true}, {"Run menu", false}};
  AssembleHello();
  Click(Main->RunButton());
  ASSERT_TRUE(WaitForRunEnd());
  for (const TWay& way : ways) {
    SCOPED_TRACE(way.Name);
    ASSERT_EQ(Shown(), HelloShown);
    QApplication::clipboard()->clear();
    if (way.FromTerminal)
      ClickTerminalItem("&Copy");
    else
      Main->MenuCopyOutput()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), HelloShown);

    if (way.FromTerminal)
      ClickTerminalItem("Clear &output");
    else
      Main->MenuClearOutput()->trigger();
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(Status(), "Output cleared");
    Undo();
    EXPECT_EQ(Status(), "Undone: Clear output");
    EXPECT_EQ(Shown(), HelloShown);
    Redo();
    EXPECT_EQ(Status(), "Redone: Clear output");
    EXPECT_EQ(Shown(), "");
    Undo();
    EXPECT_EQ(Shown(), HelloShown);
  }
  // The program's own bytes are still the session's: only the view was cleared.
  EXPECT_EQ(Main->Session().OutputSince(0).substr(0, 6), "\nHello");
}

// A step back after a clearing draws the terminal from the empty one, not
// from the text that was cleared away.
TEST_F(TerminalClearOutputTest, StepBackAfterClearingDrawsOnlyTheNewerOutput) {
  AssembleHello();
  auto stepUntil = [this](const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i) Click(Main->StepButton());
    ASSERT_TRUE(done());
  };
  stepUntil([this] { return Shown() == "\nHello"; });
  Main->MenuClearOutput()->trigger();
  ASSERT_EQ(Shown(), "");
  stepUntil([this] { return Shown() == " wo"; });
  stepUntil([this] { return Shown() == " wor"; });
  for (int i = 0; i < 20 && Shown() == " wor"; ++i) Main->MenuStepBack()->trigger();
  EXPECT_EQ(Shown(), " wo");
  // Back to the clearing, and Undo brings the older text back.
  Main->MenuBackToStart()->trigger();
  EXPECT_EQ(Shown(), "");
  Undo();
  EXPECT_EQ(Shown(), "\nHello");
}

}  // namespace
