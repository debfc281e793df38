// Small pieces shared by the member tables: reading arguments, making results, and members
// that reflect one attribute.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "platform/fixed_string.h"
#include "platform/text.h"
#include "standin/html/dom.h"

namespace trenmoor::html {

inline std::u16string argumentText(std::span<const Variant> arguments, std::size_t i) {
  return i < arguments.size() ? arguments[i].toString() : std::u16string();
}

inline const Variant* argument(std::span<const Variant> arguments, std::size_t i) {
  return i < arguments.size() ? &arguments[i] : nullptr;
}

// A node as a result: the object, or empty when null.
inline Variant objectResult(Dispatch* object) {
  return object ? Variant(DispatchRef(object)) : Variant();
}

// The node behind an object argument when it is one of ours.
Node* nodeArgument(const Variant* value);

// Text of the attribute (empty when absent); writing sets it.
template <FixedString Name>
bool readAttribute(Element& e, Variant& result) {
  const std::u16string* value = e.attribute(Name.view());
  result = value ? Variant(*value) : Variant(std::u16string());
  return true;
}
template <FixedString Name>
bool writeAttribute(Element& e, const Variant& value) {
  e.setAttribute(Name.view(), value.toString());
  return true;
}

// Presence of the attribute as a logical; writing true sets it, false removes it.
template <FixedString Name>
bool readFlag(Element& e, Variant& result) {
  result = e.hasAttribute(Name.view());
  return true;
}
template <FixedString Name>
bool writeFlag(Element& e, const Variant& value) {
  if (value.toLogical()) e.setAttribute(Name.view(), std::u16string());
  else e.removeAttribute(Name.view());
  return true;
}

// The attribute resolved to an absolute address (empty when absent).
template <FixedString Name>
bool readAddress(Element& e, Variant& result) {
  const std::u16string* value = e.attribute(Name.view());
  Document* d = e.document();
  result = !value ? std::u16string() : d ? d->resolve(*value) : *value;
  return true;
}

// The attribute's leading integer (0 when absent or not a number).
std::int32_t leadingNumber(std::u16string_view text);
template <FixedString Name>
bool readNumber(Element& e, Variant& result) {
  result = leadingNumber(e.attributeOr(Name.view()));
  return true;
}
template <FixedString Name>
bool writeNumber(Element& e, const Variant& value) {
  e.setAttribute(Name.view(), Variant(truncatedInteger(value.toNumber())).toString());
  return true;
}

}  // namespace trenmoor::html
