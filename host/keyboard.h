#pragma once
// The device's keys, pressed from the PC keyboard and by clicks on the skin.
//
// A key code is row * 10 + column of the 6 x 10 key matrix. The firmware
// reads the matrix as eight key words of the bus; keyMatrixTable gives, for
// each key code, (key-word index << 8) | bit mask, 0 where no key exists.
// Pressing a key REPLACES its word, so two keys on one word never show
// together. Any key-up releases every key, but never before the firmware has
// had one frame to see what went down (KeyState).
#include <array>
#include <cstdint>

#include "machine/key_state.h"

namespace rq4800 {

struct Machine;
struct Screen;

// The PC keys the emulator maps, free of any platform's key codes; a front
// end translates its own codes into these. Letters, digits and keypad digits
// are contiguous and in order (kA + n is the n-th letter), so a translation
// may count. The keys after kCapsLock press nothing by default; the user may
// give them device keys (host/device_key_map.h). Keys the desktop window
// keeps for itself (F5, F8, F10..F12, Backspace, Tab) are not here at all.
enum class HostKey : uint8_t {
  kNone,
  kA, kB, kC, kD, kE, kF, kG, kH, kI, kJ, kK, kL, kM,
  kN, kO, kP, kQ, kR, kS, kT, kU, kV, kW, kX, kY, kZ,
  k0, k1, k2, k3, k4, k5, k6, k7, k8, k9,
  kF1, kF2, kF3, kF4,
  kUp, kDown, kLeft, kRight, kPageUp, kPageDown,
  kEnter, kEscape, kSpace, kShift, kCapsLock,
  kF6, kF7, kF9, kHome, kEnd, kInsert, kDelete,
  kKeypad0, kKeypad1, kKeypad2, kKeypad3, kKeypad4, kKeypad5, kKeypad6, kKeypad7, kKeypad8, kKeypad9,
};
inline constexpr int kHostKeyCount = static_cast<int>(HostKey::kKeypad9) + 1;

extern const uint16_t keyMatrixTable[6][10];

struct VirtualKey {
  HostKey key;
  uint8_t keyCode;
};
// PC key -> key code, searched in order. Digits share keys with letters
// (1, 2, 3 are B, N, M; 4, 5, 6 are G, H, J; 7, 8, 9 are T, Y, U).
extern const std::array<VirtualKey, 51> virtualKeyTable;

// The five characters that reach the device through the PC's character
// messages, whatever PC key typed them (Shift+8 for "*", the keypad, ...).
struct CharacterKey {
  char character;
  uint8_t keyCode;
};
extern const std::array<CharacterKey, 5> characterKeyTable;

// Key code for a PC key or a character; -1 when it has none.
int FindVirtualKey(HostKey key);
int FindCharacterKey(char32_t c);

// Presses one key of the matrix; out-of-range or empty positions do nothing.
// A wake key (key codes 0, 1..6, 15) pressed while the firmware waits with
// 0xF0 in port 0x05 requests a warm reset, which the next frame performs.
void PressKey(Machine& machine, int column, int row);
void PressKeyCode(Machine& machine, int keyCode);
void ReleaseAllKeys(Machine& machine);

// What the front end's handlers remember between frames. The firmware reads
// the key words only while a frame runs, so a key pressed and released
// between two frames would never reach it: a release that comes before any
// frame has run with the key down is held back until one has. Each front end
// keeps one beside its machine and calls ApplyPendingRelease after every
// RunFrame.

// After a frame: clears the key words whose release was held back.
void ApplyPendingRelease(Machine& machine, KeyState& keys);

// The front end's input handlers, called between machine frames. Every
// release below releases all keys: at once those the firmware has seen, the
// others after the next frame.
//
// KeyDown ignores every key but Shift itself while Shift is held: shifted
// characters come through Character instead. The platform's auto-repeat may
// call it again for a held key; that presses the key again.
void KeyDown(Machine& machine, KeyState& keys, HostKey key, bool shiftHeld);
// A key-up of any mapped PC key releases all keys.
void KeyUp(Machine& machine, KeyState& keys, HostKey key);
// Presses the key of "*", "+", "-", ".", "/"; returns whether c was one of
// them. Such a key is released by CharacterUp at the release of the PC key
// that typed it, as well as by any other release.
bool Character(Machine& machine, KeyState& keys, char32_t c);
void CharacterUp(Machine& machine, KeyState& keys, char32_t c);
// Left button at (x, y) of the skin: presses the key whose region strictly
// holds the point and draws it pressed. Returns its key code, or -1 when the
// point is on no key. Coordinates are taken as unsigned 16-bit values, so a
// point left of or above the window is on no key.
int ButtonDown(Machine& machine, KeyState& keys, Screen& screen, int x, int y);
// Draws a device key in its pressed look, as a click on it does; false for a
// key code with no key on the skin. RestoreKeyboard takes every such look away.
bool DrawKeyPressed(Screen& screen, int keyCode);
// Left button released anywhere: releases all keys and restores the keyboard
// picture at once.
void ButtonUp(Machine& machine, KeyState& keys, Screen& screen);
// A device key by its key code, as a click on it would press it (the key
// script's #NN), without drawing it.
void PressDeviceKey(Machine& machine, KeyState& keys, int keyCode);
// Releases all keys, as any key-up does.
void ReleaseKeys(Machine& machine, KeyState& keys);

}  // namespace rq4800
