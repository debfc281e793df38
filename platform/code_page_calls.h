// The code page conversion call the system makes, in the shape it expects. Implemented by the
// desktop stand-in.
#pragma once

#include "platform/window_calls.h"

namespace trenmoor::win {

constexpr UINT CP_ACP = 0;  // the system's ANSI code page: 936 here
constexpr UINT CP_GBK = 936;
constexpr DWORD WC_COMPOSITECHECK = 0x200;

// Converts `wideCount` UTF-16 units (a U+0000 among them is converted like any other) to code
// page 936. With `outSize` 0 it writes nothing and returns the bytes the result needs;
// otherwise it writes the result and returns its length. Characters the code page lacks become
// its default character '?'; the caller cannot choose another. WC_COMPOSITECHECK first joins a
// letter and a following combining mark into the precomposed letter where the code page holds
// one. 0, nothing written, for another code page or flag, a null or negative input, an empty
// input, or a buffer too small for the whole result.
int WideCharToMultiByte(UINT codePage, DWORD flags, const char16_t* wide, int wideCount, char* out, int outSize);

}  // namespace trenmoor::win
