#include "standin/html/style_object.h"

#include "standin/html/member_arguments.h"
#include "standin/html/tag_table.h"

namespace trenmoor::html {
namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

std::u16string_view trim(std::u16string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

// Declarations split at semicolons outside quotes and parentheses; each at its first colon.
std::vector<StyleDeclaration> parseStyle(std::u16string_view text) {
  std::vector<StyleDeclaration> out;
  std::size_t start = 0;
  char16_t quote = 0;
  int depth = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    char16_t c = i < text.size() ? text[i] : u';';
    if (quote) {
      if (c == quote) quote = 0;
      if (i < text.size()) continue;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
      continue;
    } else if (c == u'(') {
      ++depth;
    } else if (c == u')' && depth > 0) {
      --depth;
    }
    if (c != u';' || (depth > 0 && i < text.size())) continue;
    std::u16string_view piece = text.substr(start, i - start);
    start = i + 1;
    std::size_t colon = piece.find(u':');
    if (colon == std::u16string_view::npos) continue;
    std::u16string property = asciiLower(trim(piece.substr(0, colon)));
    std::u16string_view value = trim(piece.substr(colon + 1));
    if (property.empty() || value.empty()) continue;
    for (auto& d : out)
      if (d.property == property) d.property.clear();  // a later declaration wins
    std::erase_if(out, [](const StyleDeclaration& d) { return d.property.empty(); });
    out.push_back({std::move(property), std::u16string(value)});
  }
  return out;
}

std::u16string writeStyle(const std::vector<StyleDeclaration>& declarations) {
  std::u16string out;
  for (const auto& d : declarations) {
    if (!out.empty()) out += u"; ";
    out += d.property;
    out += u": ";
    out += d.value;
  }
  return out;
}

Ref<StyleObject> StyleObject::of(Element& element) {
  if (element.styleCache) return Ref<StyleObject>(element.styleCache);
  Ref<StyleObject> style(new StyleObject(Ref<Element>(&element)));
  element.styleCache = style.get();
  return style;
}

StyleObject::~StyleObject() { element_->styleCache = nullptr; }

std::u16string StyleObject::property(std::u16string_view cssName) const {
  for (const auto& d : parseStyle(element_->attributeOr(u"style")))
    if (d.property == cssName) return d.value;
  return {};
}

void StyleObject::setProperty(std::u16string_view cssName, std::u16string value) {
  std::vector<StyleDeclaration> declarations = parseStyle(element_->attributeOr(u"style"));
  std::u16string_view clean = trim(value);
  bool replaced = false;
  for (auto it = declarations.begin(); it != declarations.end(); ++it) {
    if (it->property != cssName) continue;
    if (clean.empty()) declarations.erase(it);
    else it->value = std::u16string(clean);
    replaced = true;
    break;
  }
  if (!replaced && !clean.empty()) declarations.push_back({std::u16string(cssName), std::u16string(clean)});
  setCssText(writeStyle(declarations));
}

std::u16string StyleObject::cssText() const { return writeStyle(parseStyle(element_->attributeOr(u"style"))); }

void StyleObject::setCssText(std::u16string_view text) {
  std::u16string clean = writeStyle(parseStyle(text));
  if (clean.empty()) element_->removeAttribute(u"style");
  else element_->setAttribute(u"style", std::move(clean));
}

namespace {

using S = StyleObject;

template <FixedString Css>
bool readProperty(S& s, Variant& r) {
  r = s.property(Css.view());
  return true;
}
template <FixedString Css>
bool writeProperty(S& s, const Variant& v) {
  s.setProperty(Css.view(), v.toString());
  return true;
}

#define TRENMOOR_STYLE(name, css) {name, readProperty<css>, writeProperty<css>}
constexpr Member<S> kStyleMembers[] = {
    {"cssText", [](S& s, Variant& r) { r = s.cssText(); return true; },
     [](S& s, const Variant& v) { s.setCssText(v.toString()); return true; }},
    TRENMOOR_STYLE("display", u"display"),
    TRENMOOR_STYLE("visibility", u"visibility"),
    TRENMOOR_STYLE("zoom", u"zoom"),
    TRENMOOR_STYLE("color", u"color"),
    TRENMOOR_STYLE("background", u"background"),
    TRENMOOR_STYLE("backgroundColor", u"background-color"),
    TRENMOOR_STYLE("backgroundImage", u"background-image"),
    TRENMOOR_STYLE("border", u"border"),
    TRENMOOR_STYLE("borderColor", u"border-color"),
    TRENMOOR_STYLE("borderWidth", u"border-width"),
    TRENMOOR_STYLE("borderStyle", u"border-style"),
    TRENMOOR_STYLE("width", u"width"),
    TRENMOOR_STYLE("height", u"height"),
    TRENMOOR_STYLE("left", u"left"),
    TRENMOOR_STYLE("top", u"top"),
    TRENMOOR_STYLE("position", u"position"),
    TRENMOOR_STYLE("overflow", u"overflow"),
    TRENMOOR_STYLE("cursor", u"cursor"),
    TRENMOOR_STYLE("fontSize", u"font-size"),
    TRENMOOR_STYLE("fontWeight", u"font-weight"),
    TRENMOOR_STYLE("textAlign", u"text-align"),
    TRENMOOR_STYLE("margin", u"margin"),
    TRENMOOR_STYLE("padding", u"padding"),
    TRENMOOR_STYLE("zIndex", u"z-index"),
};
#undef TRENMOOR_STYLE

}  // namespace

const MemberTable<StyleObject>& StyleObject::members() {
  static const MemberTable<StyleObject> table{kStyleMembers};
  return table;
}


}  // namespace trenmoor::html
