// Element accessors: markup and text of an element the caller holds, and the document's
// content as a whole.
#include "driver/page_driver.h"

namespace trenmoor {

Text PageDriver::getInnerHtml(const ComObject& element) { return element.getText("innerHTML"); }

void PageDriver::replaceDocument(const Text& markup) {
  document_.call("open");
  document_.call("write", {ComObject::textArgument(markup)});
  document_.call("Close");
}

ComObject PageDriver::getElementsByTag(const Text& tag) {
  return document_.callObject("getElementsByTagName", {ComObject::textArgument(tag)});
}

Text PageDriver::getInnerText(const ComObject& element) { return element.getText("innerText"); }

bool PageDriver::setInnerHtml(const ComObject& element, const Text& markup) {
  return element.putText("innerHTML", markup);
}

bool PageDriver::setInnerText(const ComObject& element, const Text& text) { return element.putText("innerText", text); }

bool PageDriver::setOuterHtml(const ComObject& element, const Text& markup) {
  return element.putText("outerHTML", markup);
}

bool PageDriver::setOuterText(const ComObject& element, const Text& text) { return element.putText("outerText", text); }

Text PageDriver::getOuterHtml(const ComObject& element) { return element.getText("outerHTML"); }

Text PageDriver::getOuterText(const ComObject& element) { return element.getText("outerText"); }

}  // namespace trenmoor
