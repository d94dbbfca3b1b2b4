#pragma once

#include <Qt>

// Pointer events pass their buttons and modifier keys as small bit masks:
// buttons 1 left, 2 right, 4 middle; modifiers 1 Shift, 2 Ctrl, 4 Alt.
namespace PointerCodes {

inline int buttons(Qt::MouseButtons held) {
    return ((held & Qt::LeftButton) ? 1 : 0) | ((held & Qt::RightButton) ? 2 : 0) |
           ((held & Qt::MiddleButton) ? 4 : 0);
}

inline int modifiers(Qt::KeyboardModifiers held) {
    return ((held & Qt::ShiftModifier) ? 1 : 0) | ((held & Qt::ControlModifier) ? 2 : 0) |
           ((held & Qt::AltModifier) ? 4 : 0);
}

} // namespace PointerCodes
