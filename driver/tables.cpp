// Tables: every table of the body in document order, nested tables included. One command
// answers each question from the live page; the shortcuts fix its code.
#include "driver/page_driver.h"

namespace trenmoor {
namespace {

// The collection's item at a 1-based position, passed as the real number position - 1 (a
// position outside the collection gives nothing).
ComObject itemAt(const ComObject& collection, std::int32_t position) {
  return collection.callObject("item", {Variant(static_cast<double>(position) - 1.0)});
}

Text lengthText(const ComObject& collection) { return realToText(collection.getNumber("length")); }

}  // namespace

Text PageDriver::tableCommand(std::int32_t op, std::int32_t table, std::int32_t row, std::int32_t cell,
                              const Text& text) {
  // 1. The tables: the body's all collection, by tag.
  const ComObject tables = document_.getObject("body").getObject("all").callObject("tags", {Variant(u"table")});
  // 2. The table, row and cell that the code reaches.
  const auto theTable = [&] { return itemAt(tables, table); };
  const auto theRow = [&] { return itemAt(theTable().getObject("rows"), row); };
  const auto theCell = [&] { return itemAt(theRow().getObject("cells"), cell); };
  switch (op) {
    case kTableCount: return lengthText(tables);
    case kTableText: return theTable().getText("outerText");
    case kTableHtml: return theTable().getText("outerHTML");
    case kTableCellCount: return lengthText(theTable().getObject("cells"));
    case kRowCount: return lengthText(theTable().getObject("rows"));
    case kRowCellCount: return lengthText(theRow().getObject("cells"));
    case kCellText: return theCell().getText("outerText");
    case kCellHtml: return theCell().getText("outerHTML");
    case kSetCellText: return logicalToText(theCell().putText("innerText", text));
    default: return "0";
  }
}

std::int32_t PageDriver::countTables() { return truncatedInteger(tableCommand(kTableCount)); }

Text PageDriver::getTableText(std::int32_t table) { return tableCommand(kTableText, table); }

Text PageDriver::getTableHtml(std::int32_t table) { return tableCommand(kTableHtml, table); }

std::int32_t PageDriver::getRowCount(std::int32_t table) { return truncatedInteger(tableCommand(kRowCount, table)); }

std::int32_t PageDriver::getRowCellCount(std::int32_t table, std::int32_t row) {
  return truncatedInteger(tableCommand(kRowCellCount, table, row));
}

Text PageDriver::getCellText(std::int32_t table, std::int32_t row, std::int32_t cell) {
  return tableCommand(kCellText, table, row, cell);
}

Text PageDriver::setCellText(std::int32_t table, std::int32_t row, std::int32_t cell, const Text& text) {
  return tableCommand(kSetCellText, table, row, cell, text);
}

Text PageDriver::getCellHtml(std::int32_t table, std::int32_t row, std::int32_t cell) {
  return tableCommand(kCellHtml, table, row, cell);
}

std::int32_t PageDriver::getTableCellCount(std::int32_t table) {
  return truncatedInteger(tableCommand(kTableCellCount, table));
}

}  // namespace trenmoor
