// State of form controls: input types and values, checked and selected states, select
// indexes, and form submission.
#pragma once

#include <cstdint>
#include <string>

#include "standin/html/dom.h"

namespace trenmoor::html {

// The form an element belongs to: its nearest form ancestor, or null.
Element* formOwner(const Element& e);

// Input type in lower case; missing or unknown types read "text".
std::u16string inputType(const Element& input);
// Button type in lower case: "submit" unless "button" or "reset".
std::u16string buttonType(const Element& button);

// value of an input (its property once written, else its attribute; check boxes and radio
// buttons default to "on") or of a select (the selected option's value).
std::u16string controlValue(const Element& e);
// False for file inputs, which a page may not fill. A select takes the first option whose
// value equals; none equal leaves no option selected.
bool setControlValue(Element& e, std::u16string value);

bool isChecked(const Element& input);
// Choosing a radio button clears the others of its group (same name, same form).
void setChecked(Element& input, bool on);
// A value written to checked: logicals and numbers; texts "checked" and "true" (true), "" and
// "false" (false), or a number. Other texts are refused (false).
bool checkedFromVariant(const Variant& value, bool& on);

std::u16string optionValue(const Element& option);
bool isSelected(const Element& option);
void setSelected(Element& option, bool on);
std::int32_t optionIndex(const Element& option);
// The first selected option's index; a single-choice select with options and no choice made
// reads its last option marked selected, else 0. -1 when none.
std::int32_t selectedIndex(const Element& select);
// -1, or any index outside the options, leaves no option selected; the write is still
// accepted (a page reading selectedIndex back then sees -1), as the classic engine does.
void setSelectedIndex(Element& select, std::int32_t index);

// The form's method in lower case ("get" unless "post").
std::u16string formMethod(const Element& form);
// Builds the form data (application/x-www-form-urlencoded, in the page's character set) and
// asks the host to navigate; false without a document or host.
bool submitForm(Element& form, const Element* submitter);
void resetForm(Element& form);

}  // namespace trenmoor::html
