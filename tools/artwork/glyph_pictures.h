#pragma once
// The status-icon pictures around the LCD's dot field, drawn black on white.
// The front end keeps pure black and turns everything else into the LCD's
// green, so only the black pixels matter on screen.
#include "tools/artwork/canvas.h"

namespace rq4800::artwork {

// The picture of a glyph resource id (120..149, 151..153) at the size the
// front end expects for it. An unknown id gives an empty (0 x 0) canvas.
Canvas DrawGlyph(int resourceId);

}  // namespace rq4800::artwork
