// The table of known tags: kind and behaviour of each, written once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "standin/html/dom.h"

namespace trenmoor::html {

enum TagFlag : std::uint32_t {
  kVoid = 1u << 0,                // no content, no end tag
  kBlock = 1u << 1,               // rendered text breaks the line before and after
  kRawText = 1u << 2,             // content serialised without escaping
  kNotRendered = 1u << 3,         // contributes nothing to rendered text
  kRefusesContentWrite = 1u << 4, // innerHTML / innerText writes fail
  kRefusesOuterWrite = 1u << 5,   // outerHTML / outerText writes fail
  kFormControl = 1u << 6,         // listed in a form's elements
  kCell = 1u << 7,                // a table cell: a tab after it in rendered text
};

struct TagInfo {
  TagKind kind;
  std::u16string lower;  // empty for tags outside the table
  std::u16string upper;
  std::uint32_t flags;
  bool has(TagFlag flag) const { return (flags & flag) != 0; }
};

// The entry for a lower-case tag name; the shared entry of unknown tags when it is not listed.
const TagInfo& tagInfo(std::u16string_view lowerName);
const TagInfo& unknownTagInfo();

}  // namespace trenmoor::html
