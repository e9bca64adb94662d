#include "controls/HexGrid.h"

#include "controls/HexGridModel.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// A shown 16 x 16 grid beside a second widget that can take the focus, with
// every event of the grid written down as text in the order it fired.
class HexGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FWindow = std::make_unique<QWidget>();
    FWindow->resize(600, 400);
    Grid = new THexGrid(FWindow.get());
    Grid->SetColCount(16);
    Grid->SetRowCount(16);
    Grid->resize(Grid->sizeHint());
    Other = new QLineEdit(FWindow.get());
    Other->move(500, 10);
    Grid->OnCellChanged = [this](THexGrid*, int adr, int32_t old, int32_t value) {
      Log.push_back("changed " + Hex(adr) + " " + Hex(old) + " " + Hex(value));
    };
    Grid->OnSelChanged = [this](THexGrid*, int start, int end) { Log.push_back("sel " + Hex(start) + " " + Hex(end)); };
    Grid->OnDrawCell = [this](THexGrid* g, int col, int row, const QRect&, TGridDrawState state, QPainter&) {
      Drawn.insert(g->coor2adr(col, row));
      States[g->coor2adr(col, row)] = state;
    };
    FWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    FWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(FWindow.get()));
    Grid->setFocus();
    Settle();
  }

  static std::string Hex(int v) {
    if (v < 0) return std::to_string(v);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(v));
    return buffer;
  }
  // Lets every pending paint happen, then forgets what was drawn.
  void Settle() {
    QApplication::processEvents();
    Drawn.clear();
    Log.clear();
  }
  std::set<int> PaintNow() {
    Drawn.clear();
    QApplication::processEvents();
    return Drawn;
  }
  QPoint Center(int adr) const { return Grid->CellRect(adr).center(); }
  void Move(QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, pos, Grid->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Grid, &move);
  }
  // What a user's double click delivers to a widget: press, release, double click, release.
  void DoubleClick(QPoint pos) {
    QTest::mouseClick(Grid, Qt::LeftButton, {}, pos);
    QTest::mouseDClick(Grid, Qt::LeftButton, {}, pos);
    QTest::mouseRelease(Grid, Qt::LeftButton, {}, pos);
  }
  QString EditorText() const { return Grid->Editor() ? Grid->Editor()->text() : QString(); }

  std::unique_ptr<QWidget> FWindow;
  THexGrid* Grid = nullptr;
  QLineEdit* Other = nullptr;
  std::vector<std::string> Log;
  std::set<int> Drawn;
  std::map<int, TGridDrawState> States;
};

TEST(HexGridDefaults, PropertiesAndSize) {
  THexGrid grid;
  EXPECT_EQ(grid.ColCount(), 5);
  EXPECT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.DefaultColWidth(), 24);
  EXPECT_EQ(grid.DefaultRowHeight(), 15);
  EXPECT_EQ(grid.DefaultLimit(), 2);
  EXPECT_EQ(grid.Color(), QColor(240, 240, 245));
  EXPECT_EQ(grid.Options(), (THexGridOptions{hgoVertLine, hgoHorzLine}));
  EXPECT_EQ(grid.FontChanged().Color, QColor(255, 96, 96));
  EXPECT_TRUE(grid.FontChanged().Font.bold());
  EXPECT_EQ(grid.size(), QSize(6 * 24, 6 * 15));
  EXPECT_EQ(grid.SelStart(), -1);
  EXPECT_EQ(grid.SelEnd(), -1);
  EXPECT_EQ(grid.ChangedAdr(), -1);
  EXPECT_FALSE(grid.Modified());
  EXPECT_FALSE(grid.EditorOpen());
}

TEST(HexGridDefaults, OutOfRangeAddressesRaiseWithTheExactMessage) {
  THexGrid grid;
  grid.SetColCount(16);
  grid.SetRowCount(16);
  int events = 0;
  grid.OnCellChanged = [&](THexGrid*, int, int32_t, int32_t) { ++events; };
  struct Row {
    bool write;
    int adr;
    const char* message;
  };
  const Row rows[] = {
      {false, 256, "THexGrid::GetContents: Address (256) out of bounds (0..255)"},
      {false, -1, "THexGrid::GetContents: Address (-1) out of bounds (0..255)"},
      {true, 256, "THexGrid::SetContents: Address (256) out of bounds (0..255)"},
      {true, -7, "THexGrid::SetContents: Address (-7) out of bounds (0..255)"},
  };
  for (const Row& row : rows) {
    try {
      if (row.write)
        grid.SetContents(row.adr, 1);
      else
        grid.GetContents(row.adr);
      ADD_FAILURE() << "no error for " << row.adr;
    } catch (const EInvalidGridOperation& e) {
      EXPECT_STREQ(e.what(), row.message);
    }
  }
  EXPECT_THROW(grid.GetCells(0, 16), EInvalidGridOperation);
  EXPECT_EQ(events, 0);
  EXPECT_FALSE(grid.Modified());
}

