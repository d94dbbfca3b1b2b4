#pragma once

#include <QRgb>

// Colour helpers. Colours are 24-bit RGB values; QBColor gives the sixteen colours of the classic
// text-display palette.
namespace Colors {

constexpr QRgb RGB(int r, int g, int b) { return qRgb(r, g, b); }

// Entry n (0..15) of the 16-colour palette; other numbers give black.
QRgb QBColor(int n);

// The contrast ratio of two colours as WCAG 2 defines it, from 1 (alike) to 21 (black on white).
double contrastRatio(QRgb a, QRgb b);

// The desktop's window background colour (system colour number 5) as the ground of drawings in
// `drawing`: the palette's colour where the drawing reads on it at 3 : 1 or better (WCAG's
// figure for graphics), a light neutral grey where it does not, as under most dark schemes.
QRgb systemWindowBackground(QRgb drawing);

} // namespace Colors
