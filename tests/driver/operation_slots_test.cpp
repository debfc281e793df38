// The driver's operations stand at fixed slots of its table, in the order that
// driver/operation_slots.txt lists. The declared operations are read back from the compiled
// table (the place a member pointer names, as the Itanium C++ ABI encodes it): they must follow
// one another in the table without a gap, and their slots in the list must rise in that order.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>

#include "driver/page_driver.h"

namespace trenmoor {
namespace {

// The entry of the driver's table that a pointer to a virtual member names; -1 for a member
// that is not virtual.
template <typename Member>
std::ptrdiff_t tableEntry(Member member) {
  static_assert(sizeof(Member) == 2 * sizeof(std::ptrdiff_t));
  std::ptrdiff_t parts[2];
  std::memcpy(parts, &member, sizeof parts);
#if defined(__arm__) || defined(__aarch64__)
  if ((parts[1] & 1) == 0) return -1;
  return parts[0] / static_cast<std::ptrdiff_t>(sizeof(void*));
#else
  if ((parts[0] & 1) == 0) return -1;
  return (parts[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
#endif
}

// The destructor (slot 1) fills the table's first two entries, complete and deleting; copying
// (slot 2) is a constructor and has no entry. The first operation follows them.
constexpr std::ptrdiff_t kFirstOperationEntry = 2;

struct DeclaredOperation {
  std::string_view name;
  std::ptrdiff_t entry;
};

#define TRENMOOR_OPERATION(name) DeclaredOperation{#name, tableEntry(&PageDriver::name)}

// Every operation PageDriver declares, in declaration order; a new operation goes in at its place.
const DeclaredOperation kDeclared[] = {
    TRENMOOR_OPERATION(attach),
    TRENMOOR_OPERATION(getDocument),
    TRENMOOR_OPERATION(releaseDocument),
    TRENMOOR_OPERATION(findBrowserServerWindow),
    TRENMOOR_OPERATION(documentFromWindow),
    TRENMOOR_OPERATION(takeElementCensus),
    TRENMOOR_OPERATION(markInputsAfter),
    TRENMOOR_OPERATION(markInputValues),
    TRENMOOR_OPERATION(lookupInput),
    TRENMOOR_OPERATION(markImages),
    TRENMOOR_OPERATION(lookupImage),
    TRENMOOR_OPERATION(markDivs),
    TRENMOOR_OPERATION(lookupDiv),
    TRENMOOR_OPERATION(markSpans),
    TRENMOOR_OPERATION(lookupSpan),
    TRENMOOR_OPERATION(markListItems),
    TRENMOOR_OPERATION(lookupListItem),
    TRENMOOR_OPERATION(markTextAreas),
    TRENMOOR_OPERATION(lookupTextArea),
    TRENMOOR_OPERATION(markLinks),
    TRENMOOR_OPERATION(lookupLink),
    TRENMOOR_OPERATION(markCites),
    TRENMOOR_OPERATION(lookupCite),
    TRENMOOR_OPERATION(markAllFormControls),
    TRENMOOR_OPERATION(countFrameDocuments),
    TRENMOOR_OPERATION(navigateTo),
    TRENMOOR_OPERATION(setLocation),
    TRENMOOR_OPERATION(setZoom),
    TRENMOOR_OPERATION(getPageText),
    TRENMOOR_OPERATION(getPageHtml),
    TRENMOOR_OPERATION(getTitle),
    TRENMOOR_OPERATION(runScript),
    TRENMOOR_OPERATION(unlockPage),
    TRENMOOR_OPERATION(fireElementEvent),
    TRENMOOR_OPERATION(reloadPage),
    TRENMOOR_OPERATION(getDocumentProperty),
    TRENMOOR_OPERATION(setDocumentProperty),
    TRENMOOR_OPERATION(setBodyHtml),
    TRENMOOR_OPERATION(getDomain),
    TRENMOOR_OPERATION(getLocation),
    TRENMOOR_OPERATION(getCharset),
    TRENMOOR_OPERATION(getSelectionText),
    TRENMOOR_OPERATION(suppressDialogs),
    TRENMOOR_OPERATION(getFileSize),
    TRENMOOR_OPERATION(hideScrollBars),
    TRENMOOR_OPERATION(pasteHtmlAtSelection),
    TRENMOOR_OPERATION(documentWrite),
    TRENMOOR_OPERATION(highlightKeyword),
    TRENMOOR_OPERATION(findTextInput),
    TRENMOOR_OPERATION(countTextInputs),
    TRENMOOR_OPERATION(getTextInputValue),
    TRENMOOR_OPERATION(textInputIndex),
    TRENMOOR_OPERATION(textInputInfo),
    TRENMOOR_OPERATION(setTextInputValue),
    TRENMOOR_OPERATION(focusTextInput),
    TRENMOOR_OPERATION(fillFileInput),
    TRENMOOR_OPERATION(findTextArea),
    TRENMOOR_OPERATION(focusTextArea),
    TRENMOOR_OPERATION(showHideTextArea),
    TRENMOOR_OPERATION(countTextAreas),
    TRENMOOR_OPERATION(getTextAreaValue),
    TRENMOOR_OPERATION(textAreaIndex),
    TRENMOOR_OPERATION(textAreaInfo),
    TRENMOOR_OPERATION(setTextAreaValue),
    TRENMOOR_OPERATION(findRadio),
    TRENMOOR_OPERATION(isRadioChecked),
    TRENMOOR_OPERATION(countRadios),
    TRENMOOR_OPERATION(radioIndex),
    TRENMOOR_OPERATION(radioInfo),
    TRENMOOR_OPERATION(checkRadio),
    TRENMOOR_OPERATION(uncheckRadio),
    TRENMOOR_OPERATION(focusRadio),
    TRENMOOR_OPERATION(showHideRadio),
    TRENMOOR_OPERATION(findCheckBox),
    TRENMOOR_OPERATION(isCheckBoxChecked),
    TRENMOOR_OPERATION(countCheckBoxes),
    TRENMOOR_OPERATION(checkBoxIndex),
    TRENMOOR_OPERATION(checkBoxInfo),
    TRENMOOR_OPERATION(checkCheckBox),
    TRENMOOR_OPERATION(uncheckCheckBox),
    TRENMOOR_OPERATION(focusCheckBox),
    TRENMOOR_OPERATION(showHideCheckBox),
    TRENMOOR_OPERATION(findButton),
    TRENMOOR_OPERATION(buttonInfo),
    TRENMOOR_OPERATION(countButtons),
    TRENMOOR_OPERATION(buttonIndex),
    TRENMOOR_OPERATION(focusButton),
    TRENMOOR_OPERATION(showHideButton),
    TRENMOOR_OPERATION(clickButton),
    TRENMOOR_OPERATION(findAdvancedButton),
    TRENMOOR_OPERATION(advancedButtonInfo),
    TRENMOOR_OPERATION(countAdvancedButtons),
    TRENMOOR_OPERATION(advancedButtonIndex),
    TRENMOOR_OPERATION(clickAdvancedButton),
    TRENMOOR_OPERATION(getAdvancedButtonHtml),
    TRENMOOR_OPERATION(focusAdvancedButton),
    TRENMOOR_OPERATION(showHideAdvancedButton),
    TRENMOOR_OPERATION(findImageButton),
    TRENMOOR_OPERATION(imageButtonInfo),
    TRENMOOR_OPERATION(countImageButtons),
    TRENMOOR_OPERATION(imageButtonIndex),
    TRENMOOR_OPERATION(clickImageButton),
    TRENMOOR_OPERATION(getImageButtonHtml),
    TRENMOOR_OPERATION(focusImageButton),
    TRENMOOR_OPERATION(findLink),
    TRENMOOR_OPERATION(countLinks),
    TRENMOOR_OPERATION(linkInfo),
    TRENMOOR_OPERATION(linkIndex),
    TRENMOOR_OPERATION(clickLink),
    TRENMOOR_OPERATION(getLinkHtml),
    TRENMOOR_OPERATION(getLinkText),
    TRENMOOR_OPERATION(focusLink),
    TRENMOOR_OPERATION(showHideLink),
    TRENMOOR_OPERATION(listLinks),
    TRENMOOR_OPERATION(selectCommand),
    TRENMOOR_OPERATION(listSelects),
    TRENMOOR_OPERATION(countSelects),
    TRENMOOR_OPERATION(getOptionCount),
    TRENMOOR_OPERATION(getOptionText),
    TRENMOOR_OPERATION(setOptionText),
    TRENMOOR_OPERATION(getOptionValue),
    TRENMOOR_OPERATION(setOptionValue),
    TRENMOOR_OPERATION(getSelectedIndex),
    TRENMOOR_OPERATION(selectOptionByIndex),
    TRENMOOR_OPERATION(selectOptionByText),
    TRENMOOR_OPERATION(focusSelect),
    TRENMOOR_OPERATION(showHideSelect),
    TRENMOOR_OPERATION(tableCommand),
    TRENMOOR_OPERATION(countTables),
    TRENMOOR_OPERATION(getTableText),
    TRENMOOR_OPERATION(getTableHtml),
    TRENMOOR_OPERATION(getRowCount),
    TRENMOOR_OPERATION(getRowCellCount),
    TRENMOOR_OPERATION(getCellText),
    TRENMOOR_OPERATION(setCellText),
    TRENMOOR_OPERATION(getCellHtml),
    TRENMOOR_OPERATION(getTableCellCount),
    TRENMOOR_OPERATION(findForm),
    TRENMOOR_OPERATION(submitForm),
    TRENMOOR_OPERATION(formIndex),
    TRENMOOR_OPERATION(getFormHtml),
    TRENMOOR_OPERATION(countForms),
    TRENMOOR_OPERATION(formInfo),
    TRENMOOR_OPERATION(findHiddenInput),
    TRENMOOR_OPERATION(countHiddenInputs),
    TRENMOOR_OPERATION(getHiddenInputValue),
    TRENMOOR_OPERATION(hiddenInputIndex),
    TRENMOOR_OPERATION(hiddenInputInfo),
    TRENMOOR_OPERATION(setHiddenInputValue),
    TRENMOOR_OPERATION(findDiv),
    TRENMOOR_OPERATION(countDivs),
    TRENMOOR_OPERATION(divInfo),
    TRENMOOR_OPERATION(getDivInnerHtml),
    TRENMOOR_OPERATION(setDivInnerHtml),
    TRENMOOR_OPERATION(getDivOuterHtml),
    TRENMOOR_OPERATION(divIndex),
    TRENMOOR_OPERATION(clickDiv),
    TRENMOOR_OPERATION(showHideDiv),
    TRENMOOR_OPERATION(countListItems),
    TRENMOOR_OPERATION(listItemIndex),
    TRENMOOR_OPERATION(clickListItem),
    TRENMOOR_OPERATION(getListItemHtml),
    TRENMOOR_OPERATION(findSpan),
    TRENMOOR_OPERATION(clickSpan),
    TRENMOOR_OPERATION(countSpans),
    TRENMOOR_OPERATION(spanIndex),
    TRENMOOR_OPERATION(spanInfo),
    TRENMOOR_OPERATION(getSpanInnerHtml),
    TRENMOOR_OPERATION(getSpanOuterHtml),
    TRENMOOR_OPERATION(setSpanInnerHtml),
    TRENMOOR_OPERATION(showHideSpan),
    TRENMOOR_OPERATION(setRedirectWarning),
    TRENMOOR_OPERATION(collectBrowserServerWindows),
    TRENMOOR_OPERATION(getInnerHtml),
    TRENMOOR_OPERATION(replaceDocument),
    TRENMOOR_OPERATION(getElementsByTag),
    TRENMOOR_OPERATION(getInnerText),
    TRENMOOR_OPERATION(setInnerHtml),
    TRENMOOR_OPERATION(setInnerText),
    TRENMOOR_OPERATION(showPopupTip),
    TRENMOOR_OPERATION(hidePopupTip),
    TRENMOOR_OPERATION(setOuterHtml),
    TRENMOOR_OPERATION(setOuterText),
    TRENMOOR_OPERATION(getOuterHtml),
    TRENMOOR_OPERATION(getOuterText),
    TRENMOOR_OPERATION(waitForPageText),
    TRENMOOR_OPERATION(waitForPageHtml),
};

#undef TRENMOOR_OPERATION

// The slot list: "<slot> <name>" lines in slot order, # starts a comment line.
std::map<std::string, int, std::less<>> readSlots() {
  std::map<std::string, int, std::less<>> slots;
  std::ifstream file(TRENMOOR_OPERATION_SLOTS);
  std::string line;
  int expected = 1;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int slot = 0;
    std::string name;
    fields >> slot >> name;
    EXPECT_EQ(slot, expected) << "the list skips or repeats a slot at: " << line;
    EXPECT_TRUE(slots.emplace(name, slot).second) << name << " is listed twice";
    expected = slot + 1;
  }
  return slots;
}

TEST(OperationSlots, DeclaredOperationsStandAtTheirSlotsInOrder) {
  const auto slots = readSlots();
  ASSERT_GT(slots.size(), std::size(kDeclared)) << "slot list not read from " << TRENMOOR_OPERATION_SLOTS;

  std::ptrdiff_t previousEntry = kFirstOperationEntry - 1;
  int previousSlot = 2;  // clean-up and copy come first
  std::string_view previousName = "copy";
  for (const DeclaredOperation& operation : kDeclared) {
    SCOPED_TRACE(std::string(operation.name));
    ASSERT_NE(operation.entry, -1) << "not a virtual operation";
    EXPECT_EQ(operation.entry, previousEntry + 1)
        << "the table holds another operation between " << previousName << " and this one, or they are "
        << "declared in another order than listed here";
    const auto slot = slots.find(operation.name);
    ASSERT_NE(slot, slots.end()) << "not in the slot list";
    EXPECT_GT(slot->second, previousSlot) << "declared after " << previousName << " (slot " << previousSlot
                                          << ") but its slot is " << slot->second;
    previousEntry = operation.entry;
    previousSlot = slot->second;
    previousName = operation.name;
  }
}

}  // namespace
}  // namespace trenmoor
