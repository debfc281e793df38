#include "standin/html/element_editing.h"

#include <vector>

#include "standin/html/collection.h"
#include "standin/html/event_dispatch.h"
#include "standin/html/form_controls.h"
#include "standin/html/html_parser.h"
#include "standin/html/tag_table.h"
#include "standin/html/window_object.h"

namespace trenmoor::html {
namespace {

bool refusesContent(const Element& e) { return e.info().has(kVoid) || e.info().has(kRefusesContentWrite); }

bool refusesOuter(const Element& e) {
  return e.info().has(kRefusesOuterWrite) || !e.parentElement();
}

std::vector<Ref<Node>> contentNodes(const Element& context, std::u16string_view content, Markup kind) {
  if (kind == Markup::Html) return parseFragment(context.context(), context.localName(), content);
  std::vector<Ref<Node>> nodes;
  if (!content.empty())
    nodes.emplace_back(CharacterNode::create(NodeType::Text, context.context(), std::u16string(content)).get());
  return nodes;
}

void insertNodes(Node& parent, Node* before, std::vector<Ref<Node>>& nodes) {
  for (auto& node : nodes) parent.insertBefore(node.get(), before);
  for (auto& node : nodes) announceInsertedFrames(node.get());
}

bool replaceContent(Element& e, std::u16string_view content, Markup kind) {
  if (refusesContent(e)) return false;
  std::vector<Ref<Node>> nodes = contentNodes(e, content, kind);
  e.removeAllChildren();
  insertNodes(e, nullptr, nodes);
  return true;
}

bool replaceElement(Element& e, std::u16string_view content, Markup kind) {
  if (refusesOuter(e)) return false;
  Ref<Element> keep(&e);
  Element& parent = *e.parentElement();
  std::vector<Ref<Node>> nodes = contentNodes(parent, content, kind);
  insertNodes(parent, &e, nodes);
  parent.removeChild(&e);
  return true;
}

}  // namespace

bool setInnerMarkup(Element& e, std::u16string_view markup) { return replaceContent(e, markup, Markup::Html); }
bool setInnerText(Element& e, std::u16string_view text) {
  if (e.kind() == TagKind::TextArea || e.kind() == TagKind::Title || e.kind() == TagKind::Style ||
      e.kind() == TagKind::Option) {
    // Elements that hold plain text take it even where markup writes are refused.
    e.removeAllChildren();
    if (!text.empty()) e.appendChild(CharacterNode::create(NodeType::Text, e.context(), std::u16string(text)).get());
    return true;
  }
  return replaceContent(e, text, Markup::Text);
}
bool replaceWithMarkup(Element& e, std::u16string_view markup) { return replaceElement(e, markup, Markup::Html); }
bool replaceWithText(Element& e, std::u16string_view text) { return replaceElement(e, text, Markup::Text); }

bool insertAdjacent(Element& e, std::u16string_view where, std::u16string_view content, Markup kind) {
  bool outside = memberNameEquals(where, "beforeBegin") || memberNameEquals(where, "afterEnd");
  bool inside = memberNameEquals(where, "afterBegin") || memberNameEquals(where, "beforeEnd");
  if (outside ? refusesOuter(e) : !inside || refusesContent(e)) return false;
  Ref<Element> keep(&e);
  if (outside) {
    Element& parent = *e.parentElement();
    std::vector<Ref<Node>> nodes = contentNodes(parent, content, kind);
    insertNodes(parent, memberNameEquals(where, "beforeBegin") ? &e : e.nextSibling(), nodes);
  } else {
    std::vector<Ref<Node>> nodes = contentNodes(e, content, kind);
    insertNodes(e, memberNameEquals(where, "afterBegin") ? e.firstChild() : nullptr, nodes);
  }
  return true;
}

std::int32_t sourceIndex(const Element& e) {
  const Document* d = e.document();
  if (!d || !d->contains(&e)) return -1;
  std::int32_t index = 0;
  for (const Node* n = d->firstChild(); n; n = n->nextInScope(d)) {
    if (n == &e) return index;
    if (n->isElement()) ++index;
  }
  return -1;
}

void setAttributeFromPage(Element& e, std::u16string_view name, std::u16string value) {
  if (name.size() > 2 && memberNameEquals(name.substr(0, 2), "on")) {
    if (EventHandlers* handlers = e.handlersIfAny()) handlers->forgetAssigned(name);
  }
  e.setAttribute(name, std::move(value));
  if ((e.kind() == TagKind::Frame || e.kind() == TagKind::IFrame) && memberNameEquals(name, "src")) {
    Document* d = e.document();
    if (d && d->contains(&e)) announceInsertedFrames(&e);
  }
}

std::u16string tagFilterName(std::u16string_view tag) {
  return tag == u"*" ? std::u16string() : asciiLower(tag);
}

}  // namespace trenmoor::html
