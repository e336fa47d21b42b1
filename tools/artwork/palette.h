#pragma once
// The colours of the generated skin. The checks of the artwork read them too:
// the gaps between keys must be body colour, labels are drawn only in the ink
// colours, and the panel must be the LCD's own clear-dot green.
#include "tools/artwork/canvas.h"

namespace rq4800::artwork::palette {

inline constexpr Rgb kBackdrop{0xE4, 0xE7, 0xEB};     // outside the rounded body
inline constexpr Rgb kBody{0x4A, 0x52, 0x5E};
inline constexpr Rgb kBodyLight{0x74, 0x7D, 0x8A};    // bevel, upper left
inline constexpr Rgb kBodyDark{0x23, 0x27, 0x2E};     // bevel, lower right
inline constexpr Rgb kKeyboardPlate{0x3A, 0x41, 0x4B}; // recess under the four main rows
inline constexpr Rgb kBezel{0x1B, 0x1E, 0x23};
inline constexpr Rgb kPanel{0x90, 0xB0, 0x57};        // the LCD's clear dot
inline constexpr Rgb kLettering{0xC9, 0xCF, 0xD7};    // maker's lettering on the body
inline constexpr Rgb kGrille{0x2C, 0x31, 0x38};

inline constexpr Rgb kKeyShadow{0x16, 0x19, 0x1D};
inline constexpr Rgb kKeyLetter{0xE6, 0xE8, 0xEA};    // letters and digits
inline constexpr Rgb kKeyControl{0xB3, 0xC3, 0xD4};   // Enter, Shift, arrows, paging
inline constexpr Rgb kKeyFunction{0x9A, 0xA5, 0xB2};  // function row
inline constexpr Rgb kKeyApp{0xE9, 0xC4, 0x6A};       // the keys that wake the device
inline constexpr Rgb kKeyPower{0xC7, 0x35, 0x2E};

inline constexpr Rgb kInk{0x14, 0x16, 0x1A};          // legends on light keys
inline constexpr Rgb kInkAlternate{0x12, 0x3C, 0x96}; // second legend of a shared key
inline constexpr Rgb kInkOnPower{0xFF, 0xFF, 0xFF};

// Glyph pictures: the front end keeps pure black and turns the rest into LCD green.
inline constexpr Rgb kGlyphInk{0x00, 0x00, 0x00};
inline constexpr Rgb kGlyphPaper{0xFF, 0xFF, 0xFF};

}  // namespace rq4800::artwork::palette
