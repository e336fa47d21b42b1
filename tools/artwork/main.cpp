// Build-time tool: draws the program's own pictures (skin, pressed-key
// keyboard, strip background, status-icon glyphs, program icon) and writes
// each as a BMP file named picture_<resource id>.bmp.
//   rq4800-artwork OUTPUT_DIR
#include <cstdio>
#include <string>

#include "host/skin_layout.h"
#include "machine/resource_store.h"
#include "tools/artwork/bmp_file.h"
#include "tools/artwork/glyph_pictures.h"
#include "tools/artwork/palette.h"
#include "tools/artwork/pixel_font.h"
#include "tools/artwork/skin_picture.h"

namespace {

using namespace rq4800;
using namespace rq4800::artwork;

constexpr int kProgramIconSize = 48;

bool Write(const std::string& folder, int id, const Canvas& picture, int width, int height, int bitsPerPixel) {
  std::string path = folder + "/picture_" + std::to_string(id) + ".bmp";
  if (picture.width != width || picture.height != height) {
    std::fprintf(stderr, "rq4800-artwork: picture %d is %d x %d, expected %d x %d\n", id, picture.width,
                 picture.height, width, height);
    return false;
  }
  bool ok = bitsPerPixel == 4 ? WriteBmp4(path, picture) : WriteBmp24(path, picture);
  if (!ok) std::fprintf(stderr, "rq4800-artwork: cannot write %s\n", path.c_str());
  return ok;
}

// A legend the font cannot draw would leave a blank key: refuse to build.
bool LabelsDrawable() {
  for (const SkinKeyLabel& k : skinKeyLabels) {
    std::string upper = k.label;
    for (char& ch : upper) ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
    bool arrow = upper == "UP" || upper == "DOWN" || upper == "LEFT" || upper == "RIGHT";
    if ((!arrow && k.keyCode != 0 && !HasAllCharacters(kLabelFont, upper)) || !HasAllCharacters(kSmallFont, k.alt)) {
      std::fprintf(stderr, "rq4800-artwork: no font glyph for the legend of key %d\n", k.keyCode);
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rq4800-artwork OUTPUT_DIR\n");
    return 2;
  }
  std::string folder = argv[1];
  if (!LabelsDrawable()) return 1;

  bool ok = true;
  Canvas normal = DrawSkin(false);
  ok &= Write(folder, resource::kSkinNormal, normal, skin::kFrameWidth, skin::kFrameHeight, 24);
  Canvas pressed = CropRows(DrawSkin(true), skin::kPressedTop, skin::kPressedHeight);
  ok &= Write(folder, resource::kSkinPressed, pressed, skin::kFrameWidth, skin::kPressedHeight, 24);
  Canvas strip(skin::kStripBackgroundWidth, skin::kStripBackgroundHeight, palette::kPanel);
  ok &= Write(folder, resource::kStripBackground, strip, skin::kStripBackgroundWidth, skin::kStripBackgroundHeight, 24);
  for (const GlyphPicture& g : glyphPictures)
    ok &= Write(folder, g.resourceId, DrawGlyph(g.resourceId), g.width, g.height, g.bitsPerPixel);
  ok &= Write(folder, resource::kProgramIcon, DrawProgramIcon(kProgramIconSize), kProgramIconSize, kProgramIconSize, 24);
  return ok ? 0 : 1;
}
