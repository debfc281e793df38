#include "standin/html/event_dispatch.h"

#include "platform/text.h"
#include "standin/html/script_engine.h"
#include "standin/html/tag_table.h"
#include "standin/html/window_object.h"

namespace trenmoor::html {

// --- handler storage -------------------------------------------------------------------------

EventHandlers::Entry* EventHandlers::find(std::u16string_view name) {
  for (auto& entry : entries_)
    if (memberNameEquals(entry.name, name)) return &entry;
  return nullptr;
}

EventHandlers::Entry& EventHandlers::slot(std::u16string_view name) {
  if (Entry* entry = find(name)) return *entry;
  entries_.push_back(Entry{asciiLower(name), Variant(), false, false, {}});
  return entries_.back();
}

void EventHandlers::forgetAssigned(std::u16string_view name) {
  if (Entry* entry = find(name)) *entry = Entry{entry->name, Variant(), false, false, {}};
}

EventHandlers& Element::handlers() {
  if (!handlers_) handlers_ = std::make_unique<EventHandlers>();
  return *handlers_;
}

EventHandlers& Document::handlers() {
  if (!handlers_) handlers_ = std::make_unique<EventHandlers>();
  return *handlers_;
}

EventHandlers& Document::windowHandlers() {
  if (!windowHandlers_) windowHandlers_ = std::make_unique<EventHandlers>();
  return *windowHandlers_;
}

std::u16string describeElement(const Element& element) {
  std::u16string text = element.tagName();
  if (const std::u16string* id = element.attribute(u"id"); id && !id->empty()) text += u"#" + *id;
  return text;
}

namespace {

bool isFunction(const Variant& value) { return value.object() && *value.object(); }

Variant assignedOrEmpty(EventHandlers* handlers, std::u16string_view name, bool& assigned) {
  EventHandlers::Entry* entry = handlers ? handlers->find(name) : nullptr;
  assigned = entry && entry->assigned;
  return assigned ? entry->value : Variant();
}

bool assignTo(EventHandlers& handlers, Document* owner, std::u16string_view name, const Variant& value,
              std::u16string_view source) {
  Variant stored;
  if (const std::u16string* text = value.string(); text && !text->empty()) {
    ScriptEngine* engine = owner ? owner->scripts() : nullptr;
    DispatchRef compiled = engine ? engine->compileHandler(*text, source) : DispatchRef();
    if (!compiled) return false;
    stored = Variant(std::move(compiled));
  } else if (isFunction(value)) {
    stored = value;
  } else if (!value.isEmpty() && !value.string()) {
    return false;
  }
  EventHandlers::Entry& entry = handlers.slot(name);
  entry.value = std::move(stored);
  entry.assigned = true;
  entry.compiled = false;
  return true;
}

bool bubbles(std::u16string_view type) {
  static constexpr std::u16string_view kBubbling[] = {
      u"click",     u"dblclick", u"mousedown", u"mouseup",     u"mouseover",   u"mouseout",  u"mousemove",
      u"keydown",   u"keyup",    u"keypress",  u"contextmenu", u"selectstart", u"dragstart"};
  for (auto name : kBubbling)
    if (name == type) return true;
  return false;
}

}  // namespace

Variant handlerValue(Element& element, std::u16string_view name) {
  bool assigned = false;
  Variant value = assignedOrEmpty(element.handlersIfAny(), name, assigned);
  if (assigned) return value;
  const std::u16string* text = element.attribute(name);
  if (!text) return {};
  EventHandlers::Entry& entry = element.handlers().slot(name);
  if (entry.compiled && entry.compiledText == *text) return entry.value;
  Document* document = element.document();
  ScriptEngine* engine = document ? document->scripts() : nullptr;
  if (!engine) return {};
  std::u16string source = entry.name + u" of " + describeElement(element);
  std::u16string body = *text;
  DispatchRef compiled = engine->compileHandler(body, source);
  EventHandlers::Entry& fresh = element.handlers().slot(name);
  fresh.value = compiled ? Variant(std::move(compiled)) : Variant();
  fresh.compiled = true;
  fresh.compiledText = std::move(body);
  return fresh.value;
}

Variant handlerValue(Document& document, std::u16string_view name) {
  bool assigned = false;
  return assignedOrEmpty(document.handlersIfAny(), name, assigned);
}

// A window handler not assigned through the window comes from the body (<body onload=...>).
Variant handlerValue(WindowObject& window, std::u16string_view name) {
  Document* document = window.visibleDocument();
  if (!document) return {};
  bool assigned = false;
  Variant value = assignedOrEmpty(&document->windowHandlers(), name, assigned);
  if (assigned) return value;
  Element* body = document->body();
  return body ? handlerValue(*body, name) : Variant();
}

bool assignHandler(Element& element, std::u16string_view name, const Variant& value) {
  return assignTo(element.handlers(), element.document(), name, value, std::u16string(name) + u" of " + describeElement(element));
}

bool assignHandler(Document& document, std::u16string_view name, const Variant& value) {
  return assignTo(document.handlers(), &document, name, value, u"document." + std::u16string(name));
}

bool assignHandler(WindowObject& window, std::u16string_view name, const Variant& value) {
  Document* document = window.visibleDocument();
  return document && assignTo(document->windowHandlers(), document, name, value, u"window." + std::u16string(name));
}

// --- the event object -------------------------------------------------------------------------

Ref<EventObject> EventObject::create(std::u16string type, Element* source) {
  Ref<EventObject> event(new EventObject());
  event->type = std::move(type);
  event->srcElement = Ref<Element>(source);
  return event;
}

bool EventObject::cancelled() const {
  const bool* logical = returnValue.logical();
  return logical && !*logical;
}

namespace {

using V = EventObject;

template <std::int32_t EventObject::*Field>
constexpr Member<V> numberMember(std::string_view name) {
  return {name, [](V& e, Variant& r) { r = e.*Field; return true; },
          [](V& e, const Variant& v) { e.*Field = truncatedInteger(v.toNumber()); return true; }};
}
template <bool EventObject::*Field>
constexpr Member<V> flagMember(std::string_view name) {
  return {name, [](V& e, Variant& r) { r = e.*Field; return true; },
          [](V& e, const Variant& v) { e.*Field = v.toLogical(); return true; }};
}

constexpr Member<V> kEventMembers[] = {
    {"type", [](V& e, Variant& r) { r = e.type; return true; }},
    {"srcElement", [](V& e, Variant& r) { r = objectResult(e.srcElement.get()); return true; }},
    {"target", [](V& e, Variant& r) { r = objectResult(e.srcElement.get()); return true; }},
    {"returnValue", [](V& e, Variant& r) { r = e.returnValue; return true; },
     [](V& e, const Variant& v) {
       if (v.isEmpty()) e.returnValue = Variant();
       else e.returnValue = v.toLogical();
       return true;
     }},
    flagMember<&EventObject::cancelBubble>("cancelBubble"),
    numberMember<&EventObject::keyCode>("keyCode"),
    numberMember<&EventObject::button>("button"),
    numberMember<&EventObject::clientX>("clientX"),
    numberMember<&EventObject::clientY>("clientY"),
    flagMember<&EventObject::shiftKey>("shiftKey"),
    flagMember<&EventObject::ctrlKey>("ctrlKey"),
    flagMember<&EventObject::altKey>("altKey"),
    {"preventDefault", nullptr, nullptr,
     [](V& e, std::span<const Variant>, Variant&) { e.returnValue = false; return true; }},
    {"stopPropagation", nullptr, nullptr,
     [](V& e, std::span<const Variant>, Variant&) { e.cancelBubble = true; return true; }},
};

}  // namespace

const MemberTable<EventObject>& EventObject::members() {
  static const MemberTable<EventObject> table{kEventMembers};
  return table;
}


// --- dispatch ---------------------------------------------------------------------------------

namespace {

// Runs one handler with the event current; true when it returned false.
bool runHandler(const Variant& handler, Dispatch* self, EventObject& event, std::u16string_view source) {
  Variant argument{DispatchRef(&event)};
  Variant result;
  callFunction(handler, self, std::span<const Variant>(&argument, 1), result, source);
  const bool* logical = result.logical();
  return logical && !*logical;
}

class CurrentEvent {
 public:
  CurrentEvent(Document& document, Ref<EventObject> event) : document_(&document) {
    document_->eventStack.push_back(std::move(event));
  }
  ~CurrentEvent() { document_->eventStack.pop_back(); }
  CurrentEvent(const CurrentEvent&) = delete;
  CurrentEvent& operator=(const CurrentEvent&) = delete;

