// Member tables of elements and of text and comment nodes.
#include <algorithm>

#include "platform/text.h"
#include "standin/html/collection.h"
#include "standin/html/control_range.h"
#include "standin/html/document_host.h"
#include "standin/html/element_activation.h"
#include "standin/html/element_editing.h"
#include "standin/html/event_dispatch.h"
#include "standin/html/form_controls.h"
#include "standin/html/markup_writer.h"
#include "standin/html/member_arguments.h"
#include "standin/html/style_object.h"
#include "standin/html/style_sheet.h"
#include "standin/html/tag_table.h"
#include "standin/html/text_range.h"
#include "standin/html/window_object.h"

namespace trenmoor::html {

Node* nodeArgument(const Variant* value) {
  if (!value) return nullptr;
  const DispatchRef* object = value->object();
  return object && *object ? dynamic_cast<Node*>(object->get()) : nullptr;
}

std::int32_t leadingNumber(std::u16string_view text) { return leadingInteger(wideToAnsi(text)); }

namespace {

using E = Element;
using M = Member<Element>;

// --- members of every node ---------------------------------------------------------------------

template <typename N>
constexpr Member<N> kNodeMembers[] = {
    {"nodeType", [](N& n, Variant& r) { r = static_cast<std::int32_t>(n.nodeType()); return true; }},
    {"parentNode", [](N& n, Variant& r) { r = objectResult(n.parent()); return true; }},
    {"parentElement", [](N& n, Variant& r) { r = objectResult(n.parentElement()); return true; }},
    {"nextSibling", [](N& n, Variant& r) { r = objectResult(n.nextSibling()); return true; }},
    {"previousSibling", [](N& n, Variant& r) { r = objectResult(n.previousSibling()); return true; }},
    {"firstChild", [](N& n, Variant& r) { r = objectResult(n.firstChild()); return true; }},
    {"lastChild", [](N& n, Variant& r) { r = objectResult(n.lastChild()); return true; }},
    {"ownerDocument", [](N& n, Variant& r) { r = objectResult(n.document()); return true; }},
    {"document", [](N& n, Variant& r) { r = objectResult(n.document()); return true; }},
    {"childNodes",
     [](N& n, Variant& r) {
       r = Collection::create(Ref<Node>(&n), CollectionFilter::ChildNodes).dispatch();
       return true;
     }},
    {"hasChildNodes", nullptr, nullptr,
     [](N& n, std::span<const Variant>, Variant& r) { r = n.firstChild() != nullptr; return true; }},
};

// --- text and comment nodes --------------------------------------------------------------------

using C = CharacterNode;
constexpr Member<C> kCharacterMembers[] = {
    {"nodeName",
     [](C& n, Variant& r) { r = n.nodeType() == NodeType::Text ? u"#text" : u"#comment"; return true; }},
    {"data", [](C& n, Variant& r) { r = n.data(); return true; },
     [](C& n, const Variant& v) { n.setData(v.toString()); return true; }},
    {"nodeValue", [](C& n, Variant& r) { r = n.data(); return true; },
     [](C& n, const Variant& v) { n.setData(v.toString()); return true; }},
    {"length", [](C& n, Variant& r) { r = static_cast<std::int32_t>(n.data().size()); return true; }},
};

const MemberTable<C>& characterTable() {
  static const MemberTable<C> table{kCharacterMembers, kNodeMembers<C>};
  return table;
}

// --- every element ------------------------------------------------------------------------------

bool readInnerText(E& e, Variant& r) {
  r = renderedText(e);
  return true;
}

bool insertAdjacent(E& e, std::span<const Variant> a, Variant& r, Markup kind) {
  bool done = insertAdjacent(e, argumentText(a, 0), argumentText(a, 1), kind);
  r = done;
  return done;
}

constexpr M kElementMembers[] = {
    {"tagName", [](E& e, Variant& r) { r = e.tagName(); return true; }},
    {"nodeName", [](E& e, Variant& r) { r = e.tagName(); return true; }},
    {"id", readAttribute<u"id">, writeAttribute<u"id">},
    {"className", readAttribute<u"class">, writeAttribute<u"class">},
    {"name", readAttribute<u"name">, writeAttribute<u"name">},
    {"title", readAttribute<u"title">, writeAttribute<u"title">},
    {"lang", readAttribute<u"lang">, writeAttribute<u"lang">},
    {"dir", readAttribute<u"dir">, writeAttribute<u"dir">},
    {"accessKey", readAttribute<u"accesskey">, writeAttribute<u"accesskey">},
    {"innerText", readInnerText,
     [](E& e, const Variant& v) { return setInnerText(e, v.toString()); }},
    {"outerText", readInnerText,
     [](E& e, const Variant& v) { return replaceWithText(e, v.toString()); }},
    {"textContent", [](E& e, Variant& r) { r = textContent(e); return true; },
     [](E& e, const Variant& v) { return setInnerText(e, v.toString()); }},
    {"innerHTML", [](E& e, Variant& r) { r = innerMarkup(e); return true; },
     [](E& e, const Variant& v) { return setInnerMarkup(e, v.toString()); }},
    {"outerHTML", [](E& e, Variant& r) { r = outerMarkup(e); return true; },
     [](E& e, const Variant& v) { return replaceWithMarkup(e, v.toString()); }},
    {"sourceIndex", [](E& e, Variant& r) { r = sourceIndex(e); return true; }},
    {"style", [](E& e, Variant& r) { r = StyleObject::of(e).dispatch(); return true; }},
    {"all",
     [](E& e, Variant& r) {
       r = Collection::create(Ref<Node>(&e), CollectionFilter::AllElements).dispatch();
       return true;
     }},
    {"children",
     [](E& e, Variant& r) {
       r = Collection::create(Ref<Node>(&e), CollectionFilter::Children).dispatch();
       return true;
     }},
    {"getAttribute", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) {
       const std::u16string* value = e.attribute(argumentText(a, 0));
       r = value ? Variant(*value) : Variant();
       return true;
     }},
    {"setAttribute", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant&) {
       std::u16string name = argumentText(a, 0);
       if (name.empty()) return false;
       setAttributeFromPage(e, name, argumentText(a, 1));
       return true;
     }},
    {"removeAttribute", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) {
       r = e.removeAttribute(argumentText(a, 0));
       return true;
     }},
    {"hasAttribute", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) { r = e.hasAttribute(argumentText(a, 0)); return true; }},
    {"getElementsByTagName", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) {
       r = Collection::create(Ref<Node>(&e), CollectionFilter::AllElements, tagFilterName(argumentText(a, 0))).dispatch();
       return true;
     }},
    {"insertAdjacentHTML", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) { return insertAdjacent(e, a, r, Markup::Html); }},
    {"insertAdjacentText", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) { return insertAdjacent(e, a, r, Markup::Text); }},
    {"appendChild", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) {
       Node* child = nodeArgument(argument(a, 0));
       if (!child || child->contains(&e) || child->nodeType() == NodeType::Document) return false;
       e.appendChild(child);
       announceInsertedFrames(child);
       r = objectResult(child);
       return true;
     }},
    {"removeChild", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) {
       Node* child = nodeArgument(argument(a, 0));
       if (!child || child->parent() != &e) return false;
       r = objectResult(child);
       e.removeChild(child);
       return true;
     }},
    {"contains", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) {
       Node* other = nodeArgument(argument(a, 0));
       r = other != nullptr && e.contains(other);
       return true;
     }},
    {"focus", nullptr, nullptr,
     [](E& e, std::span<const Variant>, Variant&) {
       focusElement(e);
       return true;
     }},
    {"blur", nullptr, nullptr,
     [](E& e, std::span<const Variant>, Variant&) {
       blurElement(e);
       return true;
     }},
    {"click", nullptr, nullptr,
     [](E& e, std::span<const Variant>, Variant&) {
       clickElement(e);
       return true;
     }},
    {"fireEvent", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) {
       r = fireEventFromCall(e, a);
       return true;
     }},
    {"currentStyle", [](E& e, Variant& r) { r = CurrentStyle::create(Ref<Element>(&e)).dispatch(); return true; }},
};

