#include "standin/html/html_parser.h"

#include <gumbo.h>

#include <cctype>
#include <cstddef>
#include <string>
#include <memory>

#include "standin/html/tag_table.h"
#include "platform/text.h"

namespace trenmoor::html {
namespace {

// Deeper nesting is attached at this depth, as browsers cap parser depth, so that every walk
// of our tree stays shallow enough.
constexpr std::size_t kMaxDepth = 512;

// The parser's work grows with the nesting depth for every tag (it looks through the open
// elements), so markup nested deeper than our tree keeps anyway loses its deeper tags before
// the parser sees it; their text stays, at the deepest level kept.
constexpr std::size_t kMaxMarkupNesting = kMaxDepth;

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string lowerTagName(std::string_view markup, std::size_t& at) {
  std::string name;
  while (at < markup.size() && markup[at] != '>' && markup[at] != '/' && !std::isspace(static_cast<unsigned char>(markup[at])))
    name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(markup[at++]))));
  return name;
}

// The end of the tag whose attributes start at `at`: just past its '>' (quotes respected).
std::size_t tagEnd(std::string_view markup, std::size_t at) {
  char quote = 0;
  for (; at < markup.size(); ++at) {
    char c = markup[at];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return at + 1;
    }
  }
  return markup.size();
}

// Elements that open no level: void ones, and those a sibling of their kind closes.
bool opensNoLevel(std::string_view name) {
  static constexpr std::string_view kNames[] = {
      "area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "image", "img", "input",
      "keygen", "link", "meta", "param", "source", "track", "wbr", "p", "li", "dt", "dd", "option",
      "optgroup", "tr", "td", "th", "thead", "tbody", "tfoot", "colgroup", "caption", "rb", "rt", "rp", "rtc"};
  for (std::string_view known : kNames)
    if (name == known) return true;
  return false;
}

// Elements whose content is text up to their end tag.
bool holdsRawText(std::string_view name) {
  return name == "script" || name == "style" || name == "textarea" || name == "title" || name == "xmp" ||
         name == "iframe" || name == "noembed" || name == "noframes";
}

// `markup` without the tags that lie deeper than kMaxMarkupNesting (the same text when none).
// A cheap pass over the tags, not a parse: comments and raw text are stepped over whole.
std::string boundNesting(std::string_view markup) {
  std::string out;
  std::size_t copied = 0, depth = 0, excess = 0;
  auto drop = [&](std::size_t from, std::size_t to) {
    out.append(markup.substr(copied, from - copied));
    copied = to;
  };
  for (std::size_t at = markup.find('<'); at != std::string_view::npos && at + 1 < markup.size();
       at = markup.find('<', at)) {
    const std::size_t start = at;
    const char next = markup[at + 1];
    if (next == '!') {
      std::size_t end = markup.substr(at, 4) == "<!--" ? markup.find("-->", at + 4) : markup.find('>', at);
      at = end == std::string_view::npos ? markup.size() : end + 1;
    } else if (next == '/' && at + 2 < markup.size() && isAsciiLetter(markup[at + 2])) {
      at += 2;
      std::string name = lowerTagName(markup, at);
      at = tagEnd(markup, at);
      if (opensNoLevel(name)) continue;
      if (excess > 0) {
        --excess;
        drop(start, at);
      } else if (depth > 0) {
        --depth;
      }
    } else if (isAsciiLetter(next)) {
      at += 1;
      std::string name = lowerTagName(markup, at);
      at = tagEnd(markup, at);
      if (holdsRawText(name)) {
        // Up to "</name", in any case.
        std::size_t close = at;
        while ((close = markup.find("</", close)) != std::string_view::npos) {
          std::size_t n = close + 2;
          if (lowerTagName(markup, n) == name) break;
          close += 2;
        }
        at = close == std::string_view::npos ? markup.size() : close;
        continue;  // its end tag closes the level it opened
      }
      if (opensNoLevel(name)) continue;
      if (depth < kMaxMarkupNesting) {
        ++depth;
      } else {
        ++excess;
        drop(start, at);
      }
    } else {
      ++at;
    }
  }
  if (copied == 0) return std::string(markup);
  out.append(markup.substr(copied));
  return out;
}

std::u16string elementName(const GumboElement& element) {
  if (element.tag != GUMBO_TAG_UNKNOWN) return utf8ToWide(gumbo_normalized_tagname(element.tag));
  GumboStringPiece piece = element.original_tag;
  gumbo_tag_from_original_text(&piece);
  return asciiLower(utf8ToWide(std::string_view(piece.data, piece.length)));
}

Ref<Node> makeNode(const GumboNode& node, const std::shared_ptr<DocumentContext>& context) {
  switch (node.type) {
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE: {
      const GumboElement& source = node.v.element;
      Ref<Element> element = Element::create(context, elementName(source));
      for (unsigned i = 0; i < source.attributes.length; ++i) {
        const auto* a = static_cast<const GumboAttribute*>(source.attributes.data[i]);
        element->appendParsedAttribute(utf8ToWide(a->name), utf8ToWide(a->value));
      }
      return Ref<Node>(element.get());
    }
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_CDATA:
    case GUMBO_NODE_WHITESPACE:
      return Ref<Node>(CharacterNode::create(NodeType::Text, context, utf8ToWide(node.v.text.text)).get());
    case GUMBO_NODE_COMMENT:
      return Ref<Node>(CharacterNode::create(NodeType::Comment, context, utf8ToWide(node.v.text.text)).get());
    case GUMBO_NODE_DOCUMENT:
      break;
  }
  return {};
}

