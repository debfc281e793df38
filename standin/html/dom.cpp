#include "standin/html/dom.h"

#include "standin/html/document_host.h"
#include "standin/html/html_parser.h"
#include "standin/html/page_decoding.h"
#include "standin/html/tag_table.h"
#include "standin/html/unicode_text.h"
#include "standin/html/url_address.h"
#include "standin/html/window_object.h"

namespace trenmoor::html {

// --- Node -----------------------------------------------------------------------------------

Element* Node::asElement() { return isElement() ? static_cast<Element*>(this) : nullptr; }
const Element* Node::asElement() const { return isElement() ? static_cast<const Element*>(this) : nullptr; }

Element* Node::parentElement() const { return parent_ ? parent_->asElement() : nullptr; }

Node* Node::nextInScope(const Node* scope) const {
  if (first_) return first_;
  return nextSkippingChildren(scope);
}

Node* Node::nextSkippingChildren(const Node* scope) const {
  for (const Node* n = this; n && n != scope; n = n->parent_)
    if (n->next_) return n->next_;
  return nullptr;
}

bool Node::contains(const Node* other) const {
  for (; other; other = other->parent_)
    if (other == this) return true;
  return false;
}

void Node::unlink(Node* child) {
  (child->previous_ ? child->previous_->next_ : first_) = child->next_;
  (child->next_ ? child->next_->previous_ : last_) = child->previous_;
  child->parent_ = child->next_ = child->previous_ = nullptr;
}

void Node::insertBefore(Node* child, Node* before) {
  if (!child || child == before || child->contains(this)) return;
  if (before && before->parent_ != this) return;
  child->addRef();  // held by this node from here on
  if (child->parent_) {
    Node* old = child->parent_;
    old->unlink(child);
    child->release();  // the old parent's reference
  }
  if (child->context_ != context_) {
    // A node from another document is adopted: its subtree counts its changes here from now on.
    for (Node* n = child; n; n = n->nextInScope(child)) n->context_ = context_;
  }
  child->parent_ = this;
  child->next_ = before;
  child->previous_ = before ? before->previous_ : last_;
  (child->previous_ ? child->previous_->next_ : first_) = child;
  (before ? before->previous_ : last_) = child;
  noteMutation();
}

void Node::appendChild(Node* child) { insertBefore(child, nullptr); }

void Node::removeChild(Node* child) {
  if (!child || child->parent_ != this) return;
  unlink(child);
  noteMutation();
  child->release();
}

void Node::removeAllChildren() {
  while (first_) removeChild(first_);
}

void Node::setData(std::u16string data) {
  data_ = std::move(data);
  noteMutation();
}

// Children are released through a worklist rather than by recursion, so that a deep tree
// cannot exhaust the stack when it goes.
Node::~Node() {
  thread_local std::vector<Node*> pending;
  thread_local bool draining = false;
  while (Node* child = first_) {
    first_ = child->next_;
    child->parent_ = child->next_ = child->previous_ = nullptr;
    pending.push_back(child);
  }
  last_ = nullptr;
  if (draining) return;
  draining = true;
  while (!pending.empty()) {
    Node* child = pending.back();
    pending.pop_back();
    child->release();
  }
  draining = false;
}

// --- CharacterNode ----------------------------------------------------------------------------

Ref<CharacterNode> CharacterNode::create(NodeType type, std::shared_ptr<DocumentContext> context,
                                         std::u16string data) {
  Ref<CharacterNode> node(new CharacterNode(type, std::move(context)));
  node->data_ = std::move(data);
  return node;
}

// --- Element ----------------------------------------------------------------------------------

Ref<Element> Element::create(std::shared_ptr<DocumentContext> context, std::u16string_view name) {
  std::u16string lower = asciiLower(name);
  const TagInfo& info = tagInfo(lower);
  Ref<Element> element(new Element(std::move(context), &info));
  if (info.lower.empty()) element->customName_ = std::move(lower);
  return element;
}

Element::~Element() {
  if (contentDocument_) contentDocument_->frameOwner_ = nullptr;
  if (Document* d = document(); d && d->activeElement == this) d->activeElement = nullptr;
}

TagKind Element::kind() const { return info_->kind; }

std::u16string Element::tagName() const { return info_->lower.empty() ? asciiUpper(customName_) : info_->upper; }
std::u16string Element::localName() const { return info_->lower.empty() ? customName_ : info_->lower; }

bool Element::hasTagName(std::u16string_view lowerName) const {
  return (info_->lower.empty() ? customName_ : info_->lower) == lowerName;
}

const std::u16string* Element::attribute(std::u16string_view name) const {
  for (const auto& a : attributes_)
    if (a.name.size() == name.size() && memberNameEquals(a.name, name)) return &a.value;
  return nullptr;
}

std::u16string Element::attributeOr(std::u16string_view name, std::u16string_view fallback) const {
  const std::u16string* value = attribute(name);
  return value ? *value : std::u16string(fallback);
}

void Element::setAttribute(std::u16string_view name, std::u16string value) {
  noteMutation();
  for (auto& a : attributes_) {
    if (memberNameEquals(a.name, name)) {
      a.value = std::move(value);
      return;
    }
  }
  attributes_.push_back({asciiLower(name), std::move(value)});
}

bool Element::removeAttribute(std::u16string_view name) {
  for (auto it = attributes_.begin(); it != attributes_.end(); ++it) {
    if (memberNameEquals(it->name, name)) {
      attributes_.erase(it);
      noteMutation();
      return true;
    }
  }
  return false;
}

void Element::appendParsedAttribute(std::u16string name, std::u16string value) {
  attributes_.push_back({std::move(name), std::move(value)});
}

void Element::setContentDocument(Ref<Document> document) {
  if (contentDocument_) contentDocument_->frameOwner_ = nullptr;
  contentDocument_ = std::move(document);
  if (contentDocument_) contentDocument_->frameOwner_ = this;
}

// --- Document ---------------------------------------------------------------------------------

Document::Document() : Node(NodeType::Document, std::make_shared<DocumentContext>()) {
  context()->document = this;
}

Document::~Document() {
  context()->document = nullptr;
}

Ref<Document> Document::load(const PageSource& source, DocumentHost* host) {
  Ref<Document> document(new Document());
  DecodedPage page = decodePage(source.bytes, source.charset);
  document->address_ = utf8ToUtf16(source.address);
  document->charset_ = utf8ToUtf16(page.charset);
  document->fileSize_ = source.bytes.size();
  document->host_ = host;
  parseDocumentInto(*document, page.utf8);
  document->base_ = document->address_;
  document->forEachElement([&](Element& e) {
    if (e.kind() == TagKind::Base && e.hasAttribute(u"href") && document->base_ == document->address_)
      document->base_ = resolveAddress(document->address_, e.attributeOr(u"href"));
  });
  document->announceFrames(document.get());
  return document;
}

Ref<Document> Document::createEmpty(std::string address, DocumentHost* host) {
  static constexpr std::uint8_t kEmpty[] = {'<', 'h', 't', 'm', 'l', '>'};
  return load(PageSource{kEmpty, std::move(address), "utf-8"}, host);
}

Element* Document::documentElement() const {
  for (Node* n = firstChild(); n; n = n->nextSibling())
    if (auto* e = n->asElement()) return e;
  return nullptr;
}

Element* Document::head() const {
  Element* root = documentElement();
  for (Node* n = root ? root->firstChild() : nullptr; n; n = n->nextSibling())
    if (auto* e = n->asElement(); e && e->kind() == TagKind::Head) return e;
  return nullptr;
}

Element* Document::body() const {
  Element* root = documentElement();
  for (Node* n = root ? root->firstChild() : nullptr; n; n = n->nextSibling())
    if (auto* e = n->asElement(); e && (e->kind() == TagKind::Body || e->kind() == TagKind::FrameSet)) return e;
  return nullptr;
}

Element* Document::elementById(std::u16string_view id) const {
  for (Node* n = firstChild(); n; n = n->nextInScope(this))
    if (auto* e = n->asElement())
      if (const auto* value = e->attribute(u"id"); value && *value == id) return e;
  return nullptr;
}

std::u16string Document::domain() const {
  AddressParts parts;
  return splitAddress(address_, parts) ? asciiLower(parts.hostname) : std::u16string();
}

std::u16string Document::resolve(std::u16string_view reference) const {
  constexpr std::size_t kRemembered = 4096;
  std::u16string key(reference);
  if (auto it = resolved_.find(key); it != resolved_.end()) return it->second;
  if (resolved_.size() >= kRemembered) resolved_.clear();
  return resolved_.emplace(std::move(key), resolveAddress(base_, reference)).first->second;
}

Document* Document::parentDocument() const { return frameOwner_ ? frameOwner_->document() : nullptr; }

Ref<WindowObject> Document::window() {
  if (windowCache_) return Ref<WindowObject>(windowCache_);
  Ref<WindowObject> window = WindowObject::create(Ref<Document>(this), {});
  windowCache_ = window.get();
  return window;
}

void Document::announceFrames(Node* scope) {
  if (!host_) return;
  std::vector<Ref<Element>> frames;
  for (Node* n = scope; n; n = n->nextInScope(scope))
    if (auto* e = n->asElement(); e && (e->kind() == TagKind::Frame || e->kind() == TagKind::IFrame))
      frames.emplace_back(e);
  for (auto& frame : frames) {
    const std::u16string* src = frame->attribute(u"src");
    host_->loadFrame(*this, *frame, src ? resolve(*src) : std::u16string());
  }
}

void announceInsertedFrames(Node* subtree) {
  if (Document* d = subtree ? subtree->document() : nullptr) d->announceFrames(subtree);
}

void Document::replaceTree(std::u16string_view markup) {
  removeAllChildren();
  activeElement = nullptr;
  parseDocumentInto(*this, utf16ToUtf8(markup));
  announceFrames(this);
}

void Document::open() {
  streamOpen_ = true;
  written_.clear();
  replaceTree(u"");
}

void Document::write(std::u16string_view markup) {
  if (!streamOpen_) open();
  written_ += markup;
  replaceTree(written_);
}

void Document::close() {
  streamOpen_ = false;
  written_.clear();
}

}  // namespace trenmoor::html
