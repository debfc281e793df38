#include "standin/html/control_range.h"

#include <algorithm>
#include <cstdint>

#include "platform/bitmap_calls.h"
#include "platform/clipboard_calls.h"
#include "standin/desktop/bitmaps.h"
#include "standin/html/member_arguments.h"
#include "standin/imaging/picture_codec.h"

namespace trenmoor::html {
namespace {

std::int32_t sizeAttribute(const Element& image, std::u16string_view name) {
  const std::u16string* value = image.attribute(name);
  const std::int32_t n = value ? leadingNumber(*value) : 0;
  return n > 0 ? n : 0;
}

// `side` scaled by given / own, rounded; the picture's proportions kept.
std::int32_t proportional(std::int32_t side, std::int32_t given, std::int32_t own) {
  if (own <= 0) return 0;
  const std::int64_t scaled = (static_cast<std::int64_t>(side) * given + own / 2) / own;
  return static_cast<std::int32_t>(std::min<std::int64_t>(scaled, INT32_MAX));
}

}  // namespace

ImageSize laidOutSize(const Element& image) {
  const std::int32_t ownWidth = image.picture ? image.picture->width : 0;
  const std::int32_t ownHeight = image.picture ? image.picture->height : 0;
  std::int32_t width = sizeAttribute(image, u"width");
  std::int32_t height = sizeAttribute(image, u"height");
  if (width && !height) height = proportional(ownHeight, width, ownWidth);
  else if (height && !width) width = proportional(ownWidth, height, ownHeight);
  else if (!width && !height) return {ownWidth, ownHeight};
  return {width, height};
}

Ref<ControlRange> ControlRange::create() { return Ref<ControlRange>(new ControlRange()); }

Element* ControlRange::item(std::int32_t index) const {
  return index >= 0 && index < length() ? items_[static_cast<std::size_t>(index)].get() : nullptr;
}

bool ControlRange::copy() const {
  if (items_.empty()) return false;
  const Element& image = *items_.front();
  if (image.kind() != TagKind::Img || !image.picture) return false;
  const ImageSize size = laidOutSize(image);
  void* bitmap = nullptr;
  if (size.width == image.picture->width && size.height == image.picture->height) {
    bitmap = desktop::createBitmap(image.picture);  // shared: neither changes it
  } else if (std::optional<desktop::Pixels> scaled = imaging::scalePicture(*image.picture, size.width, size.height)) {
    bitmap = desktop::createBitmap(std::move(*scaled));
  }
  if (!bitmap) return false;
  // The clipboard is the desktop's: when another holds it open, the copy fails.
  if (!win::OpenClipboard(0)) {
    win::DeleteObject(bitmap);
    return false;
  }
  win::EmptyClipboard();
  const bool placed = win::SetClipboardData(win::CF_BITMAP, bitmap) != nullptr;
  win::CloseClipboard();
  if (!placed) win::DeleteObject(bitmap);
  return placed;
}

namespace {

using R = ControlRange;

constexpr Member<R> kControlRangeMembers[] = {
    {"length",
     [](R& r, Variant& v) {
       v = r.length();
       return true;
     }},
    {"add", nullptr, nullptr,
     [](R& r, std::span<const Variant> a, Variant&) {
       Node* node = nodeArgument(argument(a, 0));
       Element* element = node ? node->asElement() : nullptr;
       if (!element) return false;
       r.add(Ref<Element>(element));
       return true;
     }},
    {"item", nullptr, nullptr,
     [](R& r, std::span<const Variant> a, Variant& v) {
       const Variant* index = argument(a, 0);
       v = objectResult(index ? r.item(truncatedInteger(index->toNumber())) : nullptr);
       return true;
     }},
    // execCommand(command, showInterface, value): only "copy" is known.
    {"execCommand", nullptr, nullptr,
     [](R& r, std::span<const Variant> a, Variant& v) {
       v = asciiEqualsIgnoringCase(wideToUtf8(argumentText(a, 0)), "copy") && r.copy();
       return true;
     }},
};

using E = Element;

template <std::int32_t ImageSize::*Side>
bool readLaidOut(E& e, Variant& v) {
  v = laidOutSize(e).*Side;
  return true;
}
template <std::int32_t desktop::Pixels::*Side>
bool readNatural(E& e, Variant& v) {
  v = e.picture ? (*e.picture).*Side : 0;
  return true;
}

constexpr Member<E> kImageSizeMembers[] = {
    {"width", readLaidOut<&ImageSize::width>, writeNumber<u"width">},
    {"height", readLaidOut<&ImageSize::height>, writeNumber<u"height">},
    {"naturalWidth", readNatural<&desktop::Pixels::width>},
    {"naturalHeight", readNatural<&desktop::Pixels::height>},
};

constexpr Member<E> kBodyMembers[] = {
    {"createControlRange", nullptr, nullptr,
     [](E&, std::span<const Variant>, Variant& v) {
       v = ControlRange::create().dispatch();
       return true;
     }},
};

}  // namespace

const MemberTable<ControlRange>& ControlRange::members() {
  static const MemberTable<ControlRange> table{kControlRangeMembers};
  return table;
}

std::span<const Member<Element>> bodyControlRangeMembers() { return kBodyMembers; }
std::span<const Member<Element>> imageSizeMembers() { return kImageSizeMembers; }

}  // namespace trenmoor::html
