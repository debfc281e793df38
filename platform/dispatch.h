// The late-binding interface of the object model (the role IDispatch plays): members are
// reached by name, matched without regard to case, with variant values.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace trenmoor {

class Dispatch;

// A counted reference to a dispatch object: copying adds a reference, destruction releases it.
class DispatchRef {
 public:
  DispatchRef() = default;
  explicit DispatchRef(Dispatch* object);  // adds a reference
  DispatchRef(const DispatchRef& other);
  DispatchRef(DispatchRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  DispatchRef& operator=(DispatchRef other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~DispatchRef();

  Dispatch* get() const { return object_; }
  Dispatch* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  friend bool operator==(const DispatchRef& a, const DispatchRef& b) { return a.object_ == b.object_; }

 private:
  Dispatch* object_ = nullptr;
};

// A variant value: empty, logical, 32-bit integer, real, UTF-16 string or object.
class Variant {
 public:
  enum class Kind { Empty, Logical, Integer, Real, String, Object };

  Variant() = default;
  Variant(bool v) : value_(v) {}                 // NOLINT: implicit by design
  Variant(std::int32_t v) : value_(v) {}         // NOLINT
  Variant(double v) : value_(v) {}               // NOLINT
  Variant(std::u16string v) : value_(std::move(v)) {}  // NOLINT
  Variant(const char16_t* v) : value_(std::u16string(v)) {}  // NOLINT
  // Narrow text has no variant of its own: it would become a logical. Say what is meant:
  // ComObject::textArgument for code page 936 text, a u"" literal for UTF-16.
  Variant(const char*) = delete;
  Variant(DispatchRef v) : value_(std::move(v)) {}      // NOLINT

  Kind kind() const { return static_cast<Kind>(value_.index()); }
  bool isEmpty() const { return kind() == Kind::Empty; }

  // Conversions in the manner of the object model: a logical as text is "-1" or "0", numbers
  // as text are their shortest decimal form, an object or empty value reads as empty text.
  std::u16string toString() const;
  double toNumber() const;   // text: its leading decimal number; logical true: -1
  bool toLogical() const;    // text: "true" (any case) or a non-zero number
  DispatchRef toObject() const;

  const bool* logical() const { return std::get_if<bool>(&value_); }
  const std::int32_t* integer() const { return std::get_if<std::int32_t>(&value_); }
  const double* real() const { return std::get_if<double>(&value_); }
  const std::u16string* string() const { return std::get_if<std::u16string>(&value_); }
  const DispatchRef* object() const { return std::get_if<DispatchRef>(&value_); }

 private:
  std::variant<std::monostate, bool, std::int32_t, double, std::u16string, DispatchRef> value_;
};

// An object reached by late binding. Reference counting is not thread-safe: objects live on
// the user-interface thread.
class Dispatch {
 public:
  Dispatch() = default;
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;

  void addRef() { ++references_; }
  void release() {
    if (--references_ == 0) delete this;
  }

  // Reads a member; false (and `result` untouched) when the object has no such member.
  virtual bool getMember(std::u16string_view name, Variant& result) = 0;
  // Writes a member; false when the object has no such member or refuses the value.
  virtual bool putMember(std::u16string_view name, const Variant& value) = 0;
  // Calls a method; false when the object has no such method or the call failed.
  virtual bool invoke(std::u16string_view name, std::span<const Variant> arguments,
                      Variant& result) = 0;

 protected:
  virtual ~Dispatch() = default;

 private:
  long references_ = 0;
};

inline DispatchRef::DispatchRef(Dispatch* object) : object_(object) {
  if (object_) object_->addRef();
}
inline DispatchRef::DispatchRef(const DispatchRef& other) : object_(other.object_) {
  if (object_) object_->addRef();
}
inline DispatchRef::~DispatchRef() {
  if (object_) object_->release();
}

// The one case-insensitive comparison of member names (ASCII letters fold; others compare
// exactly).
bool memberNameEquals(std::u16string_view a, std::u16string_view b);
bool memberNameEquals(std::u16string_view a, std::string_view asciiB);

}  // namespace trenmoor
