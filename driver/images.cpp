// Images: inputs of type image, then the page's img elements.
#include "driver/element_family.h"

namespace trenmoor {
namespace {

constexpr std::string_view kImageInfo[] = {"src", "width", "height", "title", "name", "id"};
constexpr ElementFamily kImages{&PageDriver::findImage, &PageDriver::lookupImage, "image",
                                &markWithoutCollecting<&PageDriver::markImages>, &ansiLiteral<"图片">, kImageInfo};

}  // namespace

ComObject PageDriver::findImage(const Text& key, std::int32_t skip) { return findElement(*this, kImages, key, skip); }

bool PageDriver::clickImage(const Text& key, std::int32_t skip) { return clickElement(*this, kImages, key, skip); }

std::int32_t PageDriver::countImages(bool mark) { return countElements(*this, kImages, mark); }

bool PageDriver::imageInfo(std::int32_t position, Text* src, Text* width, Text* height, Text* title, Text* name,
                           Text* id, ComObject* element) {
  return elementInfo(*this, kImages, position, {src, width, height, title, name, id}, element);
}

std::int32_t PageDriver::imageIndex(const Text& key, std::int32_t skip) {
  return elementIndex(*this, kImages, key, skip);
}

bool PageDriver::showHideImage(const Text& key, std::int32_t skip, bool hide) {
  return showHideElement(*this, kImages, key, skip, hide);
}

std::int32_t PageDriver::listImages(std::vector<Text>* sources, std::vector<Text>* widths, std::vector<Text>* heights,
                                    std::vector<Text>* names, std::vector<Text>* ids, std::vector<Text>* titles) {
  // Arrays the caller did not give are collected into and dropped.
  std::vector<Text> unused[6];
  auto into = [&unused](std::vector<Text>* given, int at) -> std::vector<Text>& { return given ? *given : unused[at]; };
  return markImages(Text(kImages.filter), kImages.kindLabel(), false, true, into(sources, 0), into(widths, 1),
                    into(heights, 2), into(names, 3), into(ids, 4), into(titles, 5));
}

}  // namespace trenmoor
