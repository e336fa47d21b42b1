#include "sound/sound_generator.h"

namespace rq4800 {
void SoundGenerator::Reset() {}
void SoundGenerator::WriteCommand(int, int) {}
void SoundGenerator::PushSample(int) {}
}  // namespace rq4800
