// The waitable timer and the message-aware wait the system sleeps on, in the shape it expects.
// Implemented by the desktop stand-in over its clock and event queue.
#pragma once

#include <cstdint>

#include "platform/window_calls.h"

namespace trenmoor::win {

using HANDLE = std::uint32_t;  // 0 = none

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 0x102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD QS_ALLEVENTS = 0xFF;  // every kind of input

// A new timer, not set and not signalled; `manualReset` false makes a completed wait reset it.
// The attributes and name are not used. Never 0 (the stand-in does not run out of handles).
HANDLE CreateWaitableTimerA(const void* attributes, BOOL manualReset, const char* name);

// Sets the timer: a negative due time is relative, in 100 ns units; zero or positive is absolute
// on the desktop clock in the same units. With `periodMs` > 0 it fires again every period. The
// timer stops being signalled. The completion routine is not supported and must be null.
// 0 for a bad handle, a null due time or a completion routine.
BOOL SetWaitableTimer(HANDLE timer, const std::int64_t* dueTime, std::int32_t periodMs, const void* completion,
                      const void* argument, BOOL resume);

// Waits until one (or with `waitAll`, every) handle is signalled: WAIT_OBJECT_0 + its index;
// until a window event is ready to run when `wakeMask` is not 0: WAIT_OBJECT_0 + count; or
// until `milliseconds` have passed (INFINITE: no limit): WAIT_TIMEOUT. Runs no event. Under the
// virtual clock idle time jumps to the next due time. WAIT_FAILED for a bad handle, a count of
// 0 without a wake mask and time limit, or when the program has ended.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD wakeMask);

// Closes a timer handle; 0 for a bad handle.
BOOL CloseHandle(HANDLE handle);

}  // namespace trenmoor::win
