#include "standin/html/text_range.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "standin/html/html_parser.h"
#include "standin/html/markup_writer.h"
#include "standin/html/member_arguments.h"
#include "standin/html/tag_table.h"

namespace trenmoor::html {
namespace {

using Source = RenderedTextWalk::Source;

// --- text nodes of a scope --------------------------------------------------------------------

// True when `node` is a text node inside `scope` that the page renders (not within a script,
// style or other element whose text is not shown).
bool isRenderedTextIn(const Element& scope, const Node* node) {
  if (!node || node->nodeType() != NodeType::Text) return false;
  for (const Node* n = node->parent(); n; n = n->parent()) {
    if (n == &scope) return true;
    if (const Element* e = n->asElement(); e && e->info().has(kNotRendered)) return false;
  }
  return false;
}

// The first rendered text node at or after `from` in document order within `root`.
Node* firstTextFrom(Node* from, const Node& root) {
  for (Node* n = from; n;) {
    if (const Element* e = n->asElement(); e && e->info().has(kNotRendered)) {
      n = n->nextSkippingChildren(&root);
      continue;
    }
    if (n->nodeType() == NodeType::Text) return n;
    n = n->nextInScope(&root);
  }
  return nullptr;
}

Node* firstTextIn(const Node& root) { return firstTextFrom(root.firstChild(), root); }

Node* lastTextIn(const Node& root) {
  Node* last = nullptr;
  for (Node* n = firstTextIn(root); n; n = firstTextFrom(n->nextInScope(&root), root)) last = n;
  return last;
}

TextPlace scopeStart(Element& scope) {
  Node* first = firstTextIn(scope);
  return first ? TextPlace{Ref<Node>(first), 0} : TextPlace{Ref<Node>(&scope), 0};
}

TextPlace scopeEnd(Element& scope) {
  Node* last = lastTextIn(scope);
  return last ? TextPlace{Ref<Node>(last), last->data().size()} : TextPlace{Ref<Node>(&scope), 0};
}

// The place right after `node`'s subtree: the start of the next text, else the end of the
// scope's text.
TextPlace placeAfter(const Node& node, Element& scope) {
  if (Node* next = firstTextFrom(node.nextSkippingChildren(&scope), scope)) return {Ref<Node>(next), 0};
  return scopeEnd(scope);
}

TextPlace placeOf(const Source& source, std::size_t extra = 0) {
  return {Ref<Node>(const_cast<Node*>(source.node)), source.offset + extra};
}

// -1, 0 or 1: the order of two nodes of one tree in document order (an ancestor comes first).
int nodeOrder(const Node* a, const Node* b) {
  if (a == b) return 0;
  std::vector<const Node*> pathA, pathB;
  for (const Node* n = a; n; n = n->parent()) pathA.push_back(n);
  for (const Node* n = b; n; n = n->parent()) pathB.push_back(n);
  std::size_t i = pathA.size(), j = pathB.size();
  if (pathA[i - 1] != pathB[j - 1]) return 0;  // different trees: no order
  while (i > 1 && j > 1 && pathA[i - 2] == pathB[j - 2]) --i, --j;
  if (i == 1) return -1;
  if (j == 1) return 1;
  for (const Node* s = pathA[i - 2]->nextSibling(); s; s = s->nextSibling())
    if (s == pathB[j - 2]) return -1;
  return 1;
}

int comparePlaces(const TextPlace& a, const TextPlace& b) {
  if (a.node.get() == b.node.get()) return a.offset < b.offset ? -1 : a.offset > b.offset ? 1 : 0;
  return nodeOrder(a.node.get(), b.node.get());
}

const Node* commonAncestor(const Node* a, const Node* b) {
  for (const Node* n = a; n; n = n->parent())
    if (n->contains(b)) return n;
  return nullptr;
}

// Letters folded to lower case for the default, case-insensitive search: ASCII, Latin-1,
// Greek, Cyrillic and the full-width Latin letters.
char16_t foldCase(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F) || (c >= 0xFF21 && c <= 0xFF3A))
    return static_cast<char16_t>(c + 32);
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
  return c;
}