 private:
  Ref<Document> document_;
};

}  // namespace

bool dispatchEvent(Node& target, std::u16string_view type, const EventObject* model) {
  Document* document = target.document();
  if (!document || document->scriptsShutDown()) return true;
  // The path is fixed before any handler runs: handlers may move or remove nodes.
  std::vector<Ref<Node>> path;
  for (Node* n = &target; n; n = bubbles(type) ? n->parent() : nullptr) path.emplace_back(n);
  Ref<EventObject> event = EventObject::create(std::u16string(type), target.asElement());
  if (model) {
    event->keyCode = model->keyCode;
    event->button = model->button;
    event->clientX = model->clientX;
    event->clientY = model->clientY;
    event->shiftKey = model->shiftKey;
    event->ctrlKey = model->ctrlKey;
    event->altKey = model->altKey;
  }
  CurrentEvent current(*document, event);
  std::u16string name = u"on" + std::u16string(type);
  bool returnedFalse = false;
  for (auto& node : path) {
    Variant handler;
    std::u16string source;
    if (Element* element = node->asElement()) {
      handler = handlerValue(*element, name);
      if (isFunction(handler)) source = name + u" of " + describeElement(*element);
    } else if (node->nodeType() == NodeType::Document) {
      handler = handlerValue(static_cast<Document&>(*node), name);
      source = u"document." + name;
    }
    if (isFunction(handler) && runHandler(handler, node.get(), *event, source)) returnedFalse = true;
    if (event->cancelBubble) break;
  }
  return !returnedFalse && !event->cancelled();
}

bool dispatchWindowEvent(Document& document, std::u16string_view type) {
  if (document.scriptsShutDown()) return true;
  Ref<Document> keep(&document);
  Ref<WindowObject> window = document.window();
  std::u16string name = u"on" + std::u16string(type);
  Variant handler = handlerValue(*window, name);
  if (!isFunction(handler)) return true;
  Ref<EventObject> event = EventObject::create(std::u16string(type), nullptr);
  CurrentEvent current(document, event);
  bool returnedFalse = runHandler(handler, window.get(), *event, u"window." + name);
  return !returnedFalse && !event->cancelled();
}

}  // namespace trenmoor::html