// --- specialised kinds ----------------------------------------------------------------------------

bool readForm(E& e, Variant& r) {
  r = objectResult(formOwner(e));
  return true;
}

constexpr M kInputMembers[] = {
    {"type", [](E& e, Variant& r) { r = inputType(e); return true; },
     [](E& e, const Variant& v) { e.setAttribute(u"type", v.toString()); return true; }},
    {"value", [](E& e, Variant& r) { r = controlValue(e); return true; },
     [](E& e, const Variant& v) { return setControlValue(e, v.toString()); }},
    {"defaultValue", readAttribute<u"value">, writeAttribute<u"value">},
    {"checked", [](E& e, Variant& r) { r = isChecked(e); return true; },
     [](E& e, const Variant& v) {
       bool on = false;
       return checkedFromVariant(v, on) && (setChecked(e, on), true);
     }},
    {"defaultChecked", readFlag<u"checked">, writeFlag<u"checked">},
    {"disabled", readFlag<u"disabled">, writeFlag<u"disabled">},
    {"readOnly", readFlag<u"readonly">, writeFlag<u"readonly">},
    {"size", readNumber<u"size">, writeNumber<u"size">},
    {"maxLength", [](E& e, Variant& r) {
       r = e.hasAttribute(u"maxlength") ? leadingNumber(e.attributeOr(u"maxlength")) : 2147483647;
       return true;
     }, writeNumber<u"maxlength">},
    {"src", readAddress<u"src">, writeAttribute<u"src">},
    {"alt", readAttribute<u"alt">, writeAttribute<u"alt">},
    {"width", readNumber<u"width">, writeNumber<u"width">},
    {"height", readNumber<u"height">, writeNumber<u"height">},
    {"form", readForm},
    {"select", nullptr, nullptr, [](E&, std::span<const Variant>, Variant&) { return true; }},
};

