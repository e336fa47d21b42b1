#pragma once
// Qt's key codes to the emulator's PC keys. The digit keys of the numeric
// keypad are not the main row's digits (on the device's home platform they
// have key codes of their own, which the key table does not hold): they are
// keys of their own, which press nothing unless the user maps them; the
// keypad's characters still reach the device's "." and "/".
// Ctrl or Alt with a digit, Ctrl+P, Ctrl+N, Ctrl+M, Ctrl+R, Ctrl+L and Ctrl+D
// are the window's shortcuts and map to nothing either; Backspace (rewind),
// Pause and F10..F12 (menu bar, full screen, screenshot) are no device keys.
#include <QKeyEvent>

#include "host/keyboard.h"

namespace rq4800 {

HostKey HostKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

// The one character of a key event's text, or 0 when it has none or more.
char32_t CharacterOf(const QKeyEvent& event);

}  // namespace rq4800
