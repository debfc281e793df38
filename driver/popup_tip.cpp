// The popup tip: a borderless popup of the page's window, filled and styled, shown and hidden.
#include "driver/page_driver.h"

namespace trenmoor {

Text PageDriver::colorToHex(std::int32_t color) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  const auto bits = static_cast<std::uint32_t>(color);
  Text hex;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t byte = (bits >> shift) & 0xFF;
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  return hex;
}

ComObject PageDriver::showPopupTip(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                                   const Text& html, std::int32_t backgroundColor, std::int32_t borderWidth,
                                   std::int32_t borderColor, const ComObject& anchor) {
  // 1. The popup of the page's window, 2. its document's body.
  ComObject popup = document_.getObject("parentWindow").callObject("createPopup");
  const ComObject body = popup.getObject("document").getObject("body");
  // 3-5. Background and border (defaults: white, 1 px silver).
  const ComObject style = body.getObject("style");
  style.putText("backgroundColor", colorToHex(backgroundColor));
  style.putText("border", "solid " + colorToHex(borderColor) + " " + integerToText(borderWidth) + "px");
  // 6. The content, 7. shown at the place, relative to the anchor when there is one.
  body.putText("innerHTML", html);
  if (anchor.empty()) popup.call("show", {Variant(left), Variant(top), Variant(width), Variant(height)});
  else popup.call("show", {Variant(left), Variant(top), Variant(width), Variant(height), Variant(anchor.ref())});
  return popup;
}

void PageDriver::hidePopupTip(const ComObject& popup) { popup.call("hide"); }

}  // namespace trenmoor
