// The clipboard calls the system makes. Implemented by the desktop stand-in: one clipboard per
// desktop, held open by one caller at a time.
#pragma once

#include "platform/window_calls.h"

namespace trenmoor::win {

using HANDLE = void*;

constexpr UINT CF_BITMAP = 2;  // the data is a bitmap handle (bitmap_calls.h)

// Opens the clipboard for the caller, recording `owner` (0: none) as its owner: nonzero. 0 while
// it is already open (by anyone, this caller included) until that opener closes it.
BOOL OpenClipboard(HWND owner);

// Closes the clipboard: nonzero; 0 when it was not open.
BOOL CloseClipboard();

// Frees everything on the clipboard (bitmaps handed to it are deleted): nonzero. 0, nothing
// freed, when the clipboard is not open.
BOOL EmptyClipboard();

// The data of that format; it stays the clipboard's (do not delete it). 0 when the clipboard
// is not open or holds nothing of that format.
HANDLE GetClipboardData(UINT format);

// Puts `data` on the clipboard under `format`, which then owns it; data already there under that
// format is freed. Only CF_BITMAP with a live bitmap handle is accepted. Returns `data`; 0 (the
// caller keeps the data) when the clipboard is not open, the format is another or the handle is
// not a bitmap.
HANDLE SetClipboardData(UINT format, HANDLE data);

}  // namespace trenmoor::win