bool isBreak(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Whether the walk's character at `i` is a stop of the unit: every character of the page's
// text, or the first character of each word.
bool isStop(const RenderedTextWalk& walk, std::size_t i, TextRange::Unit unit) {
  if (!walk.sources()[i].node) return false;
  if (unit == TextRange::Unit::Character) return true;
  const std::u16string& t = walk.text();
  return !isBreak(t[i]) && (i == 0 || isBreak(t[i - 1]) || !walk.sources()[i - 1].node);
}

RenderedTextWalk walkFrom(Element& scope, const TextPlace& place) {
  const bool atScope = place.node.get() == &scope;
  return RenderedTextWalk(scope, atScope ? nullptr : place.node.get(), atScope ? 0 : place.offset,
                          RenderedTextWalk::Sources::Keep);
}

// Walks the scope from its start up to and including `place`'s node; the characters before
// `place` are those before the returned index.
std::size_t walkUpTo(RenderedTextWalk& walk, const TextPlace& place, const Element& scope) {
  if (place.node.get() == &scope) return 0;
  while (walk.step())
    if (walk.lastNode() == place.node.get()) break;
  std::size_t before = 0;
  const auto& sources = walk.sources();
  while (before < sources.size() &&
         !(sources[before].node == place.node.get() && sources[before].offset >= place.offset))
    ++before;
  return before;
}

}  // namespace

// --- the range ---------------------------------------------------------------------------------

Ref<TextRange> TextRange::create(Ref<Element> scope) {
  Ref<TextRange> range(new TextRange(std::move(scope)));
  range->start_ = scopeStart(*range->scope_);
  range->end_ = scopeEnd(*range->scope_);
  return range;
}

Ref<TextRange> TextRange::duplicate() const {
  Ref<TextRange> copy(new TextRange(scope_));
  copy->start_ = start_;
  copy->end_ = end_;
  return copy;
}

bool TextRange::attached() const {
  Document* d = scope_->document();
  return d && d->body() == scope_.get();
}

bool TextRange::normalize() {
  if (!attached()) return false;
  auto valid = [this](const TextPlace& p) {
    return p.node && (p.node.get() == scope_.get() || isRenderedTextIn(*scope_, p.node.get()));
  };
  // A place whose node left the scope, or an empty scope that gained text, starts over.
  const bool scopeGainedText = [&] {
    return (start_.node.get() == scope_.get() || end_.node.get() == scope_.get()) && firstTextIn(*scope_);
  }();
  if (!valid(start_) || scopeGainedText) start_ = scopeStart(*scope_);
  if (!valid(end_) || scopeGainedText) end_ = start_;
  start_.offset = std::min(start_.offset, start_.node->data().size());
  end_.offset = std::min(end_.offset, end_.node->data().size());
  if (comparePlaces(start_, end_) > 0) end_ = start_;
  return true;
}

bool TextRange::collapsed() {
  if (!normalize()) return true;
  return comparePlaces(start_, end_) == 0;
}

std::u16string TextRange::text() {
  if (!normalize() || comparePlaces(start_, end_) == 0) return {};
  RenderedTextWalk walk = walkFrom(*scope_, start_);
  while (walk.step())
    if (walk.lastNode() == end_.node.get()) break;
  const auto& sources = walk.sources();
  std::size_t last = sources.size();
  for (std::size_t i = 0; i < sources.size(); ++i)
    if (sources[i].node == end_.node.get() && sources[i].offset >= end_.offset) {
      last = i;
      break;
    }
  std::size_t first = 0;
  while (first < last && !sources[first].node) ++first;
  while (last > first && !sources[last - 1].node) --last;
  return walk.text().substr(first, last - first);
}

