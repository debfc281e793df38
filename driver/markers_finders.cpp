// Markers and finders: the walks every element family is built on.
#include "driver/element_lookup.h"
#include "driver/page_driver.h"

namespace trenmoor {
namespace {

constexpr TagWalk kFilteredInputs{"input", Counting::TypeFiltered};
constexpr TagWalk kFilteredButtons{"button", Counting::TypeFiltered, "button"};
constexpr TagWalk kEveryImage{"img", Counting::Every, "image"};

// The attributes each finder compares with the key, in order.
constexpr std::string_view kInputKeys[] = {"name", "id", "title"};
constexpr std::string_view kImageKeys[] = {"src", "name", "id", "title"};
constexpr std::string_view kDivKeys[] = {"className", "innerText", "name", "id", "title"};
constexpr std::string_view kSpanKeys[] = {"className", "innerText", "name", "id", "title"};
constexpr std::string_view kListItemKeys[] = {"innerText", "className", "id", "title"};
constexpr std::string_view kTextAreaKeys[] = {"innerText", "className", "id", "title", "Name"};
constexpr std::string_view kLinkKeys[] = {"href", "id", "title", "innerText", "className"};
constexpr std::string_view kCiteKeys[] = {"innerText", "className", "id", "title"};

constexpr Finder kInputFinder{kFilteredInputs, kFilteredButtons, kInputKeys};
constexpr Finder kImageFinder{kFilteredInputs, kEveryImage, kImageKeys, true};
constexpr Finder kDivFinder{{"div"}, {}, kDivKeys};
constexpr Finder kSpanFinder{{"span"}, {}, kSpanKeys};
constexpr Finder kListItemFinder{{"li"}, {}, kListItemKeys};
constexpr Finder kTextAreaFinder{{"textarea"}, {}, kTextAreaKeys};
constexpr Finder kLinkFinder{{"a"}, {}, kLinkKeys};
constexpr Finder kCiteFinder{{"cite"}, {}, kCiteKeys};

Text redLabel(std::string_view words, std::int32_t ordinal) {
  return "<font color=red>" + Text(words) + integerToText(ordinal) + "</font>";
}

// Counts every element of the tag and, with `mark`, inserts a red label at its start.
std::int32_t markTagStarts(const ComObject& document, const TagWalk& walk, std::string_view words, bool mark) {
  std::int32_t count = 0;
  walkCounted(document, walk, "", [&](const ComObject& element) {
    ++count;
    if (mark) element.call("insertAdjacentHTML", {ComObject::textArgument("afterBegin"), ComObject::textArgument(redLabel(words, count))});
    return true;
  }, Visiting::TakenFirst);
  return count;
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
  }, Visiting::TakenFirst);
  return count;
}

std::int32_t PageDriver::markInputValues(const Text& filter, const Text& label, bool mark) {
  std::int32_t count = 0;
  walkCounted(document_, kFilteredInputs, filter, [&](const ComObject& element) {
    ++count;
    if (mark) element.putText("value", label + integerToText(count));
    return true;
  }, Visiting::TakenFirst);
  // Buttons follow when the filter names them; their label is their text.
  if (containsText(filter, kFilteredButtons.whenFilterNames)) {
    walkCounted(document_, kFilteredButtons, filter, [&](const ComObject& element) {
      ++count;
      if (mark) element.putText("innerText", label + integerToText(count));
      return true;
    }, Visiting::TakenFirst);
  }
  return count;
}

ComObject PageDriver::lookupInput(const Text& filter, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupElement(document_, kInputFinder, filter, key, skip, counter);
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
  }, Visiting::TakenFirst);
  return count;
}

ComObject PageDriver::lookupImage(const Text& filter, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupElement(document_, kImageFinder, filter, key, skip, counter);
}

std::int32_t PageDriver::markDivs(const Text&, const Text&, bool mark) {
  return markTagStarts(document_, kDivFinder.first, "Div", mark);
}

ComObject PageDriver::lookupDiv(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupElement(document_, kDivFinder, "", key, skip, counter);
}

std::int32_t PageDriver::markSpans(const Text&, const Text&, bool mark) {
  return markTagStarts(document_, kSpanFinder.first, "Span", mark);
}

ComObject PageDriver::lookupSpan(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupElement(document_, kSpanFinder, "", key, skip, counter);
}

std::int32_t PageDriver::markListItems(const Text&, const Text&, bool mark) {
  return markTagStarts(document_, kListItemFinder.first, "ULli", mark);
}

ComObject PageDriver::lookupListItem(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupElement(document_, kListItemFinder, "", key, skip, counter);
}

std::int32_t PageDriver::markTextAreas(const Text&, const Text& label, bool mark) {
  return markTagStarts(document_, kTextAreaFinder.first, label, mark);
}

ComObject PageDriver::lookupTextArea(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupElement(document_, kTextAreaFinder, "", key, skip, counter);
}

std::int32_t PageDriver::markLinks(const Text&, const Text& label, bool mark, bool collect, std::vector<Text>& hrefs,
                                   std::vector<Text>& innerTexts, std::vector<Text>& names, std::vector<Text>& ids) {
  std::int32_t ordinal = 0;
  walkCounted(document_, kLinkFinder.first, "", [&](const ComObject& element) {
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
  }, Visiting::TakenFirst);
  // The count is the collection's length read again at the end.
  return document_.getObject("body")
      .getObject("all")
      .callObject("tags", {ComObject::textArgument(kLinkFinder.first.tag)})
      .getInteger("length");
}

ComObject PageDriver::lookupLink(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupElement(document_, kLinkFinder, "", key, skip, counter);
}

std::int32_t PageDriver::markCites(const Text&, const Text& label, bool mark) {
  return markTagStarts(document_, kCiteFinder.first, label, mark);
}

ComObject PageDriver::lookupCite(const Text&, const Text& key, std::int32_t skip, std::int32_t& counter) {
  return lookupElement(document_, kCiteFinder, "", key, skip, counter);
}

}  // namespace trenmoor
