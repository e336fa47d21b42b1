#pragma once
// Where the window's picture goes and how a point of the window finds its way
// back to the skin. The picture is the whole frame (the skin with the LCD) or,
// in the LCD-only view, the LCD panel with its icons cut out of the frame.
// It is shown in whole-number steps (every frame pixel an equal square, as
// sharp as the screen allows) at the largest step that fits, or, with smooth
// scaling, at whatever size fits with its proportions kept; either way it is
// centred in the space there is, with black around it.
//
//   window point --(minus offset, divided by the step)--> picture point
//   picture point --(plus the view's origin in the frame)--> frame point
//   frame point --(skinKeyRegions)--> key
#include <optional>

namespace rq4800 {

// A rectangle of the frame buffer in display coordinates.
struct FrameArea {
  int x = 0, y = 0, width = 0, height = 0;
};

// The whole frame, or the LCD panel (strips, dots and icons) for the LCD-only view.
FrameArea ViewArea(bool lcdOnly);

// Where the picture lies in the window, in window pixels.
struct Placement {
  double x = 0, y = 0, width = 0, height = 0;
  double scale = 1;  // window pixels per picture pixel
};

// The largest whole step at which a picture fits the space; 0 when even one
// step does not (the space is smaller than the picture).
int LargestFit(int spaceWidth, int spaceHeight, int pictureWidth, int pictureHeight);

// The picture's place in a space: centred, at the largest whole step that
// fits, or (smooth, or when no whole step fits) at the largest size with its
// proportions kept.
Placement PlacePicture(int spaceWidth, int spaceHeight, int pictureWidth, int pictureHeight, bool smooth);

struct PicturePoint {
  int x = 0, y = 0;
};

// The picture pixel under window point (x, y); nothing outside the picture.
std::optional<PicturePoint> PictureAt(const Placement& placement, int pictureWidth, int pictureHeight, double x,
                                      double y);

}  // namespace rq4800
