// Tables: nested tables in document order, header rows, cell counts, cell text read and written,
// and positions outside the page.
#include "driver_page.h"

namespace trenmoor {
namespace {

using TablesTest = DriverPage;

// Two top-level tables; the first holds a nested one in its second cell.
constexpr const char* kPage =
    "<table id=t1><thead><tr><th>h1</th><th>h2</th></tr></thead>"
    "<tbody><tr><td>a</td><td><table id=n><tr><td>inner</td></tr></table></td></tr>"
    "<tr><td>b</td><td>c</td></tr></tbody></table>"
    "<table id=t2><tr><td>x1</td><td>x2</td><td>x3</td></tr><tr><td>y1</td><td>y2</td><td>y3</td></tr></table>";

TEST_F(TablesTest, CountsAndTextsFollowDocumentOrder) {
  load(kPage);
  EXPECT_EQ(driver_.countTables(), 3);
  EXPECT_EQ(driver_.getTableText(2), "inner");
  EXPECT_EQ(driver_.getTableHtml(2), byId("n").getText("outerHTML"));
  EXPECT_EQ(driver_.getRowCount(1), 3);         // the header row counts
  EXPECT_EQ(driver_.getRowCellCount(1, 1), 2);  // the header row's cells
  EXPECT_EQ(driver_.getTableCellCount(1), 6);   // the nested table's cell is not the outer table's
  EXPECT_EQ(driver_.getTableCellCount(3), 6);
  EXPECT_EQ(driver_.getCellText(3, 2, 3), "y3");
  EXPECT_EQ(driver_.getCellText(1, 1, 2), "h2");
  EXPECT_EQ(driver_.getCellHtml(3, 1, 1), "<TD>x1</TD>");
  EXPECT_EQ(driver_.tableCommand(PageDriver::kTableText, 3), driver_.getTableText(3));
}

TEST_F(TablesTest, PositionsOutsideThePageGiveEmptyTextAndZero) {
  load(kPage);
  struct Case {
    std::int32_t table, row, cell;
  };
  for (const Case c : {Case{1, 0, 1}, Case{9, 1, 1}, Case{3, 3, 1}, Case{3, 1, 4}, Case{-1, 1, 1},
                       Case{INT32_MIN, INT32_MIN, INT32_MIN}, Case{INT32_MAX, 1, 1}}) {
    SCOPED_TRACE(testing::Message() << c.table << "," << c.row << "," << c.cell);
    EXPECT_EQ(driver_.getCellText(c.table, c.row, c.cell), "");
    EXPECT_EQ(driver_.getCellHtml(c.table, c.row, c.cell), "");
    EXPECT_EQ(driver_.setCellText(c.table, c.row, c.cell, "z"), logicalToText(false));
  }
  EXPECT_EQ(driver_.getRowCount(0), 0);
  EXPECT_EQ(driver_.getRowCellCount(1, 9), 0);
  EXPECT_EQ(driver_.getTableText(4), "");
  EXPECT_EQ(driver_.tableCommand(PageDriver::kRowCount, 9), "0");
  EXPECT_EQ(driver_.tableCommand(9), "0");
  EXPECT_EQ(driver_.tableCommand(-1), "0");
  EXPECT_EQ(driver_.getTableText(3), "x1\tx2\tx3\r\ny1\ty2\ty3");  // nothing was written
}

TEST_F(TablesTest, SetCellTextWritesTheCell) {
  load(kPage);
  EXPECT_EQ(driver_.setCellText(1, 1, 1, "x"), logicalToText(true));
  EXPECT_EQ(driver_.getCellText(1, 1, 1), "x");
  const Text chinese = utf8ToAnsi("单元格<b>");
  EXPECT_EQ(driver_.setCellText(3, 2, 1, chinese), logicalToText(true));
  EXPECT_EQ(driver_.getCellText(3, 2, 1), chinese);  // written as text, not markup
  EXPECT_EQ(driver_.setCellText(9, 1, 1, "x"), logicalToText(false));
}

TEST_F(TablesTest, NoTablesOrNoDocument) {
  load("<p>none</p>");
  EXPECT_EQ(driver_.countTables(), 0);
  driver_.releaseDocument();
  EXPECT_EQ(driver_.countTables(), 0);
  EXPECT_EQ(driver_.tableCommand(PageDriver::kTableCount), "0");
  EXPECT_EQ(driver_.getCellText(1, 1, 1), "");
  EXPECT_EQ(driver_.setCellText(1, 1, 1, "x"), logicalToText(false));
}

}  // namespace
}  // namespace trenmoor
