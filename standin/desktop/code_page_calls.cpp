// The seam's code page conversion over the platform's code page 936 converter.
#include "platform/code_page_calls.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/text.h"

namespace trenmoor::win {
namespace {

// The precomposed letters of code page 936 (the pinyin letters) by base letter and combining
// mark.
struct Composition {
  char16_t base;
  char16_t mark;
  char16_t composed;
};
constexpr char16_t kGrave = 0x300, kAcute = 0x301, kCircumflex = 0x302, kMacron = 0x304, kDiaeresis = 0x308,
                   kCaron = 0x30C;
constexpr Composition kCompositions[] = {
    {u'a', kMacron, 0x101}, {u'a', kAcute, 0xE1},  {u'a', kCaron, 0x1CE}, {u'a', kGrave, 0xE0},
    {u'e', kMacron, 0x113}, {u'e', kAcute, 0xE9},  {u'e', kCaron, 0x11B}, {u'e', kGrave, 0xE8},
    {u'e', kCircumflex, 0xEA},
    {u'i', kMacron, 0x12B}, {u'i', kAcute, 0xED},  {u'i', kCaron, 0x1D0}, {u'i', kGrave, 0xEC},
    {u'o', kMacron, 0x14D}, {u'o', kAcute, 0xF3},  {u'o', kCaron, 0x1D2}, {u'o', kGrave, 0xF2},
    {u'u', kMacron, 0x16B}, {u'u', kAcute, 0xFA},  {u'u', kCaron, 0x1D4}, {u'u', kGrave, 0xF9},
    {u'u', kDiaeresis, 0xFC},
    {0xFC, kMacron, 0x1D6}, {0xFC, kAcute, 0x1D8}, {0xFC, kCaron, 0x1DA}, {0xFC, kGrave, 0x1DC},
    {u'n', kAcute, 0x144},  {u'n', kCaron, 0x148}, {u'n', kGrave, 0x1F9}, {u'm', kAcute, 0x1E3F},
};

std::u16string composed(std::u16string_view wide) {
  std::u16string out;
  out.reserve(wide.size());
  for (char16_t c : wide) {
    if (!out.empty() && c >= kGrave && c <= 0x36F) {
      bool joined = false;
      for (const auto& k : kCompositions)
        if (k.base == out.back() && k.mark == c) {
          out.back() = k.composed;
          joined = true;
          break;
        }
      if (joined) continue;
    }
    out.push_back(c);
  }
  return out;
}

}  // namespace

int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int wideCount, char* out, int outSize) {
  if ((codePage != CP_ACP && codePage != CP_GBK) || (flags & ~WC_COMPOSITECHECK) != 0) return 0;
  if (!wide || wideCount <= 0 || outSize < 0 || (outSize > 0 && !out)) return 0;
  std::u16string_view units(wide, static_cast<std::size_t>(wideCount));
  const Text result = flags & WC_COMPOSITECHECK ? wideToAnsi(composed(units)) : wideToAnsi(units);
  if (result.size() > static_cast<std::size_t>(INT32_MAX)) return 0;
  const int size = static_cast<int>(result.size());
  if (outSize == 0) return size;
  if (outSize < size) return 0;
  std::memcpy(out, result.data(), result.size());
  return size;
}

}  // namespace trenmoor::win
