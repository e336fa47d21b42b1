#include "tools/artwork/canvas.h"

#include <algorithm>
#include <cstdlib>

namespace rq4800::artwork {

Rgb Shade(Rgb colour, int percent) {
  auto channel = [percent](uint8_t v) { return static_cast<uint8_t>(std::min(255, v * percent / 100)); };
  return {channel(colour.r), channel(colour.g), channel(colour.b)};
}

Canvas::Canvas(int w, int h, Rgb fill) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}

void Canvas::Set(int x, int y, Rgb colour) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  pixels[static_cast<std::size_t>(y) * width + x] = colour;
}

void FillRect(Canvas& c, int x1, int y1, int x2, int y2, Rgb colour) {
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) c.Set(x, y, colour);
}

void FrameRect(Canvas& c, int x1, int y1, int x2, int y2, Rgb colour) {
  FillRect(c, x1, y1, x2, y1, colour);
  FillRect(c, x1, y2, x2, y2, colour);
  FillRect(c, x1, y1, x1, y2, colour);
  FillRect(c, x2, y1, x2, y2, colour);
}

void FillRoundRect(Canvas& c, int x1, int y1, int x2, int y2, int radius, Rgb colour) {
  for (int y = y1; y <= y2; ++y) {
    // How far the row's ends are pulled in by the corner arcs.
    int inset = 0;
    int dy = std::max(y1 + radius - y, y - (y2 - radius));
    if (dy > 0) {
      while (inset < radius) {
        int dx = radius - inset;
        if (dx * dx + dy * dy <= radius * radius + radius / 2) break;
        ++inset;
      }
    }
    FillRect(c, x1 + inset, y, x2 - inset, y, colour);
  }
}

void FillCircle(Canvas& c, int cx, int cy, int radius, Rgb colour) {
  for (int y = -radius; y <= radius; ++y)
    for (int x = -radius; x <= radius; ++x)
      if (x * x + y * y <= radius * radius + radius / 2) c.Set(cx + x, cy + y, colour);
}

void DrawLine(Canvas& c, int x1, int y1, int x2, int y2, Rgb colour) {
  int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    c.Set(x1, y1, colour);
    if (x1 == x2 && y1 == y2) return;
    int twice = 2 * error;
    if (twice >= dy) { error += dy; x1 += sx; }
    if (twice <= dx) { error += dx; y1 += sy; }
  }
}

Canvas CropRows(const Canvas& c, int top, int height) {
  Canvas out(c.width, height, Rgb{});
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < c.width; ++x) out.Set(x, y, c.At(x, top + y));
  return out;
}

}  // namespace rq4800::artwork
