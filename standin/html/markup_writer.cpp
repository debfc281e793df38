#include "standin/html/markup_writer.h"

#include <algorithm>

#include "standin/html/tag_table.h"

namespace trenmoor::html {
namespace {

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

void appendEscaped(std::u16string& out, std::u16string_view text, bool attribute) {
  for (char16_t c : text) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'\xA0': out += u"&nbsp;"; break;
      case u'"':
        if (attribute) out += u"&quot;"; else out.push_back(c);
        break;
      case u'<':
        if (!attribute) out += u"&lt;"; else out.push_back(c);
        break;
      case u'>':
        if (!attribute) out += u"&gt;"; else out.push_back(c);
        break;
      default: out.push_back(c);
    }
  }
}

void openTag(std::u16string& out, const Element& e) {
  out.push_back(u'<');
  out += e.tagName();
  for (const auto& a : e.attributes()) {
    out.push_back(u' ');
    out += a.name;
    out += u"=\"";
    appendEscaped(out, a.value, true);
    out.push_back(u'"');
  }
  out.push_back(u'>');
}

void closeTag(std::u16string& out, const Element& e) {
  if (e.info().has(kVoid)) return;
  out += u"</";
  out += e.tagName();
  out.push_back(u'>');
}

bool inRawText(const Node& node) {
  const Element* parent = node.parentElement();
  return parent && parent->info().has(kRawText);
}

void appendLeaf(std::u16string& out, const Node& node) {
  if (node.nodeType() == NodeType::Text) {
    if (inRawText(node)) out += node.data();
    else appendEscaped(out, node.data(), false);
  } else if (node.nodeType() == NodeType::Comment) {
    out += u"<!--";
    out += node.data();
    out += u"-->";
  }
}

// Writes the children of `scope` in document order, iteratively.
void appendChildrenMarkup(std::u16string& out, const Node& scope) {
  const Node* node = scope.firstChild();
  while (node) {
    if (const Element* e = node->asElement()) {
      openTag(out, *e);
      if (node->firstChild()) {
        node = node->firstChild();
        continue;
      }
      closeTag(out, *e);
    } else {
      appendLeaf(out, *node);
    }
    // Climb until a next sibling is found, closing the elements left behind.
    while (node != &scope && !node->nextSibling()) {
      node = node->parent();
      if (node == &scope || !node) return;
      closeTag(out, *node->asElement());
    }
    node = node == &scope ? nullptr : node->nextSibling();
  }
}

bool preformatted(const Node& node) {
  for (const Element* e = node.parentElement(); e; e = e->parentElement())
    if (e->kind() == TagKind::Pre || e->kind() == TagKind::TextArea || e->hasTagName(u"xmp") ||
        e->hasTagName(u"plaintext") || e->hasTagName(u"listing"))
      return true;
  return false;
}

}  // namespace

std::u16string outerMarkup(const Node& node) {
  std::u16string out;
  if (const Element* e = node.asElement()) {
    openTag(out, *e);
    appendChildrenMarkup(out, node);
    closeTag(out, *e);
  } else if (node.nodeType() == NodeType::Document) {
    appendChildrenMarkup(out, node);
  } else {
    appendLeaf(out, node);
  }
  return out;
}

std::u16string startTag(const Element& e) {
  std::u16string out;
  openTag(out, e);
  return out;
}

std::u16string endTag(const Element& e) {
  std::u16string out;
  closeTag(out, e);
  return out;
}

std::u16string escapedText(std::u16string_view text) {
  std::u16string out;
  appendEscaped(out, text, false);
  return out;
}

std::u16string innerMarkup(const Node& node) {
  std::u16string out;
  appendChildrenMarkup(out, node);
  return out;
}

std::u16string renderedText(const Node& scope) {
  if (const Element* e = scope.asElement(); e && e->info().has(kNotRendered)) return textContent(scope);
  RenderedTextWalk walk(scope, nullptr, 0, RenderedTextWalk::Sources::Drop);
  while (walk.step()) {
  }
  return walk.takeText();
}

// --- the rendered-text walk ----------------------------------------------------------------------