std::u16string TextRange::htmlText() {
  if (!normalize() || comparePlaces(start_, end_) == 0) return {};
  const Node* s = start_.node.get();
  const Node* e = end_.node.get();
  // 1. The piece: the nodes' common ancestor, widened to the outermost element below the scope
  //    whose text the range covers whole.
  const Node* common = commonAncestor(s, e);
  if (!common) return {};
  auto covers = [&](const Node& n) {
    if (n.nodeType() == NodeType::Text) return &n == s && &n == e && start_.offset == 0 && end_.offset == n.data().size();
    const Node* first = firstTextIn(n);
    const Node* last = lastTextIn(n);
    return first == s && start_.offset == 0 && last == e && end_.offset == e->data().size();
  };
  const Node* piece = common;
  const bool whole = common != scope_.get() && covers(*common);
  if (whole)
    while (piece->parent() && piece->parent() != scope_.get() && covers(*piece->parent())) piece = piece->parent();
  if (piece->nodeType() == NodeType::Text)
    return escapedText(std::u16string_view(piece->data()).substr(start_.offset, end_.offset - start_.offset));

  // 2. Its markup clipped to the range: elements wholly inside are written whole, elements the
  //    range enters or leaves are written with the part of their content inside it.
  enum class Phase { Before, Inside, After } phase = Phase::Before;
  std::u16string out;
  std::vector<const Element*> open;
  const Element* root = piece->asElement();
  if (whole && root) out += startTag(*root);
  const Node* node = piece->firstChild();
  while (node && phase != Phase::After) {
    bool descend = false;
    if (node->nodeType() == NodeType::Text) {
      std::size_t from = 0, to = node->data().size();
      if (node == s) phase = Phase::Inside, from = start_.offset;
      if (node == e) to = end_.offset;
      if (phase == Phase::Inside && to > from) {
        const Element* parent = node->parentElement();
        std::u16string_view part = std::u16string_view(node->data()).substr(from, to - from);
        out += parent && parent->info().has(kRawText) ? std::u16string(part) : escapedText(part);
      }
      if (node == e) phase = Phase::After;
    } else if (const Element* element = node->asElement()) {
      const bool holdsStart = phase == Phase::Before && element->contains(s);
      if (phase == Phase::Inside && !element->contains(e)) {
        out += outerMarkup(*element);
      } else if (holdsStart || phase == Phase::Inside) {
        out += startTag(*element);
        if (node->firstChild()) {
          open.push_back(element);
          descend = true;
        } else {
          out += endTag(*element);
        }
      }
    } else if (phase == Phase::Inside) {
      out += outerMarkup(*node);
    }
    if (descend) {
      node = node->firstChild();
      continue;
    }
    while (node && node != piece && !node->nextSibling()) {
      node = node->parent();
      if (node == piece) node = nullptr;
      else if (!open.empty() && open.back() == node) out += endTag(*open.back()), open.pop_back();
    }
    if (node) node = node->nextSibling();
  }
  for (auto it = open.rbegin(); it != open.rend(); ++it) out += endTag(**it);
  if (whole && root) out += endTag(*root);
  return out;
}

bool TextRange::findText(std::u16string_view needle, bool matchCase) {
  if (!normalize() || needle.empty()) return false;
  std::u16string wanted(needle);
  if (!matchCase) std::transform(wanted.begin(), wanted.end(), wanted.begin(), foldCase);
  auto same = [matchCase](char16_t a, char16_t b) { return (matchCase ? a : foldCase(a)) == b; };
  RenderedTextWalk walk = walkFrom(*scope_, start_);
  std::size_t next = 0;  // the first position not yet tried
  while (walk.step()) {
    const std::u16string& t = walk.text();
    for (; next + wanted.size() <= t.size(); ++next) {
      if (!std::equal(t.begin() + static_cast<std::ptrdiff_t>(next),
                      t.begin() + static_cast<std::ptrdiff_t>(next + wanted.size()), wanted.begin(), same))
        continue;
      const auto& sources = walk.sources();
      std::size_t first = next, last = next + wanted.size();
      while (first < last && !sources[first].node) ++first;
      while (last > first && !sources[last - 1].node) --last;
      if (first == last) continue;  // only line breaks the layout added: no place to span
      start_ = placeOf(sources[first]);
      end_ = placeOf(sources[last - 1], 1);
      return true;
    }
  }
  return false;
}

