// The element census: one kind of page element as columns of its attributes.
#include <array>
#include <cmath>
#include <span>

#include "driver/page_driver.h"

namespace trenmoor {
namespace {

enum class Column {
  InnerTexts, Values, Names, Ids, TypeNames, Hrefs, Srcs, SizesA, SizesB, CheckedStates, OuterHtmls, Titles,
  TitledHrefs
};

// How a column's entry is read from the element.
enum class Reading {
  Text,                  // the property as text
  Checked,               // "真" when the property is -1 (true), else "假"
  TextWithoutLineBreaks  // the property as text with every CR LF pair removed
};

struct ColumnRead {
  Column column;
  std::string_view property;
  Reading reading = Reading::Text;
};

// Which elements a kind walks and which it keeps.
enum class Walk { Tags, BodySpans, BodyListItems };
enum class Keep { KindWord, Titled, Every };

struct CensusKind {
  Walk walk;
  Keep keep;
  const Text& (*label)();       // kinds 0-6: the kind's name, written with the ordinal
  std::string_view labelProperty;
  std::span<const ColumnRead> reads;
  bool appendsElement;
  Column counted;
};

using C = Column;
constexpr ColumnRead kToggles[] = {{C::TypeNames, "type"},  {C::Values, "value"},
                                   {C::Names, "name"},      {C::Ids, "ID"},
                                   {C::CheckedStates, "checked", Reading::Checked}, {C::OuterHtmls, "outerHTML"}};
constexpr ColumnRead kTextBoxes[] = {
    {C::TypeNames, "type"}, {C::Values, "value"}, {C::Names, "name"}, {C::Ids, "ID"}, {C::OuterHtmls, "outerHTML"}};
constexpr ColumnRead kButtons[] = {
    {C::TypeNames, "tagName"}, {C::Values, "value"}, {C::Names, "name"}, {C::Ids, "ID"}, {C::OuterHtmls, "outerHTML"}};
constexpr ColumnRead kAdvancedButtons[] = {{C::TypeNames, "type"}, {C::InnerTexts, "innertext"}, {C::Names, "name"},
                                           {C::Ids, "ID"},         {C::OuterHtmls, "outerHTML"}};
constexpr ColumnRead kImageButtons[] = {{C::TypeNames, "type"}, {C::Values, "value"},  {C::Names, "name"},
                                        {C::Ids, "ID"},         {C::Srcs, "src"},      {C::SizesB, "width"},
                                        {C::SizesA, "height"},  {C::OuterHtmls, "outerHTML"}};
constexpr ColumnRead kLinks[] = {{C::TypeNames, "tagname"}, {C::InnerTexts, "innertext"}, {C::Hrefs, "href"},
                                 {C::OuterHtmls, "outerHTML"}, {C::Titles, "title"}};
constexpr ColumnRead kImages[] = {{C::TypeNames, "tagName"}, {C::Srcs, "src"},          {C::Names, "name"},
                                  {C::Ids, "ID"},            {C::SizesB, "height"},     {C::SizesA, "width"},
                                  {C::OuterHtmls, "outerHTML"}, {C::Titles, "title"}};
constexpr ColumnRead kTitled[] = {
    {C::TypeNames, "tagname"}, {C::Titles, "title"}, {C::TitledHrefs, "href"}, {C::OuterHtmls, "outerHTML"}};
constexpr ColumnRead kTagsOnly[] = {{C::TypeNames, "tagName"}, {C::OuterHtmls, "outerHTML"}};
constexpr ColumnRead kTagsWithText[] = {{C::TypeNames, "tagName"}, {C::Names, "name"},    {C::InnerTexts, "innertext"},
                                        {C::Ids, "ID"},            {C::OuterHtmls, "outerHTML"}, {C::Titles, "title"}};
constexpr ColumnRead kListItems[] = {
    {C::InnerTexts, "innerText"}, {C::Ids, "ID"}, {C::OuterHtmls, "outerHTML", Reading::TextWithoutLineBreaks}};
constexpr ColumnRead kSpans[] = {{C::TypeNames, "tagName"}, {C::InnerTexts, "innerText"}, {C::Names, "name"},
                                 {C::Ids, "ID"},            {C::Values, "title"},
                                 {C::OuterHtmls, "outerHTML", Reading::TextWithoutLineBreaks}};

const Text& noLabel() {
  static const Text none;
  return none;
}

// The kinds 0 to 13, in order.
const CensusKind kKinds[] = {
    {Walk::Tags, Keep::KindWord, &ansiLiteral<"单选框">, "name", kToggles, true, C::TypeNames},
    {Walk::Tags, Keep::KindWord, &ansiLiteral<"复选框">, "name", kToggles, true, C::TypeNames},
    {Walk::Tags, Keep::KindWord, &ansiLiteral<"文本框">, "value", kTextBoxes, true, C::TypeNames},
    {Walk::Tags, Keep::KindWord, &ansiLiteral<"多行文本框">, "value", kTextBoxes, true, C::TypeNames},
    {Walk::Tags, Keep::KindWord, &ansiLiteral<"按钮">, "value", kButtons, true, C::TypeNames},
    {Walk::Tags, Keep::KindWord, &ansiLiteral<"高级按钮">, "innertext", kAdvancedButtons, true, C::TypeNames},
    {Walk::Tags, Keep::KindWord, &ansiLiteral<"图片按钮">, "name", kImageButtons, true, C::TypeNames},
    {Walk::Tags, Keep::KindWord, &noLabel, {}, kLinks, true, C::TypeNames},
    {Walk::Tags, Keep::KindWord, &noLabel, {}, kImages, true, C::TypeNames},
    {Walk::Tags, Keep::Titled, &noLabel, {}, kTitled, true, C::TypeNames},
    {Walk::Tags, Keep::KindWord, &noLabel, {}, kTagsOnly, true, C::TypeNames},
    {Walk::Tags, Keep::KindWord, &noLabel, {}, kTagsWithText, true, C::TypeNames},
    {Walk::BodyListItems, Keep::Every, &noLabel, {}, kListItems, false, C::InnerTexts},
    {Walk::BodySpans, Keep::Every, &noLabel, {}, kSpans, true, C::InnerTexts},
};

// The tag-list entries whose elements' kind word is their tag name; for the others it is their
// type.
bool kindWordIsTagName(std::string_view tag) { return tag == "a" || tag == "cite" || tag == "img" || tag == "div"; }

// The columns of one call, by Column.
using Columns = std::array<std::vector<Text>*, 13>;

void appendColumns(const CensusKind& kind, const ComObject& element, const Columns& columns,
                   std::vector<ComObject>& elements) {
  for (const ColumnRead& read : kind.reads) {
    std::vector<Text>& column = *columns[static_cast<std::size_t>(read.column)];
    switch (read.reading) {
      case Reading::Text: column.push_back(element.getText(read.property)); break;
      case Reading::Checked:
        column.push_back(logicalToText(std::fabs(element.getNumber(read.property) + 1.0) <= 1e-7));
        break;
      case Reading::TextWithoutLineBreaks:
        column.push_back(replaceText(element.getText(read.property), "\r\n", ""));
        break;
    }
  }
  if (kind.appendsElement) elements.push_back(element);
}

}  // namespace

std::int32_t PageDriver::takeElementCensus(std::int32_t kindNumber, const Text& tagList, const Text& typeList,
                                           std::vector<Text>& innerTexts, std::vector<Text>& values,
                                           std::vector<Text>& names, std::vector<Text>& ids,
                                           std::vector<Text>& typeNames, std::vector<Text>& hrefs,
                                           std::vector<Text>& srcs, std::vector<Text>& sizesA,
                                           std::vector<Text>& sizesB, std::vector<Text>& checkedStates,
                                           std::vector<Text>& outerHtmls, bool mark, std::vector<Text>& titles,
                                           std::vector<Text>& titledHrefs, std::vector<ComObject>& elements) {
  const Columns columns{&innerTexts, &values, &names, &ids, &typeNames, &hrefs, &srcs,
                        &sizesA, &sizesB, &checkedStates, &outerHtmls, &titles, &titledHrefs};
  const bool known = kindNumber >= 0 && kindNumber < static_cast<std::int32_t>(std::size(kKinds));
  // An unknown kind walks nothing and counts typeNames, as the kinds that walk tags do.
  const Column counted = known ? kKinds[kindNumber].counted : Column::TypeNames;
  auto result = [&] { return static_cast<std::int32_t>(columns[static_cast<std::size_t>(counted)]->size()); };

  // 1. The two lists; no type entry: nothing to append.
  const std::vector<Text> tags = splitText(tagList, "|");
  const std::vector<Text> types = splitText(typeList, "|");
  if (types.empty() || !known) return result();
  const CensusKind& kind = kKinds[kindNumber];

  // 2. Each tag entry in order.
  std::int32_t ordinal = 0;
  for (const Text& tag : tags) {
    ComObject found;
    if (kind.walk == Walk::Tags) {
      found = document_.callObject("getElementsByTagName", {ComObject::textArgument(tag)});
    } else {
      const char16_t* name = kind.walk == Walk::BodySpans ? u"span" : u"li";
      found = document_.getObject("body").getObject("all").callObject("tags", {Variant(name)});
    }
    const std::int32_t length = found.getInteger("length");
    for (std::int32_t i = 0; i < length; ++i) {
      ComObject element = found.callObject("item", {Variant(i)});
      if (kind.keep == Keep::Every || (kind.keep == Keep::Titled && !element.getText("title").empty())) {
        appendColumns(kind, element, columns, elements);
        continue;
      }
      if (kind.keep != Keep::KindWord) continue;
      // The kind word, in lower case; appended once for each equal entry of the type list.
      const Text word = foldLetterCase(element.getText(kindWordIsTagName(tag) ? "tagName" : "type"), LetterCase::Lower);
      for (const Text& type : types) {
        if (type != word) continue;
        if (!kind.labelProperty.empty()) {
          ++ordinal;
          if (mark) element.putText(kind.labelProperty, kind.label() + integerToText(ordinal));
        }
        appendColumns(kind, element, columns, elements);
      }
    }
  }
  // 5. The size of the counted column.
  return result();
}

}  // namespace trenmoor
