#pragma once
// The headless runner's key script: one input event a line, each applied
// before the machine frame of its number runs (frames count from 0).
//
//   FRAME press KEY     PC key-down: A..Z, 0..9, F1..F4, Up, Down, Left, Right,
//                       PageUp, PageDown, Enter, Esc, Space, Shift, CapsLock;
//                       or #NN, the device key of key code NN
//   FRAME release       PC key-up: releases every key (one that no frame has
//                       seen yet, pressed in this frame's events, after this frame)
//   FRAME char C        a character message, C one of * + - . /
//   FRAME click X Y     left button down at skin coordinates (X, Y)
//   FRAME unclick       left button up
//
// Blank lines and lines starting with '#' are ignored; words are separated by
// spaces or tabs; event and key names are case-insensitive.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/keyboard.h"

namespace rq4800 {

struct KeyScriptEvent {
  enum class Kind { kPress, kPressCode, kRelease, kCharacter, kClick, kUnclick };
  int frame = 0;
  Kind kind = Kind::kRelease;
  HostKey key = HostKey::kNone;  // kPress
  int keyCode = 0;               // kPressCode
  char character = 0;            // kCharacter
  int x = 0, y = 0;              // kClick
  int line = 0;                  // where it came from
};

// A script longer than this (some 60,000 lines) is refused unread.
constexpr size_t kMaxKeyScriptBytes = 1 << 20;

// Parses a whole script. Events come out ordered by frame, lines of one frame
// in their order. On a bad line returns false with "line N: reason" in *error.
bool ParseKeyScript(std::string_view text, std::vector<KeyScriptEvent>* events, std::string* error);

}  // namespace rq4800
