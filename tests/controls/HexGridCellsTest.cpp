// THexGrid's properties, address range, cell texts, sizes and geometry.
#include "HexGridFixture.h"

namespace {

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

}  // namespace
