// Control ranges (a body's createControlRange) and the size images are laid out at.
//
// A control range holds elements; its copy command puts its image on the desktop's clipboard as
// a bitmap, scaled to the size the image is laid out at. Decision: only the first element is
// copied, and only an img element whose picture has loaded; anything else copies nothing and
// reports false, leaving the clipboard as it was.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "standin/html/dom.h"
#include "standin/html/member_table.h"

namespace trenmoor::html {

struct ImageSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Until layout exists: the width and height attributes (a positive leading number); when only
// one is given the other keeps the picture's proportions; else the picture's own size. 0 x 0
// before the picture has loaded (or when it did not decode) and no attribute says otherwise.
ImageSize laidOutSize(const Element& image);

class ControlRange final : public TableDispatch<ControlRange> {
 public:
  static Ref<ControlRange> create();
  static const MemberTable<ControlRange>& members();

  void add(Ref<Element> element) { items_.push_back(std::move(element)); }
  std::int32_t length() const { return static_cast<std::int32_t>(items_.size()); }
  Element* item(std::int32_t index) const;  // null outside 0 .. length - 1
  // Puts the first element's picture on the clipboard; whether it did.
  bool copy() const;

 private:
  ControlRange() = default;
  std::vector<Ref<Element>> items_;
};

// The body's createControlRange, and an image's width, height, naturalWidth and naturalHeight.
std::span<const Member<Element>> bodyControlRangeMembers();
std::span<const Member<Element>> imageSizeMembers();

}  // namespace trenmoor::html