constexpr M kButtonMembers[] = {
    {"type", [](E& e, Variant& r) { r = buttonType(e); return true; },
     [](E& e, const Variant& v) { e.setAttribute(u"type", v.toString()); return true; }},
    {"value", readAttribute<u"value">, writeAttribute<u"value">},
    {"disabled", readFlag<u"disabled">, writeFlag<u"disabled">},
    {"form", readForm},
};

constexpr M kTextAreaMembers[] = {
    {"type", [](E&, Variant& r) { r = u"textarea"; return true; }},
    {"value", [](E& e, Variant& r) { r = textContent(e); return true; },
     [](E& e, const Variant& v) { return setInnerText(e, v.toString()); }},
    {"defaultValue", [](E& e, Variant& r) { r = textContent(e); return true; }},
    {"disabled", readFlag<u"disabled">, writeFlag<u"disabled">},
    {"readOnly", readFlag<u"readonly">, writeFlag<u"readonly">},
    {"rows", readNumber<u"rows">, writeNumber<u"rows">},
    {"cols", readNumber<u"cols">, writeNumber<u"cols">},
    {"form", readForm},
    {"select", nullptr, nullptr, [](E&, std::span<const Variant>, Variant&) { return true; }},
};

constexpr M kSelectMembers[] = {
    {"type", [](E& e, Variant& r) {
       r = e.hasAttribute(u"multiple") ? u"select-multiple" : u"select-one";
       return true;
     }},
    {"value", [](E& e, Variant& r) { r = controlValue(e); return true; },
     [](E& e, const Variant& v) { return setControlValue(e, v.toString()); }},
    {"selectedIndex", [](E& e, Variant& r) { r = selectedIndex(e); return true; },
     [](E& e, const Variant& v) {
       setSelectedIndex(e, truncatedInteger(v.toNumber()));
       return true;
     }},
    {"options",
     [](E& e, Variant& r) {
       r = Collection::create(Ref<Node>(&e), CollectionFilter::Options).dispatch();
       return true;
     }},
    {"length",
     [](E& e, Variant& r) {
       r = static_cast<std::int32_t>(Collection::create(Ref<Node>(&e), CollectionFilter::Options)->length());
       return true;
     }},
    {"item", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) {
       return Collection::create(Ref<Node>(&e), CollectionFilter::Options)->invoke(u"item", a, r);
     }},
    {"multiple", readFlag<u"multiple">, writeFlag<u"multiple">},
    {"disabled", readFlag<u"disabled">, writeFlag<u"disabled">},
    {"size", readNumber<u"size">, writeNumber<u"size">},
    {"form", readForm},
};

constexpr M kOptionMembers[] = {
    {"value", [](E& e, Variant& r) { r = optionValue(e); return true; }, writeAttribute<u"value">},
    {"text", [](E& e, Variant& r) { r = collapsedText(textContent(e)); return true; },
     [](E& e, const Variant& v) { return setInnerText(e, v.toString()); }},
    {"label", [](E& e, Variant& r) { r = e.attributeOr(u"label", collapsedText(textContent(e))); return true; }},
    {"selected", [](E& e, Variant& r) { r = isSelected(e); return true; },
     [](E& e, const Variant& v) { setSelected(e, v.toLogical()); return true; }},
    {"defaultSelected", readFlag<u"selected">, writeFlag<u"selected">},
    {"index", [](E& e, Variant& r) { r = optionIndex(e); return true; }},
    {"disabled", readFlag<u"disabled">, writeFlag<u"disabled">},
    {"form", readForm},
};

