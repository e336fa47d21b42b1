#include "host/picture_layout.h"

#include <algorithm>
#include <cmath>

#include "host/skin_layout.h"

namespace rq4800 {

FrameArea ViewArea(bool lcdOnly) {
  if (!lcdOnly) return {0, 0, skin::kFrameWidth, skin::kFrameHeight};
  return {skin::kPanelLeft, skin::kPanelTop, skin::kPanelRight - skin::kPanelLeft + 1, skin::kPanelHeight};
}

int LargestFit(int spaceWidth, int spaceHeight, int pictureWidth, int pictureHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || spaceWidth <= 0 || spaceHeight <= 0) return 0;
  return std::min(spaceWidth / pictureWidth, spaceHeight / pictureHeight);
}

Placement PlacePicture(int spaceWidth, int spaceHeight, int pictureWidth, int pictureHeight, bool smooth) {
  if (pictureWidth <= 0 || pictureHeight <= 0) return {};
  double scale = LargestFit(spaceWidth, spaceHeight, pictureWidth, pictureHeight);
  if (smooth || scale < 1) {
    scale = std::min(static_cast<double>(std::max(spaceWidth, 0)) / pictureWidth,
                     static_cast<double>(std::max(spaceHeight, 0)) / pictureHeight);
  }
  Placement p;
  p.scale = scale;
  p.width = pictureWidth * scale;
  p.height = pictureHeight * scale;
  // Whole pixels of offset, so that whole steps land on whole window pixels.
  p.x = std::floor((spaceWidth - p.width) / 2);
  p.y = std::floor((spaceHeight - p.height) / 2);
  return p;
}

std::optional<PicturePoint> PictureAt(const Placement& placement, int pictureWidth, int pictureHeight, double x,
                                      double y) {
  if (placement.scale <= 0) return std::nullopt;
  const double px = std::floor((x - placement.x) / placement.scale);
  const double py = std::floor((y - placement.y) / placement.scale);
  if (px < 0 || py < 0 || px >= pictureWidth || py >= pictureHeight) return std::nullopt;
  return PicturePoint{static_cast<int>(px), static_cast<int>(py)};
}

}  // namespace rq4800
