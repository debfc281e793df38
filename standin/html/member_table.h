// Member tables of the object model: each class lists its members once, as a table of name,
// reader, writer and method. The dispatch objects look members up here, and a page-script
// binding can walk the same tables to define its properties, so both see one object model.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "platform/dispatch.h"

namespace trenmoor::html {

// One member: a property (get and/or put) or a method (call). Absent parts are null.
template <typename Self>
struct Member {
  std::string_view name;  // canonical spelling, ASCII
  bool (*get)(Self& self, Variant& result) = nullptr;
  bool (*put)(Self& self, const Variant& value) = nullptr;
  bool (*call)(Self& self, std::span<const Variant> arguments, Variant& result) = nullptr;
};

// Index of member names: a hash of the ASCII-lower-cased name picks a slot, memberNameEquals
// confirms it. Built once per table; lookups allocate nothing.
class MemberIndex {
 public:
  explicit MemberIndex(const std::vector<std::string_view>& names);
  // Position of `name` in the list given at construction, or -1.
  int find(std::u16string_view name) const;

 private:
  std::vector<std::string_view> names_;
  std::vector<std::int32_t> slots_;  // -1: empty
  std::size_t mask_ = 0;
};

// The members of one class, including those of the tables it extends. When two parts name the
// same member, the earlier part wins, so a specialised table comes first and overrides.
template <typename Self>
class MemberTable {
 public:
  MemberTable(std::initializer_list<std::span<const Member<Self>>> parts)
      : members_(collect(parts)), index_(namesOf(members_)) {}

  const Member<Self>* find(std::u16string_view name) const {
    int at = index_.find(name);
    return at < 0 ? nullptr : &members_[static_cast<std::size_t>(at)];
  }
  std::span<const Member<Self>> members() const { return members_; }

  // The dispatch operations over this table.
  bool get(Self& self, std::u16string_view name, Variant& result) const {
    const Member<Self>* m = find(name);
    return m && m->get && m->get(self, result);
  }
  bool put(Self& self, std::u16string_view name, const Variant& value) const {
    const Member<Self>* m = find(name);
    return m && m->put && m->put(self, value);
  }
  // A property without a method part may be invoked without arguments (reads it).
  bool invoke(Self& self, std::u16string_view name, std::span<const Variant> arguments,
              Variant& result) const {
    const Member<Self>* m = find(name);
    if (!m) return false;
    if (m->call) return m->call(self, arguments, result);
    return arguments.empty() && m->get && m->get(self, result);
  }

 private:
  static std::vector<Member<Self>> collect(std::initializer_list<std::span<const Member<Self>>> parts) {
    std::vector<Member<Self>> all;
    for (auto part : parts) {
      for (const auto& m : part) {
        bool known = false;
        for (const auto& have : all) known = known || memberNameEquals(std::u16string(have.name.begin(), have.name.end()), m.name);
        if (!known) all.push_back(m);
      }
    }
    return all;
  }
  static std::vector<std::string_view> namesOf(const std::vector<Member<Self>>& members) {
    std::vector<std::string_view> names;
    names.reserve(members.size());
    for (const auto& m : members) names.push_back(m.name);
    return names;
  }

  std::vector<Member<Self>> members_;
  MemberIndex index_;
};

// A dispatch object whose members all come from its class's table, Self::members(): the get,
// put and invoke of dispatch are the table's.
template <typename Self>
class TableDispatch : public Dispatch {
 public:
  bool getMember(std::u16string_view name, Variant& result) override {
    return Self::members().get(self(), name, result);
  }
  bool putMember(std::u16string_view name, const Variant& value) override {
    return Self::members().put(self(), name, value);
  }
  bool invoke(std::u16string_view name, std::span<const Variant> arguments, Variant& result) override {
    return Self::members().invoke(self(), name, arguments, result);
  }

 private:
  Self& self() { return static_cast<Self&>(*this); }
};

}  // namespace trenmoor::html
