#include "standin/html/tag_table.h"

#include <unordered_map>
#include <vector>

namespace trenmoor::html {
namespace {

struct TagRow {
  const char* name;
  TagKind kind;
  std::uint32_t flags;
};

constexpr std::uint32_t kTablePart = kRefusesContentWrite | kRefusesOuterWrite;

// Refusals follow the classic engine: the content of html, head, title, style and the table
// parts cannot be written as markup, nor can the outer markup of html, head, body and the
// table parts; void elements have no content to write.
constexpr TagRow kTags[] = {
    {"html", TagKind::Html, kBlock | kTablePart},
    {"head", TagKind::Head, kNotRendered | kTablePart},
    {"body", TagKind::Body, kBlock | kRefusesOuterWrite},
    {"title", TagKind::Title, kNotRendered | kRefusesContentWrite},
    {"base", TagKind::Base, kVoid | kNotRendered},
    {"meta", TagKind::Meta, kVoid | kNotRendered},
    {"link", TagKind::Link, kVoid | kNotRendered},
    {"style", TagKind::Style, kRawText | kNotRendered | kRefusesContentWrite},
    {"script", TagKind::Script, kRawText | kNotRendered},
    {"noscript", TagKind::Other, kNotRendered},
    {"template", TagKind::Other, kNotRendered},
    {"a", TagKind::A, 0},
    {"area", TagKind::Area, kVoid},
    {"img", TagKind::Img, kVoid},
    {"input", TagKind::Input, kVoid | kFormControl},
    {"button", TagKind::Button, kFormControl},
    {"select", TagKind::Select, kFormControl | kRefusesContentWrite},
    {"option", TagKind::Option, kBlock},
    {"optgroup", TagKind::OptGroup, kBlock},
    {"textarea", TagKind::TextArea, kFormControl | kRawText},
    {"form", TagKind::Form, kBlock},
    {"fieldset", TagKind::FieldSet, kBlock | kFormControl},
    {"label", TagKind::Label, 0},
    {"object", TagKind::Object, kFormControl},
    {"table", TagKind::Table, kBlock | kTablePart},
    {"caption", TagKind::Caption, kBlock | kRefusesOuterWrite},
    {"thead", TagKind::THead, kTablePart},
    {"tbody", TagKind::TBody, kTablePart},
    {"tfoot", TagKind::TFoot, kTablePart},
    {"tr", TagKind::Tr, kBlock | kTablePart},
    {"td", TagKind::Td, kCell | kRefusesOuterWrite},
    {"th", TagKind::Th, kCell | kRefusesOuterWrite},
    {"col", TagKind::Col, kVoid | kTablePart},
    {"colgroup", TagKind::ColGroup, kTablePart},
    {"frame", TagKind::Frame, kVoid},
    {"iframe", TagKind::IFrame, kRawText},
    {"frameset", TagKind::FrameSet, kBlock | kTablePart},
    {"br", TagKind::Br, kVoid},
    {"hr", TagKind::Hr, kVoid | kBlock},
    {"div", TagKind::Div, kBlock},
    {"p", TagKind::P, kBlock},
    {"span", TagKind::Span, 0},
    {"li", TagKind::Li, kBlock},
    {"pre", TagKind::Pre, kBlock},
    {"wbr", TagKind::Other, kVoid},
    {"embed", TagKind::Other, kVoid},
    {"param", TagKind::Other, kVoid},
    {"source", TagKind::Other, kVoid},
    {"track", TagKind::Other, kVoid},
    {"keygen", TagKind::Other, kVoid},
    {"basefont", TagKind::Other, kVoid},
    {"bgsound", TagKind::Other, kVoid},
    {"xmp", TagKind::Other, kRawText | kBlock},
    {"plaintext", TagKind::Other, kRawText | kBlock},
    {"noembed", TagKind::Other, kRawText},
    {"noframes", TagKind::Other, kRawText | kNotRendered},
    {"ul", TagKind::Other, kBlock}, {"ol", TagKind::Other, kBlock},
    {"dl", TagKind::Other, kBlock}, {"dt", TagKind::Other, kBlock},
    {"dd", TagKind::Other, kBlock}, {"h1", TagKind::Other, kBlock},
    {"h2", TagKind::Other, kBlock}, {"h3", TagKind::Other, kBlock},
    {"h4", TagKind::Other, kBlock}, {"h5", TagKind::Other, kBlock},
    {"h6", TagKind::Other, kBlock}, {"blockquote", TagKind::Other, kBlock},
    {"address", TagKind::Other, kBlock}, {"center", TagKind::Other, kBlock},
    {"section", TagKind::Other, kBlock}, {"article", TagKind::Other, kBlock},
    {"header", TagKind::Other, kBlock}, {"footer", TagKind::Other, kBlock},
    {"nav", TagKind::Other, kBlock}, {"aside", TagKind::Other, kBlock},
    {"main", TagKind::Other, kBlock}, {"figure", TagKind::Other, kBlock},
    {"figcaption", TagKind::Other, kBlock}, {"legend", TagKind::Other, kBlock},
    {"menu", TagKind::Other, kBlock}, {"dir", TagKind::Other, kBlock},
    {"details", TagKind::Other, kBlock}, {"summary", TagKind::Other, kBlock},
    {"listing", TagKind::Other, kBlock},
};

std::u16string widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

struct Registry {
  std::vector<TagInfo> infos;
  std::unordered_map<std::u16string_view, const TagInfo*> byName;
  TagInfo unknown{TagKind::Other, u"", u"", 0};

  Registry() {
    infos.reserve(std::size(kTags));
    for (const auto& row : kTags)
      infos.push_back({row.kind, widen(row.name), asciiUpper(widen(row.name)), row.flags});
    for (const auto& info : infos) byName.emplace(info.lower, &info);
  }
};

const Registry& registry() {
  static const Registry instance;
  return instance;
}

}  // namespace

const TagInfo& tagInfo(std::u16string_view lowerName) {
  const auto& r = registry();
  auto it = r.byName.find(lowerName);
  return it == r.byName.end() ? r.unknown : *it->second;
}

const TagInfo& unknownTagInfo() { return registry().unknown; }

}  // namespace trenmoor::html
