#include "host/qt/key_map.h"

namespace rq4800 {

namespace {

// The window's own combinations (state slots, pause, frame advance, the
// debugger window) are shortcuts only: neither their press nor their
// release reaches the device.
bool WindowCombination(int qtKey, Qt::KeyboardModifiers modifiers) {
  const bool ctrl = (modifiers & Qt::ControlModifier) != 0, alt = (modifiers & Qt::AltModifier) != 0;
  if (qtKey >= Qt::Key_1 && qtKey <= Qt::Key_9) return ctrl || alt;
  return ctrl && (qtKey == Qt::Key_P || qtKey == Qt::Key_N || qtKey == Qt::Key_M || qtKey == Qt::Key_R ||
                  qtKey == Qt::Key_L || qtKey == Qt::Key_D);
}

}  // namespace

HostKey HostKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers) {
  if (WindowCombination(qtKey, modifiers)) return HostKey::kNone;
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
    return static_cast<HostKey>(static_cast<int>(HostKey::kA) + (qtKey - Qt::Key_A));
  }
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
    const HostKey first = (modifiers & Qt::KeypadModifier) ? HostKey::kKeypad0 : HostKey::k0;
    return static_cast<HostKey>(static_cast<int>(first) + (qtKey - Qt::Key_0));
  }
  switch (qtKey) {
    case Qt::Key_F1: return HostKey::kF1;
    case Qt::Key_F2: return HostKey::kF2;
    case Qt::Key_F3: return HostKey::kF3;
    case Qt::Key_F4: return HostKey::kF4;
    case Qt::Key_Up: return HostKey::kUp;
    case Qt::Key_Down: return HostKey::kDown;
    case Qt::Key_Left: return HostKey::kLeft;
    case Qt::Key_Right: return HostKey::kRight;
    case Qt::Key_PageUp: return HostKey::kPageUp;
    case Qt::Key_PageDown: return HostKey::kPageDown;
    case Qt::Key_Return:
    case Qt::Key_Enter: return HostKey::kEnter;
    case Qt::Key_Escape: return HostKey::kEscape;
    case Qt::Key_Space: return HostKey::kSpace;
    case Qt::Key_Shift: return HostKey::kShift;
    case Qt::Key_CapsLock: return HostKey::kCapsLock;
    case Qt::Key_F6: return HostKey::kF6;
    case Qt::Key_F7: return HostKey::kF7;
    case Qt::Key_F9: return HostKey::kF9;
    case Qt::Key_Home: return HostKey::kHome;
    case Qt::Key_End: return HostKey::kEnd;
    case Qt::Key_Insert: return HostKey::kInsert;
    case Qt::Key_Delete: return HostKey::kDelete;
    default: return HostKey::kNone;
  }
}

char32_t CharacterOf(const QKeyEvent& event) {
  const QString text = event.text();
  if (text.size() != 1) return 0;
  return text.at(0).unicode();
}

}  // namespace rq4800
