#include "platform/com_object.h"

#include <cmath>
#include <vector>

namespace trenmoor {
namespace {

// A member name as UTF-16: ASCII names are widened into a stack buffer, others converted.
class WideName {
 public:
  explicit WideName(std::string_view name) {
    bool ascii = name.size() <= sizeof buffer_ / sizeof buffer_[0];
    for (std::size_t i = 0; ascii && i < name.size(); ++i) {
      auto c = static_cast<unsigned char>(name[i]);
      if (c & 0x80) ascii = false;
      buffer_[i] = c;
    }
    if (ascii) {
      view_ = std::u16string_view(buffer_, name.size());
    } else {
      converted_ = ansiToWide(name);
      view_ = converted_;
    }
  }
  std::u16string_view view() const { return view_; }

 private:
  char16_t buffer_[64];
  std::u16string converted_;
  std::u16string_view view_;
};

}  // namespace

Variant ComObject::getValue(std::string_view name) const {
  Variant result;
  if (object_) object_->getMember(WideName(name).view(), result);
  return result;
}

Text ComObject::variantText(const Variant& value) {
  if (const auto* s = value.string()) return wideToAnsi(*s);
  return wideToAnsi(value.toString());
}

Variant ComObject::textArgument(std::string_view text) { return Variant(ansiToWide(text)); }

Text ComObject::getText(std::string_view name) const { return variantText(getValue(name)); }
double ComObject::getNumber(std::string_view name) const { return getValue(name).toNumber(); }

std::int32_t ComObject::getInteger(std::string_view name) const { return truncatedInteger(getNumber(name)); }

bool ComObject::getLogical(std::string_view name) const { return getValue(name).toLogical(); }
ComObject ComObject::getObject(std::string_view name) const { return ComObject(getValue(name).toObject()); }

bool ComObject::put(std::string_view name, const Variant& value) const {
  return object_ && object_->putMember(WideName(name).view(), value);
}

bool ComObject::putText(std::string_view name, std::string_view text) const {
  return object_ && object_->putMember(WideName(name).view(), textArgument(text));
}

Variant ComObject::callValue(std::string_view name, std::initializer_list<Variant> arguments) const {
  Variant result;
  if (object_) object_->invoke(WideName(name).view(), std::span<const Variant>(arguments.begin(), arguments.size()), result);
  return result;
}

void ComObject::call(std::string_view name, std::initializer_list<Variant> arguments) const { callValue(name, arguments); }

bool ComObject::callLogical(std::string_view name, std::initializer_list<Variant> arguments) const {
  return callValue(name, arguments).toLogical();
}

ComObject ComObject::callObject(std::string_view name, std::initializer_list<Variant> arguments) const {
  return ComObject(callValue(name, arguments).toObject());
}

}  // namespace trenmoor
