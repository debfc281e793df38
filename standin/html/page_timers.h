// A page's timers (setTimeout, setInterval) on the desktop clock. A timer runs its handler (a
// function or script text) in the page's scripts; every timer of a page stops when its scripts
// are shut (the page was left) or the page goes.
#pragma once

#include <cstdint>

#include "platform/dispatch.h"

namespace trenmoor::html {

class Document;

enum class TimerRepeat { Once, Every };

// Starts a timer of the page; its id (from 1 up, per page). A delay below 0 counts as 0; a
// repeating timer waits at least 10 ms between runs.
std::int32_t startPageTimer(Document& page, Variant handler, double delayMs, TimerRepeat repeat);

// Stops the page's timer with that id; nothing for another id.
void stopPageTimer(Document& page, std::int32_t id);

// Stops every timer of the page.
void stopPageTimers(Document& page);

}  // namespace trenmoor::html
