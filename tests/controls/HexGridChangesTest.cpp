// Writes into the grid and from a model: the change mark and what is repainted.
#include "HexGridFixture.h"
#include "controls/HexGridModel.h"

namespace {

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
