#include "standin/html/collection.h"

#include "standin/html/member_arguments.h"
#include "standin/html/tag_table.h"
#include "standin/html/window_object.h"

namespace trenmoor::html {
namespace {

bool isTablePart(const Element& e) {
  return e.kind() == TagKind::THead || e.kind() == TagKind::TBody || e.kind() == TagKind::TFoot;
}

// Rows of `table`: its own tr children and those of its head, body and foot sections.
template <typename Visit>
void forEachRow(const Element& table, Visit&& visit) {
  for (Node* n = table.firstChild(); n; n = n->nextSibling()) {
    Element* e = n->asElement();
    if (!e) continue;
    if (e->kind() == TagKind::Tr) visit(*e);
    else if (isTablePart(*e))
      for (Node* r = e->firstChild(); r; r = r->nextSibling())
        if (Element* row = r->asElement(); row && row->kind() == TagKind::Tr) visit(*row);
  }
}

template <typename Visit>
void forEachCell(const Element& row, Visit&& visit) {
  for (Node* n = row.firstChild(); n; n = n->nextSibling())
    if (Element* e = n->asElement(); e && e->info().has(kCell)) visit(*e);
}

Element* tableOf(Element& e) {
  for (Element* p = e.parentElement(); p; p = p->parentElement())
    if (p->kind() == TagKind::Table) return p;
  return nullptr;
}

}  // namespace

Ref<Collection> Collection::create(Ref<Node> root, CollectionFilter filter, std::u16string tag, std::u16string key) {
  return Ref<Collection>(new Collection(std::move(root), filter, std::move(tag), std::move(key)));
}

bool Collection::matches(const Element& e) const {
  if (!tag_.empty() && !e.hasTagName(tag_)) return false;
  switch (filter_) {
    case CollectionFilter::AllElements:
    case CollectionFilter::Children:
    case CollectionFilter::ChildNodes: return true;
    case CollectionFilter::Forms: return e.kind() == TagKind::Form;
    case CollectionFilter::Images: return e.kind() == TagKind::Img;
    case CollectionFilter::Links:
      return (e.kind() == TagKind::A || e.kind() == TagKind::Area) && e.hasAttribute(u"href");
    case CollectionFilter::Anchors: return e.kind() == TagKind::A && e.hasAttribute(u"name");
    case CollectionFilter::Frames: return e.kind() == TagKind::Frame || e.kind() == TagKind::IFrame;
    case CollectionFilter::Options: return e.kind() == TagKind::Option;
    case CollectionFilter::FormElements: return e.info().has(kFormControl);
    case CollectionFilter::Named: {
      const std::u16string* name = e.attribute(u"name");
      return name && *name == key_;
    }
    case CollectionFilter::Rows:
    case CollectionFilter::Cells: return true;  // gathered structurally in items()
  }
  return false;
}

const std::vector<Node*>& Collection::items() {
  std::uint64_t stamp = root_->context()->mutations;
  if (cached_ && stamp == stamp_) return items_;
  items_.clear();
  Node* root = root_.get();
  Element* rootElement = root->asElement();
  auto keep = [this](Element& e) {
    if (matches(e)) items_.push_back(&e);
  };
  switch (filter_) {
    case CollectionFilter::ChildNodes:
      for (Node* n = root->firstChild(); n; n = n->nextSibling()) items_.push_back(n);
      break;
    case CollectionFilter::Children:
      for (Node* n = root->firstChild(); n; n = n->nextSibling())
        if (Element* e = n->asElement()) keep(*e);
      break;
    case CollectionFilter::Rows:
      if (rootElement && rootElement->kind() == TagKind::Table) forEachRow(*rootElement, keep);
      else if (rootElement && isTablePart(*rootElement))
        for (Node* n = rootElement->firstChild(); n; n = n->nextSibling())
          if (Element* e = n->asElement(); e && e->kind() == TagKind::Tr) keep(*e);
      break;
    case CollectionFilter::Cells:
      if (rootElement && rootElement->kind() == TagKind::Table)
        forEachRow(*rootElement, [&](Element& row) { forEachCell(row, keep); });
      else if (rootElement && rootElement->kind() == TagKind::Tr) forEachCell(*rootElement, keep);
      break;
    default:
      for (Node* n = root->firstChild(); n; n = n->nextInScope(root))
        if (Element* e = n->asElement()) keep(*e);
  }
  stamp_ = stamp;
  cached_ = true;
  return items_;
}

std::size_t Collection::length() { return items().size(); }

Node* Collection::at(std::size_t index) {
  const auto& list = items();
  return index < list.size() ? list[index] : nullptr;
}

Element* Collection::named(std::u16string_view name) {
  for (Node* n : items()) {
    Element* e = n->asElement();
    if (!e) continue;
    const std::u16string* id = e->attribute(u"id");
    const std::u16string* ownName = e->attribute(u"name");
    if ((id && *id == name) || (ownName && *ownName == name)) return e;
  }
  return nullptr;
}

DispatchRef Collection::itemObject(Node* node) const {
  if (!node) return {};
  if (filter_ == CollectionFilter::Frames) {
    Element* frame = node->asElement();
    Document* owner = frame->document();
    return WindowObject::create(frame->contentDocument(), owner).dispatch();
  }
  return DispatchRef(node);
}

Ref<Collection> Collection::tags(std::u16string_view tag) const {
  CollectionFilter filter = filter_ == CollectionFilter::ChildNodes ? CollectionFilter::Children : filter_;
  return create(root_, filter, std::u16string(tag == u"*" ? u"" : tag), key_);
}

std::int32_t rowIndex(Element& row) {
  Element* table = tableOf(row);
  if (!table) return -1;
  std::int32_t index = 0, found = -1;
  forEachRow(*table, [&](Element& r) {
    if (&r == &row) found = index;
    ++index;
  });
  return found;
}

std::int32_t cellIndex(Element& cell) {
  Element* row = cell.parentElement();
  if (!row || row->kind() != TagKind::Tr) return -1;
  std::int32_t index = 0, found = -1;
  forEachCell(*row, [&](Element& c) {
    if (&c == &cell) found = index;
    ++index;
  });
  return found;
}

namespace {

using K = Collection;

// item(index) with a number (0-based); item(name) with a text: the first element whose id or
// name is the text (the first of several).
bool item(K& c, std::span<const Variant> a, Variant& r) {
  const Variant* which = argument(a, 0);
  if (!which || which->isEmpty()) return false;
  if (const std::u16string* name = which->string()) {
    r = c.itemObject(c.named(*name));
    return true;
  }
  double index = which->toNumber();
  r = index >= 0 && index < static_cast<double>(c.length()) ? Variant(c.itemObject(c.at(static_cast<std::size_t>(index))))
                                                             : Variant();
  return true;
}

constexpr Member<K> kCollectionMembers[] = {
    {"length", [](K& c, Variant& r) { r = static_cast<std::int32_t>(c.length()); return true; }},
    {"item", nullptr, nullptr, item},
    {"namedItem", nullptr, nullptr,
     [](K& c, std::span<const Variant> a, Variant& r) {
       r = c.itemObject(c.named(argumentText(a, 0)));
       return true;
     }},
    {"tags", nullptr, nullptr,
     [](K& c, std::span<const Variant> a, Variant& r) {
       r = c.tags(asciiLower(argumentText(a, 0))).dispatch();
       return true;
     }},
};

}  // namespace

const MemberTable<Collection>& Collection::members() {
  static const MemberTable<Collection> table{kCollectionMembers};
  return table;
}


}  // namespace trenmoor::html
