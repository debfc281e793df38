// The driver console's table of operations: one entry per operation PageDriver declares, in
// declaration (slot) order, from the shared list in driver/page_driver_operations.h. Each
// entry's argument kinds, result kind and number of required arguments come from the member
// function's signature; the call goes through a generic lambda, so arguments left out at the
// end take the defaults the declaration gives.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "driver/page_driver.h"
#include "driver/page_driver_operations.h"

namespace trenmoor::console {

enum class ArgumentKind {
  // given on the console line
  Text,
  Integer,
  Logical,
  Window,
  Element,
  // supplied by the console, printed after the call
  TextOut,
  IntegerOut,
  ElementOut,
  TextArray,
  IntegerArray,
  ElementArray,
};

enum class ResultKind { None, Text, Integer, Logical, Window, Element, Bytes };

constexpr bool isInput(ArgumentKind kind) { return kind <= ArgumentKind::Element; }

// A value given to or produced by an operation. Windows are handles (std::uint32_t).
using Value = std::variant<std::monostate, Text, std::int32_t, bool, win::HWND, ComObject, std::vector<Text>,
                           std::vector<std::int32_t>, std::vector<ComObject>, Bytes>;

struct CallResult {
  Value result;
  std::vector<std::pair<std::size_t, Value>> outs;  // 1-based argument position, value
};

// One argument type of an operation: its kind, where the console keeps it and how it is passed.
template <typename Argument>
struct ArgumentTraits;

template <typename Stored, ArgumentKind Kind>
struct ByValue {
  static constexpr ArgumentKind kind = Kind;
  using Storage = Stored;
  static Stored& pass(Stored& stored) { return stored; }
};
template <typename Stored, ArgumentKind Kind>
struct ByPointer {
  static constexpr ArgumentKind kind = Kind;
  using Storage = Stored;
  static Stored* pass(Stored& stored) { return &stored; }
};

template <> struct ArgumentTraits<const Text&> : ByValue<Text, ArgumentKind::Text> {};
template <> struct ArgumentTraits<std::int32_t> : ByValue<std::int32_t, ArgumentKind::Integer> {};
template <> struct ArgumentTraits<bool> : ByValue<bool, ArgumentKind::Logical> {};
template <> struct ArgumentTraits<win::HWND> : ByValue<win::HWND, ArgumentKind::Window> {};
template <> struct ArgumentTraits<const ComObject&> : ByValue<ComObject, ArgumentKind::Element> {};
template <> struct ArgumentTraits<Text*> : ByPointer<Text, ArgumentKind::TextOut> {};
template <> struct ArgumentTraits<std::int32_t*> : ByPointer<std::int32_t, ArgumentKind::IntegerOut> {};
// A finder's counter: it starts at 0 and is printed as it ends.
template <> struct ArgumentTraits<std::int32_t&> : ByValue<std::int32_t, ArgumentKind::IntegerOut> {};
template <> struct ArgumentTraits<ComObject*> : ByPointer<ComObject, ArgumentKind::ElementOut> {};
template <> struct ArgumentTraits<ComObject&> : ByValue<ComObject, ArgumentKind::ElementOut> {};
template <> struct ArgumentTraits<std::vector<Text>&> : ByValue<std::vector<Text>, ArgumentKind::TextArray> {};
template <> struct ArgumentTraits<std::vector<Text>*> : ByPointer<std::vector<Text>, ArgumentKind::TextArray> {};
template <> struct ArgumentTraits<std::vector<std::int32_t>&>
    : ByValue<std::vector<std::int32_t>, ArgumentKind::IntegerArray> {};
template <> struct ArgumentTraits<std::vector<ComObject>&>
    : ByValue<std::vector<ComObject>, ArgumentKind::ElementArray> {};

template <typename Result>
constexpr ResultKind resultKind() {
  if constexpr (std::is_void_v<Result>) return ResultKind::None;
  else if constexpr (std::is_same_v<Result, Text>) return ResultKind::Text;
  else if constexpr (std::is_same_v<Result, std::int32_t>) return ResultKind::Integer;
  else if constexpr (std::is_same_v<Result, bool>) return ResultKind::Logical;
  else if constexpr (std::is_same_v<Result, win::HWND>) return ResultKind::Window;
  else if constexpr (std::is_same_v<Result, Bytes>) return ResultKind::Bytes;
  else {
    static_assert(std::is_same_v<Result, ComObject>, "a result type the console cannot print");
    return ResultKind::Element;
  }
}

struct Operation {
  std::string_view name;
  std::span<const ArgumentKind> arguments;
  ResultKind result;
  std::size_t required;  // arguments the declaration gives no default
  // Calls the operation with `inputs`, one per input argument from the first, as many as the
  // line gave (each of its argument's storage type); outputs are always supplied.
  CallResult (*call)(PageDriver& driver, std::span<const Value> inputs);
};

namespace detail {

template <typename... Arguments>
inline constexpr std::array<ArgumentKind, sizeof...(Arguments)> kKinds{ArgumentTraits<Arguments>::kind...};

// Whether the caller takes the first `sizeof...(I)` arguments (the rest left to their defaults).
template <typename Caller, typename Tuple, std::size_t... I>
constexpr bool takesFirst(std::index_sequence<I...>) {
  return std::is_invocable_v<Caller, PageDriver&, std::tuple_element_t<I, Tuple>...>;
}

template <typename Caller, typename... Arguments>
constexpr std::size_t requiredArguments() {
  using Tuple = std::tuple<Arguments...>;
  std::size_t count = sizeof...(Arguments);
  [&]<std::size_t... K>(std::index_sequence<K...>) {
    // the smallest K the caller takes; the folds run from the largest down
    ((takesFirst<Caller, Tuple>(std::make_index_sequence<sizeof...(Arguments) - K>()) &&
      (count = sizeof...(Arguments) - K, true)),
     ...);
  }(std::make_index_sequence<sizeof...(Arguments) + 1>());
  return count;
}

template <typename Caller, typename Result, typename... Arguments>
CallResult call(PageDriver& driver, std::span<const Value> inputs) {
  using Tuple = std::tuple<Arguments...>;
  std::tuple<typename ArgumentTraits<Arguments>::Storage...> storage{};
  constexpr std::size_t required = requiredArguments<Caller, Arguments...>();
  std::size_t passed = required;
  std::size_t nextInput = 0;
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    (
        [&] {
          using Traits = ArgumentTraits<std::tuple_element_t<I, Tuple>>;
          if constexpr (isInput(Traits::kind)) {
            if (nextInput < inputs.size()) {
              std::get<I>(storage) = std::get<typename Traits::Storage>(inputs[nextInput++]);
              passed = std::max(passed, I + 1);
            }
          } else {
            passed = std::max(passed, I + 1);
          }
        }(),
        ...);
  }(std::index_sequence_for<Arguments...>());

