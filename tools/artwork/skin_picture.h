#pragma once
// The skin: our own drawing of the whole device, the picture the window shows
// with the LCD painted into it, and the program's icon.
#include "tools/artwork/canvas.h"

namespace rq4800::artwork {

// 470 x 611. With keysPressed every key is drawn in its pressed look; the
// pressed picture the program carries is rows 301..610 of that drawing.
Canvas DrawSkin(bool keysPressed);
// A small picture of the device for the window and task bar.
Canvas DrawProgramIcon(int size);

}  // namespace rq4800::artwork
