#pragma once
// Screenshots and sound recordings as files the user keeps: named by the
// local date and time of the moment they were taken, "rq4800-YYYYMMDD-HHMMSS"
// with the file's extension, and "-2", "-3", ... after the time when a file
// of that name is already there. An existing file is never replaced: a name
// is taken by creating the file exclusively, so two takes in one second (or
// another program writing the same name) still end in two files.
//
// A screenshot is the picture the window shows, enlarged by a whole factor
// with every frame pixel a square block, so its pixels are the frame
// buffer's exactly.
#include <string>
#include <string_view>

#include "host/image.h"
#include "machine/machine.h"

namespace rq4800 {

// "rq4800-20240131-235959.png" for number 1, "rq4800-20240131-235959-2.png" for 2.
std::string DatedFileName(const LocalTime& when, std::string_view extension, int number);

// Creates an empty file of the first free dated name in folder and returns
// its path; the caller then writes it. Empty, with the reason in *error,
// when the folder cannot take a new file.
std::string ReserveDatedFile(const std::string& folder, const LocalTime& when, std::string_view extension,
                             std::string* error);

// Every pixel of image as a factor x factor block (factor 1..16, else empty).
Image ScaleImage(const Image& image, int factor);

// The w x h rectangle of image whose top-left is display (x, y); empty when
// it does not lie wholly inside.
Image CropImage(const Image& image, int x, int y, int w, int h);

// Writes picture enlarged by scale as a PNG under a fresh dated name in
// folder. True with the file in *path; false with the reason in *error, and
// no file left behind.
bool SaveScreenshot(const std::string& folder, const Image& picture, int scale, const LocalTime& when,
                    std::string* path, std::string* error);

}  // namespace rq4800
