// The element lookup rule and the walk over a kind of element that every finder and marker
// shares. A finder is a description of what it walks and compares, handed to the one rule.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/com_object.h"

namespace trenmoor {

// Which elements of one tag are counted: every one, or those whose `type` passes the filter.
enum class Counting { Every, TypeFiltered };

struct TagWalk {
  std::string_view tag;
  Counting counting = Counting::Every;
  // For a second walk: the word the filter must contain for it to happen.
  std::string_view whenFilterNames = {};
};

// A finder: the first tag; the second tag, walked only when the filter names it; the attributes
// compared in order (a constant array: a Finder may be kept and returned); and whether the
// first attribute matches by containing the key.
struct Finder {
  TagWalk first;
  TagWalk second;  // empty tag: none
  std::span<const std::string_view> attributes;
  bool firstAttributeContainsKey = false;
};

// True when the element's type passes the filter: the type occurs in the filter text (an empty
// type occurs in any non-empty filter).
bool typePasses(const ComObject& element, std::string_view filter);

// How a walk meets the collection's items: fetched one by one as the walk reaches them (a
// lookup that stops early fetches no more), or all fetched before the first is visited. The
// markers take them first: a label written into one element leaves the others where they
// stand, so they meet the same elements, and the page's live collection is not gathered again
// after every write.
enum class Visiting { Live, TakenFirst };

// The items of a collection as a walk meets them: length read once, item(index) 0-based.
class CollectionItems {
 public:
  CollectionItems(ComObject collection, Visiting visiting);
  std::int32_t length() const { return length_; }
  ComObject at(std::int32_t index) const;  // empty outside 0 .. length - 1

 private:
  ComObject collection_;
  std::vector<ComObject> taken_;
  std::int32_t length_ = 0;
};

// Calls `visit(element)` for each counted element of `walk` in document order, through the
// document's body.all.tags(tag) collection; stops early when `visit` returns false. Returns
// false when the walk was stopped.
bool walkCounted(const ComObject& document, const TagWalk& walk, std::string_view filter,
                 const std::function<bool(const ComObject&)>& visit, Visiting visiting = Visiting::Live);

// Walks `walk`, then `second` when the filter contains the word `second` asks for.
bool walkCountedWithSecond(const ComObject& document, const TagWalk& walk, const TagWalk& second,
                           std::string_view filter, const std::function<bool(const ComObject&)>& visit,
                           Visiting visiting = Visiting::Live);

// The element lookup rule: attribute matches (passing over `skip` of them) and the positional
// match on the key's number, element by element over the counted elements. `counter` advances
// from its given value and ends at the found element's position, or -1 with an empty result.
ComObject lookupElement(const ComObject& document, const Finder& finder, std::string_view filter,
                        std::string_view key, std::int32_t skip, std::int32_t& counter);

}  // namespace trenmoor