constexpr M kFormMembers[] = {
    {"elements",
     [](E& e, Variant& r) {
       r = Collection::create(Ref<Node>(&e), CollectionFilter::FormElements).dispatch();
       return true;
     }},
    {"length",
     [](E& e, Variant& r) {
       r = static_cast<std::int32_t>(Collection::create(Ref<Node>(&e), CollectionFilter::FormElements)->length());
       return true;
     }},
    {"item", nullptr, nullptr,
     [](E& e, std::span<const Variant> a, Variant& r) {
       return Collection::create(Ref<Node>(&e), CollectionFilter::FormElements)->invoke(u"item", a, r);
     }},
    {"method", [](E& e, Variant& r) { r = formMethod(e); return true; }, writeAttribute<u"method">},
    {"action", readAddress<u"action">, writeAttribute<u"action">},
    {"target", readAttribute<u"target">, writeAttribute<u"target">},
    {"encoding", readAttribute<u"enctype">, writeAttribute<u"enctype">},
    {"submit", nullptr, nullptr,
     [](E& e, std::span<const Variant>, Variant&) { return submitForm(e, nullptr); }},
    {"reset", nullptr, nullptr,
     [](E& e, std::span<const Variant>, Variant&) {
       resetForm(e);
       return true;
     }},
};

constexpr M kTableMembers[] = {
    {"rows",
     [](E& e, Variant& r) {
       r = Collection::create(Ref<Node>(&e), CollectionFilter::Rows).dispatch();
       return true;
     }},
    {"cells",
     [](E& e, Variant& r) {
       r = Collection::create(Ref<Node>(&e), CollectionFilter::Cells).dispatch();
       return true;
     }},
    {"width", readAttribute<u"width">, writeAttribute<u"width">},
    {"height", readAttribute<u"height">, writeAttribute<u"height">},
    {"border", readAttribute<u"border">, writeAttribute<u"border">},
    {"cellPadding", readAttribute<u"cellpadding">, writeAttribute<u"cellpadding">},
    {"cellSpacing", readAttribute<u"cellspacing">, writeAttribute<u"cellspacing">},
    {"bgColor", readAttribute<u"bgcolor">, writeAttribute<u"bgcolor">},
};

constexpr M kSectionMembers[] = {
    {"rows",
     [](E& e, Variant& r) {
       r = Collection::create(Ref<Node>(&e), CollectionFilter::Rows).dispatch();
       return true;
     }},
};

constexpr M kRowMembers[] = {
    {"cells",
     [](E& e, Variant& r) {
       r = Collection::create(Ref<Node>(&e), CollectionFilter::Cells).dispatch();
       return true;
     }},
    {"rowIndex", [](E& e, Variant& r) { r = rowIndex(e); return true; }},
    {"bgColor", readAttribute<u"bgcolor">, writeAttribute<u"bgcolor">},
};

constexpr M kCellMembers[] = {
    {"cellIndex", [](E& e, Variant& r) { r = cellIndex(e); return true; }},
    {"width", readAttribute<u"width">, writeAttribute<u"width">},
    {"height", readAttribute<u"height">, writeAttribute<u"height">},
    {"colSpan", [](E& e, Variant& r) {
       r = e.hasAttribute(u"colspan") ? std::max(1, leadingNumber(e.attributeOr(u"colspan"))) : 1;
       return true;
     }, writeNumber<u"colspan">},
    {"rowSpan", [](E& e, Variant& r) {
       r = e.hasAttribute(u"rowspan") ? std::max(1, leadingNumber(e.attributeOr(u"rowspan"))) : 1;
       return true;
     }, writeNumber<u"rowspan">},
    {"bgColor", readAttribute<u"bgcolor">, writeAttribute<u"bgcolor">},
};

constexpr M kAnchorMembers[] = {
    {"href", readAddress<u"href">, writeAttribute<u"href">},
    {"target", readAttribute<u"target">, writeAttribute<u"target">},
    {"type", readAttribute<u"type">, writeAttribute<u"type">},
};

constexpr M kImageMembers[] = {
    {"src", readAddress<u"src">, writeAttribute<u"src">},
    {"alt", readAttribute<u"alt">, writeAttribute<u"alt">},
    {"border", readAttribute<u"border">, writeAttribute<u"border">},
    {"useMap", readAttribute<u"usemap">, writeAttribute<u"usemap">},
};

