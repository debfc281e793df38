#include "standin/html/member_table.h"

namespace trenmoor::html {
namespace {

std::uint32_t foldedHash(auto name) {
  std::uint32_t h = 2166136261u;
  for (auto c : name) {
    auto unit = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<decltype(c)>>(c));
    if (unit >= 'A' && unit <= 'Z') unit += 32;
    h = (h ^ unit) * 16777619u;
  }
  return h;
}

}  // namespace

MemberIndex::MemberIndex(const std::vector<std::string_view>& names) : names_(names) {
  std::size_t size = 8;
  while (size < names.size() * 2) size *= 2;
  slots_.assign(size, -1);
  mask_ = size - 1;
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::size_t slot = foldedHash(names[i]) & mask_;
    while (slots_[slot] >= 0) slot = (slot + 1) & mask_;
    slots_[slot] = static_cast<std::int32_t>(i);
  }
}

int MemberIndex::find(std::u16string_view name) const {
  for (std::size_t slot = foldedHash(name) & mask_;; slot = (slot + 1) & mask_) {
    std::int32_t at = slots_[slot];
    if (at < 0) return -1;
    if (memberNameEquals(name, names_[static_cast<std::size_t>(at)])) return at;
  }
}

}  // namespace trenmoor::html