  CallResult out;
  // Calls with the first `count` arguments: one instantiation per count the caller takes.
  auto callFirst = [&]<std::size_t... I>(std::index_sequence<I...>) {
    if constexpr (takesFirst<Caller, Tuple>(std::index_sequence<I...>())) {
      if constexpr (std::is_void_v<Result>) {
        Caller{}(driver, ArgumentTraits<std::tuple_element_t<I, Tuple>>::pass(std::get<I>(storage))...);
      } else {
        out.result.template emplace<Result>(
            Caller{}(driver, ArgumentTraits<std::tuple_element_t<I, Tuple>>::pass(std::get<I>(storage))...));
      }
    }
  };
  [&]<std::size_t... K>(std::index_sequence<K...>) {
    ((passed == K && (callFirst(std::make_index_sequence<K>()), true)) || ...);
  }(std::make_index_sequence<sizeof...(Arguments) + 1>());

  [&]<std::size_t... I>(std::index_sequence<I...>) {
    (
        [&] {
          using Traits = ArgumentTraits<std::tuple_element_t<I, Tuple>>;
          if constexpr (!isInput(Traits::kind))
            out.outs.emplace_back(I + 1, Value(std::in_place_type<typename Traits::Storage>, std::get<I>(storage)));
        }(),
        ...);
  }(std::index_sequence_for<Arguments...>());
  return out;
}

template <typename Caller, typename Result, typename... Arguments>
constexpr Operation makeOperation(std::string_view name, Result (PageDriver::*)(Arguments...), Caller) {
  return Operation{name, kKinds<Arguments...>, resultKind<Result>(), requiredArguments<Caller, Arguments...>(),
                   &call<Caller, Result, Arguments...>};
}

}  // namespace detail

#define TRENMOOR_CONSOLE_OPERATION(name)                                                         \
  detail::makeOperation(#name, &PageDriver::name,                                                \
                        [](PageDriver& driver, auto&&... arguments)                              \
                            -> decltype(driver.name(std::forward<decltype(arguments)>(arguments)...)) { \
                          return driver.name(std::forward<decltype(arguments)>(arguments)...);   \
                        }),

// Every declared operation, in slot order.
inline constexpr Operation kOperations[] = {TRENMOOR_PAGE_DRIVER_OPERATIONS(TRENMOOR_CONSOLE_OPERATION)};

#undef TRENMOOR_CONSOLE_OPERATION

// The entry of the operation with this name (exact case); null when there is none.
inline const Operation* findOperation(std::string_view name) {
  for (const Operation& operation : kOperations)
    if (operation.name == name) return &operation;
  return nullptr;
}

}  // namespace trenmoor::console
