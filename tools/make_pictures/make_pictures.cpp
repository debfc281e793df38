// Draws the program's pictures with libgd and writes them as a C++ source of byte arrays:
// make_pictures <output.cpp>
#include <gd.h>
#include <gdfontg.h>
#include <gdfontl.h>
#include <gdfonts.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Drawn {
  std::string function;
  std::string name;
  Bytes data;
};

Bytes take(void* data, int size) {
  Bytes bytes(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
  gdFree(data);
  return bytes;
}

void centredText(gdImagePtr image, gdFontPtr font, const char* text, int colour) {
  int width = static_cast<int>(std::strlen(text)) * font->w;
  gdImageString(image, font, (gdImageSX(image) - width) / 2, (gdImageSY(image) - font->h) / 2,
                reinterpret_cast<unsigned char*>(const_cast<char*>(text)), colour);
}

Bytes banner(int width, int height, int r, int g, int b, const char* title, const char* subtitle, bool gif) {
  gdImagePtr image = gif ? gdImageCreate(width, height) : gdImageCreateTrueColor(width, height);
  int background = gdImageColorAllocate(image, r, g, b);
  int light = gdImageColorAllocate(image, 255, 255, 255);
  int accent = gdImageColorAllocate(image, 255, 200, 60);
  gdImageFilledRectangle(image, 0, 0, width - 1, height - 1, background);
  for (int y = height - 6; y < height; ++y) gdImageLine(image, 0, y, width - 1, y, accent);
  gdFontPtr big = gdFontGetGiant();
  int titleWidth = static_cast<int>(std::strlen(title)) * big->w;
  gdImageString(image, big, (width - titleWidth) / 2, height / 2 - big->h,
                reinterpret_cast<unsigned char*>(const_cast<char*>(title)), light);
  gdFontPtr small = gdFontGetLarge();
  int subtitleWidth = static_cast<int>(std::strlen(subtitle)) * small->w;
  gdImageString(image, small, (width - subtitleWidth) / 2, height / 2 + 4,
                reinterpret_cast<unsigned char*>(const_cast<char*>(subtitle)), light);
  int size = 0;
  void* data = gif ? gdImageGifPtr(image, &size) : gdImagePngPtr(image, &size);
  gdImageDestroy(image);
  return take(data, size);
}

Bytes button(const char* label, int r, int g, int b) {
  gdImagePtr image = gdImageCreateTrueColor(77, 24);
  int face = gdImageColorAllocate(image, r, g, b);
  int edge = gdImageColorAllocate(image, r / 2, g / 2, b / 2);
  int text = gdImageColorAllocate(image, 255, 255, 255);
  gdImageFilledRectangle(image, 0, 0, 76, 23, face);
  gdImageRectangle(image, 0, 0, 76, 23, edge);
  centredText(image, gdFontGetSmall(), label, text);
  int size = 0;
  void* data = gdImagePngPtr(image, &size);
  gdImageDestroy(image);
  return take(data, size);
}

Bytes iconImage(int size) {
  gdImagePtr image = gdImageCreateTrueColor(size, size);
  gdImageSaveAlpha(image, 1);
  gdImageAlphaBlending(image, 0);
  int clear = gdImageColorAllocateAlpha(image, 0, 0, 0, 127);
  gdImageFilledRectangle(image, 0, 0, size - 1, size - 1, clear);
  int blue = gdImageColorAllocateAlpha(image, 30, 90, 170, 0);
  int gold = gdImageColorAllocateAlpha(image, 255, 200, 60, 0);
  gdImageFilledEllipse(image, size / 2, size / 2, size - 2, size - 2, blue);
  int bar = size / 6 > 0 ? size / 6 : 1;
  gdImageFilledRectangle(image, size / 4, size / 4, size * 3 / 4, size / 4 + bar, gold);  // a T
  gdImageFilledRectangle(image, size / 2 - bar / 2, size / 4, size / 2 + bar / 2 + (bar == 1), size * 3 / 4, gold);
  int length = 0;
  void* data = gdImagePngPtr(image, &length);
  gdImageDestroy(image);
  return take(data, length);
}

void put16(Bytes& out, unsigned v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& out, unsigned v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// An icon file whose images are 32-bit PNGs of the given sizes.
Bytes icon(const std::vector<int>& sizes) {
  std::vector<Bytes> images;
  for (int size : sizes) images.push_back(iconImage(size));
  Bytes out;
  put16(out, 0);
  put16(out, 1);  // icon
  put16(out, static_cast<unsigned>(sizes.size()));
  unsigned offset = 6 + 16 * static_cast<unsigned>(sizes.size());
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(sizes[i] >= 256 ? 0 : sizes[i]));
    out.push_back(static_cast<std::uint8_t>(sizes[i] >= 256 ? 0 : sizes[i]));
    out.push_back(0);
    out.push_back(0);
    put16(out, 1);   // planes
    put16(out, 32);  // bits per pixel
    put32(out, static_cast<unsigned>(images[i].size()));
    put32(out, offset);
    offset += static_cast<unsigned>(images[i].size());
  }
  for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_pictures <output.cpp>\n");
    return 2;
  }
  const std::vector<Drawn> pictures = {
      {"headerPicture", "header.png", banner(634, 86, 30, 90, 170, "TRENMOOR", "share links -> your disk, in bulk", false)},
      {"loginButtonPicture", "login.png", button("LOG IN", 40, 120, 200)},
      {"addfileButtonPicture", "addfile.png", button("ADD FILES", 40, 120, 200)},
      {"startButtonPicture", "start.png", button("START", 40, 150, 80)},
      {"stopButtonPicture", "stop.png", button("STOP", 190, 50, 50)},
      {"welcomePicture", "welcome.gif", banner(620, 358, 240, 244, 250, "WELCOME", "log in, add link files, press start", true)},
      {"stopPicture", "stopping.gif", banner(620, 358, 120, 30, 30, "STOPPING", "the program restarts in a moment", true)},
      {"programIcon", "trenmoor.ico", icon({128, 64, 48, 32, 16})},
  };
  std::ofstream out(argv[1], std::ios::binary);
  out << "// Generated by make_pictures: the program's pictures.\n#include \"app/pictures.h\"\n\n"
         "namespace trenmoor::app {\nnamespace {\n";
  for (const auto& p : pictures) {
    out << "const unsigned char k_" << p.function << "[] = {";
    for (std::size_t i = 0; i < p.data.size(); ++i) out << (i % 24 ? "" : "\n  ") << unsigned(p.data[i]) << ",";
    out << "\n};\n";
  }
  out << "}  // namespace\n\n";
  for (const auto& p : pictures) {
    out << "const ui::Picture& " << p.function << "() {\n  static const ui::Picture picture{\"" << p.name
        << "\", Bytes(std::begin(k_" << p.function << "), std::end(k_" << p.function << "))};\n  return picture;\n}\n";
  }
  out << "\n}  // namespace trenmoor::app\n";
  return out ? 0 : 1;
}
