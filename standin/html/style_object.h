// The style object of an element: the declarations of its style attribute, read and written
// by property name (display, zoom, backgroundColor, ...) and as a whole (cssText).
#pragma once

#include <string>
#include <vector>

#include "standin/html/dom.h"
#include "standin/html/member_table.h"

namespace trenmoor::html {

struct StyleDeclaration {
  std::u16string property;  // lower case css name: "background-color"
  std::u16string value;
};

std::vector<StyleDeclaration> parseStyle(std::u16string_view text);
// "name: value; name: value", the declarations in their order.
std::u16string writeStyle(const std::vector<StyleDeclaration>& declarations);

class StyleObject final : public TableDispatch<StyleObject> {
 public:
  // The element's style object: the same object while someone holds it.
  static Ref<StyleObject> of(Element& element);

  std::u16string property(std::u16string_view cssName) const;
  // Empty value removes the declaration.
  void setProperty(std::u16string_view cssName, std::u16string value);
  std::u16string cssText() const;
  void setCssText(std::u16string_view text);


  static const MemberTable<StyleObject>& members();

 private:
  explicit StyleObject(Ref<Element> element) : element_(std::move(element)) {}
  ~StyleObject() override;
  Ref<Element> element_;
};

}  // namespace trenmoor::html
