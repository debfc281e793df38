// Style sheets made by scripts (document.createStyleSheet, addRule) and the computed style that
// honours them (currentStyle): the inline style first, then the rules of the page's <style>
// elements and of its created sheets (more specific selectors first, later rules among equals),
// then the element's defaults. Selectors: a tag, .class, #id, tag.class, tag#id or *, and
// comma-separated lists of these; other selectors are kept but match nothing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "standin/html/dom.h"
#include "standin/html/member_table.h"
#include "standin/html/style_object.h"

namespace trenmoor::html {

struct StyleRule {
  std::u16string selector;
  std::vector<StyleDeclaration> declarations;
};
struct StyleRuleList {
  std::vector<StyleRule> rules;
};

// Rules of a style sheet text ("sel { a: b } ...").
std::vector<StyleRule> parseStyleSheet(std::u16string_view text);

// The value of a CSS property for an element as the page's style gives it.
std::u16string computedStyle(const Element& element, std::u16string_view cssName);

class StyleSheet final : public TableDispatch<StyleSheet> {
 public:
  static Ref<StyleSheet> create(std::shared_ptr<StyleRuleList> rules);
  StyleRuleList& rules() const { return *rules_; }

  static const MemberTable<StyleSheet>& members();

 private:
  explicit StyleSheet(std::shared_ptr<StyleRuleList> rules) : rules_(std::move(rules)) {}
  std::shared_ptr<StyleRuleList> rules_;
};

// An element's currentStyle.
class CurrentStyle final : public TableDispatch<CurrentStyle> {
 public:
  static Ref<CurrentStyle> create(Ref<Element> element);
  const Element& element() const { return *element_; }

  static const MemberTable<CurrentStyle>& members();

 private:
  explicit CurrentStyle(Ref<Element> element) : element_(std::move(element)) {}
  Ref<Element> element_;
};

}  // namespace trenmoor::html
