// A family of page elements (text inputs, links, ...) as a description held in static storage,
// and the operation shapes the families share. Each shape is one function handed the
// description, so a family's file says only what makes it differ: its finder and filter, its
// marker and kind label, and the properties its by-position operation reads.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "driver/page_driver.h"

namespace trenmoor {

// The family's own find operation (findLink, ...): keyed operations go through it, as the
// driver's operations call one another through its table.
using FindOperation = ComObject (PageDriver::*)(const Text& key, std::int32_t skip);
// The finder that applies the lookup rule to the family (lookupInput, lookupLink, ...), called
// through the driver's table.
using FinderOperation = ComObject (PageDriver::*)(const Text& filter, const Text& key, std::int32_t skip,
                                                  std::int32_t& counter);
// Counts the family's elements and, with `mark`, labels each with the kind label.
using MarkerOperation = std::int32_t (*)(PageDriver& driver, const Text& filter, const Text& label, bool mark);
// The kind label, converted on first use: &ansiLiteral<"链">.
using KindLabel = const Text& (*)();

// A marker operation of the driver's table whose arguments are exactly filter, label, mark.
template <std::int32_t (PageDriver::*Mark)(const Text&, const Text&, bool)>
std::int32_t markThrough(PageDriver& driver, const Text& filter, const Text& label, bool mark) {
  return (driver.*Mark)(filter, label, mark);
}

// A collecting marker of the driver's table (filter, label, mark, collect, then its arrays) used
// only to count and label: markWithoutCollecting<&PageDriver::markLinks>.
template <typename Marker>
struct ScratchArrays;
template <typename... Arrays>
struct ScratchArrays<std::int32_t (PageDriver::*)(const Text&, const Text&, bool, bool, Arrays...)> {
  template <auto Mark>
  static std::int32_t mark(PageDriver& driver, const Text& filter, const Text& label, bool mark) {
    std::tuple<std::remove_reference_t<Arrays>...> arrays;
    return std::apply([&](auto&... each) { return (driver.*Mark)(filter, label, mark, false, each...); }, arrays);
  }
};
template <auto Mark>
std::int32_t markWithoutCollecting(PageDriver& driver, const Text& filter, const Text& label, bool mark) {
  return ScratchArrays<decltype(Mark)>::template mark<Mark>(driver, filter, label, mark);
}

struct ElementFamily {
  FindOperation find;  // null for a family without one: keyed operations use the finder
  FinderOperation finder;
  std::string_view filter;  // handed to the finder and the marker: a type filter or a tag
  MarkerOperation marker;
  KindLabel kindLabel;
  // The properties the by-position operation reads, in the order of its out-parameters.
  std::span<const std::string_view> infoProperties;
};

// The element the finder returns for the key, passing over `skip` attribute matches; empty
// when none. The keyed shapes below find through the family's find operation.
ComObject findElement(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip);

// The 1-based position of that element among the family's elements, or -1.
std::int32_t elementIndex(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip);

// The number of the family's elements; with `mark`, each is labelled.
std::int32_t countElements(PageDriver& driver, const ElementFamily& family, bool mark);

// Calls the method (no arguments) on the found element; whether it was found.
bool callOnFound(const ComObject& found, std::string_view method);
bool clickElement(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip);
bool focusElement(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip);

// Writes the element's style display: "none" to hide, empty to show (the page's own style then
// applies again); whether the write succeeded.
bool writeDisplay(const ComObject& element, bool hide);
bool showHideElement(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip, bool hide);

// Whether the found element's checked state reads "-1" as text; false when none was found.
bool isElementChecked(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip);

// Writes checked of the found element with "checked" (`on`) or empty text, whether or not the
// page accepts it; then, with `fire`, runs its onmousedown handler through the driver's table.
// Whether an element was found.
bool setElementChecked(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip, bool on,
                       bool fire);

// A property of the found element as text (empty when none was found), and its write.
Text readElementProperty(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip,
                         std::string_view property);
bool writeElementProperty(PageDriver& driver, const ElementFamily& family, const Text& key, std::int32_t skip,
                          std::string_view property, std::string_view value);

// The element at a position (the position's decimal text looked up as a key): `element`, when
// given, takes it (empty when none); each given out-text takes the property at the same index
// of the family's info properties. Whether an element was found.
bool elementInfo(PageDriver& driver, const ElementFamily& family, std::int32_t position,
                 std::initializer_list<Text*> outs, ComObject* element);

}  // namespace trenmoor

// Radio buttons and check boxes are the same family operation for operation; this defines the
// nine operations of such a family of checkable inputs from its description, under the names
// the driver's table gives them.
#define TRENMOOR_CHECKABLE_INPUT_OPERATIONS(family, find, isChecked, count, index, info, check, uncheck, focus,     \
                                            showHide)                                                          \
  ComObject PageDriver::find(const Text& key, std::int32_t skip) { return findElement(*this, family, key, skip); } \
  bool PageDriver::isChecked(const Text& key, std::int32_t skip) {                                             \
    return isElementChecked(*this, family, key, skip);                                                          \
  }                                                                                                             \
  std::int32_t PageDriver::count(bool mark) { return countElements(*this, family, mark); }                      \
  std::int32_t PageDriver::index(const Text& key, std::int32_t skip) {                                         \
    return elementIndex(*this, family, key, skip);                                                              \
  }                                                                                                             \
  bool PageDriver::info(std::int32_t position, Text* title, Text* name, Text* id, Text* type, ComObject* element) { \
    return elementInfo(*this, family, position, {title, name, id, type}, element);                              \
  }                                                                                                             \
  bool PageDriver::check(const Text& key, std::int32_t skip, bool fire) {                                      \
    return setElementChecked(*this, family, key, skip, true, fire);                                             \
  }                                                                                                             \
  bool PageDriver::uncheck(const Text& key, std::int32_t skip, bool fire) {                                    \
    return setElementChecked(*this, family, key, skip, false, fire);                                            \
  }                                                                                                             \
  bool PageDriver::focus(const Text& key, std::int32_t skip) { return focusElement(*this, family, key, skip); } \
  bool PageDriver::showHide(const Text& key, std::int32_t skip, bool hide) {                                   \
    return showHideElement(*this, family, key, skip, hide);                                                     \
  }

