// Selecting cells with the mouse and the arrow keys.
#include "HexGridFixture.h"

namespace {

TEST_F(HexGridTest, SelectionBoundsFireOncePerChangeAndRepaintOnlyCellsThatEnterOrLeave) {
  Grid->SetSelStart(0x20);
  EXPECT_EQ(Log, (std::vector<std::string>{"sel 20 20"}));
  Grid->SetSelEnd(0x20);
  EXPECT_EQ(Log.size(), 1u);
  EXPECT_EQ(PaintNow(), std::set<int>{0x20});
  Grid->SetSelEnd(0x23);
  EXPECT_EQ(PaintNow(), (std::set<int>{0x20, 0x21, 0x22, 0x23}));
  EXPECT_EQ(Grid->GetSelLo(), 0x20);
  EXPECT_EQ(Grid->GetSelHi(), 0x23);
  EXPECT_EQ(States[0x22] & gdSelected, gdSelected);
  Grid->SetSelEnd(0x21);
  EXPECT_EQ(PaintNow(), (std::set<int>{0x21, 0x22, 0x23}));
  EXPECT_EQ(States[0x22] & gdSelected, 0u);
  Log.clear();
  Grid->SetSelEnd(-5);
  EXPECT_EQ(Log, (std::vector<std::string>{"sel -1 -1"}));
  EXPECT_EQ(PaintNow(), (std::set<int>{0x20, 0x21}));
  Grid->SetSelStart(-1);
  EXPECT_EQ(Log.size(), 1u);
}

TEST_F(HexGridTest, HandlerThatCancelsEverySelectionStopsAfterOneRepetition) {
  Grid->OnSelChanged = [this](THexGrid* g, int start, int end) {
    Log.push_back("sel " + Hex(start) + " " + Hex(end));
    g->SetSelStart(-1);
    g->SetSelEnd(-1);
  };
  QTest::mouseClick(Grid, Qt::LeftButton, {}, Center(4));
  EXPECT_EQ(Log, (std::vector<std::string>{"sel 4 4", "sel -1 -1"}));
  EXPECT_EQ(Grid->GetSelLo(), -1);
}

TEST_F(HexGridTest, PressAndDragSelectInAddressOrder) {
  QTest::mousePress(Grid, Qt::LeftButton, {}, Center(0x12));
  EXPECT_EQ(Log, (std::vector<std::string>{"sel 12 12"}));
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Row(), 1);
  Move(Center(0x11));
  Move(Center(0x10));
  QTest::mouseRelease(Grid, Qt::LeftButton, {}, Center(0x10));
  EXPECT_EQ(Log, (std::vector<std::string>{"sel 12 12", "sel 12 11", "sel 12 10"}));
  EXPECT_EQ(Grid->GetSelLo(), 0x10);
  EXPECT_EQ(Grid->GetSelHi(), 0x12);
  EXPECT_EQ(Grid->SelStart(), 0x12);
  EXPECT_EQ(Grid->SelEnd(), 0x10);
  // After the release, moves select nothing more.
  Move(Center(0x30));
  EXPECT_EQ(Grid->SelEnd(), 0x10);

  // A press with a selection present moves the start, then makes one cell; a
  // jump of the pointer reports only the cell it lands on, across rows.
  Log.clear();
  QTest::mousePress(Grid, Qt::LeftButton, {}, Center(0x1E));
  Move(Center(0x21));
  QTest::mouseRelease(Grid, Qt::LeftButton, {}, Center(0x21));
  EXPECT_EQ(Log, (std::vector<std::string>{"sel 1E 10", "sel 1E 1E", "sel 1E 21"}));
}

TEST_F(HexGridTest, APointerMoveOfOnePixelChangesNothing) {
  const QRect cell = Grid->CellRect(0x12);
  const QPoint edge(cell.right() + 1, cell.center().y());  // the grid line of 0x12
  QTest::mousePress(Grid, Qt::LeftButton, {}, edge);
  Move(edge + QPoint(1, 1));
  ASSERT_EQ(Grid->AddressAt(edge + QPoint(1, 1)), 0x13);
  EXPECT_EQ(Grid->GetSelHi(), 0x12);
  Move(edge + QPoint(2, 0));
  EXPECT_EQ(Grid->GetSelHi(), 0x13);
  QTest::mouseRelease(Grid, Qt::LeftButton, {}, edge);
}

TEST_F(HexGridTest, ArrowKeysMoveTheCurrentCellAskingSelectCellAndKeepTheSelection) {
  std::vector<std::pair<int, int>> asked;
  Grid->OnSelectCell = [&](THexGrid*, int col, int row, bool& canSelect) {
    asked.push_back({col, row});
    canSelect = row < 2;
  };
  Grid->SetSelStart(0x30);
  struct Row {
    Qt::Key key;
    int col, row;
  };
  const Row rows[] = {{Qt::Key_Right, 1, 0}, {Qt::Key_Down, 1, 1}, {Qt::Key_Down, 1, 1}, {Qt::Key_End, 15, 1},
                      {Qt::Key_Left, 14, 1}, {Qt::Key_Home, 0, 1}, {Qt::Key_Up, 0, 0},   {Qt::Key_Up, 0, 0}};
  for (const Row& row : rows) {
    QTest::keyClick(Grid, row.key);
    EXPECT_EQ(std::make_pair(Grid->Col(), Grid->Row()), std::make_pair(row.col, row.row)) << row.key;
  }
  EXPECT_EQ(asked.size(), 7u);
  EXPECT_EQ(Grid->GetSelLo(), 0x30);
  EXPECT_FALSE(Grid->EditorOpen());
}

}  // namespace
