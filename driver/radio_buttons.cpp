// Radio buttons: inputs of type radio. A red bracketed [单N] follows each when they are labelled.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr std::string_view kRadioInfo[] = {"title", "name", "id", "type"};
constexpr ElementFamily kRadios{&PageDriver::findRadio, &PageDriver::lookupInput, "radio",
                                &markThrough<&PageDriver::markInputsAfter>, &ansiLiteral<"单选框">, kRadioInfo};

}  // namespace

TRENMOOR_CHECKABLE_INPUT_OPERATIONS(kRadios, findRadio, isRadioChecked, countRadios, radioIndex, radioInfo,
                                    checkRadio, uncheckRadio, focusRadio, showHideRadio)

}  // namespace trenmoor