TEST(HexGridDefaults, CellTextPadsWidensAndShowsNegativesAsEightDigits) {
  THexGrid grid;
  int limit = 2;
  grid.OnGetEditLimit = [&](THexGrid*, int, int, int& value) { value = limit; };
  struct Row {
    int32_t value;
    int digits;
    const char* text;
  };
  const Row rows[] = {{10, 2, "0A"},       {755, 4, "02F3"},    {0x1FF, 2, "1FF"}, {255, 2, "FF"},
                      {-1, 2, "FFFFFFFF"}, {-2, 4, "FFFFFFFE"}, {0, 4, "0000"}};
  for (const Row& row : rows) {
    limit = row.digits;
    grid.SetContents(0, row.value);
    EXPECT_EQ(grid.CellText(0, 0), QString::fromLatin1(row.text)) << row.value;
  }
}

TEST(HexGridDefaults, HexTextValue) {
  const std::pair<const char*, int32_t> rows[] = {{"", 0},       {"7", 7},   {"3c", 0x3C}, {"3C", 0x3C},
                                                  {"02F3", 755}, {"G1", -1}, {" 1", -1},   {"FFFFFFFF", -1}};
  for (const auto& [text, value] : rows) EXPECT_EQ(THexGrid::HexTextValue(QString::fromLatin1(text)), value) << text;
}

TEST(HexGridDefaults, ResizingKeepsCellsByAddress) {
  THexGrid grid;
  grid.SetContents(7, 9);
  grid.SetContents(24, 5);
  grid.SetColCount(16);
  EXPECT_EQ(grid.GetContents(7), 9);
  EXPECT_EQ(grid.GetContents(24), 5);
  EXPECT_EQ(grid.GetContents(79), 0);
  grid.SetRowCount(1);
  EXPECT_EQ(grid.Count(), 16);
  EXPECT_EQ(grid.GetContents(7), 9);
  EXPECT_THROW(grid.GetContents(24), EInvalidGridOperation);
}

TEST_F(HexGridTest, GeometryMapsPointsToAddresses) {
  for (int adr : {0, 1, 0x10, 0x12, 0xFF}) {
    const QRect r = Grid->CellRect(adr);
    EXPECT_EQ(r.size(), QSize(24, 15));
    EXPECT_EQ(Grid->AddressAt(r.topLeft()), adr);
    EXPECT_EQ(Grid->AddressAt(r.bottomRight()), adr);
    // The grid lines right of and below a cell belong to it.
    EXPECT_EQ(Grid->AddressAt(r.bottomRight() + QPoint(1, 1)), adr);
  }
  EXPECT_EQ(Grid->CellRect(0x12).topLeft() - Grid->CellRect(0x00).topLeft(), QPoint(2 * 25, 1 * 16));
  EXPECT_EQ(Grid->AddressAt(QPoint(0, 0)), -1);
  EXPECT_EQ(Grid->AddressAt(Grid->CellRect(0xFF).bottomRight() + QPoint(2, 0)), -1);
}

TEST_F(HexGridTest, EqualWriteNotifiesButNeitherModifiesNorMovesTheMark) {
  Grid->SetContents(3, 0x20);
  Grid->SetModified(false);
  Grid->SetContents(9, 0x21);
  Grid->SetModified(false);
  Grid->SetContents(2, 4);
  Log.clear();
  Grid->SetModified(false);
  Grid->SetContents(5, 0);
  EXPECT_EQ(Log, (std::vector<std::string>{"changed 5 0 0"}));
  EXPECT_FALSE(Grid->Modified());
  EXPECT_EQ(Grid->ChangedAdr(), -1);
  Grid->SetContents(5, 0x33);
  EXPECT_TRUE(Grid->Modified());
  EXPECT_EQ(Grid->ChangedAdr(), 5);
}

