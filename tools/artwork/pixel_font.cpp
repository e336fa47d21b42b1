#include "tools/artwork/pixel_font.h"

#include <cstring>
#include <iterator>

namespace rq4800::artwork {

namespace {

const FontGlyph kLabelGlyphs[] = {
    {'A', {".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"}},
    {'B', {"XXXX.", "X...X", "X...X", "XXXX.", "X...X", "X...X", "XXXX."}},
    {'C', {".XXX.", "X...X", "X....", "X....", "X....", "X...X", ".XXX."}},
    {'D', {"XXXX.", "X...X", "X...X", "X...X", "X...X", "X...X", "XXXX."}},
    {'E', {"XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX"}},
    {'F', {"XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "X...."}},
    {'G', {".XXX.", "X...X", "X....", "X.XXX", "X...X", "X...X", ".XXXX"}},
    {'H', {"X...X", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"}},
    {'I', {".XXX.", "..X..", "..X..", "..X..", "..X..", "..X..", ".XXX."}},
    {'J', {"..XXX", "...X.", "...X.", "...X.", "...X.", "X..X.", ".XX.."}},
    {'K', {"X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"}},
    {'L', {"X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"}},
    {'M', {"X...X", "XX.XX", "X.X.X", "X.X.X", "X...X", "X...X", "X...X"}},
    {'N', {"X...X", "X...X", "XX..X", "X.X.X", "X..XX", "X...X", "X...X"}},
    {'O', {".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."}},
    {'P', {"XXXX.", "X...X", "X...X", "XXXX.", "X....", "X....", "X...."}},
    {'Q', {".XXX.", "X...X", "X...X", "X...X", "X.X.X", "X..X.", ".XX.X"}},
    {'R', {"XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"}},
    {'S', {".XXXX", "X....", "X....", ".XXX.", "....X", "....X", "XXXX."}},
    {'T', {"XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "..X.."}},
    {'U', {"X...X", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."}},
    {'V', {"X...X", "X...X", "X...X", "X...X", "X...X", ".X.X.", "..X.."}},
    {'W', {"X...X", "X...X", "X...X", "X.X.X", "X.X.X", "X.X.X", ".X.X."}},
    {'X', {"X...X", "X...X", ".X.X.", "..X..", ".X.X.", "X...X", "X...X"}},
    {'Y', {"X...X", "X...X", ".X.X.", "..X..", "..X..", "..X..", "..X.."}},
    {'Z', {"XXXXX", "....X", "...X.", "..X..", ".X...", "X....", "XXXXX"}},
    {'0', {".XXX.", "X...X", "X..XX", "X.X.X", "XX..X", "X...X", ".XXX."}},
    {'1', {"..X..", ".XX..", "..X..", "..X..", "..X..", "..X..", ".XXX."}},
    {'2', {".XXX.", "X...X", "....X", "...X.", "..X..", ".X...", "XXXXX"}},
    {'3', {"XXXXX", "...X.", "..X..", "...X.", "....X", "X...X", ".XXX."}},
    {'4', {"...X.", "..XX.", ".X.X.", "X..X.", "XXXXX", "...X.", "...X."}},
    {'5', {"XXXXX", "X....", "XXXX.", "....X", "....X", "X...X", ".XXX."}},
    {'6', {"..XX.", ".X...", "X....", "XXXX.", "X...X", "X...X", ".XXX."}},
    {'7', {"XXXXX", "....X", "...X.", "..X..", ".X...", ".X...", ".X..."}},
    {'8', {".XXX.", "X...X", "X...X", ".XXX.", "X...X", "X...X", ".XXX."}},
    {'9', {".XXX.", "X...X", "X...X", ".XXXX", "....X", "...X.", ".XX.."}},
    {'#', {".X.X.", ".X.X.", "XXXXX", ".X.X.", "XXXXX", ".X.X.", ".X.X."}},
    {'*', {".....", "..X..", "X.X.X", ".XXX.", "X.X.X", "..X..", "....."}},
    {'/', {".....", "....X", "...X.", "..X..", ".X...", "X....", "....."}},
    {'-', {".....", ".....", ".....", "XXXXX", ".....", ".....", "....."}},
    {'+', {".....", "..X..", "..X..", "XXXXX", "..X..", "..X..", "....."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".XX..", ".XX.."}},
};

const FontGlyph kSmallGlyphs[] = {
    {'0', {"XXX", "X.X", "X.X", "X.X", "XXX"}},
    {'1', {".X.", "XX.", ".X.", ".X.", "XXX"}},
    {'2', {"XXX", "..X", "XXX", "X..", "XXX"}},
    {'3', {"XXX", "..X", ".XX", "..X", "XXX"}},
    {'4', {"X.X", "X.X", "XXX", "..X", "..X"}},
    {'5', {"XXX", "X..", "XXX", "..X", "XXX"}},
    {'6', {"XXX", "X..", "XXX", "X.X", "XXX"}},
    {'7', {"XXX", "..X", "..X", ".X.", ".X."}},
    {'8', {"XXX", "X.X", "XXX", "X.X", "XXX"}},
    {'9', {"XXX", "X.X", "XXX", "..X", "XXX"}},
    {'*', {"...", "X.X", ".X.", "X.X", "..."}},
    {'/', {"..X", "..X", ".X.", "X..", "X.."}},
    {'-', {"...", "...", "XXX", "...", "..."}},
    {'+', {"...", ".X.", "XXX", ".X.", "..."}},
    {'.', {"...", "...", "...", "...", ".X."}},
    {'A', {".XX.", "X..X", "XXXX", "X..X", "X..X"}},
    {'C', {".XXX", "X...", "X...", "X...", ".XXX"}},
    {'D', {"XXX.", "X..X", "X..X", "X..X", "XXX."}},
    {'L', {"X...", "X...", "X...", "X...", "XXXX"}},
    {'O', {".XX.", "X..X", "X..X", "X..X", ".XX."}},
    {'E', {"XXXX", "X...", "XXX.", "X...", "XXXX"}},
    {'F', {"XXXX", "X...", "XXX.", "X...", "X..."}},
    {'H', {"X..X", "X..X", "XXXX", "X..X", "X..X"}},
    {'I', {"XXX", ".X.", ".X.", ".X.", "XXX"}},
    {'M', {"X...X", "XX.XX", "X.X.X", "X...X", "X...X"}},
    {'N', {"X...X", "XX..X", "X.X.X", "X..XX", "X...X"}},
    {'P', {"XXX.", "X..X", "XXX.", "X...", "X..."}},
    {'S', {".XXX", "X...", ".XX.", "...X", "XXX."}},
    {'T', {"XXX", ".X.", ".X.", ".X.", ".X."}},
    {'U', {"X..X", "X..X", "X..X", "X..X", ".XX."}},
};

const FontGlyph* Find(const PixelFont& font, char c) {
  for (int i = 0; i < font.glyphCount; ++i)
    if (font.glyphs[i].character == c) return &font.glyphs[i];
  return nullptr;
}

int GlyphWidth(const FontGlyph& g) { return static_cast<int>(std::strlen(g.rows[0])); }

}  // namespace

const PixelFont kLabelFont = {7, kLabelGlyphs, static_cast<int>(std::size(kLabelGlyphs))};
const PixelFont kSmallFont = {5, kSmallGlyphs, static_cast<int>(std::size(kSmallGlyphs))};

bool HasAllCharacters(const PixelFont& font, std::string_view text) {
  for (char c : text)
    if (c != ' ' && !Find(font, c)) return false;
  return true;
}

int TextWidth(const PixelFont& font, std::string_view text, int scale) {
  int width = 0;
  for (char c : text) {
    const FontGlyph* g = Find(font, c);
    width += (g ? GlyphWidth(*g) : 3) + 1;  // a space is three columns
  }
  return text.empty() ? 0 : (width - 1) * scale;
}

void DrawText(Canvas& c, const PixelFont& font, int x, int y, std::string_view text, Rgb colour, int scale) {
  for (char ch : text) {
    const FontGlyph* g = Find(font, ch);
    if (!g) {
      x += 4 * scale;
      continue;
    }
    int w = GlyphWidth(*g);
    for (int row = 0; row < font.height; ++row)
      for (int col = 0; col < w; ++col)
        if (g->rows[row][col] == 'X') FillRect(c, x + col * scale, y + row * scale, x + (col + 1) * scale - 1, y + (row + 1) * scale - 1, colour);
    x += (w + 1) * scale;
  }
}

}  // namespace rq4800::artwork
