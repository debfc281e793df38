// Text ranges and the document's selection, with the classic object model's behaviour.
//
// A text range spans the rendered text of a scope (the body it was made from) between two
// places, each a text node and an offset into its data. Searches and moves walk the rendered
// text (markup_writer.h) from a place onward, so a search costs what lies between the place and
// the match, not the whole page. Places survive changes of the tree: a place whose node has
// left the scope falls back to the scope's start.
//
// Decisions: moves count the characters of the page's text; the line breaks and tabs the
// layout adds between blocks and cells are not stops. A selection that is empty (collapsed or
// none) reads as type "None" and createRange gives no range, so nothing is pasted into a page
// where nothing was selected. A range's markup widens to whole elements whose text it covers
// entirely, so a selected bold word reads with its tags.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include "standin/html/dom.h"
#include "standin/html/member_table.h"

namespace trenmoor::html {

struct TextPlace {
  Ref<Node> node;  // a text node inside the scope, or the scope itself when it holds no text
  std::size_t offset = 0;
};

class TextRange final : public TableDispatch<TextRange> {
 public:
  // A range over the whole rendered text of `scope`.
  static Ref<TextRange> create(Ref<Element> scope);
  Ref<TextRange> duplicate() const;

  Element& scope() const { return *scope_; }
  // True when the range still lies in a tree (its scope is the body of a document).
  bool attached() const;
  bool collapsed();

  // --- the operations the members call ------------------------------------------------------
  std::u16string text();
  std::u16string htmlText();
  // Searches forward from the range's start to the end of the scope; on a match the range
  // spans it. `matchCase`: compare exactly; otherwise letters fold to lower case.
  bool findText(std::u16string_view needle, bool matchCase);
  enum class Unit { Character, Word };
  enum class End { Start, End };
  // Moves one end by `count` units (negative: backward); the number of units moved. The other
  // end follows when the ends would cross.
  std::int32_t moveEnd(End end, Unit unit, std::int32_t count);
  void collapse(bool toStart);
  // Replaces the range's contents with the parsed markup (or with the text as a text node),
  // splitting text nodes where the ends fall inside them; the range then collapses after what
  // was inserted.
  void paste(std::u16string_view content, bool asMarkup);
  // The range spans the rendered text of the element (collapsed before it when it has none).
  bool moveToElementText(Element& element);
  Element* parentElement();
  // -1, 0 or 1: this range's `mine` end against `other`'s `theirs` end in document order.
  int compareEnds(End mine, const TextRange& other, End theirs);
  void setEnd(End mine, const TextRange& other, End theirs);

  static const MemberTable<TextRange>& members();

 private:
  explicit TextRange(Ref<Element> scope) : scope_(std::move(scope)) {}
  // Brings both places back into the scope and in order; false, changing nothing, when the
  // range's tree has left its document (a range then spans nothing and changes nothing).
  bool normalize();
  TextPlace& place(End end) { return end == End::Start ? start_ : end_; }

  Ref<Element> scope_;
  TextPlace start_;
  TextPlace end_;
};

// The document's selection object: type, createRange, empty.
class SelectionObject final : public TableDispatch<SelectionObject> {
 public:
  static Ref<SelectionObject> create(std::shared_ptr<DocumentContext> context);

  static const MemberTable<SelectionObject>& members();

  // The selected range of the document when it is still attached and not collapsed.
  static TextRange* selectedRange(Document& document);
  Document* document() const { return context_->document; }

 private:
  explicit SelectionObject(std::shared_ptr<DocumentContext> context) : context_(std::move(context)) {}
  std::shared_ptr<DocumentContext> context_;
};

// Members that other tables take in: the body's createTextRange and the document's selection.
std::span<const Member<Element>> bodyTextRangeMembers();
bool readDocumentSelection(Document& document, Variant& result);

}  // namespace trenmoor::html
