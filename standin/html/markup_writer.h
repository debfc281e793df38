// Markup and rendered text of a subtree.
//
// Markup: tag names in capitals, as the classic engine writes them; attribute names as parsed
// (lower case) with values always in double quotes; text escaped (&amp; &lt; &gt; &nbsp;),
// raw-text elements (script, style, textarea, ...) written as they are; no line breaks are added.
//
// Rendered text (innerText): white space collapsed outside pre and textarea; one line break
// (CR LF) between blocks and for each br; a tab after each table cell but the last of its row;
// nothing from head, script, style and the like.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "standin/html/dom.h"

namespace trenmoor::html {

std::u16string outerMarkup(const Node& node);
std::u16string innerMarkup(const Node& node);
std::u16string renderedText(const Node& node);
// All text of the subtree, unchanged (textContent).
std::u16string textContent(const Node& node);
// Text with white space runs collapsed to one space and trimmed at both ends.
std::u16string collapsedText(std::u16string_view text);

// The pieces the writer builds markup from: an element's start and end tags (none for a void
// element) and text escaped as element content.
std::u16string startTag(const Element& e);
std::u16string endTag(const Element& e);
std::u16string escapedText(std::u16string_view text);

// The rendered text of a scope, built node by node in document order, optionally keeping for
// each character the place it comes from, so that text ranges can map the text back onto the
// tree. renderedText is this walk run to the end.
class RenderedTextWalk {
 public:
  // A character's place: a text node and an offset into its data; a null node for the line
  // breaks and tabs the layout adds. A space that stands for a run of white space comes from
  // the run's first character.
  struct Source {
    const Node* node = nullptr;
    std::size_t offset = 0;
  };
  enum class Sources { Keep, Drop };

  // Starts at `from` (a node inside `scope`; null: the scope's first child), and inside a text
  // node at `offset` of its data. A walk that starts inside the scope keeps a leading space.
  RenderedTextWalk(const Node& scope, const Node* from, std::size_t offset, Sources sources);

  // Renders the next node; false when the scope is done.
  bool step();
  // The node the last step rendered (null before the first).
  const Node* lastNode() const { return lastNode_; }
  const std::u16string& text() const { return text_; }
  const std::vector<Source>& sources() const { return sources_; }
  std::u16string takeText() { return std::move(text_); }

 private:
  void leave(const Node& node);
  void appendText(const Node& node, std::size_t from, bool preformatted);
  void blockEdge();
  void forcedBreak();
  void tab();
  void flushPending();
  void push(char16_t c, Source source);

  const Node& scope_;
  const Node* node_;
  const Node* lastNode_ = nullptr;
  std::size_t offset_;
  bool keepSources_;
  std::u16string text_;
  std::vector<Source> sources_;
  bool pendingSpace_ = false;
  Source pendingSpaceSource_;
  bool pendingBreak_ = false;
  bool atLineStart_;
};

}  // namespace trenmoor::html
