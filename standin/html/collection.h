// Live collections: a root, a filter and a scope, evaluated on access. The matching nodes are
// cached until the document's mutation count moves, so walking item(0..n) is linear.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "standin/html/dom.h"
#include "standin/html/member_table.h"

namespace trenmoor::html {

enum class CollectionFilter : std::uint8_t {
  AllElements,   // every element below the root (all, getElementsByTagName("*"))
  Children,      // element children of the root
  ChildNodes,    // every child node of the root
  Forms,         // form elements
  Images,        // img elements
  Links,         // a and area elements with an href
  Anchors,       // a elements with a name
  Frames,        // frame and iframe elements; items are their windows
  Rows,          // rows of the root table (not of tables inside it)
  Cells,         // cells of the root row, or of every row of the root table
  Options,       // option elements of the root select
  FormElements,  // controls of the root form
  Named,         // elements whose name attribute is the key (getElementsByName)
};

class Collection final : public TableDispatch<Collection> {
 public:
  // `tag` (lower case, empty: any) narrows the filter further; `key` is the name for Named.
  static Ref<Collection> create(Ref<Node> root, CollectionFilter filter, std::u16string tag = {},
                                std::u16string key = {});

  std::size_t length();
  Node* at(std::size_t index);  // null when out of range
  // The first element whose id or name is `name`.
  Element* named(std::u16string_view name);
  // The object an item reads as: the node, or for Frames the frame's window.
  DispatchRef itemObject(Node* node) const;
  Ref<Collection> tags(std::u16string_view tag) const;

  const Ref<Node>& root() const { return root_; }
  CollectionFilter filter() const { return filter_; }
  const std::u16string& tag() const { return tag_; }
  const std::u16string& key() const { return key_; }


  static const MemberTable<Collection>& members();

 private:
  Collection(Ref<Node> root, CollectionFilter filter, std::u16string tag, std::u16string key)
      : root_(std::move(root)), filter_(filter), tag_(std::move(tag)), key_(std::move(key)) {}
  const std::vector<Node*>& items();
  bool matches(const Element& e) const;

  Ref<Node> root_;
  CollectionFilter filter_;
  std::u16string tag_;
  std::u16string key_;
  std::vector<Node*> items_;
  std::uint64_t stamp_ = 0;
  bool cached_ = false;
};

// Index of a row in its table's rows, of a cell in its row's cells; -1 outside a table.
std::int32_t rowIndex(Element& row);
std::int32_t cellIndex(Element& cell);

}  // namespace trenmoor::html