std::int32_t TextRange::moveEnd(End which, Unit unit, std::int32_t count) {
  if (!normalize() || count == 0) return 0;
  TextPlace& moving = place(which);
  std::int32_t moved = 0;
  if (count > 0) {
    // Forward: walk on from the place until `count` stops are passed. The character at the
    // place itself is no word stop: the move goes to the next word.
    RenderedTextWalk walk = walkFrom(*scope_, moving);
    std::size_t i = 0;
    std::optional<Source> lastCharacter;
    while (moved < count && walk.step()) {
      for (; i < walk.text().size() && moved < count; ++i) {
        const Source& source = walk.sources()[i];
        if (!source.node) continue;
        if (unit == Unit::Character) {
          moving = placeOf(source, 1);
          ++moved;
        } else if (i > 0 && isStop(walk, i, unit)) {
          moving = placeOf(source);
          ++moved;
        }
        lastCharacter = source;
      }
    }
    // A word move that runs out of text ends at the text's end, which counts as one more stop.
    if (moved < count && unit == Unit::Word && lastCharacter) {
      TextPlace end = placeOf(*lastCharacter, 1);
      if (comparePlaces(end, moving) > 0) moving = end, ++moved;
    }
  } else {
    // Backward: the stops before the place, from the scope's start.
    RenderedTextWalk walk = walkFrom(*scope_, scopeStart(*scope_));
    const std::size_t before = walkUpTo(walk, moving, *scope_);
    std::vector<std::size_t> stops;
    for (std::size_t i = 0; i < before; ++i)
      if (isStop(walk, i, unit)) stops.push_back(i);
    const std::size_t steps = std::min(stops.size(), static_cast<std::size_t>(-static_cast<std::int64_t>(count)));
    if (steps > 0) moving = placeOf(walk.sources()[stops[stops.size() - steps]]);
    moved = -static_cast<std::int32_t>(steps);
  }
  // The other end follows when the ends would cross.
  if (which == End::Start && comparePlaces(start_, end_) > 0) end_ = start_;
  if (which == End::End && comparePlaces(end_, start_) < 0) start_ = end_;
  return moved;
}

void TextRange::collapse(bool toStart) {
  if (!normalize()) return;
  if (toStart) end_ = start_;
  else start_ = end_;
}

void TextRange::paste(std::u16string_view content, bool asMarkup) {
  if (!normalize()) return;
  // 1. Take out what the range holds: the text of its end nodes outside it stays, the nodes
  //    wholly between them go.
  Node* s = start_.node.get();
  Node* e = end_.node.get();
  if (s == e) {
    if (s != scope_.get() && end_.offset > start_.offset) {
      std::u16string data = s->data();
      data.erase(start_.offset, end_.offset - start_.offset);
      s->setData(std::move(data));
    }
  } else {
    std::vector<Node*> inside;
    for (Node* n = s->nextSkippingChildren(scope_.get()); n && n != e;) {
      if (n->contains(e)) {
        n = n->firstChild();
        continue;
      }
      inside.push_back(n);
      n = n->nextSkippingChildren(scope_.get());
    }
    s->setData(s->data().substr(0, start_.offset));
    e->setData(e->data().substr(end_.offset));
    for (Node* n : inside)
      if (Node* parent = n->parent()) parent->removeChild(n);
  }
  end_ = start_;

  // 2. The place to insert at, splitting the start's text node when it falls inside it.
  Node* parent = scope_.get();
  Node* before = nullptr;
  if (s != scope_.get()) {
    parent = s->parent();
    if (!parent) return;
    if (start_.offset == 0) {
      before = s;
    } else if (start_.offset >= s->data().size()) {
      before = s->nextSibling();
    } else {
      Ref<CharacterNode> right = CharacterNode::create(NodeType::Text, s->context(), s->data().substr(start_.offset));
      s->setData(s->data().substr(0, start_.offset));
      parent->insertBefore(right.get(), s->nextSibling());
      before = right.get();
    }
  }

  // 3. The new content, parsed in the context of the element it goes into.
  std::vector<Ref<Node>> nodes;
  if (asMarkup) {
    const Element* holder = parent->asElement();
    nodes = parseFragment(parent->context(), holder ? holder->localName() : u"body", content);
  } else if (!content.empty()) {
    nodes.emplace_back(CharacterNode::create(NodeType::Text, parent->context(), std::u16string(content)).get());
  }
  for (auto& node : nodes) parent->insertBefore(node.get(), before);
  for (auto& node : nodes) announceInsertedFrames(node.get());

  // 4. Collapsed after what was inserted.
  if (!nodes.empty()) start_ = placeAfter(*nodes.back(), *scope_);
  end_ = start_;
}

