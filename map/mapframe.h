#pragma once

#include <cstdint>

// The part of the legs a picture shows, in world coordinates: the cell (x, y) covers
// [x, x + 1) × [y, y + 1), y upwards.
struct MapArea {
    double left = 1;
    double right = 2;
    double bottom = 1;
    double top = 2;

    // Exactly the cells x0..x1 × y0..y1.
    static MapArea cells(std::uint32_t x0, std::uint32_t y0, std::uint32_t x1, std::uint32_t y1) {
        return {static_cast<double>(x0), x1 + 1.0, static_cast<double>(y0), y1 + 1.0};
    }
    double width() const { return right - left; }
    double height() const { return top - bottom; }
};

// An area drawn into pixels: square pixels of scale cells a side, pixel (0, 0) at the top left.
struct MapFrame {
    double left = 1;
    double top = 2;
    double scale = 1; // cells per pixel
    int width = 0;
    int height = 0;

    // The area fitted into the pixels from its top left corner, at the scale of its width.
    static MapFrame of(const MapArea &area, int width, int height) {
        return {area.left, area.top, width > 0 ? area.width() / width : 1.0, width, height};
    }
};
