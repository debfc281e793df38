// The member table of the document.
#include "standin/html/collection.h"
#include "standin/html/document_host.h"
#include "standin/html/element_activation.h"
#include "standin/html/element_editing.h"
#include "standin/html/event_dispatch.h"
#include "standin/html/style_sheet.h"
#include "standin/html/markup_writer.h"
#include "standin/html/member_arguments.h"
#include "standin/html/tag_table.h"
#include "standin/html/text_range.h"
#include "standin/html/window_object.h"

namespace trenmoor::html {
namespace {

using D = Document;

Element* titleElement(const D& d) {
  for (Node* n = d.firstChild(); n; n = n->nextInScope(&d))
    if (Element* e = n->asElement(); e && e->kind() == TagKind::Title) return e;
  return nullptr;
}

void setTitle(D& d, std::u16string text) {
  Element* title = titleElement(d);
  if (!title) {
    Node* holder = d.head() ? static_cast<Node*>(d.head()) : d.documentElement();
    if (!holder) return;
    Ref<Element> created = Element::create(d.context(), u"title");
    holder->appendChild(created.get());
    title = created.get();
  }
  setInnerText(*title, text);
}

template <CollectionFilter Filter>
bool readCollection(D& d, Variant& r) {
  r = Collection::create(Ref<Node>(&d), Filter).dispatch();
  return true;
}

std::u16string joinedArguments(std::span<const Variant> a) {
  std::u16string text;
  for (const auto& v : a) text += v.toString();
  return text;
}

std::u16string readyStateName(LoadingState state) {
  switch (state) {
    case LoadingState::Loading: return u"loading";
    case LoadingState::Interactive: return u"interactive";
    case LoadingState::Complete: break;
  }
  return u"complete";
}

constexpr Member<D> kDocumentMembers[] = {
    {"nodeType", [](D&, Variant& r) { r = static_cast<std::int32_t>(NodeType::Document); return true; }},
    {"nodeName", [](D&, Variant& r) { r = u"#document"; return true; }},
    {"documentElement", [](D& d, Variant& r) { r = objectResult(d.documentElement()); return true; }},
    {"body", [](D& d, Variant& r) { r = objectResult(d.body()); return true; }},
    {"firstChild", [](D& d, Variant& r) { r = objectResult(d.firstChild()); return true; }},
    {"lastChild", [](D& d, Variant& r) { r = objectResult(d.lastChild()); return true; }},
    {"childNodes", readCollection<CollectionFilter::ChildNodes>},
    {"all", readCollection<CollectionFilter::AllElements>},
    {"forms", readCollection<CollectionFilter::Forms>},
    {"images", readCollection<CollectionFilter::Images>},
    {"links", readCollection<CollectionFilter::Links>},
    {"anchors", readCollection<CollectionFilter::Anchors>},
    {"frames", readCollection<CollectionFilter::Frames>},
    {"title",
     [](D& d, Variant& r) {
       Element* title = titleElement(d);
       r = title ? collapsedText(textContent(*title)) : std::u16string();
       return true;
     },
     [](D& d, const Variant& v) {
       setTitle(d, v.toString());
       return true;
     }},
    {"URL", [](D& d, Variant& r) { r = d.address(); return true; }},
    // Read as text, location gives the address (the classic default member of the location
    // object); the location object itself is the window's. Writing navigates.
    {"location", [](D& d, Variant& r) { r = d.address(); return true; },
     [](D& d, const Variant& v) { return requestNavigation(d, v.toString()); }},
    {"domain", [](D& d, Variant& r) { r = d.origin().effectiveDomain(); return true; },
     [](D& d, const Variant& v) { return d.origin().relaxDomain(v.toString()); }},
    {"charset", [](D& d, Variant& r) { r = d.charset(); return true; }},
    {"fileSize",
     [](D& d, Variant& r) {
       r = Variant(static_cast<std::int32_t>(d.fileSize())).toString();
       return true;
     }},
    {"cookie",
     [](D& d, Variant& r) {
       r = d.host() ? d.host()->cookies(d.address()) : std::u16string();
       return true;
     },
     [](D& d, const Variant& v) { return d.host() && d.host()->setCookie(d.address(), v.toString()); }},
    {"readyState", [](D& d, Variant& r) { r = readyStateName(d.readyState()); return true; }},
    {"selection", readDocumentSelection},
    {"parentWindow", [](D& d, Variant& r) { r = d.window().dispatch(); return true; }},
    {"defaultView", [](D& d, Variant& r) { r = d.window().dispatch(); return true; }},
    {"activeElement",
     [](D& d, Variant& r) {
       r = objectResult(d.activeElement ? static_cast<Element*>(d.activeElement) : d.body());
       return true;
     }},
    {"write", nullptr, nullptr,
     [](D& d, std::span<const Variant> a, Variant&) {
       d.write(joinedArguments(a));
       return true;
     }},
    {"writeln", nullptr, nullptr,
     [](D& d, std::span<const Variant> a, Variant&) {
       d.write(joinedArguments(a) + u"\r\n");
       return true;
     }},
    {"open", nullptr, nullptr,
     [](D& d, std::span<const Variant>, Variant& r) {
       d.open();
       r = DispatchRef(&d);
       return true;
     }},
    {"close", nullptr, nullptr,
     [](D& d, std::span<const Variant>, Variant&) {
       d.close();
       return true;
     }},
    {"createElement", nullptr, nullptr,
     [](D& d, std::span<const Variant> a, Variant& r) {
       std::u16string name = argumentText(a, 0);
       if (name.empty()) return false;
       r = Element::create(d.context(), name).dispatch();
       return true;
     }},
    {"createTextNode", nullptr, nullptr,
     [](D& d, std::span<const Variant> a, Variant& r) {
       r = CharacterNode::create(NodeType::Text, d.context(), argumentText(a, 0)).dispatch();
       return true;
     }},
    {"getElementById", nullptr, nullptr,
     [](D& d, std::span<const Variant> a, Variant& r) {
       r = objectResult(d.elementById(argumentText(a, 0)));
       return true;
     }},
    {"getElementsByName", nullptr, nullptr,
     [](D& d, std::span<const Variant> a, Variant& r) {
       r = Collection::create(Ref<Node>(&d), CollectionFilter::Named, {}, argumentText(a, 0)).dispatch();
       return true;
     }},
    {"getElementsByTagName", nullptr, nullptr,
     [](D& d, std::span<const Variant> a, Variant& r) {
       r = Collection::create(Ref<Node>(&d), CollectionFilter::AllElements, tagFilterName(argumentText(a, 0))).dispatch();
       return true;
     }},
    {"fireEvent", nullptr, nullptr,
     [](D& d, std::span<const Variant> a, Variant& r) {
       r = fireEventFromCall(d, a);
       return true;
     }},
    {"createEventObject", nullptr, nullptr,
     [](D&, std::span<const Variant>, Variant& r) {
       r = EventObject::create(u"", nullptr).dispatch();
       return true;
     }},
    // A new style sheet whose rules (addRule) the page's computed style honours.
    {"createStyleSheet", nullptr, nullptr,
     [](D& d, std::span<const Variant>, Variant& r) {
       d.styleSheets.push_back(std::make_shared<StyleRuleList>());
       r = StyleSheet::create(d.styleSheets.back()).dispatch();
       return true;
     }},
};

}  // namespace

const MemberTable<Document>& documentMembers() {
  static const MemberTable<Document> table{kDocumentMembers, kHandlerMembers<Document>};
  return table;
}

bool Document::getMember(std::u16string_view name, Variant& result) { return documentMembers().get(*this, name, result); }
bool Document::putMember(std::u16string_view name, const Variant& value) { return documentMembers().put(*this, name, value); }
bool Document::invoke(std::u16string_view name, std::span<const Variant> arguments, Variant& result) {
  return documentMembers().invoke(*this, name, arguments, result);
}

}  // namespace trenmoor::html