TEST_F(HexGridTest, OnlyTheLastChangedCellIsMarkedAndClearingModifiedRemovesIt) {
  Grid->SetContents(3, 1);
  Grid->SetContents(7, 2);
  Grid->repaint();
  EXPECT_EQ(States[7] & gdChanged, gdChanged);
  EXPECT_EQ(States[3] & gdChanged, 0u);
  EXPECT_EQ(States[0], gdFocused);
  EXPECT_EQ(States[1], 0u);
  Grid->SetModified(false);
  EXPECT_EQ(Grid->ChangedAdr(), -1);
  EXPECT_EQ(PaintNow(), std::set<int>{7});
  EXPECT_EQ(States[7] & gdChanged, 0u);
}

TEST_F(HexGridTest, WritesRepaintOnlyTheNewAndThePreviousChangedCellAndNeverSynchronously) {
  Grid->SetContents(3, 1);
  EXPECT_TRUE(Drawn.empty());
  EXPECT_EQ(PaintNow(), std::set<int>{3});
  Grid->SetContents(0x40, 2);
  EXPECT_EQ(PaintNow(), (std::set<int>{3, 0x40}));
  // Many writes between two paints still paint each cell once.
  Drawn.clear();
  for (int i = 0; i < 100000; ++i) Grid->SetContents(0x41, i);
  EXPECT_TRUE(Drawn.empty());
  EXPECT_EQ(PaintNow(), (std::set<int>{0x40, 0x41}));
  Grid->SetContents(0x41, 5);
  EXPECT_EQ(PaintNow(), std::set<int>{0x41});
}

TEST_F(HexGridTest, WritesWhileHiddenAreShownAfterShowing) {
  Grid->hide();
  Grid->SetContents(3, 0xAB);
  Grid->show();
  QApplication::processEvents();
  Drawn.clear();
  Grid->SetContents(3, 0xAC);
  EXPECT_EQ(PaintNow(), std::set<int>{3});
}

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

TEST_F(HexGridTest, TypedDigitOpensTheEditorAndEnterStoresAndMovesOn) {
  Grid->SetContents(0x21, 0x3C);
  Grid->SetContents(0x22, 0x0A);
  QTest::mouseClick(Grid, Qt::LeftButton, {}, Center(0x21));
  Log.clear();
  QTest::keyClick(Grid, Qt::Key_7);
  ASSERT_TRUE(Grid->EditorOpen());
  EXPECT_EQ(EditorText(), "7");
  EXPECT_TRUE(Grid->Editor()->hasFocus());
  // Opening the editor cleared the selection.
  EXPECT_EQ(Log, (std::vector<std::string>{"sel -1 -1"}));
  EXPECT_EQ(Grid->GetContents(0x21), 7);
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_EQ(Log.back(), "changed 21 3C 7");
  EXPECT_EQ(Grid->EditCol(), 2);
  EXPECT_EQ(Grid->EditRow(), 2);
  EXPECT_EQ(EditorText(), "0A");
  EXPECT_TRUE(Grid->Editor()->hasFocus());
}

TEST_F(HexGridTest, EditorAcceptsOnlyHexDigitsInUpperCaseUpToTheLimit) {
  QTest::keyClick(Grid, Qt::Key_Return);
  ASSERT_TRUE(Grid->EditorOpen());
  EXPECT_EQ(EditorText(), "00");
  QTest::keyClicks(Grid->Editor(), "g -b");
  EXPECT_EQ(EditorText(), "B");
  QTest::keyClicks(Grid->Editor(), "ef");
  EXPECT_EQ(EditorText(), "BE");
  QTest::keyClick(Grid->Editor(), Qt::Key_Backspace);
  QTest::keyClick(Grid->Editor(), 'c');
  EXPECT_EQ(EditorText(), "BC");
  QTest::keyClick(Grid->Editor(), Qt::Key_Enter);
  EXPECT_EQ(Grid->GetContents(0), 0xBC);
}

TEST_F(HexGridTest, EnterOnTheLastCellWrapsToAddressZero) {
  ASSERT_TRUE(Grid->MoveCurrent(15, 15));
  QTest::keyClick(Grid, Qt::Key_Return);
  QTest::keyClicks(Grid->Editor(), "5");
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_EQ(Grid->GetContents(0xFF), 5);
  EXPECT_EQ(Grid->EditCol(), 0);
  EXPECT_EQ(Grid->EditRow(), 0);
}

