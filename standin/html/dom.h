// The document object model of the HTML stand-in: a mutable tree of documents, elements, texts
// and comments, each node itself a late-bound object (Dispatch), so an element always yields
// the same object and ComObject::sameObject tells identity.
//
// Ownership: a parent holds a counted reference on each child; a node removed from the tree
// lives on while someone holds it. Nodes share a small DocumentContext with their document
// (mutation counter, the document while it lives), so a node that outlives its document reads
// document-dependent members as empty instead of touching freed memory.
//
// Texts are stored as UTF-16, the form the dispatch interface speaks, so a member read costs no
// conversion.
//
// Use: Ref<Document> d = Document::load({bytes, "http://host/page", headerCharset}, &host);
// then ComObject(d.dispatch()) is the document as the driver sees it; d->setReadyState(...)
// as loading progresses; frame.setContentDocument(child) when the host has loaded a frame;
// d->setHost(nullptr) before the host goes away.
//
// Scripts: Document::load runs the page's inline scripts in document order (script_engine.h);
// setReadyState(Complete) fires the window's onload once. Each document has its own script
// engine, a frame's too; engines of frames are shut down when their page goes.
//
// Decisions: markup is written with tag names in capitals (as the classic engine writes them);
// reading the document's `location` as a member gives the address text, the location object is
// the window's; document.write after loading replaces the document (see Document::write).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/dispatch.h"
#include "standin/html/page_origin.h"

namespace trenmoor::desktop {
struct Pixels;
}

namespace trenmoor::html {

class Document;
class Element;
class EventHandlers;
class EventObject;
class ScriptEngine;
class StyleObject;
class WindowObject;
struct StyleRuleList;

// A counted reference to one of our dispatch objects, typed.
template <typename T>
class Ref {
 public:
  Ref() = default;
  Ref(T* object) : object_(object) {  // NOLINT: implicit by design
    if (object_) object_->addRef();
  }
  Ref(const Ref& other) : Ref(other.object_) {}
  Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  Ref& operator=(Ref other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~Ref() {
    if (object_) object_->release();
  }
  T* get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }
  DispatchRef dispatch() const { return DispatchRef(object_); }

 private:
  T* object_ = nullptr;
};

enum class NodeType : std::int32_t { Element = 1, Text = 3, Comment = 8, Document = 9 };

// State shared by a document and every node created for it.
struct DocumentContext {
  // Nodes a page may hold: far beyond any real page. The parser stops adding nodes there and
  // scripts that pass it are stopped.
  static constexpr std::size_t kMaxNodes = 250000;

  Document* document = nullptr;  // cleared when the document goes
  std::uint64_t mutations = 0;   // bumped by every change of structure or attributes
  std::size_t nodes = 0;         // nodes made for the document that still live
};

// Element kinds with behaviour of their own; every other tag is Other.
enum class TagKind : std::uint8_t {
  Other, Html, Head, Body, Title, Base, Meta, Style, Script, A, Area, Img, Input, Button, Select,
  Option, OptGroup, TextArea, Form, FieldSet, Label, Table, Caption, THead, TBody, TFoot, Tr, Td,
  Th, Col, ColGroup, Frame, IFrame, FrameSet, Br, Hr, Div, P, Span, Li, Pre, Link, Object
};

struct TagInfo;  // name, kind and behaviour flags of a known tag (tag_table.h)

class Node : public Dispatch {
 public:
  NodeType nodeType() const { return type_; }
  bool isElement() const { return type_ == NodeType::Element; }
  Element* asElement();
  const Element* asElement() const;

  Node* parent() const { return parent_; }
  Element* parentElement() const;
  Node* firstChild() const { return first_; }
  Node* lastChild() const { return last_; }
  Node* nextSibling() const { return next_; }
  Node* previousSibling() const { return previous_; }
  // The next node in document order that lies inside `scope` (scope itself excluded), or null.
  Node* nextInScope(const Node* scope) const;
  // The next node in document order after this node's whole subtree, within `scope`, or null.
  Node* nextSkippingChildren(const Node* scope) const;
  bool contains(const Node* other) const;

  // Tree changes. `child` is taken out of its old place first. Changes bump the mutation count.
  void appendChild(Node* child);
  void insertBefore(Node* child, Node* before);  // before == null: append
  void removeChild(Node* child);
  void removeAllChildren();

  const std::shared_ptr<DocumentContext>& context() const { return context_; }
  Document* document() const { return context_->document; }
  void noteMutation() const { ++context_->mutations; }

  // Text of a text or comment node (empty for elements and documents).
  const std::u16string& data() const { return data_; }
  void setData(std::u16string data);

 protected:
  Node(NodeType type, std::shared_ptr<DocumentContext> context)
      : type_(type), context_(std::move(context)) {
    ++context_->nodes;
  }
  ~Node() override;

  std::u16string data_;

 private:
  void unlink(Node* child);

