#include "MainWinFixture.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>

namespace {

class MainWinStudentFixesTest : public MainWinTest {
 protected:
  // Right-clicks a cell as the mouse does and chooses an item of the menu that opens.
  void ChooseFromCellMenu(THexGrid* grid, int adr, const QString& item) {
    const QPoint at = grid->CellRect(adr).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->mapToGlobal(at));
    QApplication::sendEvent(grid, &event);
    QMenu* menu = grid->PopupMenu();
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    QAction* chosen = nullptr;
    for (QAction* action : menu->actions())
      if (action->text() == item) chosen = action;
    ASSERT_NE(chosen, nullptr) << item.toStdString();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
    ASSERT_TRUE(QTest::qWaitFor([menu] { return !menu->isVisible(); }));
  }
  // Whether the corner of a cell shows the watch mark's red.
  static bool HasWatchMark(THexGrid* grid, int adr) {
    const QImage shot = grid->grab().toImage();
    const QRect cell = grid->CellRect(adr);
    const int d = std::max(4, cell.height() / 3);
    const QColor c = shot.pixelColor(QPoint(cell.right() - d / 2, cell.top() + 1 + d / 2));
    return c.red() > 180 && c.green() < 80 && c.blue() < 80;
  }
};

TEST_F(MainWinStudentFixesTest, ThePopUpActsOnTheCellUnderTheMouseAndMarksAWatch) {
  const struct {
    const char* Name;
    THexGrid* Grid;
    int Focused;
    int Clicked;
    const char* Item;
    const char* Status;
    bool Mark;
  } cases[] = {
      {"register", Main->Registers(), 0, 2, "Stop when written", "R2 watched", true},
      {"memory watch", Main->MainMemory(), 0x10, 0x30, "Stop when written", "Cell 30 watched", true},
      {"memory breakpoint", Main->MainMemory(), 0x10, 0x31, "Break here", "Breakpoint set at 31", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    ClickCell(c.Grid, c.Focused);
    ChooseFromCellMenu(c.Grid, c.Clicked, QString::fromLatin1(c.Item));
    EXPECT_EQ(Status(), c.Status);
    EXPECT_EQ(HasWatchMark(c.Grid, c.Clicked), c.Mark);
    EXPECT_FALSE(HasWatchMark(c.Grid, c.Focused));
  }
  // Once the menu is gone, its item by its own means acts on the focused cell again.
  QTest::qWait(10);
  Main->MenuWatchRegister()->trigger();
  EXPECT_EQ(Status(), "R0 watched");
  EXPECT_TRUE(HasWatchMark(Main->Registers(), 0));
  Main->RemoveAllBreakpoints();
  EXPECT_FALSE(HasWatchMark(Main->Registers(), 2));
  EXPECT_FALSE(HasWatchMark(Main->MainMemory(), 0x30));
}

TEST_F(MainWinStudentFixesTest, ClickingADisassemblyRowKeepsThePcRowMarked) {
  TDisasmList* list = Main->DisasmWin();
  Main->SysRegs()->SetContents(0, 0x24);
  const int pcRow = 0x24 / 2;
  ASSERT_EQ(list->PcRow(), pcRow);
  const QColor highlight = list->palette().color(QPalette::Highlight);
  auto background = [list](int row) {
    return list->viewport()->grab().toImage().pixelColor(list->RowRect(row).right() - 3,
                                                         list->RowRect(row).center().y());
  };
  ASSERT_EQ(background(pcRow), highlight);
  // Clicking row 20 (to set a breakpoint there with F2) moves the focus, not the PC mark.
  const int clicked = 0x20 / 2;
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->RowRect(clicked).center());
  EXPECT_EQ(list->SelectedRow(), clicked);
  EXPECT_EQ(background(pcRow), highlight);
  EXPECT_NE(background(clicked), highlight);
  QTest::keyClick(list, Qt::Key_F2);
  EXPECT_EQ(Status(), "Breakpoint set at 20");
  EXPECT_EQ(list->PcRow(), pcRow);
  // A step moves PC on, and the selection with it.
  Main->SysRegs()->SetContents(0, 0x26);
  EXPECT_EQ(list->PcRow(), pcRow + 1);
  EXPECT_EQ(list->SelectedRow(), pcRow + 1);
  EXPECT_EQ(background(pcRow + 1), highlight);
}

}  // namespace