TEST_F(HexGridTest, EscapeKeepsTheValueAndFiresNothing) {
  Grid->SetContents(0, 0x3C);
  Log.clear();
  QTest::keyClick(Grid, Qt::Key_9);
  QTest::keyClick(Grid->Editor(), Qt::Key_Escape);
  EXPECT_FALSE(Grid->EditorOpen());
  EXPECT_TRUE(Grid->Editor()->isHidden());
  EXPECT_EQ(Grid->GetContents(0), 0x3C);
  EXPECT_TRUE(Log.empty());
  EXPECT_TRUE(Grid->hasFocus());
}

TEST_F(HexGridTest, EmptyTextStoresZeroAndReadsAsZeroWhileOpen) {
  Grid->SetContents(0, 0x3C);
  QTest::keyClick(Grid, Qt::Key_Return);
  QTest::keyClick(Grid->Editor(), Qt::Key_Backspace);
  EXPECT_EQ(EditorText(), "");
  EXPECT_EQ(Grid->GetContents(0), 0);
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_EQ(Log.back(), "changed 0 3C 0");
}

TEST_F(HexGridTest, PastedInvalidTextReadsAsMinusOneAndIsDroppedOnCommit) {
  Grid->SetContents(0, 0x3C);
  QTest::keyClick(Grid, Qt::Key_Return);
  Grid->Editor()->setText("G1");
  Grid->Editor()->setModified(true);
  EXPECT_EQ(Grid->GetContents(0), -1);
  EXPECT_EQ(Grid->GetContents(1), 0);
  Log.clear();
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_EQ(Grid->GetContents(0), 0x3C);
  EXPECT_TRUE(Log.empty());
}

TEST_F(HexGridTest, AWriteToTheEditedCellReplacesWhatWasTyped) {
  QTest::keyClick(Grid, Qt::Key_4);
  Grid->SetContents(0, 0x1D);
  EXPECT_EQ(EditorText(), "1D");
  EXPECT_FALSE(Grid->Editor()->isModified());
  Log.clear();
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(Grid->GetContents(0), 0x1D);
}

TEST_F(HexGridTest, DoubleClickOnARefusedCellEditsThePreviousCurrentCell) {
  Grid->OnSelectCell = [](THexGrid*, int col, int row, bool& canSelect) { canSelect = !(col == 5 && row == 5); };
  QTest::mouseClick(Grid, Qt::LeftButton, {}, Center(0x13));
  DoubleClick(Center(0x55));
  ASSERT_TRUE(Grid->EditorOpen());
  EXPECT_EQ(Grid->EditCol(), 3);
  EXPECT_EQ(Grid->EditRow(), 1);
  EXPECT_EQ(Grid->SelStart(), -1);
  DoubleClick(Center(0x24));
  EXPECT_EQ(Grid->EditCol(), 4);
  EXPECT_EQ(Grid->EditRow(), 2);
}

TEST_F(HexGridTest, EnterRefusedByOnSelectCellReopensOnTheSameCell) {
  int limitCalls = 0;
  Grid->SetColCount(1);
  Grid->SetRowCount(2);
  Grid->OnSelectCell = [](THexGrid*, int, int row, bool& canSelect) { canSelect = row != 1; };
  Grid->OnGetEditLimit = [&](THexGrid*, int, int row, int& value) {
    ++limitCalls;
    if (row == 1) value = 4;
  };
  Grid->SetContents(1, 755);
  EXPECT_EQ(Grid->CellText(0, 1), "02F3");
  QTest::keyClick(Grid, Qt::Key_Return);
  QTest::keyClicks(Grid->Editor(), "A");
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_EQ(Grid->GetContents(0), 0xA);
  EXPECT_EQ(Grid->EditRow(), 0);
  EXPECT_EQ(Grid->Editor()->maxLength(), 2);
  EXPECT_GT(limitCalls, 0);
}

TEST_F(HexGridTest, LeavingTheGridCommitsAndCloses) {
  QTest::keyClick(Grid, Qt::Key_B);
  Other->setFocus();
  EXPECT_FALSE(Grid->EditorOpen());
  EXPECT_TRUE(Grid->Editor()->isHidden());
  EXPECT_EQ(Grid->GetContents(0), 0xB);
  EXPECT_TRUE(Other->hasFocus());
}

TEST_F(HexGridTest, AlwaysShowEditorSurvivesLeaving) {
  Grid->SetOptions({hgoVertLine, hgoHorzLine, hgoAlwaysShowEditor});
  Grid->Loaded();
  ASSERT_TRUE(Grid->EditorOpen());
  QTest::keyClicks(Grid->Editor(), "C");
  Other->setFocus();
  EXPECT_TRUE(Grid->EditorOpen());
  EXPECT_EQ(Grid->GetContents(0), 0xC);
}

