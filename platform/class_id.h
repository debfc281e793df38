// Class ids and their parsing from text (CLSIDFromString's role). Implemented by the desktop
// stand-in.
#pragma once

#include <cstdint>

#include "platform/com_init.h"

namespace trenmoor::win {

struct GUID {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];
  friend bool operator==(const GUID&, const GUID&) = default;
};
using CLSID = GUID;

constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057L);
constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3L);

// Parses a NUL-terminated "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits of any case)
// into *clsid: S_OK. Any other text (no program names are registered) gives CO_E_CLASSSTRING
// with *clsid set to all zeros; a null text or clsid gives E_INVALIDARG, nothing written.
HRESULT CLSIDFromString(const char16_t* text, CLSID* clsid);

}  // namespace trenmoor::win
