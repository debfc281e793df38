#include "standin/html/dom.h"

#include <string>

#include "standin/html/document_host.h"
#include "standin/html/event_dispatch.h"
#include "standin/html/html_parser.h"
#include "standin/html/markup_writer.h"
#include "standin/html/page_timers.h"
#include "standin/html/popup_object.h"
#include "standin/html/script_engine.h"
#include "standin/html/style_sheet.h"
#include "standin/html/page_decoding.h"
#include "standin/html/tag_table.h"
#include "platform/text.h"
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
  --context_->nodes;
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

Element::Element(std::shared_ptr<DocumentContext> context, const TagInfo* info)
    : Node(NodeType::Element, std::move(context)), info_(info) {}

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
  if (contentDocument_.get() == document.get()) return;
  if (contentDocument_) {
    contentDocument_->frameOwner_ = nullptr;
    contentDocument_->shutScripts();  // the frame's page went
  }
  contentDocument_ = std::move(document);
  if (contentDocument_) contentDocument_->frameOwner_ = this;
  if (Document* owner = this->document(); owner && contentDocument_) owner->hadFrames_ = true;
}

// --- Document ---------------------------------------------------------------------------------

Document::Document() : Node(NodeType::Document, std::make_shared<DocumentContext>()) {
  context()->document = this;
}

Document::~Document() {
  shutScripts();
  scripts_.reset();  // even when it was running: nothing holds the document any more
  context()->document = nullptr;
}

// --- scripts ----------------------------------------------------------------------------------

ScriptEngine* Document::scripts() {
  if (scriptsShut_) return nullptr;
  if (!scripts_) scripts_ = std::make_unique<ScriptEngine>(*this);
  return scripts_.get();
}

// Frames' engines go first: a frame's scripts may hold elements of this page (its frame
// element), which hold the frame's document.
void Document::shutScripts() {
  scriptsShut_ = true;
  stopPageTimers(*this);
  closePopups(*this);
  if (hadFrames_) {
    forEachElement([](Element& e) {
      if (e.contentDocument()) e.contentDocument()->shutScripts();
    });
  }
  if (scripts_ && !scripts_->running()) scripts_.reset();
}

void Document::recordScriptError(ScriptError error) {
  constexpr std::size_t kKept = 1000;
  if (scriptErrors_.size() >= kKept) scriptErrors_.erase(scriptErrors_.begin());
  scriptErrors_.push_back(std::move(error));
}

void Document::setReadyState(LoadingState state) {
  readyState_ = state;
  if (state == LoadingState::Complete && !loadFired_) {
    loadFired_ = true;
    fireLoad();
  }
}

void Document::fireLoad() { dispatchWindowEvent(*this, u"load"); }

namespace {

bool namesScriptLanguage(std::u16string_view text) {
  std::u16string lower = asciiLower(text);
  return lower.find(u"javascript") != std::u16string::npos || lower.find(u"jscript") != std::u16string::npos ||
         lower.find(u"ecmascript") != std::u16string::npos;
}

// Inline scripts in JavaScript: no type or language, or one naming it.
bool runsInPage(const Element& script) {
  if (script.hasAttribute(u"src")) return false;
  if (const std::u16string* type = script.attribute(u"type"); type && !type->empty()) return namesScriptLanguage(*type);
  if (const std::u16string* language = script.attribute(u"language"); language && !language->empty())
    return namesScriptLanguage(*language);
  return true;
}

int hexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

void Document::runInlineScripts(Node* scope) {
  int count = 0;
  for (Node* n = scope; n;) {
    Element* e = n->asElement();
    if (!e || e->kind() != TagKind::Script || !runsInPage(*e)) {
      n = n->nextInScope(scope);
      continue;
    }
    ScriptEngine* engine = scripts();
    if (!engine) return;
    Ref<Element> script(e);
    loadingScript_ = e;
    writeCursor_ = Ref<Node>(e);
    engine->run(textContent(*e), u"inline script " + utf8ToWide(std::to_string(++count)));
    loadingScript_ = nullptr;
    writeCursor_ = Ref<Node>();
    if (!scope->contains(e)) break;  // the script took itself out: the walk cannot go on from it
    n = e->nextInScope(scope);
  }
}

void Document::runScriptAddress(std::u16string_view address) {
  std::size_t colon = address.find(u':');
  if (colon == std::u16string_view::npos) return;
  std::u16string_view code = address.substr(colon + 1);
  std::string bytes;
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (code[i] == u'%' && i + 2 < code.size() && hexValue(code[i + 1]) >= 0 && hexValue(code[i + 2]) >= 0) {
      bytes.push_back(static_cast<char>(hexValue(code[i + 1]) * 16 + hexValue(code[i + 2])));
      i += 2;
    } else {
      bytes += wideToUtf8(code.substr(i, 1));
    }
  }
  if (ScriptEngine* engine = scripts()) engine->run(utf8ToWide(bytes), u"javascript: address");
}