TEST_F(HexGridTest, MousePressesCommitTheEditor) {
  QTest::keyClick(Grid, Qt::Key_1);
  QTest::mouseClick(Grid, Qt::RightButton, {}, Center(0x40));
  EXPECT_FALSE(Grid->EditorOpen());
  EXPECT_EQ(Grid->GetContents(0), 1);
  EXPECT_EQ(Grid->SelStart(), -1);
  EXPECT_EQ(Grid->Col(), 0);

  QTest::keyClick(Grid, Qt::Key_2);
  QTest::mouseClick(Grid, Qt::LeftButton, {}, Center(0x40));
  EXPECT_FALSE(Grid->EditorOpen());
  EXPECT_EQ(Grid->GetContents(0), 2);
  EXPECT_EQ(Grid->GetSelLo(), 0x40);
  EXPECT_TRUE(Grid->hasFocus());
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

// Cells kept outside the grid, with a generation per write, as a simulator
// session keeps them; writes through the grid are written down.
class TTestModel final : public THexGridModel {
 public:
  int32_t CellValue(int adr) const override { return Cells[static_cast<size_t>(adr)]; }
  void WriteCell(int adr, int32_t value) override {
    Writes.push_back(adr);
    Set(adr, value);
  }
  uint64_t Generation() const override { return Gen; }
  uint64_t CellGeneration(int adr) const override { return Gens[static_cast<size_t>(adr)]; }
  void Set(int adr, int32_t value) {
    Cells[static_cast<size_t>(adr)] = value;
    Gens[static_cast<size_t>(adr)] = ++Gen;
  }
  std::vector<int32_t> Cells = std::vector<int32_t>(256, 0);
  std::vector<uint64_t> Gens = std::vector<uint64_t>(256, 0);
  std::vector<int> Writes;
  uint64_t Gen = 1;
};

TEST_F(HexGridTest, AViewShowsTheModelOnlyWhenRefreshedAndMarksTheNewestChange) {
  TTestModel model;
  model.Set(0x10, 0x42);
  Grid->SetModel(&model);
  EXPECT_EQ(Grid->CellText(0, 1), "42");
  Settle();
  // Many writes in the model between two refreshes: nothing is painted or
  // told until the refresh, which tells each changed cell once.
  model.Set(0x05, 7);
  model.Set(0x30, 0);  // written, but not changed
  for (int i = 0; i < 1000; ++i) model.Set(0x20 + i % 3, i & 0xFF);
  EXPECT_EQ(Grid->CellText(0, 2), "00");
  EXPECT_TRUE(Log.empty());
  EXPECT_TRUE(PaintNow().empty());
  Grid->Refresh();
  EXPECT_EQ(Log, (std::vector<std::string>{"changed 5 0 7", "changed 20 0 E7", "changed 21 0 E5", "changed 22 0 E6"}));
  EXPECT_EQ(Grid->ChangedAdr(), 0x20);  // written last
  EXPECT_TRUE(Grid->Modified());
  EXPECT_EQ(Grid->CellText(1, 2), "E5");
  EXPECT_EQ(PaintNow(), (std::set<int>{5, 0x20, 0x21, 0x22}));
  Grid->Refresh();
  EXPECT_TRUE(PaintNow().empty());

  // What the user types goes to the model, and is shown from there.
  Grid->MoveCurrent(3, 4);
  QTest::keyClick(Grid, '9');
  ASSERT_TRUE(Grid->EditorOpen());
  QTest::keyClick(Grid->Editor(), Qt::Key_Return);
  EXPECT_EQ(model.Writes, std::vector<int>{0x43});
  EXPECT_EQ(model.Cells[0x43], 9);
  EXPECT_EQ(Grid->ChangedAdr(), 0x43);
  // Enter opened the editor on the next cell. A change arriving in the cell
  // being edited replaces the digits typed there.
  ASSERT_TRUE(Grid->EditorOpen());
  ASSERT_EQ(Grid->coor2adr(Grid->EditCol(), Grid->EditRow()), 0x44);
  QTest::keyClick(Grid->Editor(), '1');
  model.Set(0x44, 0xAB);
  Grid->Refresh();
  EXPECT_EQ(Grid->Editor()->text(), "AB");
  Grid->SetModel(nullptr);
}

}  // namespace
