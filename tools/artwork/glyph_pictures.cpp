#include "tools/artwork/glyph_pictures.h"

#include <cstring>
#include <string_view>

#include "host/skin_layout.h"
#include "tools/artwork/palette.h"
#include "tools/artwork/pixel_font.h"

namespace rq4800::artwork {

namespace {

using palette::kGlyphInk;
using palette::kGlyphPaper;

// Pictures small enough to draw by hand: 'X' black, '.' white, top row first.
struct GlyphArt {
  int resourceId;
  const char* rows[12];
};

const GlyphArt kGlyphArt[] = {
    {120, {"....X....",  // two upward arrowheads
           "...XXX...",
           "..XX.XX..",
           ".XX...XX.",
           "XX.....XX",
           "....X....",
           "...XXX...",
           "..XX.XX..",
           ".XX...XX.",
           "XX.....XX"}},
    {121, {"....XX....",  // star
           "....XX....",
           "...XXXX...",
           "XXXXXXXXXX",
           ".XXXXXXXX.",
           "..XXXXXX..",
           "..XXXXXX..",
           ".XXX..XXX.",
           ".XX....XX."}},
    {126, {".....X.....",  // bell
           "....XXX....",
           "...XXXXX...",
           "..XXXXXXX..",
           "..XXXXXXX..",
           "..XXXXXXX..",
           "..XXXXXXX..",
           ".XXXXXXXXX.",
           "XXXXXXXXXXX",
           "...........",
           "....XXX....",
           ".....X....."}},
    {127, {"....XXXXX.",  // lightning flash
           "...XXXXX..",
           "..XXXXX...",
           ".XXXXX....",
           "XXXXXXXXX.",
           "....XXXX..",
           "...XXXX...",
           "..XXX.....",
           ".XXX......",
           ".XX.......",
           "X........."}},
    {128, {".X.........X.",  // a tick in round brackets
           "X...........X",
           "X.........X.X",
           "X........X..X",
           "X..X....X...X",
           "X...X..X....X",
           "X....XX.....X",
           "X...........X",
           ".X.........X."}},
    {129, {"...XX..",  // musical note
           "...XXX.",
           "...X.XX",
           "...X..X",
           "...X...",
           "...X...",
           ".XXX...",
           "XXXX...",
           "XXXX...",
           ".XX...."}},
    {130, {"..X.........X..",  // dot between two pairs of arcs
           ".X...........X.",
           "X...X.....X...X",
           "X..X.......X..X",
           "X..X..XXX..X..X",
           "X..X..XXX..X..X",
           "X..X.......X..X",
           "X...X.....X...X",
           ".X...........X.",
           "..X.........X.."}},
    {131, {"....X....X...",  // loudspeaker with sound lines
           "...XX.....X..",
           "..XXX.X....X.",
           "XXXXX..X...X.",
           "XXXXX..X....X",
           "XXXXX..X....X",
           "XXXXX..X...X.",
           "..XXX.X....X.",
           "...XX.....X..",
           "....X....X..."}},
    {132, {".XXX.....XXX.",  // two reels and the tape between them
           "X...X...X...X",
           "X.X.X...X.X.X",
           "X...X...X...X",
           ".XXX.....XXX.",
           "..X.......X..",
           "..XXXXXXXXX.."}},
    {134, {"XXXXXXXXXX",  // small framed symbol
           "X........X",
           "X...XX...X",
           "X.XXXXXX.X",
           "X.XXXXXX.X",
           "X...XX...X",
           "X........X",
           "XXXXXXXXXX"}},
    {135, {"..............",  // key
           ".XXX..........",
           "X...X.........",
           "X...XXXXXXXXXX",
           "X...XXXXXXXXXX",
           "X...X....XX.XX",
           ".XXX.....XX.XX",
           ".............."}},
    {136, {".....X.....X",  // two left-pointing triangles
           "....XX....XX",
           "...XXX...XXX",
           "..XXXX..XXXX",
           ".XXXXX.XXXXX",
           "..XXXX..XXXX",
           "...XXX...XXX",
           "....XX....XX",
           ".....X.....X"}},
    {137, {"X....X....",  // two right-pointing triangles
           "XX...XX...",
           "XXX..XXX..",
           "XXXX.XXXX.",
           "XXXXXXXXXX",
           "XXXXXXXXXX",
           "XXXX.XXXX.",
           "XXX..XXX..",
           "XX...XX...",
           "X....X...."}},
    {138, {"XX.....XX",  // two downward arrowheads
           ".XX...XX.",
           "..XX.XX..",
           "...XXX...",
           "....X....",
           "XX.....XX",
           ".XX...XX.",
           "..XX.XX..",
           "...XXX...",
           "....X...."}},
    {139, {"...X.......",  // left arrow
           "..XX.......",
           ".XXXXXXXXXX",
           "XXXXXXXXXXX",
           "XXXXXXXXXXX",
           ".XXXXXXXXXX",
           "..XX.......",
           "...X......."}},
    {141, {"........XXX.",  // pen, nib at the lower left
           ".......X.XXX",
           "......X...X.",
           ".....X...X..",
           "....X...X...",
           "...X...X....",
           "..X...X.....",
           ".XXX.X......",
           "XXX........."}},
    {142, {".XX.XX.XX.",  // cell of three vertical bars
           ".XX.XX.XX.",
           ".XX.XX.XX.",
           ".XX.XX.XX.",
           ".XX.XX.XX.",
           ".XX.XX.XX.",
           ".XX.XX.XX.",
           ".XX.XX.XX."}},
    {143, {".......X....",  // right arrow
           ".......XX...",
           "XXXXXXXXXXX.",
           "XXXXXXXXXXXX",
           "XXXXXXXXXXXX",
           "XXXXXXXXXXX.",
           ".......XX...",
           ".......X...."}},
    {147, {"........",  // small up arrow
           "...XX...",
           "..XXXX..",
           ".XXXXXX.",
           "XXXXXXXX",
           "........",
           "........"}},
    {148, {"........",  // small down arrow
           "........",
           "XXXXXXXX",
           ".XXXXXX.",
           "..XXXX..",
           "...XX...",
           "........"}},
    {151, {".XXXX.",  // scroll-position mark
           "XXXXXX",
           "XXXXXX",
           "XXXXXX",
           "XXXXXX",
           "XXXXXX",
           "XXXXXX",
           "XXXXXX",
           "XXXXXX",
           ".XXXX."}},
    {152, {"..",  // colon, its dots level with the digits' upper and lower halves
           "..",
           "XX",
           "XX",
           "..",
           "..",
           "XX",
           "XX",
           "..",
           ".."}},
    {153, {"..",  // point, on the digits' baseline
           "XX",
           "XX"}},
};

Canvas FromArt(const GlyphArt& art) {
  int width = static_cast<int>(std::strlen(art.rows[0]));
  int height = 0;
  while (height < 12 && art.rows[height]) ++height;
  Canvas c(width, height, kGlyphPaper);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width && art.rows[y][x]; ++x)
      if (art.rows[y][x] == 'X') c.Set(x, y, kGlyphInk);
  return c;
}

// A black label plate with its letters cut out, the way the LCD shows a mode.
Canvas FramedLabel(int width, int height, std::string_view text) {
  Canvas c(width, height, kGlyphPaper);
  FillRoundRect(c, 0, 0, width - 1, height - 1, 1, kGlyphInk);
  int x = (width - TextWidth(kSmallFont, text)) / 2;
  DrawText(c, kSmallFont, x, (height - 5) / 2, text, kGlyphPaper);
  return c;
}

// A horizontal bar gauge: a frame between two arrowheads that the three
// bar cells (placed separately) fill from the left.
Canvas BarFrame(int width, int height) {
  Canvas c(width, height, kGlyphPaper);
  int mid = height / 2;
  for (int i = 0; i < 4; ++i) {
    FillRect(c, i, mid - i, i, mid + i, kGlyphInk);
    FillRect(c, width - 1 - i, mid - i, width - 1 - i, mid + i, kGlyphInk);
  }
  FrameRect(c, 5, 0, width - 6, height - 1, kGlyphInk);
  return c;
}

// The scroll bar's frame, with the cells for its up and down arrows closed off.
Canvas ScrollFrame(int width, int height) {
  Canvas c(width, height, kGlyphPaper);
  FrameRect(c, 0, 0, width - 1, height - 1, kGlyphInk);
  FillRect(c, 0, 8, width - 1, 8, kGlyphInk);
  FillRect(c, 0, height - 9, width - 1, height - 9, kGlyphInk);
  return c;
}

Canvas Solid(int width, int height) { return Canvas(width, height, kGlyphInk); }

}  // namespace

Canvas DrawGlyph(int resourceId) {
  const GlyphPicture* g = FindGlyphPicture(resourceId);
  if (!g) return Canvas(0, 0, kGlyphPaper);
  switch (resourceId) {
    case 122: return FramedLabel(g->width, g->height, "NUM");
    case 123: return FramedLabel(g->width, g->height, "INS");
    case 124: return FramedLabel(g->width, g->height, "CAPS");
    case 125: return FramedLabel(g->width, g->height, "SHIFT");
    case 140: return BarFrame(g->width, g->height);
    case 146: return ScrollFrame(g->width, g->height);
    case 133: case 144: case 145: case 149: return Solid(g->width, g->height);
    default: break;
  }
  for (const GlyphArt& art : kGlyphArt)
    if (art.resourceId == resourceId) return FromArt(art);
  return Canvas(0, 0, kGlyphPaper);
}

}  // namespace rq4800::artwork