Ref<Document> Document::load(const PageSource& source, DocumentHost* host, std::optional<PageOrigin> origin) {
  Ref<Document> document(new Document());
  DecodedPage page = decodePage(source.bytes, source.charset);
  document->address_ = utf8ToWide(source.address);
  document->origin_ = origin ? std::move(*origin) : PageOrigin::ofAddress(document->address_);
  document->charset_ = utf8ToWide(page.charset);
  document->fileSize_ = source.bytes.size();
  document->host_ = host;
  parseDocumentInto(*document, page.utf8);
  document->base_ = document->address_;
  document->forEachElement([&](Element& e) {
    if (e.kind() == TagKind::Base && e.hasAttribute(u"href") && document->base_ == document->address_)
      document->base_ = resolveAddress(document->address_, e.attributeOr(u"href"));
  });
  document->announceFrames(document.get());
  document->readyState_ = LoadingState::Loading;
  document->runInlineScripts(document.get());
  document->readyState_ = LoadingState::Complete;
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
  Ref<WindowObject> window = WindowObject::create(Ref<Document>(this), std::shared_ptr<DocumentContext>());
  windowCache_ = window.get();
  return window;
}

void Document::announceFrames(Node* scope) {
  if (!host_) return;
  std::vector<Ref<Element>> frames, images;
  for (Node* n = scope; n; n = n->nextInScope(scope)) {
    if (auto* e = n->asElement(); e && (e->kind() == TagKind::Frame || e->kind() == TagKind::IFrame))
      frames.emplace_back(e);
    else if (e && e->kind() == TagKind::Img && e->hasAttribute(u"src"))
      images.emplace_back(e);
  }
  // Images are fetched as they enter the page, as browsers do.
  for (auto& image : images) host_->loadImage(*this, *image, resolve(*image->attribute(u"src")));
  hadFrames_ = hadFrames_ || !frames.empty();
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
  parseDocumentInto(*this, wideToUtf8(markup));
  announceFrames(this);
}

void Document::open() {
  streamOpen_ = true;
  written_.clear();
  replaceTree(u"");
}

void Document::write(std::u16string_view markup) {
  Node* parent = loadingScript_ && writeCursor_ && contains(loadingScript_) ? writeCursor_->parent() : nullptr;
  if (parent) {
    // At the parser's position: after the running script and what it wrote before.
    Element* holder = parent->asElement();
    std::vector<Ref<Node>> nodes = parseFragment(context(), holder ? holder->localName() : u"body", markup);
    Node* before = writeCursor_->nextSibling();
    for (auto& node : nodes) parent->insertBefore(node.get(), before);
    for (auto& node : nodes) announceInsertedFrames(node.get());
    if (!nodes.empty()) writeCursor_ = nodes.back();
    return;
  }
  if (!streamOpen_) open();
  written_ += markup;
  replaceTree(written_);
}

void Document::close() {
  bool wasOpen = streamOpen_;
  streamOpen_ = false;
  written_.clear();
  if (wasOpen) runInlineScripts(this);
}

}  // namespace trenmoor::html
