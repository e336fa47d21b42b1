#pragma once
// Writes pictures as Windows BMP files, the form the program embeds them in:
// bottom row first, each row padded to a multiple of 4 bytes, a 40-byte
// information header, no compression.
#include <string>

#include "tools/artwork/canvas.h"

namespace rq4800::artwork {

// 24 bits per pixel, stored blue, green, red.
bool WriteBmp24(const std::string& path, const Canvas& picture);
// 4 bits per pixel with the 16-colour table below; every pixel of the picture
// must be one of its colours, else nothing is written and false is returned.
bool WriteBmp4(const std::string& path, const Canvas& picture);

// The standard 16-colour table (index 0 black, 15 white).
extern const Rgb kSixteenColours[16];

}  // namespace rq4800::artwork
