// Selection, writing into the document, keyword highlighting and the page's script tweaks.
#include "driver/page_driver.h"

namespace trenmoor {
namespace {

constexpr const char* kDialogOverrides[] = {"function alert(){return;}", "function confirm(){return;}",
                                            "function prompt(){return;}", "function showModalDialog(){return;}"};
constexpr const char* kHideScrollBars = "var jie = document.createStyleSheet();jie.addRule('html','overflow:hidden;');";

// A colour variable of the caller: its text, or the default, which is then stored back.
Text colourOrDefault(Text* colour, const char* fallback) {
  if (colour && !colour->empty()) return *colour;
  if (colour) *colour = fallback;
  return fallback;
}

// Page text as markup that shows the same text: "&", "<" and ">" escaped. (None of them can be
// the second byte of a double-byte character.)
Text markupShowing(const Text& text) {
  return replaceText(replaceText(replaceText(text, "&", "&amp;"), "<", "&lt;"), ">", "&gt;");
}

// -1, 0 or 1: where the range's start lies against the other range's start.
double startAgainst(const ComObject& range, const ComObject& other) {
  return range.callValue("compareEndPoints", {Variant(u"StartToStart"), Variant(other.ref())}).toNumber();
}

}  // namespace

Text PageDriver::getSelectionText(std::int32_t form) {
  // 1. The selection's range.
  ComObject range = document_.getObject("selection").callObject("createRange");
  // 2. None: empty text.
  if (range.empty()) return {};
  // 3. Its markup or its text.
  return range.getText(form > 0 ? "htmlText" : "Text");
}

void PageDriver::suppressDialogs() {
  ComObject window = document_.getObject("parentWindow");
  for (const char* script : kDialogOverrides)
    window.call("execScript", {ComObject::textArgument(script), Variant(u"JScript")});
}

void PageDriver::hideScrollBars() {
  // No language: the window's default script language runs it.
  document_.getObject("parentWindow").call("execScript", {ComObject::textArgument(kHideScrollBars)});
}

void PageDriver::pasteHtmlAtSelection(const Text& html) {
  document_.getObject("selection").callObject("createRange").call("pasteHTML", {ComObject::textArgument(html)});
}

void PageDriver::documentWrite(const Text& text) { document_.call("write", {ComObject::textArgument(text)}); }

void PageDriver::highlightKeyword(const Text& keyword, Text* foreground, Text* background, bool bold) {
  // 1. The body.
  ComObject body = document_.getObject("body");
  // 2. Default colours, stored back into the caller's variables.
  const Text fore = colourOrDefault(foreground, "ff0000");
  const Text back = colourOrDefault(background, "D6F20D");
  // 3. The markup around each occurrence.
  const Text style = " style='COLOR: #" + fore + "; BACKGROUND-COLOR: #" + back + "'>";
  const Text opening = (bold ? "<B" : "<font") + style;
  const Text closing = bold ? "</B>" : "</font>";
  // 4. No body: nothing to do. An empty keyword would be found everywhere and never end.
  if (body.empty() || keyword.empty()) return;
  // 5. A range over the body's text.
  ComObject range = body.callObject("createTextRange");
  const Variant wanted = ComObject::textArgument(keyword);
  ComObject searchStart = range.callObject("duplicate");
  ComObject previousMatch;
  // 6. Find, wrap, and search on one character further.
  while (range.callLogical("FindText", {wanted})) {
    // A match before the place the search started from, or not past the previous match, is
    // text already wrapped: wrapping it again would never end.
    if (startAgainst(range, searchStart) < 0 || (!previousMatch.empty() && startAgainst(range, previousMatch) <= 0))
      break;
    previousMatch = range.callObject("duplicate");
    // The found text goes back as the page had it: escaped, so that text such as "a<b" stays
    // text instead of becoming markup.
    const Text found = markupShowing(range.getText("Text"));
    range.call("pasteHTML", {ComObject::textArgument(opening + found + closing)});
    range.call("MoveStart", {Variant(u"character"), Variant(1)});
    searchStart = range.callObject("duplicate");
  }
}

}  // namespace trenmoor
