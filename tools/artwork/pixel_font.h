#pragma once
// Bitmap fonts drawn as data: a 5 x 7 font for key labels and the maker's
// lettering, and a 5-row font of varying width for the tiny status-icon labels
// and the second legend on shared keys. Characters a font lacks draw nothing
// and report themselves with HasAllCharacters, so a label cannot silently lose
// a letter.
#include <string_view>

#include "tools/artwork/canvas.h"

namespace rq4800::artwork {

struct FontGlyph {
  char character;
  const char* rows[7];  // 'X' ink, '.' none; all rows of one glyph equally long
};

struct PixelFont {
  int height;
  const FontGlyph* glyphs;
  int glyphCount;
};

extern const PixelFont kLabelFont;  // 5 x 7: A-Z, 0-9, # * / - + .
extern const PixelFont kSmallFont;  // 5 rows: digits, symbols, a few letters

bool HasAllCharacters(const PixelFont& font, std::string_view text);
// Width in pixels, one blank column between characters, scale included.
int TextWidth(const PixelFont& font, std::string_view text, int scale = 1);
// Draws text with its top-left at (x, y); each font pixel becomes scale x scale.
void DrawText(Canvas& c, const PixelFont& font, int x, int y, std::string_view text, Rgb colour, int scale = 1);

}  // namespace rq4800::artwork
