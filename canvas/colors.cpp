#include "canvas/colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <array>
#include <cmath>

namespace Colors {

QRgb QBColor(int n) {
    static constexpr std::array<QRgb, 16> palette = {
        RGB(0, 0, 0),       RGB(0, 0, 128),   RGB(0, 128, 0),   RGB(0, 128, 128),
        RGB(128, 0, 0),     RGB(128, 0, 128), RGB(128, 128, 0), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(0, 0, 255),   RGB(0, 255, 0),   RGB(0, 255, 255),
        RGB(255, 0, 0),     RGB(255, 0, 255), RGB(255, 255, 0), RGB(255, 255, 255),
    };
    if (n < 0 || n >= static_cast<int>(palette.size()))
        return palette[0];
    return palette[static_cast<std::size_t>(n)];
}

namespace {

// Relative luminance: the sRGB channels made linear, weighted by the eye's sensitivity.
double luminance(QRgb colour) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
           0.0722 * linear(qBlue(colour));
}

} // namespace

double contrastRatio(QRgb a, QRgb b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QRgb systemWindowBackground(QRgb drawing) {
    constexpr double graphicsContrast = 3.0;
    // The grid's light grey: under a dark scheme a white box would glare among dark controls.
    constexpr QRgb lightNeutral = RGB(220, 220, 220);
    const QRgb window = QGuiApplication::palette().color(QPalette::Active, QPalette::Base).rgb();
    return contrastRatio(drawing, window) >= graphicsContrast ? window : lightNeutral;
}

} // namespace Colors