  NodeType type_;
  std::shared_ptr<DocumentContext> context_;
  Node* parent_ = nullptr;
  Node* first_ = nullptr;
  Node* last_ = nullptr;
  Node* next_ = nullptr;
  Node* previous_ = nullptr;
};

// A text or comment node.
class CharacterNode final : public Node {
 public:
  static Ref<CharacterNode> create(NodeType type, std::shared_ptr<DocumentContext> context,
                                   std::u16string data);
  bool getMember(std::u16string_view name, Variant& result) override;
  bool putMember(std::u16string_view name, const Variant& value) override;
  bool invoke(std::u16string_view name, std::span<const Variant> arguments, Variant& result) override;

 private:
  using Node::Node;
};

struct Attribute {
  std::u16string name;  // lower case
  std::u16string value;
};

class Element final : public Node {
 public:
  // `name` is the tag name in any case.
  static Ref<Element> create(std::shared_ptr<DocumentContext> context, std::u16string_view name);

  TagKind kind() const;
  const TagInfo& info() const { return *info_; }
  std::u16string tagName() const;     // capitals
  std::u16string localName() const;   // lower case
  bool hasTagName(std::u16string_view lowerName) const;

  // --- attributes (names compared in lower case) ------------------------------------------
  const std::vector<Attribute>& attributes() const { return attributes_; }
  const std::u16string* attribute(std::u16string_view name) const;
  std::u16string attributeOr(std::u16string_view name, std::u16string_view fallback = {}) const;
  bool hasAttribute(std::u16string_view name) const { return attribute(name) != nullptr; }
  void setAttribute(std::u16string_view name, std::u16string value);
  bool removeAttribute(std::u16string_view name);
  // Appends without looking for an existing one (the parser's path: names already unique).
  void appendParsedAttribute(std::u16string name, std::u16string value);

  // --- form-control state (the properties that part from their attribute once written) ----
  struct FormState {
    std::u16string value;
    bool valueDirty = false;
    bool checked = false;
    bool checkedDirty = false;
  };
  FormState& control() { return control_; }
  const FormState& control() const { return control_; }

  // --- frames -------------------------------------------------------------------------------
  // The document the browser loaded into this frame or iframe element (may be empty).
  const Ref<Document>& contentDocument() const { return contentDocument_; }
  void setContentDocument(Ref<Document> document);

  // An img element's picture as its src delivered it, decoded; null until it has loaded or
  // when it did not decode.
  std::shared_ptr<const desktop::Pixels> picture;

  // Cache of the style object, which holds this element (identity of `style`).
  StyleObject* styleCache = nullptr;

  // Handlers assigned to the element's on... properties (attribute handlers compile on first
  // use and are cached here too).
  EventHandlers& handlers();
  EventHandlers* handlersIfAny() const { return handlers_.get(); }

  bool getMember(std::u16string_view name, Variant& result) override;
  bool putMember(std::u16string_view name, const Variant& value) override;
  bool invoke(std::u16string_view name, std::span<const Variant> arguments, Variant& result) override;

 private:
  Element(std::shared_ptr<DocumentContext> context, const TagInfo* info);
  ~Element() override;

  const TagInfo* info_;
  std::u16string customName_;  // lower case, for tags outside the table
  std::vector<Attribute> attributes_;
  FormState control_;
  Ref<Document> contentDocument_;
  std::unique_ptr<EventHandlers> handlers_;
};

enum class LoadingState { Loading, Interactive, Complete };

// A script error of the page, kept where a test can see it. Errors never leave the page.
struct ScriptError {
  std::u16string message;  // "ReferenceError: identifier 'x' undefined"
  std::u16string source;   // what ran: "inline script 1 line 3", "onclick of INPUT#go", ...
};

class DocumentHost;

// What a page is made from.
struct PageSource {
  std::span<const std::uint8_t> bytes;
  std::string address;  // absolute URL of the page, UTF-8
  std::string charset;  // from the HTTP header; empty: look in the page, else code page 936
};

class Document final : public Node {
 public:
  // Parses a page into a new document. `host` (may be null) must outlive the document or be
  // detached with setHost(nullptr) first. Frames found in the page are announced to the host.
  // `origin`: of a page made by another (about:blank takes its creator's); by default the
  // address's own.
  static Ref<Document> load(const PageSource& source, DocumentHost* host = nullptr,
                            std::optional<PageOrigin> origin = std::nullopt);
  // An empty document (an html element with head and body) at `address`.
  static Ref<Document> createEmpty(std::string address = "about:blank", DocumentHost* host = nullptr);

  // --- tree ---------------------------------------------------------------------------------
  Element* documentElement() const;
  Element* head() const;
  Element* body() const;  // the body (or frameset) element
  Element* elementById(std::u16string_view id) const;
  // Calls visit(element) for every element in document order.
  template <typename Visit>
  void forEachElement(Visit&& visit) const;

