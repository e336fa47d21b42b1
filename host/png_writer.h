#pragma once
// Writes an Image as an 8-bit RGB PNG file, top row first (alpha dropped).
#include <string>

#include "host/image.h"

namespace rq4800 {

// Returns false, with the reason in *error when given, if the file cannot be
// written; a half-written file is removed.
bool WritePng(const std::string& path, const Image& image, std::string* error = nullptr);

}  // namespace rq4800
