// What elements do when clicked, focused or submitted, with the page's handlers: a click fires
// onclick (bubbling) and then, unless a handler cancelled it, the default action; focus moves
// the document's active element and fires onblur and onfocus.
#pragma once

#include <span>

#include "standin/html/dom.h"

namespace trenmoor::html {

void clickElement(Element& e);
// The default action of a click: a link navigates to its href through the host (its target
// names the window; a javascript: address runs in the page instead); a check box toggles; a
// radio button becomes checked; a submit or image input or a submit button submits its form
// (onsubmit first); a reset control resets it; a file input asks for a file in the open-file
// dialog of the common-dialog library and takes the chosen path as its value (firing onchange).
void activate(Element& e);
void focusElement(Element& e);
void blurElement(Element& e);
// Submits `form` as pressing `submitter` does: onsubmit runs first and may cancel.
void submitWithHandler(Element& form, const Element* submitter);
// fireEvent(name, [event object]): runs the handler of the event named with "on" ("onclick"),
// without default action. False when a handler cancelled it or the name is not an event's.
bool fireEventFromCall(Node& target, std::span<const Variant> arguments);

}  // namespace trenmoor::html