  // --- page facts ---------------------------------------------------------------------------
  const std::u16string& address() const { return address_; }
  const PageOrigin& origin() const { return origin_; }
  PageOrigin& origin() { return origin_; }
  // Whether this document's scripts may see `other` (page_origin.h).
  bool mayAccess(const Document& other) const { return html::mayAccess(origin_, other.origin_); }
  const std::u16string& charset() const { return charset_; }
  std::size_t fileSize() const { return fileSize_; }
  LoadingState readyState() const { return readyState_; }
  // Moving to Complete fires the window's onload handler (once per document): the browser
  // calls this when the page and its frames have loaded; Document::load leaves the state
  // Complete without firing it.
  void setReadyState(LoadingState state);
  // An absolute address for `reference`, resolved against the page (or its <base>).
  std::u16string resolve(std::u16string_view reference) const;

  // --- frames and windows ---------------------------------------------------------------------
  DocumentHost* host() const { return host_; }
  void setHost(DocumentHost* host) { host_ = host; }
  // The frame element holding this document, when it is a frame's document.
  Element* frameOwner() const { return frameOwner_; }
  Document* parentDocument() const;
  // The window object of this document (the same object while someone holds it).
  Ref<WindowObject> window();
  // Name of the top-level window (frames take the name of their element).
  std::u16string windowName;
  Element* activeElement = nullptr;  // set by focus; cleared when the element goes

  // --- writing the document ---------------------------------------------------------------------
  // open(), write(markup)..., close(). While an inline script runs during load, a write inserts
  // the parsed markup after the running script (after earlier writes of it), and scripts in it
  // run next. Otherwise a write opens the document implicitly; every write shows the markup
  // written so far at once (the document is parsed again from the written text), and close
  // ends the stream and runs the inline scripts of the new tree.
  void open();
  void write(std::u16string_view markup);
  void close();

  // --- scripts ----------------------------------------------------------------------------------
  // The page's script engine, made on first use; null once the document is going or its scripts
  // were shut down (a frame whose page went).
  ScriptEngine* scripts();
  // Shuts the script engine down for good (releasing what scripts held); frames' documents too.
  void shutScripts();
  bool scriptsShutDown() const { return scriptsShut_; }
  // Runs code of a javascript: address in the page (percent escapes decoded first).
  void runScriptAddress(std::u16string_view address);
  // Errors of the page's scripts, oldest first (the newest 1000 are kept).
  const std::vector<ScriptError>& scriptErrors() const { return scriptErrors_; }
  void recordScriptError(ScriptError error);
  // Handlers of the document's own on... properties and of its window's.
  EventHandlers& handlers();
  EventHandlers* handlersIfAny() const { return handlers_.get(); }
  EventHandlers& windowHandlers();
  // The events being dispatched, innermost last (window.event is the last one).
  std::vector<Ref<EventObject>> eventStack;
  // The text range the page or the user selected (text_range.h); empty: nothing selected.
  DispatchRef selectedRange;
  // Rules added through createStyleSheet, in the order of their sheets.
  std::vector<std::shared_ptr<StyleRuleList>> styleSheets;

  bool getMember(std::u16string_view name, Variant& result) override;
  bool putMember(std::u16string_view name, const Variant& value) override;
  bool invoke(std::u16string_view name, std::span<const Variant> arguments, Variant& result) override;

 private:
  friend class Element;
  friend class WindowObject;
  Document();
  ~Document() override;
  void replaceTree(std::u16string_view markup);
  void announceFrames(Node* scope);
  void runInlineScripts(Node* from);
  void fireLoad();
  friend void announceInsertedFrames(Node* subtree);

  std::u16string address_;
  PageOrigin origin_;
  std::u16string base_;
  // Resolved references by their text: pages resolve the same few addresses over and over.
  mutable std::unordered_map<std::u16string, std::u16string> resolved_;
  std::u16string charset_;
  std::size_t fileSize_ = 0;
  LoadingState readyState_ = LoadingState::Complete;
  DocumentHost* host_ = nullptr;
  Element* frameOwner_ = nullptr;
  WindowObject* windowCache_ = nullptr;
  bool streamOpen_ = false;
  std::u16string written_;
  // The inline script running during load and the node after which its writes go.
  Element* loadingScript_ = nullptr;
  Ref<Node> writeCursor_;
  std::unique_ptr<ScriptEngine> scripts_;
  bool scriptsShut_ = false;
  bool hadFrames_ = false;  // frames were announced: their scripts go with this document
  bool loadFired_ = false;
  std::vector<ScriptError> scriptErrors_;
  std::unique_ptr<EventHandlers> handlers_;
  std::unique_ptr<EventHandlers> windowHandlers_;
};

template <typename Visit>
void Document::forEachElement(Visit&& visit) const {
  for (Node* n = firstChild(); n; n = n->nextInScope(this))
    if (auto* e = n->asElement()) visit(*e);
}

// Tells the host about frame elements in a subtree that has just entered a document.
void announceInsertedFrames(Node* subtree);

}  // namespace trenmoor::html