bool TextRange::moveToElementText(Element& element) {
  if (!normalize()) return false;
  if (&element != scope_.get() && !scope_->contains(&element)) return false;
  Node* first = firstTextIn(element);
  if (!first) {
    start_ = placeAfter(element, *scope_);
  } else {
    Node* last = lastTextIn(element);
    start_ = {Ref<Node>(first), 0};
    end_ = {Ref<Node>(last), last->data().size()};
    return true;
  }
  end_ = start_;
  return true;
}

Element* TextRange::parentElement() {
  if (!normalize()) return nullptr;
  const Node* common = commonAncestor(start_.node.get(), end_.node.get());
  if (!common) return scope_.get();
  return common->isElement() ? const_cast<Element*>(common->asElement()) : common->parentElement();
}

int TextRange::compareEnds(End mine, const TextRange& other, End theirs) {
  TextRange& them = const_cast<TextRange&>(other);
  if (!normalize() || !them.normalize()) return 0;
  return comparePlaces(place(mine), them.place(theirs));
}

void TextRange::setEnd(End mine, const TextRange& other, End theirs) {
  TextRange& them = const_cast<TextRange&>(other);
  if (them.scope_.get() != scope_.get() || !them.normalize()) return;
  place(mine) = them.place(theirs);
  if (!normalize()) return;
  if (mine == End::End && comparePlaces(end_, start_) < 0) start_ = end_;
}

// --- members -----------------------------------------------------------------------------------

