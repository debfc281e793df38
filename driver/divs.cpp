// Divs: the body's div elements, found by className, innerText, name, id, title.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr std::string_view kDivInfo[] = {"className", "title", "id"};
constexpr ElementFamily kDivs{&PageDriver::findDiv, &PageDriver::lookupDiv, "div",
                              &markThrough<&PageDriver::markDivs>, &ansiLiteral<"Div">, kDivInfo};

}  // namespace

ComObject PageDriver::findDiv(const Text& key, std::int32_t skip) { return findElement(*this, kDivs, key, skip); }

std::int32_t PageDriver::countDivs(bool mark) { return countElements(*this, kDivs, mark); }

bool PageDriver::divInfo(std::int32_t position, Text* className, Text* title, Text* id, ComObject* element) {
  return elementInfo(*this, kDivs, position, {className, title, id}, element);
}

Text PageDriver::getDivInnerHtml(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kDivs, key, skip, "innerHTML");
}

bool PageDriver::setDivInnerHtml(const Text& key, const Text& markup, std::int32_t skip) {
  return writeElementProperty(*this, kDivs, key, skip, "innerHTML", markup);
}

Text PageDriver::getDivOuterHtml(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kDivs, key, skip, "outerHTML");
}

std::int32_t PageDriver::divIndex(const Text& key, std::int32_t skip) { return elementIndex(*this, kDivs, key, skip); }

bool PageDriver::clickDiv(const Text& key, std::int32_t skip) { return clickElement(*this, kDivs, key, skip); }

bool PageDriver::showHideDiv(const Text& key, std::int32_t skip, bool hide) {
  return showHideElement(*this, kDivs, key, skip, hide);
}

}  // namespace trenmoor
