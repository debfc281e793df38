// Markers and finders: the walks every element family is built on.
#include "driver/element_lookup.h"
#include "driver/page_driver.h"

namespace trenmoor {
namespace {

const TagWalk kFilteredInputs{"input", Counting::TypeFiltered};
const TagWalk kFilteredButtons{"button", Counting::TypeFiltered, "button"};
const TagWalk kEveryImage{"img", Counting::Every, "image"};
const TagWalk kNone{};

Text redLabel(std::string_view words, std::int32_t ordinal) {
  return "<font color=red>" + Text(words) + integerToText(ordinal) + "</font>";
}

// Counts every element of the tag and, with `mark`, inserts a red label at its start.
std::int32_t markTagStarts(const ComObject& document, std::string_view tag, std::string_view words, bool mark) {
  std::int32_t count = 0;
  walkCounted(document, {tag, Counting::Every}, "", [&](const ComObject& element) {
    ++count;
    if (mark) element.call("insertAdjacentHTML", {ComObject::textArgument("afterBegin"), ComObject::textArgument(redLabel(words, count))});
    return true;
  });
  return count;
}

ComObject lookupTag(const ComObject& document, std::string_view tag, std::initializer_list<std::string_view> attributes,
                    const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupElement(document, Finder{{tag, Counting::Every}, kNone, attributes}, "", key, skip, counter);
}

}  // namespace

std::int32_t PageDriver::markInputsAfter(const Text& filter, const Text&, bool mark) {
  std::int32_t count = 0;
  walkCounted(document_, kFilteredInputs, filter, [&](const ComObject& element) {
    ++count;
    if (mark) {
      // Radio buttons get [单N], every other input [复N].
      const Text& kind = element.getText("type") == "radio" ? ansiLiteral<"单">() : ansiLiteral<"复">();
      element.putText("outerHTML", element.getText("outerHTML") + "<font color=red>[" + kind + integerToText(count) + "]</font>");
    }
    return true;
  });
  return count;
}

std::int32_t PageDriver::markInputValues(const Text& filter, const Text& label, bool mark) {
  std::int32_t count = 0;
  walkCounted(document_, kFilteredInputs, filter, [&](const ComObject& element) {
    ++count;
    if (mark) element.putText("value", label + integerToText(count));
    return true;
  });
  // Buttons follow when the filter names them; their label is their text.
  if (containsText(filter, kFilteredButtons.whenFilterNames)) {
    walkCounted(document_, kFilteredButtons, filter, [&](const ComObject& element) {
      ++count;
      if (mark) element.putText("innerText", label + integerToText(count));
      return true;
    });
  }
  return count;
}

ComObject PageDriver::lookupInput(const Text& filter, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupElement(document_, Finder{kFilteredInputs, kFilteredButtons, {"name", "id", "title"}}, filter, key, skip,
                       counter);
}

std::int32_t PageDriver::markImages(const Text& filter, const Text& label, bool mark, bool collect,
                                    std::vector<Text>& sources, std::vector<Text>& widths, std::vector<Text>& heights,
                                    std::vector<Text>& names, std::vector<Text>& ids, std::vector<Text>& titles) {
  std::int32_t count = 0;
  walkCountedWithSecond(document_, kFilteredInputs, kEveryImage, filter, [&](const ComObject& element) {
    ++count;
    if (mark) element.putText("title", label + integerToText(count));
    if (collect) {
      sources.push_back(element.getText("src"));
      widths.push_back(element.getText("width"));
      heights.push_back(element.getText("height"));
      names.push_back(element.getText("name"));
      ids.push_back(element.getText("id"));
      titles.push_back(element.getText("title"));
    }
    return true;
  });
  return count;
}

ComObject PageDriver::lookupImage(const Text& filter, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupElement(document_, Finder{kFilteredInputs, kEveryImage, {"src", "name", "id", "title"}, true},
                       filter, key, skip, counter);
}

std::int32_t PageDriver::markDivs(const Text&, const Text&, bool mark) { return markTagStarts(document_, "div", "Div", mark); }

ComObject PageDriver::lookupDiv(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupTag(document_, "div", {"className", "innerText", "name", "id", "title"}, key, skip, counter);
}

std::int32_t PageDriver::markSpans(const Text&, const Text&, bool mark) {
  return markTagStarts(document_, "span", "Span", mark);
}

ComObject PageDriver::lookupSpan(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupTag(document_, "span", {"className", "innerText", "name", "id", "title"}, key, skip, counter);
}

std::int32_t PageDriver::markListItems(const Text&, const Text&, bool mark) {
  return markTagStarts(document_, "li", "ULli", mark);
}

ComObject PageDriver::lookupListItem(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupTag(document_, "li", {"innerText", "className", "id", "title"}, key, skip, counter);
}

std::int32_t PageDriver::markTextAreas(const Text&, const Text& label, bool mark) {
  return markTagStarts(document_, "textarea", label, mark);
}

ComObject PageDriver::lookupTextArea(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupTag(document_, "textarea", {"innerText", "className", "id", "title", "Name"}, key, skip, counter);
}

std::int32_t PageDriver::markLinks(const Text&, const Text& label, bool mark, bool collect, std::vector<Text>& hrefs,
                                   std::vector<Text>& innerTexts, std::vector<Text>& names, std::vector<Text>& ids) {
  std::int32_t ordinal = 0;
  walkCounted(document_, {"a", Counting::Every}, "", [&](const ComObject& element) {
    ++ordinal;
    if (collect) {
      hrefs.push_back(element.getText("href"));
      innerTexts.push_back(element.getText("innerText"));
      names.push_back(element.getText("name"));
      ids.push_back(element.getText("id"));
    } else if (mark) {
      element.putText("innerHTML", element.getText("innerHTML") + redLabel(label, ordinal));
    }
    return true;
  });
  // The count is the collection's length read again at the end.
  return document_.getObject("body").getObject("all").callObject("tags", {ComObject::textArgument("a")}).getInteger("length");
}

ComObject PageDriver::lookupLink(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupTag(document_, "a", {"href", "id", "title", "innerText", "className"}, key, skip, counter);
}

std::int32_t PageDriver::markCites(const Text&, const Text& label, bool mark) {
  return markTagStarts(document_, "cite", label, mark);
}

ComObject PageDriver::lookupCite(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupTag(document_, "cite", {"innerText", "className", "id", "title"}, key, skip, counter);
}

}  // namespace trenmoor
