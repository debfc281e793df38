#include "driver/element_lookup.h"

namespace trenmoor {

bool typePasses(const ComObject& element, std::string_view filter) {
  return containsText(filter, element.getText("type"));
}

CollectionItems::CollectionItems(ComObject collection, Visiting visiting)
    : collection_(std::move(collection)), length_(collection_.getInteger("length")) {
  if (visiting == Visiting::Live) return;
  for (std::int32_t i = 0; i < length_; ++i) taken_.push_back(collection_.callObject("item", {Variant(static_cast<double>(i))}));
  collection_.clear();
}

ComObject CollectionItems::at(std::int32_t index) const {
  if (collection_.empty()) return index >= 0 && index < length_ ? taken_[static_cast<std::size_t>(index)] : ComObject();
  return collection_.callObject("item", {Variant(static_cast<double>(index))});
}

bool walkCounted(const ComObject& document, const TagWalk& walk, std::string_view filter,
                 const std::function<bool(const ComObject&)>& visit, Visiting visiting) {
  const CollectionItems items(
      document.getObject("body").getObject("all").callObject("tags", {ComObject::textArgument(walk.tag)}), visiting);
  for (std::int32_t i = 1; i <= items.length(); ++i) {
    const ComObject element = items.at(i - 1);
    if (walk.counting == Counting::TypeFiltered && !typePasses(element, filter)) continue;
    if (!visit(element)) return false;
  }
  return true;
}

bool walkCountedWithSecond(const ComObject& document, const TagWalk& walk, const TagWalk& second,
                           std::string_view filter, const std::function<bool(const ComObject&)>& visit,
                           Visiting visiting) {
  if (!walkCounted(document, walk, filter, visit, visiting)) return false;
  if (second.tag.empty() || !containsText(filter, second.whenFilterNames)) return true;
  return walkCounted(document, second, filter, visit, visiting);
}

ComObject lookupElement(const ComObject& document, const Finder& finder, std::string_view filter,
                        std::string_view key, std::int32_t skip, std::int32_t& counter) {
  const std::int32_t keyNumber = truncatedInteger(key);
  ComObject found;
  walkCountedWithSecond(document, finder.first, finder.second, filter, [&](const ComObject& element) {
    ++counter;
    bool first = true;
    for (std::string_view attribute : finder.attributes) {
      const Text value = element.getText(attribute);
      const bool equal = first && finder.firstAttributeContainsKey ? containsText(value, key) : value == key;
      first = false;
      if (!equal) continue;
      if (skip > 0) {
        --skip;
        return true;  // this attribute match is passed over, and with it the element
      }
      found = element;
      return false;
    }
    if (keyNumber == counter) {
      found = element;
      return false;
    }
    return true;
  });
  if (found.empty()) counter = -1;
  return found;
}

}  // namespace trenmoor