bool readContentWindow(E& e, Variant& r) {
  Document* owner = e.document();
  r = WindowObject::create(e.contentDocument(), owner).dispatch();
  return true;
}

constexpr M kFrameMembers[] = {
    {"src", readAddress<u"src">,
     [](E& e, const Variant& v) {
       setAttributeFromPage(e, u"src", v.toString());
       return true;
     }},
    {"contentWindow", readContentWindow},
    {"width", readAttribute<u"width">, writeAttribute<u"width">},
    {"height", readAttribute<u"height">, writeAttribute<u"height">},
    {"scrolling", readAttribute<u"scrolling">, writeAttribute<u"scrolling">},
    {"frameBorder", readAttribute<u"frameborder">, writeAttribute<u"frameborder">},
};

constexpr M kLinkMembers[] = {
    {"href", readAddress<u"href">, writeAttribute<u"href">},
    {"rel", readAttribute<u"rel">, writeAttribute<u"rel">},
    {"type", readAttribute<u"type">, writeAttribute<u"type">},
    {"target", readAttribute<u"target">, writeAttribute<u"target">},
};

constexpr M kScriptMembers[] = {
    {"src", readAddress<u"src">, writeAttribute<u"src">},
    {"type", readAttribute<u"type">, writeAttribute<u"type">},
    {"text", [](E& e, Variant& r) { r = textContent(e); return true; }},
};

// One table per kind: its own members first, then those of every element and node.
template <const auto& Own>
const MemberTable<E>& kindTable() {
  static const MemberTable<E> table{Own, kElementMembers, kHandlerMembers<E>, kNodeMembers<E>};
  return table;
}

const MemberTable<E>& tableFor(TagKind kind) {
  switch (kind) {
    case TagKind::Input: return kindTable<kInputMembers>();
    case TagKind::Button: return kindTable<kButtonMembers>();
    case TagKind::TextArea: return kindTable<kTextAreaMembers>();
    case TagKind::Select: return kindTable<kSelectMembers>();
    case TagKind::Option: return kindTable<kOptionMembers>();
    case TagKind::Form: return kindTable<kFormMembers>();
    case TagKind::Table: return kindTable<kTableMembers>();
    case TagKind::THead:
    case TagKind::TBody:
    case TagKind::TFoot: return kindTable<kSectionMembers>();
    case TagKind::Tr: return kindTable<kRowMembers>();
    case TagKind::Td:
    case TagKind::Th: return kindTable<kCellMembers>();
    case TagKind::A:
    case TagKind::Area: return kindTable<kAnchorMembers>();
    case TagKind::Img: {
      static const MemberTable<E> image{imageSizeMembers(), kImageMembers, kElementMembers, kHandlerMembers<E>,
                                        kNodeMembers<E>};
      return image;
    }
    case TagKind::Frame:
    case TagKind::IFrame: return kindTable<kFrameMembers>();
    case TagKind::Link:
    case TagKind::Base: return kindTable<kLinkMembers>();
    case TagKind::Script: return kindTable<kScriptMembers>();
    case TagKind::Body: {
      static const MemberTable<E> body{bodyTextRangeMembers(), bodyControlRangeMembers(), kElementMembers, kHandlerMembers<E>, kNodeMembers<E>};
      return body;
    }
    default: {
      static const MemberTable<E> plain{kElementMembers, kHandlerMembers<E>, kNodeMembers<E>};
      return plain;
    }
  }
}

}  // namespace

const MemberTable<Element>& elementMembers(TagKind kind) { return tableFor(kind); }
const MemberTable<CharacterNode>& characterNodeMembers() { return characterTable(); }

bool Element::getMember(std::u16string_view name, Variant& result) {
  return tableFor(kind()).get(*this, name, result);
}
bool Element::putMember(std::u16string_view name, const Variant& value) {
  return tableFor(kind()).put(*this, name, value);
}
bool Element::invoke(std::u16string_view name, std::span<const Variant> arguments, Variant& result) {
  return tableFor(kind()).invoke(*this, name, arguments, result);
}

bool CharacterNode::getMember(std::u16string_view name, Variant& result) {
  return characterTable().get(*this, name, result);
}
bool CharacterNode::putMember(std::u16string_view name, const Variant& value) {
  return characterTable().put(*this, name, value);
}
bool CharacterNode::invoke(std::u16string_view name, std::span<const Variant> arguments, Variant& result) {
  return characterTable().invoke(*this, name, arguments, result);
}

}  // namespace trenmoor::html