RenderedTextWalk::RenderedTextWalk(const Node& scope, const Node* from, std::size_t offset, Sources sources)
    : scope_(scope), node_(from ? from : scope.firstChild()), offset_(from && from->nodeType() == NodeType::Text ? offset : 0),
      keepSources_(sources == Sources::Keep), atLineStart_(from == nullptr) {}

bool RenderedTextWalk::step() {
  const Node* node = node_;
  if (!node) return false;
  lastNode_ = node;
  const Element* e = node->asElement();
  bool descend = false;
  if (e) {
    if (e->kind() == TagKind::Br) forcedBreak();
    else if (!e->info().has(kNotRendered)) {
      if (e->info().has(kBlock)) blockEdge();
      descend = node->firstChild() != nullptr;
    }
  } else if (node->nodeType() == NodeType::Text) {
    const std::size_t from = std::min(offset_, node->data().size());
    offset_ = 0;
    appendText(*node, from, preformatted(*node));
  }
  if (descend) {
    node_ = node->firstChild();
    return true;
  }
  leave(*node);
  while (node != &scope_ && !node->nextSibling()) {
    node = node->parent();
    if (!node || node == &scope_) {
      node_ = nullptr;
      return true;
    }
    leave(*node);
  }
  node_ = node == &scope_ ? nullptr : node->nextSibling();
  return true;
}

void RenderedTextWalk::leave(const Node& n) {
  const Element* e = n.asElement();
  if (!e) return;
  if (e->info().has(kBlock)) blockEdge();
  if (e->info().has(kCell) && e->nextSibling()) {
    for (const Node* s = e->nextSibling(); s; s = s->nextSibling())
      if (const Element* c = s->asElement(); c && c->info().has(kCell)) {
        tab();
        break;
      }
  }
}

void RenderedTextWalk::appendText(const Node& node, std::size_t from, bool preformatted) {
  const std::u16string& data = node.data();
  for (std::size_t i = from; i < data.size(); ++i) {
    const char16_t c = data[i];
    if (!preformatted && isSpace(c)) {
      if (!pendingSpace_) pendingSpaceSource_ = {&node, i};
      pendingSpace_ = true;
      continue;
    }
    if (preformatted && (c == u'\n' || c == u'\r')) {
      if (c == u'\n') forcedBreak();
      continue;
    }
    flushPending();
    push(c, {&node, i});
  }
}

void RenderedTextWalk::blockEdge() {
  pendingSpace_ = false;
  if (!text_.empty()) pendingBreak_ = true;
}

void RenderedTextWalk::forcedBreak() {
  pendingSpace_ = false;
  pendingBreak_ = false;
  push(u'\r', {});
  push(u'\n', {});
  atLineStart_ = true;
}

void RenderedTextWalk::tab() {
  pendingSpace_ = false;
  flushPending();
  push(u'\t', {});
}

void RenderedTextWalk::flushPending() {
  if (pendingBreak_) {
    push(u'\r', {});
    push(u'\n', {});
    pendingBreak_ = false;
    pendingSpace_ = false;
    atLineStart_ = true;
  }
  if (pendingSpace_ && !atLineStart_ && (text_.empty() || text_.back() != u'\t')) push(u' ', pendingSpaceSource_);
  pendingSpace_ = false;
  atLineStart_ = false;
}

void RenderedTextWalk::push(char16_t c, Source source) {
  text_.push_back(c);
  if (keepSources_) sources_.push_back(source);
}

std::u16string textContent(const Node& scope) {
  if (scope.nodeType() != NodeType::Element && scope.nodeType() != NodeType::Document) return scope.data();
  std::u16string out;
  for (const Node* n = scope.firstChild(); n; n = n->nextInScope(&scope))
    if (n->nodeType() == NodeType::Text) out += n->data();
  return out;
}

std::u16string collapsedText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  bool space = false;
  for (char16_t c : text) {
    if (isSpace(c)) {
      space = !out.empty();
      continue;
    }
    if (space) out.push_back(u' ');
    space = false;
    out.push_back(c);
  }
  return out;
}

}  // namespace trenmoor::html
