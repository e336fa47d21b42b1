#pragma once
// A plain RGB drawing surface for the artwork generator, top row first, with
// the few shapes the pictures are made of. Drawing outside the canvas is
// clipped, so shapes near an edge need no care from their callers.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rq4800::artwork {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Scales each channel by percent/100 (darker below 100, lighter above, saturating).
Rgb Shade(Rgb colour, int percent);

struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // width * height, row 0 at the top

  Canvas(int w, int h, Rgb fill);
  Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  void Set(int x, int y, Rgb colour);
};

// Rectangles take inclusive corners (x1, y1) .. (x2, y2).
void FillRect(Canvas& c, int x1, int y1, int x2, int y2, Rgb colour);
void FrameRect(Canvas& c, int x1, int y1, int x2, int y2, Rgb colour);
// A rectangle whose corners are cut to quarter circles of the given radius.
void FillRoundRect(Canvas& c, int x1, int y1, int x2, int y2, int radius, Rgb colour);
void FillCircle(Canvas& c, int cx, int cy, int radius, Rgb colour);
void DrawLine(Canvas& c, int x1, int y1, int x2, int y2, Rgb colour);
// Copies rows [top, top + height) of a canvas into a new one.
Canvas CropRows(const Canvas& c, int top, int height);

}  // namespace rq4800::artwork
