// ComObject: one counted reference to a late-bound object, used with code page 936 texts.
// An empty ComObject never fails loudly: reads give empty values, writes report false, calls
// do nothing.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "platform/dispatch.h"
#include "platform/text.h"

namespace trenmoor {

class ComObject {
 public:
  ComObject() = default;
  explicit ComObject(DispatchRef object) : object_(std::move(object)) {}

  bool empty() const { return !object_; }
  void clear() { object_ = DispatchRef(); }
  const DispatchRef& ref() const { return object_; }
  // True when both refer to the same object (element identity).
  bool sameObject(const ComObject& other) const { return object_ == other.object_; }

  // --- properties (member names are code page 936 text; ASCII names cost no allocation) ---
  Variant getValue(std::string_view name) const;
  Text getText(std::string_view name) const;
  double getNumber(std::string_view name) const;
  std::int32_t getInteger(std::string_view name) const;  // the number truncated toward zero
  bool getLogical(std::string_view name) const;
  ComObject getObject(std::string_view name) const;

  bool put(std::string_view name, const Variant& value) const;
  bool putText(std::string_view name, std::string_view text) const;

  // --- methods -----------------------------------------------------------------------------
  void call(std::string_view name, std::initializer_list<Variant> arguments = {}) const;
  bool callLogical(std::string_view name, std::initializer_list<Variant> arguments = {}) const;
  ComObject callObject(std::string_view name, std::initializer_list<Variant> arguments = {}) const;
  Variant callValue(std::string_view name, std::initializer_list<Variant> arguments = {}) const;

  // A code page 936 text as a variant argument.
  static Variant textArgument(std::string_view text);
  // A variant read as code page 936 text.
  static Text variantText(const Variant& value);

 private:
  DispatchRef object_;
};

}  // namespace trenmoor
