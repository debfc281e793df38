#include "standin/html/style_sheet.h"

#include <algorithm>

#include "platform/text.h"
#include "standin/html/form_controls.h"
#include "standin/html/markup_writer.h"
#include "standin/html/member_arguments.h"
#include "standin/html/tag_table.h"

namespace trenmoor::html {
namespace {

std::u16string_view trimmed(std::u16string_view text) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Specificity of a simple selector matching `e` (id 100, class 10, tag 1), or -1.
int matchSimple(const Element& e, std::u16string_view selector) {
  selector = trimmed(selector);
  if (selector.empty()) return -1;
  std::size_t mark = selector.find_first_of(u".#");
  std::u16string_view tag = selector.substr(0, mark);
  int specificity = 0;
  if (!tag.empty() && tag != u"*") {
    if (!memberNameEquals(e.localName(), tag)) return -1;
    specificity += 1;
  }
  for (char16_t c : tag)
    if (!(c == u'*' || c == u'-' || c == u'_' || (c >= u'0' && c <= u'9') || ((c | 0x20) >= u'a' && (c | 0x20) <= u'z')))
      return -1;  // combinators and the like: not supported, matches nothing
  while (mark != std::u16string_view::npos) {
    char16_t kind = selector[mark];
    std::size_t next = selector.find_first_of(u".#", mark + 1);
    std::u16string_view name = selector.substr(mark + 1, next == std::u16string_view::npos ? std::u16string_view::npos : next - mark - 1);
    if (name.empty() || name.find_first_of(u" >+~:[") != std::u16string_view::npos) return -1;
    if (kind == u'#') {
      if (e.attributeOr(u"id") != name) return -1;
      specificity += 100;
    } else {
      bool found = false;
      std::u16string classes = e.attributeOr(u"class");
      std::u16string_view rest = classes;
      while (!rest.empty() && !found) {
        std::size_t space = rest.find_first_of(u" \t\n\r\f");
        found = rest.substr(0, space) == name;
        rest = space == std::u16string_view::npos ? std::u16string_view() : rest.substr(space + 1);
      }
      if (!found) return -1;
      specificity += 10;
    }
    mark = next;
  }
  return specificity;
}

int matchSelector(const Element& e, std::u16string_view selectors) {
  int best = -1;
  while (true) {
    std::size_t comma = selectors.find(u',');
    best = std::max(best, matchSimple(e, selectors.substr(0, comma)));
    if (comma == std::u16string_view::npos) return best;
    selectors.remove_prefix(comma + 1);
  }
}

std::u16string defaultStyle(const Element& e, std::u16string_view cssName) {
  if (cssName == u"display") {
    if (e.info().has(kNotRendered) || (e.kind() == TagKind::Input && inputType(e) == u"hidden")) return u"none";
    if (e.kind() == TagKind::Li) return u"list-item";
    return e.info().has(kBlock) ? u"block" : u"inline";
  }
  if (cssName == u"overflow" || cssName == u"overflow-x" || cssName == u"overflow-y") return u"visible";
  if (cssName == u"visibility") return u"inherit";
  if (cssName == u"position") return u"static";
  if (cssName == u"width" || cssName == u"height") return u"auto";
  return {};
}

}  // namespace

std::vector<StyleRule> parseStyleSheet(std::u16string_view text) {
  std::vector<StyleRule> rules;
  while (true) {
    std::size_t open = text.find(u'{');
    if (open == std::u16string_view::npos) break;
    std::size_t close = text.find(u'}', open);
    if (close == std::u16string_view::npos) close = text.size();
    std::u16string_view selector = trimmed(text.substr(0, open));
    // Comments before the selector are dropped.
    while (selector.substr(0, 2) == u"/*") {
      std::size_t end = selector.find(u"*/");
      selector = end == std::u16string_view::npos ? std::u16string_view() : trimmed(selector.substr(end + 2));
    }
    if (!selector.empty() && selector.front() != u'@')
      rules.push_back({std::u16string(selector), parseStyle(text.substr(open + 1, close - open - 1))});
    if (close >= text.size()) break;
    text.remove_prefix(close + 1);
  }
  return rules;
}

std::u16string computedStyle(const Element& element, std::u16string_view cssName) {
  for (const auto& d : parseStyle(element.attributeOr(u"style")))
    if (d.property == cssName) return d.value;
  const Document* document = element.document();
  std::u16string value;
  int best = -1;
  auto consider = [&](const StyleRule& rule) {
    for (const auto& d : rule.declarations) {
      if (d.property != cssName) continue;
      int specificity = matchSelector(element, rule.selector);
      if (specificity >= 0 && specificity >= best) {
        best = specificity;
        value = d.value;
      }
    }
  };
  if (document) {
    document->forEachElement([&](Element& e) {
      if (e.kind() != TagKind::Style) return;
      for (const auto& rule : parseStyleSheet(textContent(e))) consider(rule);
    });
    for (const auto& sheet : document->styleSheets)
      for (const auto& rule : sheet->rules) consider(rule);
  }
  return best >= 0 ? value : defaultStyle(element, cssName);
}

// --- style sheets -------------------------------------------------------------------------------

Ref<StyleSheet> StyleSheet::create(std::shared_ptr<StyleRuleList> rules) {
  return Ref<StyleSheet>(new StyleSheet(std::move(rules)));
}

namespace {

using Sheet = StyleSheet;

constexpr Member<Sheet> kSheetMembers[] = {
    // addRule(selector, declarations[, index]): index -1 or none appends.
    {"addRule", nullptr, nullptr,
     [](Sheet& s, std::span<const Variant> a, Variant& r) {
       std::u16string selector(trimmed(argumentText(a, 0)));
       if (selector.empty()) return false;
       auto& rules = s.rules().rules;
       const Variant* at = argument(a, 2);
       double index = at && !at->isEmpty() ? at->toNumber() : -1;
       auto position = index >= 0 && index < static_cast<double>(rules.size()) ? rules.begin() + static_cast<std::ptrdiff_t>(index)
                                                                              : rules.end();
       position = rules.insert(position, {selector, parseStyle(argumentText(a, 1))});
       r = static_cast<std::int32_t>(position - rules.begin());
       return true;
     }},
    {"removeRule", nullptr, nullptr,
     [](Sheet& s, std::span<const Variant> a, Variant&) {
       auto& rules = s.rules().rules;
       double index = a.empty() ? 0 : a[0].toNumber();
       if (index < 0 || index >= static_cast<double>(rules.size())) return false;
       rules.erase(rules.begin() + static_cast<std::ptrdiff_t>(index));
       return true;
     }},
    {"cssText",
     [](Sheet& s, Variant& r) {
       std::u16string text;
       for (const auto& rule : s.rules().rules) text += rule.selector + u" { " + writeStyle(rule.declarations) + u" }\r\n";
       r = text;
       return true;
     },
     [](Sheet& s, const Variant& v) {
       s.rules().rules = parseStyleSheet(v.toString());
       return true;
     }},
    {"ruleCount", [](Sheet& s, Variant& r) { r = static_cast<std::int32_t>(s.rules().rules.size()); return true; }},
};

using Current = CurrentStyle;

template <FixedString Css>
bool readComputed(Current& c, Variant& r) {
  r = computedStyle(c.element(), Css.view());
  return true;
}

#define TRENMOOR_COMPUTED(name, css) {name, readComputed<css>}
constexpr Member<Current> kCurrentStyleMembers[] = {
    TRENMOOR_COMPUTED("display", u"display"),
    TRENMOOR_COMPUTED("visibility", u"visibility"),
    TRENMOOR_COMPUTED("overflow", u"overflow"),
    TRENMOOR_COMPUTED("overflowX", u"overflow-x"),
    TRENMOOR_COMPUTED("overflowY", u"overflow-y"),
    TRENMOOR_COMPUTED("position", u"position"),
    TRENMOOR_COMPUTED("zoom", u"zoom"),
    TRENMOOR_COMPUTED("width", u"width"),
    TRENMOOR_COMPUTED("height", u"height"),
    TRENMOOR_COMPUTED("color", u"color"),
    TRENMOOR_COMPUTED("backgroundColor", u"background-color"),
    TRENMOOR_COMPUTED("fontSize", u"font-size"),
    TRENMOOR_COMPUTED("fontWeight", u"font-weight"),
};
#undef TRENMOOR_COMPUTED

}  // namespace

const MemberTable<StyleSheet>& StyleSheet::members() {
  static const MemberTable<StyleSheet> table{kSheetMembers};
  return table;
}

Ref<CurrentStyle> CurrentStyle::create(Ref<Element> element) { return Ref<CurrentStyle>(new CurrentStyle(std::move(element))); }

const MemberTable<CurrentStyle>& CurrentStyle::members() {
  static const MemberTable<CurrentStyle> table{kCurrentStyleMembers};
  return table;
}

}  // namespace trenmoor::html
