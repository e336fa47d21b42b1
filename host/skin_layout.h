#pragma once
// Where things are on the skin, the picture of the whole device that the
// window shows. Display coordinates: x to the right, y downward, (0, 0) the
// top-left pixel. The artwork generator draws to these numbers and the front
// end paints and hit-tests with them, so a key drawn on the skin is the key a
// click presses.
//
//   y   0 +--------------------------------------------+
//         |  body                                      |
//      34 |   +--------+-------------------------+--+  |  LCD panel 29..406
//         |   | strip  | dot field 320 x 160      |st|  |  (left strip 46 wide,
//     193 |   +--------+-------------------------+--+  |   right strip 12)
//     290 |  ...... keyboard restore from here ......  |
//     301 |  ...... pressed-look picture from here ... |
//     308 |  top keys (0..9), function row (13..19),   |
//         |  four rows of ten keys (20..59)            |
//     610 +--------------------------------------------+
#include <cstdint>

namespace rq4800 {

namespace skin {
inline constexpr int kFrameWidth = 470;
inline constexpr int kFrameHeight = 611;

// The pressed-look picture holds the keyboard half only: display rows 301..610.
inline constexpr int kPressedTop = 301;
inline constexpr int kPressedHeight = kFrameHeight - kPressedTop;  // 310
// Releasing the mouse copies rows 290..610 of the normal skin back, which
// covers every pressed-key highlight (they reach 2 pixels above a key).
inline constexpr int kKeyboardRestoreTop = 290;

// LCD panel, inclusive bounds; every row of it is 160 pixels tall.
inline constexpr int kPanelLeft = 29;
inline constexpr int kPanelTop = 34;
inline constexpr int kPanelRight = 406;
inline constexpr int kPanelBottom = 193;
inline constexpr int kPanelHeight = kPanelBottom - kPanelTop + 1;  // 160

inline constexpr int kLeftStripX = 29;
inline constexpr int kLeftStripWidth = 46;
inline constexpr int kRightStripX = 395;
inline constexpr int kRightStripWidth = 12;

// 160 x 80 dots, each a 2 x 2 block of frame pixels.
inline constexpr int kDotFieldX = 75;
inline constexpr int kDotFieldY = 34;
inline constexpr int kDotColumns = 160;
inline constexpr int kDotRows = 80;
inline constexpr int kDotFieldWidth = 2 * kDotColumns;  // 320
inline constexpr int kDotFieldHeight = 2 * kDotRows;    // 160

// 0xAARRGGBB: a set dot is black, a clear dot the panel's green.
inline constexpr uint32_t kOnColour = 0xFF000000;
inline constexpr uint32_t kOffColour = 0xFF90B057;

inline constexpr int kStripBackgroundWidth = 171;
inline constexpr int kStripBackgroundHeight = 164;
}  // namespace skin

// A clickable key: strictly inside x1 < x < x2, y1 < y < y2 presses keyCode.
struct SkinKeyRegion {
  int x1, y1, x2, y2;
  int keyCode;  // row * 10 + column of the key matrix
};

// Searched in this order; the first region that holds the point wins.
inline constexpr SkinKeyRegion skinKeyRegions[57] = {
    // Application keys under the panel (3 and 6 are taller); they wake the device.
    {156, 369, 186, 385, 1},
    {199, 369, 229, 385, 2},
    {242, 369, 272, 395, 3},
    {285, 369, 315, 385, 4},
    {328, 369, 358, 385, 5},
    {371, 369, 401, 395, 6},
    // Power.
    {162, 325, 205, 348, 0},
    // Top right row.
    {273, 308, 313, 329, 7},
    {326, 308, 366, 329, 8},
    {379, 308, 422, 329, 9},
    // Function row: three unnamed keys, then F1..F4.
    {148, 411, 179, 425, 13},
    {191, 411, 222, 425, 14},
    {234, 411, 265, 425, 15},
    {277, 411, 308, 425, 16},
    {320, 411, 351, 425, 17},
    {363, 411, 394, 425, 18},
    {406, 411, 437, 425, 19},
    // Q W E R T Y U I O P
    {29, 451, 62, 474, 20},
    {71, 451, 104, 474, 21},
    {113, 451, 146, 474, 22},
    {155, 451, 188, 474, 23},
    {197, 451, 230, 474, 24},
    {239, 451, 272, 474, 25},
    {281, 451, 314, 474, 26},
    {323, 451, 356, 474, 27},
    {365, 451, 398, 474, 28},
    {407, 451, 440, 474, 29},
    // A S D F G H J K L Enter
    {29, 484, 62, 507, 30},
    {71, 484, 104, 507, 31},
    {113, 484, 146, 507, 32},
    {155, 484, 188, 507, 33},
    {197, 484, 230, 507, 34},
    {239, 484, 272, 507, 35},
    {281, 484, 314, 507, 36},
    {323, 484, 356, 507, 37},
    {365, 484, 398, 507, 38},
    {407, 484, 440, 507, 39},
    // Z X C V B N M PgUp Up PgDn
    {29, 517, 62, 540, 40},
    {71, 517, 104, 540, 41},
    {113, 517, 146, 540, 42},
    {155, 517, 188, 540, 43},
    {197, 517, 230, 540, 44},
    {239, 517, 272, 540, 45},
    {281, 517, 314, 540, 46},
    {323, 517, 356, 540, 47},
    {365, 517, 398, 540, 48},
    {407, 517, 440, 540, 49},
    // (unnamed) Shift Caps Esc 0 . Space Left Down Right
    {29, 550, 62, 573, 50},
    {71, 550, 104, 573, 51},
    {113, 550, 146, 573, 52},
    {155, 550, 188, 573, 53},
    {197, 550, 230, 573, 54},
    {239, 550, 272, 573, 55},
    {281, 550, 314, 573, 56},
    {323, 550, 356, 573, 57},
    {365, 550, 398, 573, 58},
    {407, 550, 440, 573, 59},
};

// What a key is, as the skin writes it. label is the PC key that presses it
// (or the key's use); alt is the second thing the same device key types: the
// digit of a shared letter key, or a character of the character path. Keys no
// PC key reaches carry their key code ("#7"), the name the headless runner's
// key scripts use for them.
struct SkinKeyLabel {
  int keyCode;
  const char* label;
  const char* alt;  // "" when none
};

inline constexpr SkinKeyLabel skinKeyLabels[57] = {
    {0, "Power", ""}, {1, "#1", ""},   {2, "#2", ""},   {3, "#3", ""},   {4, "#4", ""},
    {5, "#5", ""},    {6, "#6", ""},   {7, "#7", ""},   {8, "#8", ""},   {9, "#9", ""},
    {13, "#13", ""},  {14, "#14", ""}, {15, "#15", ""}, {16, "F1", ""},  {17, "F2", ""},
    {18, "F3", ""},   {19, "F4", ""},
    {20, "Q", ""},    {21, "W", ""},   {22, "E", ""},   {23, "R", ""},   {24, "T", "7"},
    {25, "Y", "8"},   {26, "U", "9"},  {27, "I", ""},   {28, "O", "/"},  {29, "P", ""},
    {30, "A", ""},    {31, "S", ""},   {32, "D", ""},   {33, "F", ""},   {34, "G", "4"},
    {35, "H", "5"},   {36, "J", "6"},  {37, "K", ""},   {38, "L", "*"},  {39, "Enter", ""},
    {40, "Z", ""},    {41, "X", ""},   {42, "C", ""},   {43, "V", ""},   {44, "B", "1"},
    {45, "N", "2"},   {46, "M", "3"},  {47, "PgUp", ""}, {48, "Up", "-"}, {49, "PgDn", ""},
    {50, "#50", ""},  {51, "Shift", ""}, {52, "Caps", ""}, {53, "Esc", ""}, {54, "0", ""},
    {55, ".", ""},    {56, "Space", ""}, {57, "Left", ""}, {58, "Down", "+"}, {59, "Right", ""},
};

// The label record of a key code, or nullptr for a code with no key on the skin.
constexpr const SkinKeyLabel* FindSkinKeyLabel(int keyCode) {
  for (const SkinKeyLabel& k : skinKeyLabels)
    if (k.keyCode == keyCode) return &k;
  return nullptr;
}

// The status-icon pictures: resource id, size, depth. The point (153) is the
// one 4-bit picture; all others are 24-bit.
struct GlyphPicture {
  int resourceId;
  int width, height;
  int bitsPerPixel;
};

inline constexpr GlyphPicture glyphPictures[33] = {
    {120, 9, 10, 24},   // two upward arrowheads
    {121, 10, 9, 24},   // star
    {122, 31, 8, 24},   // framed NUM
    {123, 31, 8, 24},   // framed three-letter label
    {124, 31, 9, 24},   // framed CAPS
    {125, 32, 9, 24},   // framed SHIFT
    {126, 11, 12, 24},  // bell
    {127, 10, 11, 24},  // lightning flash
    {128, 13, 9, 24},   // symbol in round brackets
    {129, 7, 10, 24},   // musical note
    {130, 15, 10, 24},  // dot between two pairs of arcs
    {131, 13, 10, 24},  // loudspeaker with sound lines
    {132, 13, 7, 24},   // two reels
    {133, 26, 4, 24},   // solid bar
    {134, 10, 8, 24},   // small framed symbol
    {135, 14, 8, 24},   // key
    {136, 12, 9, 24},   // two left-pointing triangles
    {137, 10, 10, 24},  // two right-pointing triangles
    {138, 9, 10, 24},   // two downward arrowheads
    {139, 11, 8, 24},   // left arrow
    {140, 44, 11, 24},  // horizontal bar frame with end arrows
    {141, 12, 9, 24},   // pen
    {142, 10, 8, 24},   // cell of three vertical bars
    {143, 12, 8, 24},   // right arrow
    {144, 1, 9, 24},    // vertical digit segment
    {145, 7, 1, 24},    // horizontal digit segment
    {146, 10, 126, 24}, // vertical scroll-bar frame
    {147, 8, 7, 24},    // small up arrow
    {148, 8, 7, 24},    // small down arrow
    {149, 11, 5, 24},   // level step
    {151, 6, 10, 24},   // scroll-position mark
    {152, 2, 10, 24},   // colon
    {153, 2, 3, 4},     // point
};

// The glyph picture record of a resource id, or nullptr.
constexpr const GlyphPicture* FindGlyphPicture(int resourceId) {
  for (const GlyphPicture& g : glyphPictures)
    if (g.resourceId == resourceId) return &g;
  return nullptr;
}

}  // namespace rq4800
