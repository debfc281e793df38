// Events of the page: handlers of the on... properties (assigned by scripts or the driver, or
// compiled from attribute text on first use), the event object scripts see as window.event,
// and dispatch with bubbling and cancellation.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "standin/html/dom.h"
#include "standin/html/member_arguments.h"
#include "standin/html/member_table.h"

namespace trenmoor::html {

class WindowObject;

// The handlers of one element, document or window, by property name ("onclick").
class EventHandlers {
 public:
  struct Entry {
    std::u16string name;       // lower case
    Variant value;             // a function object, or empty
    bool assigned = false;     // set through the property (wins over the attribute)
    bool compiled = false;     // value was compiled from `compiledText`
    std::u16string compiledText;
  };
  Entry* find(std::u16string_view name);
  Entry& slot(std::u16string_view name);
  // The attribute of that name changed: it takes effect again.
  void forgetAssigned(std::u16string_view name);

 private:
  std::vector<Entry> entries_;
};

// What a script sees as window.event while a handler runs.
class EventObject final : public TableDispatch<EventObject> {
 public:
  static Ref<EventObject> create(std::u16string type, Element* source);

  std::u16string type;
  Ref<Element> srcElement;
  Variant returnValue;   // false cancels the default action
  bool cancelBubble = false;
  std::int32_t keyCode = 0;
  std::int32_t button = 0;
  std::int32_t clientX = 0, clientY = 0;
  bool shiftKey = false, ctrlKey = false, altKey = false;

  bool cancelled() const;

  static const MemberTable<EventObject>& members();

 private:
  EventObject() = default;
};

// Runs the handlers of event `type` ("click") from `target` up through its ancestors and the
// document when the event bubbles (click, mouse and key events, contextmenu, selectstart,
// dragstart), until a handler sets cancelBubble. `model` (may be null) gives key code, button
// and modifier keys. True unless a handler cancelled the event (returned false or set
// returnValue to false).
bool dispatchEvent(Node& target, std::u16string_view type, const EventObject* model = nullptr);
// The window's handler (onload, ...), with the window as this.
bool dispatchWindowEvent(Document& document, std::u16string_view type);

// The handler behind a property, compiling attribute text on first use; empty when none.
Variant handlerValue(Element& element, std::u16string_view name);
Variant handlerValue(Document& document, std::u16string_view name);
Variant handlerValue(WindowObject& window, std::u16string_view name);
// Assigns a handler property: a function object, a text (compiled as the handler's body) or
// empty (clears it). False for other values, text that does not compile, or no document.
bool assignHandler(Element& element, std::u16string_view name, const Variant& value);
bool assignHandler(Document& document, std::u16string_view name, const Variant& value);
bool assignHandler(WindowObject& window, std::u16string_view name, const Variant& value);

// "INPUT#id" or "INPUT" for error sources.
std::u16string describeElement(const Element& element);

template <typename Self, FixedString Name>
bool readHandlerMember(Self& self, Variant& result) {
  result = handlerValue(self, Name.view());
  return true;
}
template <typename Self, FixedString Name>
bool writeHandlerMember(Self& self, const Variant& value) {
  return assignHandler(self, Name.view(), value);
}

#define TRENMOOR_HANDLER(name) {name, readHandlerMember<Self, u##name>, writeHandlerMember<Self, u##name>}
// Handler properties of elements and of the document.
template <typename Self>
constexpr Member<Self> kHandlerMembers[] = {
    TRENMOOR_HANDLER("onclick"),       TRENMOOR_HANDLER("ondblclick"),    TRENMOOR_HANDLER("onmousedown"),
    TRENMOOR_HANDLER("onmouseup"),     TRENMOOR_HANDLER("onmouseover"),   TRENMOOR_HANDLER("onmouseout"),
    TRENMOOR_HANDLER("onmousemove"),   TRENMOOR_HANDLER("onkeydown"),     TRENMOOR_HANDLER("onkeyup"),
    TRENMOOR_HANDLER("onkeypress"),    TRENMOOR_HANDLER("onchange"),      TRENMOOR_HANDLER("onsubmit"),
    TRENMOOR_HANDLER("onreset"),       TRENMOOR_HANDLER("onfocus"),       TRENMOOR_HANDLER("onblur"),
    TRENMOOR_HANDLER("onselect"),      TRENMOOR_HANDLER("onselectstart"), TRENMOOR_HANDLER("oncontextmenu"),
    TRENMOOR_HANDLER("ondragstart"),   TRENMOOR_HANDLER("oninput"),       TRENMOOR_HANDLER("onload"),
    TRENMOOR_HANDLER("onerror"),       TRENMOOR_HANDLER("onscroll"),      TRENMOOR_HANDLER("onpaste"),
};
// Handler properties of the window.
template <typename Self>
constexpr Member<Self> kWindowHandlerMembers[] = {
    TRENMOOR_HANDLER("onload"),   TRENMOOR_HANDLER("onunload"), TRENMOOR_HANDLER("onbeforeunload"),
    TRENMOOR_HANDLER("onerror"),  TRENMOOR_HANDLER("onresize"), TRENMOOR_HANDLER("onscroll"),
    TRENMOOR_HANDLER("onfocus"),  TRENMOOR_HANDLER("onblur"),
};
#undef TRENMOOR_HANDLER

}  // namespace trenmoor::html
