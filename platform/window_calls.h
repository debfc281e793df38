// The window, message, clock and process calls the system makes, in the shape it expects.
// Implemented by the desktop stand-in.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/text.h"

namespace trenmoor {

// Dispatches pending window events until more than `milliseconds` of the tick count have
// passed; returns at once for 0 or less.
void waitProcessingEvents(std::int32_t milliseconds);

// Dispatches every window event that is pending now, then returns.
void processPendingEvents();

// Queues `task` to run on the user-interface thread once the events queued before it have run
// (the role a posted message plays).
void postTask(std::function<void()> task);

}  // namespace trenmoor

namespace trenmoor::win {

using HWND = std::uint32_t;  // 0 = none
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using DWORD = std::uint32_t;
using BOOL = std::int32_t;

struct POINT {
  std::int32_t x;
  std::int32_t y;
};
struct RECT {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
};

constexpr UINT SMTO_NORMAL = 0x0000;
constexpr UINT SMTO_ABORTIFHUNG = 0x0002;

// Nonzero when the handle names an existing window.
BOOL IsWindow(HWND window);

// The next child of `parent` after `childAfter` (0: the first) whose class matches; a null
// class matches any. The title is not compared: windows beneath carry none, and the system
// searches by class alone. A parent of 0 walks the top-level windows. 0 when none or when
// `parent` is not a window.
HWND FindWindowExA(HWND parent, HWND childAfter, const char* className, const char* windowName);

// Copies the class name, truncated to maxCount - 1 bytes and NUL-terminated; returns the
// bytes copied. 0 (buffer untouched) for a bad handle, a null buffer or maxCount <= 0.
int GetClassNameA(HWND window, char* buffer, int maxCount);

// The same message number (0xC000 up) for the same name in any case; 0 for an empty or null
// name.
UINT RegisterWindowMessageA(const char* name);

// Sends the message and waits at most `timeoutMs` for the answer. Nonzero on success with
// *result written; 0 for a bad handle or a window that does not answer in time, *result left
// as it was. A window that does not answer costs the full time-out on the clock.
LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeoutMs,
                            std::uintptr_t* result);

// The deepest visible window under the screen point; 0 when none.
HWND WindowFromPoint(POINT point);

// Writes the cursor position; nonzero on success, 0 (nothing written) for a null pointer.
BOOL GetCursorPos(POINT* point);

// Writes the window's screen rectangle; 0 (nothing written) for a bad handle or null pointer.
BOOL GetWindowRect(HWND window, RECT* rect);

// Milliseconds of the desktop clock, wrapping at 2^32.
DWORD GetTickCount();

// Blocks the thread for `milliseconds` without dispatching window events; under a virtual
// clock the clock moves on by that much instead.
void Sleep(DWORD milliseconds);

}  // namespace trenmoor::win
