#pragma once

#include <QRgb>

// Colour helpers. Colours are 24-bit RGB values; QBColor gives the sixteen colours of the classic
// text-display palette.
namespace Colors {

constexpr QRgb RGB(int r, int g, int b) { return qRgb(r, g, b); }

// Entry n (0..15) of the 16-colour palette; other numbers give black.
QRgb QBColor(int n);

// The desktop's window background colour (system colour number 5).
QRgb systemWindowBackground();

} // namespace Colors
