#include "platform/dispatch.h"

#include "platform/text.h"

namespace trenmoor {
namespace {

char16_t foldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  return true;
}

}  // namespace

bool memberNameEquals(std::u16string_view a, std::u16string_view b) { return equalsIgnoringCase(a, b); }

bool memberNameEquals(std::u16string_view a, std::string_view asciiB) {
  if (a.size() != asciiB.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (foldAscii(a[i]) != foldAscii(static_cast<unsigned char>(asciiB[i]))) return false;
  return true;
}

std::u16string Variant::toString() const {
  switch (kind()) {
    case Kind::Logical: return *logical() ? u"-1" : u"0";
    case Kind::Integer: return ansiToWide(integerToText(*integer()));
    case Kind::Real: return ansiToWide(realToText(*real()));
    case Kind::String: return *string();
    case Kind::Empty:
    case Kind::Object: break;
  }
  return {};
}

double Variant::toNumber() const {
  switch (kind()) {
    case Kind::Logical: return *logical() ? -1.0 : 0.0;
    case Kind::Integer: return *integer();
    case Kind::Real: return *real();
    case Kind::String: return leadingReal(wideToAnsi(*string()));
    case Kind::Empty:
    case Kind::Object: break;
  }
  return 0.0;
}

bool Variant::toLogical() const {
  switch (kind()) {
    case Kind::Logical: return *logical();
    case Kind::Integer: return *integer() != 0;
    case Kind::Real: return *real() != 0.0;
    case Kind::String: return memberNameEquals(*string(), "true") || toNumber() != 0.0;
    case Kind::Empty:
    case Kind::Object: break;
  }
  return false;
}

DispatchRef Variant::toObject() const {
  if (auto* o = object()) return *o;
  return {};
}

}  // namespace trenmoor
