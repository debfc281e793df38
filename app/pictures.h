// The pictures the program holds (drawn by our own picture maker at build time).
#pragma once

#include "platform/toolkit.h"

namespace trenmoor::app {

const ui::Picture& headerPicture();
const ui::Picture& loginButtonPicture();
const ui::Picture& addfileButtonPicture();
const ui::Picture& startButtonPicture();
const ui::Picture& stopButtonPicture();
const ui::Picture& welcomePicture();  // 620 x 358 GIF
const ui::Picture& stopPicture();     // 620 x 358 GIF
const ui::Picture& programIcon();     // icon file: 128, 64, 48, 32 and 16 pixels, 32-bit

}  // namespace trenmoor::app
