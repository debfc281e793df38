// Spans: the body's span elements, found by className, innerText, name, id, title.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr std::string_view kSpanInfo[] = {"title", "className", "innerText", "id"};
constexpr ElementFamily kSpans{&PageDriver::findSpan, &PageDriver::lookupSpan, "span",
                               &markThrough<&PageDriver::markSpans>, &ansiLiteral<"Span">, kSpanInfo};

}  // namespace

ComObject PageDriver::findSpan(const Text& key, std::int32_t skip) { return findElement(*this, kSpans, key, skip); }

bool PageDriver::clickSpan(const Text& key, std::int32_t skip) { return clickElement(*this, kSpans, key, skip); }

std::int32_t PageDriver::countSpans(bool mark) { return countElements(*this, kSpans, mark); }

std::int32_t PageDriver::spanIndex(const Text& key, std::int32_t skip) {
  return elementIndex(*this, kSpans, key, skip);
}

bool PageDriver::spanInfo(std::int32_t position, Text* title, Text* className, Text* innerText, Text* id,
                          ComObject* element) {
  return elementInfo(*this, kSpans, position, {title, className, innerText, id}, element);
}

Text PageDriver::getSpanInnerHtml(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kSpans, key, skip, "innerHTML");
}

Text PageDriver::getSpanOuterHtml(const Text& key, std::int32_t skip) {
  return readElementProperty(*this, kSpans, key, skip, "outerHTML");
}

bool PageDriver::setSpanInnerHtml(const Text& key, const Text& markup, std::int32_t skip) {
  return writeElementProperty(*this, kSpans, key, skip, "innerHTML", markup);
}

bool PageDriver::showHideSpan(const Text& key, std::int32_t skip, bool hide) {
  return showHideElement(*this, kSpans, key, skip, hide);
}

}  // namespace trenmoor
