// Page-level operations: they act on the page as a whole, or on an element the caller holds.
#include <climits>
#include <cmath>

#include "driver/page_driver.h"
#include "platform/code_page_calls.h"

namespace trenmoor {
namespace {

// The URL as navigated to: "http://" goes before it unless its first four characters read
// "http" in any case.
Text withHttpPrefix(const Text& url) {
  return asciiLower(std::string_view(url).substr(0, 4)) == "http" ? url : "http://" + url;
}

// The documents held by the frames of `frames`, visiting `levels` levels of frames and
// counting the frames of the level below them by their number only.
std::int32_t framesBelow(const ComObject& frames, int levels) {
  const std::int32_t length = frames.getInteger("length");
  if (levels == 0) return length;
  std::int32_t count = 0;
  for (std::int32_t i = 1; i <= length; ++i) {
    ComObject document = frames.callObject("item", {Variant(i - 1)}).getObject("document");
    count += framesBelow(document.getObject("frames"), levels - 1) + 1;
  }
  return count;
}

// A text value's UTF-16 units as they are (a value of another kind as its text).
std::u16string unitsOf(const Variant& value) {
  const std::u16string* units = value.string();
  return units ? *units : value.toString();
}

}  // namespace

Text PageDriver::wideToAnsi(std::u16string_view units) {
  // 1. The number of units (a value beyond the call's range is cut to what it takes).
  const int n = static_cast<int>(std::min<std::size_t>(units.size(), INT_MAX));
  if (n == 0) return {};
  // 2. The size of the result in code page 936 with the composite check.
  const int size = win::WideCharToMultiByte(win::CP_GBK, win::WC_COMPOSITECHECK, units.data(), n, nullptr, 0);
  if (size <= 0) return {};
  // 3. The conversion into a zero-filled buffer of that size.
  Text buffer(static_cast<std::size_t>(size), '\0');
  win::WideCharToMultiByte(win::CP_GBK, win::WC_COMPOSITECHECK, units.data(), n, buffer.data(), size);
  // 4. Up to the first NUL.
  buffer.resize(std::min(buffer.find('\0'), buffer.size()));
  return buffer;
}

std::int32_t PageDriver::countFrameDocuments() {
  // The main document, then the frames' documents of three levels and the number of frames of
  // the fourth.
  return (document_.empty() ? 0 : 1) + framesBelow(document_.getObject("frames"), 3);
}

void PageDriver::navigateTo(const Text& url) {
  document_.getObject("parentWindow").call("navigate", {ComObject::textArgument(withHttpPrefix(url))});
}

void PageDriver::setLocation(const Text& url) { document_.putText("location", withHttpPrefix(url)); }

std::int32_t PageDriver::setZoom(std::int32_t percentage) {
  // 1.-3. The body style's zoom, as a ratio.
  const double zoom = percentage / 100.0;
  document_.getObject("Body").getObject("Style").put("Zoom", Variant(zoom));
  // 4. The percentage that ratio stands for. Rounded, not truncated: the ratio is not exact in
  //    binary, and 0.29 * 100 truncated would report 28 for a zoom of 29.
  return static_cast<std::int32_t>(std::lround(zoom * 100.0));
}

Text PageDriver::getPageText() {
  return wideToAnsi(unitsOf(document_.getObject("documentElement").getValue("innerText")));
}

Text PageDriver::getPageHtml() {
  return wideToAnsi(unitsOf(document_.getObject("documentElement").getValue("outerHTML")));
}

Text PageDriver::getTitle() { return document_.getText("title"); }

void PageDriver::runScript(const Text& script, std::int32_t language) {
  const char16_t* name = language == kJavaScript ? u"JavaScript" : language == kVBScript ? u"VBScript" : nullptr;
  if (!name) return;
  document_.getObject("parentWindow").call("execScript", {ComObject::textArgument(script), Variant(name)});
}

void PageDriver::unlockPage() {
  runScript("javascript:document.onsdragstart=document.onselectstart=document.oncontextmenu=function(){return true}",
            kJavaScript);
  runScript("javascript:document.onselectstart = document.oncontextmenu = document.onmousedown = document.onkeydown = "
            "function(){return true;};",
            kJavaScript);
}

bool PageDriver::fireElementEvent(const ComObject& element, const Text& eventName) {
  // 1. The handler the element holds for the event (normally its attached handler, or empty).
  const Variant handler = element.getValue(eventName);
  // 2.-3. FireEvent with the name and that value; its result as a logical.
  return element.callLogical("FireEvent", {ComObject::textArgument(eventName), handler});
}

void PageDriver::reloadPage() { runScript("window.location.reload()", kJavaScript); }

Text PageDriver::getDocumentProperty(const Text& name) { return document_.getText(name); }

bool PageDriver::setDocumentProperty(const Text& name, const Text& value) { return document_.putText(name, value); }

bool PageDriver::setBodyHtml(const Text& markup) { return document_.getObject("body").putText("innerHTML", markup); }

Text PageDriver::getDomain() { return document_.getText("domain"); }

Text PageDriver::getLocation() { return document_.getText("location"); }

Text PageDriver::getCharset() { return document_.getText("charset"); }

Text PageDriver::getFileSize() { return document_.getText("fileSize"); }

}  // namespace trenmoor
