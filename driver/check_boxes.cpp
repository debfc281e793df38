// Check boxes: inputs of type checkbox. A red bracketed [复N] follows each when they are labelled.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr std::string_view kCheckBoxInfo[] = {"title", "name", "id", "type"};
constexpr ElementFamily kCheckBoxes{&PageDriver::findCheckBox, &PageDriver::lookupInput, "checkbox",
                                    &markThrough<&PageDriver::markInputsAfter>, &ansiLiteral<"复选框">,
                                    kCheckBoxInfo};

}  // namespace

TRENMOOR_CHECKABLE_INPUT_OPERATIONS(kCheckBoxes, findCheckBox, isCheckBoxChecked, countCheckBoxes, checkBoxIndex,
                                    checkBoxInfo, checkCheckBox, uncheckCheckBox, focusCheckBox, showHideCheckBox)

}  // namespace trenmoor