namespace {

using R = TextRange;

std::optional<TextRange::Unit> unitNamed(std::u16string_view name) {
  if (memberNameEquals(name, "character")) return TextRange::Unit::Character;
  if (memberNameEquals(name, "word")) return TextRange::Unit::Word;
  return std::nullopt;
}

TextRange* rangeArgument(std::span<const Variant> a, std::size_t i) {
  const Variant* value = argument(a, i);
  const DispatchRef* object = value ? value->object() : nullptr;
  return object && *object ? dynamic_cast<TextRange*>(object->get()) : nullptr;
}

// "StartToEnd" and its kin: this range's end, then the other's.
bool endsNamed(std::u16string_view how, TextRange::End& mine, TextRange::End& theirs) {
  using End = TextRange::End;
  constexpr struct {
    std::string_view name;
    End mine, theirs;
  } kHows[] = {{"StartToStart", End::Start, End::Start},
               {"StartToEnd", End::Start, End::End},
               {"EndToStart", End::End, End::Start},
               {"EndToEnd", End::End, End::End}};
  for (const auto& h : kHows)
    if (memberNameEquals(how, h.name)) return mine = h.mine, theirs = h.theirs, true;
  return false;
}

template <TextRange::End Which>
bool moveMember(R& r, std::span<const Variant> a, Variant& result) {
  auto unit = unitNamed(argumentText(a, 0));
  if (!unit) return false;
  const Variant* count = argument(a, 1);
  result = r.moveEnd(Which, *unit, count && !count->isEmpty() ? static_cast<std::int32_t>(count->toNumber()) : 1);
  return true;
}

constexpr Member<R> kTextRangeMembers[] = {
    {"text", [](R& r, Variant& v) { v = r.text(); return true; },
     [](R& r, const Variant& v) { r.paste(v.toString(), false); return true; }},
    {"htmlText", [](R& r, Variant& v) { v = r.htmlText(); return true; }},
    // findText(text[, count[, flags]]): flag 4 matches case.
    {"findText", nullptr, nullptr,
     [](R& r, std::span<const Variant> a, Variant& v) {
       const Variant* flags = argument(a, 2);
       const bool matchCase = flags && (static_cast<std::int32_t>(flags->toNumber()) & 4);
       v = r.findText(argumentText(a, 0), matchCase);
       return true;
     }},
    {"moveStart", nullptr, nullptr, moveMember<TextRange::End::Start>},
    {"moveEnd", nullptr, nullptr, moveMember<TextRange::End::End>},
    {"move", nullptr, nullptr,
     [](R& r, std::span<const Variant> a, Variant& v) {
       r.collapse(true);
       const bool moved = moveMember<TextRange::End::Start>(r, a, v);
       r.collapse(true);
       return moved;
     }},
    {"collapse", nullptr, nullptr,
     [](R& r, std::span<const Variant> a, Variant&) {
       const Variant* toStart = argument(a, 0);
       r.collapse(!toStart || toStart->isEmpty() || toStart->toLogical());
       return true;
     }},
    {"select", nullptr, nullptr,
     [](R& r, std::span<const Variant>, Variant&) {
       Document* d = r.scope().document();
       if (!d || !r.attached()) return false;
       d->selectedRange = r.duplicate().dispatch();
       return true;
     }},
    {"pasteHTML", nullptr, nullptr,
     [](R& r, std::span<const Variant> a, Variant&) {
       r.paste(argumentText(a, 0), true);
       return true;
     }},
    {"duplicate", nullptr, nullptr,
     [](R& r, std::span<const Variant>, Variant& v) {
       v = r.duplicate().dispatch();
       return true;
     }},
    {"parentElement", nullptr, nullptr,
     [](R& r, std::span<const Variant>, Variant& v) {
       v = objectResult(r.parentElement());
       return true;
     }},
    {"moveToElementText", nullptr, nullptr,
     [](R& r, std::span<const Variant> a, Variant& v) {
       Node* node = nodeArgument(argument(a, 0));
       Element* element = node ? node->asElement() : nullptr;
       v = element && r.moveToElementText(*element);
       return true;
     }},
    {"compareEndPoints", nullptr, nullptr,
     [](R& r, std::span<const Variant> a, Variant& v) {
       TextRange::End mine, theirs;
       TextRange* other = rangeArgument(a, 1);
       if (!other || !endsNamed(argumentText(a, 0), mine, theirs)) return false;
       v = static_cast<std::int32_t>(r.compareEnds(mine, *other, theirs));
       return true;
     }},
    {"setEndPoint", nullptr, nullptr,
     [](R& r, std::span<const Variant> a, Variant&) {
       TextRange::End mine, theirs;
       TextRange* other = rangeArgument(a, 1);
       if (!other || !endsNamed(argumentText(a, 0), mine, theirs)) return false;
       r.setEnd(mine, *other, theirs);
       return true;
     }},
};

using S = SelectionObject;

constexpr Member<S> kSelectionMembers[] = {
    {"type",
     [](S& s, Variant& v) {
       Document* d = s.document();
       v = d && SelectionObject::selectedRange(*d) ? u"Text" : u"None";
       return true;
     }},
    {"createRange", nullptr, nullptr,
     [](S& s, std::span<const Variant>, Variant& v) {
       Document* d = s.document();
       TextRange* selected = d ? SelectionObject::selectedRange(*d) : nullptr;
       v = selected ? Variant(selected->duplicate().dispatch()) : Variant();
       return true;
     }},
    {"empty", nullptr, nullptr,
     [](S& s, std::span<const Variant>, Variant&) {
       if (Document* d = s.document()) d->selectedRange = DispatchRef();
       return true;
     }},
    // Deletes the selected text and leaves nothing selected.
    {"clear", nullptr, nullptr,
     [](S& s, std::span<const Variant>, Variant&) {
       Document* d = s.document();
       if (TextRange* selected = d ? SelectionObject::selectedRange(*d) : nullptr) selected->paste(u"", false);
       if (d) d->selectedRange = DispatchRef();
       return true;
     }},
};

constexpr Member<Element> kBodyMembers[] = {
    {"createTextRange", nullptr, nullptr,
     [](Element& body, std::span<const Variant>, Variant& v) {
       v = TextRange::create(Ref<Element>(&body)).dispatch();
       return true;
     }},
};

}  // namespace

const MemberTable<TextRange>& TextRange::members() {
  static const MemberTable<TextRange> table{kTextRangeMembers};
  return table;
}


Ref<SelectionObject> SelectionObject::create(std::shared_ptr<DocumentContext> context) {
  return Ref<SelectionObject>(new SelectionObject(std::move(context)));
}

TextRange* SelectionObject::selectedRange(Document& document) {
  auto* range = dynamic_cast<TextRange*>(document.selectedRange.get());
  return range && range->attached() && !range->collapsed() ? range : nullptr;
}

const MemberTable<SelectionObject>& SelectionObject::members() {
  static const MemberTable<SelectionObject> table{kSelectionMembers};
  return table;
}

std::span<const Member<Element>> bodyTextRangeMembers() { return kBodyMembers; }

bool readDocumentSelection(Document& document, Variant& result) {
  result = SelectionObject::create(document.context()).dispatch();
  return true;
}

}  // namespace trenmoor::html
