// The common-dialog library's open-file entry point, in this machine's natural layout of the
// system's OPENFILENAMEW (pointers are 8 bytes and window handles 4 here, so lpstrFile sits at byte offset 40 rather
// than the 28 of the 32-bit layout).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/window_calls.h"

namespace trenmoor::win {

using WORD = std::uint16_t;
using WCHAR = char16_t;

struct OPENFILENAMEW {
  DWORD lStructSize;
  HWND hwndOwner;
  void* hInstance;
  const WCHAR* lpstrFilter;  // pairs of NUL-terminated texts, ending with an empty one
  WCHAR* lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  WCHAR* lpstrFile;  // in: initial name; out: the chosen path(s)
  DWORD nMaxFile;    // characters of lpstrFile
  WCHAR* lpstrFileTitle;
  DWORD nMaxFileTitle;
  const WCHAR* lpstrInitialDir;
  const WCHAR* lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  const WCHAR* lpstrDefExt;
  std::intptr_t lCustData;
  void* lpfnHook;
  const WCHAR* lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
};
static_assert(offsetof(OPENFILENAMEW, lpstrFile) == 40, "natural 64-bit layout");

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_EXPLORER = 0x00080000;

// GetOpenFileNameW: nonzero when the user chose; the chosen path is written to lpstrFile
// (with several files: the directory, then each name, each NUL-terminated, then an extra NUL).
using GetOpenFileNameWFunction = BOOL (*)(OPENFILENAMEW*);

}  // namespace trenmoor::win
