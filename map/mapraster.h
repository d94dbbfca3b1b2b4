#pragma once

#include "map/mapframe.h"

#include <QImage>
#include <QRect>
#include <QRgb>
#include <cstdint>
#include <vector>

class MapStore;

// The map as pixels, for the screen and for PNG. Where a pixel covers a cell or more it shows
// how many solutions fall in it, by class, drawn from the coarsest level of counts whose cells
// are no wider than a pixel, or from the solutions themselves below the finest level: the cost
// follows the pixels, not the solutions. Where a cell covers several pixels each solution is a
// square mark, with grid lines once a cell is gridFrom pixels wide.
class MapRaster {
public:
    static constexpr QRgb aboveColor = qRgb(0, 0, 255); // x < y, as in the window
    static constexpr QRgb belowColor = qRgb(255, 0, 0); // x > y
    static constexpr QRgb onColor = qRgb(0, 0, 0);      // x = y
    static constexpr QRgb ground = qRgb(255, 255, 255);
    static constexpr QRgb outside = qRgb(232, 232, 232); // beyond 1..N
    static constexpr QRgb gridColor = qRgb(220, 220, 220);
    static constexpr double gridFrom = 5;

    // Draws the frame into the image, which must have the frame's size and 32 bits a pixel: the
    // pixels of the rectangle, or all of them.
    void draw(const MapStore &store, const MapFrame &frame, QImage &image, QRect pixels = {});

    // One pixel per cell, scale × scale with scale: the cells x0..x1 × y0..y1, the cell (x, y) at
    // column x − x0 and row y1 − y, white without a solution, else the colour of its class.
    static QImage plain(const MapStore &store, std::uint32_t x0, std::uint32_t y0, std::uint32_t x1,
                        std::uint32_t y1, int scale);

    // The first pixel whose centre lies at or beyond the world coordinate, counted from origin.
    static int firstPixelFrom(double world, double origin, double scale);

private:
    struct Sums {
        std::uint32_t above;
        std::uint32_t below;
        std::uint32_t on;
    };
    void marks(const MapStore &store, const MapFrame &frame, QImage &image,
               const QRect &pixels) const;
    void fromLevel(const MapStore &store, const MapFrame &frame, const QRect &pixels, int level);
    void fromPoints(const MapStore &store, const MapFrame &frame, const QRect &pixels);
    void colour(const MapFrame &frame, QImage &image, const QRect &pixels);

    // For the pixels drawn, column by column, as the columns of legs fill them.
    std::vector<Sums> m_sums;
    std::vector<float> m_areaX; // legs of 1..N each pixel column took in
    std::vector<float> m_areaY;
    QRgb m_shades[3][256] = {};
};