// Appends copies of gumbo's children of `source` under `target`, depth first, without recursion.
void copyChildren(const GumboNode& source, Node& target, const std::shared_ptr<DocumentContext>& context) {
  struct Frame {
    const GumboVector* children;
    unsigned next;
    Node* target;
  };
  auto childrenOf = [](const GumboNode& n) -> const GumboVector* {
    if (n.type == GUMBO_NODE_ELEMENT || n.type == GUMBO_NODE_TEMPLATE) return &n.v.element.children;
    if (n.type == GUMBO_NODE_DOCUMENT) return &n.v.document.children;
    return nullptr;
  };
  std::vector<Frame> stack;
  stack.push_back({childrenOf(source), 0, &target});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (!top.children || top.next >= top.children->length) {
      stack.pop_back();
      continue;
    }
    if (context->nodes >= DocumentContext::kMaxNodes) return;  // the rest of a page too big is left out
    const auto& child = *static_cast<const GumboNode*>(top.children->data[top.next++]);
    Ref<Node> node = makeNode(child, context);
    if (!node) continue;
    Node* parent = top.target;
    parent->appendChild(node.get());
    const GumboVector* grandChildren = childrenOf(child);
    if (grandChildren && grandChildren->length > 0)
      stack.push_back({grandChildren, 0, stack.size() < kMaxDepth ? node.get() : parent});
  }
}

// gumbo's parse tree lives only while we copy it, so its allocations come from an arena that
// is dropped whole: freeing is a no-op and no node is freed one by one.
class Arena {
 public:
  static void* allocate(void* self, std::size_t size) { return static_cast<Arena*>(self)->take(size); }
  static void deallocate(void*, void*) {}

 private:
  static constexpr std::size_t kBlock = 256 * 1024;
  void* take(std::size_t size) {
    size = (size + 15) & ~std::size_t{15};
    if (size > kBlock / 4) return blocks_.emplace_back(new std::byte[size]).get();
    if (used_ + size > kBlock || blocks_.empty()) {
      current_ = blocks_.emplace_back(new std::byte[kBlock]).get();
      used_ = 0;
    }
    void* at = current_ + used_;
    used_ += size;
    return at;
  }
  std::vector<std::unique_ptr<std::byte[]>> blocks_;
  std::byte* current_ = nullptr;
  std::size_t used_ = 0;
};

class GumboParse {
 public:
  // Parses `utf8` with its too deep nesting cut; gumbo's tree points into the text it parsed.
  GumboParse(const GumboOptions& options, std::string_view utf8) : options_(options), input_(boundNesting(utf8)) {
    options_.allocator = &Arena::allocate;
    options_.deallocator = &Arena::deallocate;
    options_.userdata = &arena_;
    options_.max_errors = 0;  // parse errors are not kept
    output_ = gumbo_parse_with_options(&options_, input_.data(), input_.size());
  }
  GumboParse(const GumboParse&) = delete;
  GumboParse& operator=(const GumboParse&) = delete;
  const GumboOutput* output() const { return output_; }

 private:
  Arena arena_;
  GumboOptions options_;
  std::string input_;
  GumboOutput* output_ = nullptr;
};

}  // namespace

void parseDocumentInto(Document& document, std::string_view utf8) {
  GumboParse parse(kGumboDefaultOptions, utf8);
  if (!parse.output()) return;
  copyChildren(*parse.output()->document, document, document.context());
}

std::vector<Ref<Node>> parseFragment(const std::shared_ptr<DocumentContext>& context,
                                     std::u16string_view contextTag, std::u16string_view markup) {
  std::vector<Ref<Node>> nodes;
  std::string utf8 = wideToUtf8(markup);
  std::string tag = wideToUtf8(contextTag);
  GumboOptions options = kGumboDefaultOptions;
  options.fragment_context = gumbo_tagn_enum(tag.data(), static_cast<unsigned>(tag.size()));
  if (options.fragment_context == GUMBO_TAG_UNKNOWN || options.fragment_context == GUMBO_TAG_HTML)
    options.fragment_context = GUMBO_TAG_DIV;
  options.fragment_namespace = GUMBO_NAMESPACE_HTML;
  GumboParse parse(options, utf8);
  if (!parse.output() || !parse.output()->root) return nodes;
  // The fragment's nodes are the children of the root element gumbo makes for it.
  Ref<Element> holder = Element::create(context, u"div");
  copyChildren(*parse.output()->root, *holder, context);
  while (Node* child = holder->firstChild()) {
    nodes.emplace_back(child);
    holder->removeChild(child);
  }
  return nodes;
}

}  // namespace trenmoor::html
