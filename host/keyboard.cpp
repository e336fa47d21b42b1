#include "host/keyboard.h"

#include "host/screen.h"
#include "host/skin_layout.h"
#include "machine/machine.h"

namespace rq4800 {

// Key word 0: six keys of row 1; words 2..5: columns 0..7 of rows 2..5;
// word 1: columns 8 and 9 of rows 2..5; word 6: row 0 columns 1..7 and key
// code 15; word 7: key codes 0, 8 and 9.
const uint16_t keyMatrixTable[6][10] = {
    {0x0701, 0x0601, 0x0602, 0x0604, 0x0608, 0x0610, 0x0620, 0x0680, 0x0702, 0x0704},
    {0x0000, 0x0000, 0x0000, 0x0001, 0x0002, 0x0640, 0x0004, 0x0008, 0x0010, 0x0020},
    {0x0201, 0x0202, 0x0204, 0x0208, 0x0210, 0x0220, 0x0240, 0x0280, 0x0101, 0x0110},
    {0x0301, 0x0302, 0x0304, 0x0308, 0x0310, 0x0320, 0x0340, 0x0380, 0x0102, 0x0120},
    {0x0401, 0x0402, 0x0404, 0x0408, 0x0410, 0x0420, 0x0440, 0x0480, 0x0104, 0x0140},
    {0x0501, 0x0502, 0x0504, 0x0508, 0x0510, 0x0520, 0x0540, 0x0580, 0x0108, 0x0180},
};

const std::array<VirtualKey, 51> virtualKeyTable = {{
    {HostKey::kQ, 20}, {HostKey::kW, 21}, {HostKey::kE, 22}, {HostKey::kR, 23}, {HostKey::kT, 24},
    {HostKey::kY, 25}, {HostKey::kU, 26}, {HostKey::kI, 27}, {HostKey::kO, 28}, {HostKey::kP, 29},
    {HostKey::kA, 30}, {HostKey::kS, 31}, {HostKey::kD, 32}, {HostKey::kF, 33}, {HostKey::kG, 34},
    {HostKey::kH, 35}, {HostKey::kJ, 36}, {HostKey::kK, 37}, {HostKey::kL, 38},
    {HostKey::kZ, 40}, {HostKey::kX, 41}, {HostKey::kC, 42}, {HostKey::kV, 43}, {HostKey::kB, 44},
    {HostKey::kN, 45}, {HostKey::kM, 46},
    {HostKey::k0, 54}, {HostKey::k1, 44}, {HostKey::k2, 45}, {HostKey::k3, 46}, {HostKey::k4, 34},
    {HostKey::k5, 35}, {HostKey::k6, 36}, {HostKey::k7, 24}, {HostKey::k8, 25}, {HostKey::k9, 26},
    {HostKey::kF1, 16}, {HostKey::kF2, 17}, {HostKey::kF3, 18}, {HostKey::kF4, 19},
    {HostKey::kUp, 48}, {HostKey::kDown, 58}, {HostKey::kLeft, 57}, {HostKey::kRight, 59},
    {HostKey::kPageUp, 47}, {HostKey::kPageDown, 49},
    {HostKey::kEnter, 39}, {HostKey::kEscape, 53}, {HostKey::kSpace, 56},
    {HostKey::kShift, 51}, {HostKey::kCapsLock, 52},
}};

const std::array<CharacterKey, 5> characterKeyTable = {{
    {'*', 38}, {'+', 58}, {'-', 48}, {'.', 55}, {'/', 28},
}};

namespace {
// The firmware leaves this in port 0x05 while it sleeps waiting for a wake key.
constexpr uint32_t kWaitingForWake = 0xF0;
}  // namespace

int FindVirtualKey(HostKey key) {
  for (const VirtualKey& v : virtualKeyTable) {
    if (v.key == key) return v.keyCode;
  }
  return -1;
}

int FindCharacterKey(char32_t c) {
  for (const CharacterKey& k : characterKeyTable) {
    if (static_cast<char32_t>(k.character) == c) return k.keyCode;
  }
  return -1;
}

void PressKey(Machine& machine, int column, int row) {
  if (column < 0 || column >= 10 || row < 0 || row >= 6) return;
  const uint16_t entry = keyMatrixTable[row][column];
  if (entry == 0) return;
  const int word = entry >> 8;
  machine.bus.keyWords[word] = entry & 0xFF;
  const bool wakeKey = (word == 6 && (entry & 0x7F) != 0) || entry == 0x0701;
  if (wakeKey && machine.bus.ports[5] == kWaitingForWake) machine.warmResetRequest = true;
}

void PressKeyCode(Machine& machine, int keyCode) {
  if (keyCode < 0) return;
  PressKey(machine, keyCode % 10, keyCode / 10);
}

void ReleaseAllKeys(Machine& machine) {
  for (uint32_t& word : machine.bus.keyWords) word = 0;
}

void PressDeviceKey(Machine& machine, KeyState& keys, int keyCode) {
  if (keyCode < 0 || keyCode >= 60) return;
  const uint16_t entry = keyMatrixTable[keyCode / 10][keyCode % 10];
  if (entry == 0) return;
  PressKeyCode(machine, keyCode);
  // The word now holds this key alone: a release held back for it no longer applies.
  const uint8_t word = static_cast<uint8_t>(1u << (entry >> 8));
  keys.unseenWords |= word;
  keys.releaseWords &= static_cast<uint8_t>(~word);
}

void ReleaseKeys(Machine& machine, KeyState& keys) {
  for (int w = 0; w < 8; ++w) {
    if (keys.unseenWords & (1u << w)) {
      keys.releaseWords |= static_cast<uint8_t>(1u << w);
    } else {
      machine.bus.keyWords[w] = 0;
    }
  }
}

void ApplyPendingRelease(Machine& machine, KeyState& keys) {
  for (int w = 0; w < 8; ++w) {
    if (keys.releaseWords & (1u << w)) machine.bus.keyWords[w] = 0;
  }
  keys.unseenWords = 0;
  keys.releaseWords = 0;
}

void KeyDown(Machine& machine, KeyState& keys, HostKey key, bool shiftHeld) {
  if (key != HostKey::kShift && shiftHeld) return;
  PressDeviceKey(machine, keys, FindVirtualKey(key));
}

void KeyUp(Machine& machine, KeyState& keys, HostKey key) {
  if (FindVirtualKey(key) >= 0) ReleaseKeys(machine, keys);
}

bool Character(Machine& machine, KeyState& keys, char32_t c) {
  const int keyCode = FindCharacterKey(c);
  PressDeviceKey(machine, keys, keyCode);
  return keyCode >= 0;
}

void CharacterUp(Machine& machine, KeyState& keys, char32_t c) {
  if (FindCharacterKey(c) >= 0) ReleaseKeys(machine, keys);
}

int ButtonDown(Machine& machine, KeyState& keys, Screen& screen, int x, int y) {
  // The platform hands over the point as two unsigned 16-bit halves.
  x &= 0xFFFF;
  y &= 0xFFFF;
  for (const SkinKeyRegion& k : skinKeyRegions) {
    if (x > k.x1 && x < k.x2 && y > k.y1 && y < k.y2) {
      PressDeviceKey(machine, keys, k.keyCode);
      DrawKeyPressed(screen, k.keyCode);
      return k.keyCode;
    }
  }
  return -1;
}

bool DrawKeyPressed(Screen& screen, int keyCode) {
  for (const SkinKeyRegion& k : skinKeyRegions) {
    if (k.keyCode != keyCode) continue;
    // The pressed look: the key's rectangle, 2 pixels wider left and above
    // and 1 pixel right and below, from the pressed-keyboard picture.
    BlitRegion(screen.frameBuffer, screen.skinPressed, k.x1 - 2, k.y1 - 2, k.x2 - k.x1 + 4, k.y2 - k.y1 + 4, k.x1 - 2,
               k.y1 - 2 - skin::kPressedTop);
    return true;
  }
  return false;
}

void ButtonUp(Machine& machine, KeyState& keys, Screen& screen) {
  ReleaseKeys(machine, keys);
  RestoreKeyboard(screen);
}

}  // namespace rq4800
