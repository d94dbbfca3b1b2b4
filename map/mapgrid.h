#pragma once

#include <cstdint>

// How the map groups the legs 1..N into square cells for its counts. Level 0 is the finest: cells
// of 2^fineShift legs a side, as few as make at most finestSide of them a side, so that its
// counts stay near 30 MB even at N = 10⁶ and a whole column of them is summed in microseconds.
// They are at least 2^narrowestFineShift legs wide: below that the solutions themselves are drawn
// as fast, and a new search of a small range need not wait for memory it would not use. Each level
// above halves the side, up to a few dozen cells. Cell i of a level holds the legs x
// with (x − 1) >> shift(level) == i; the last one of a side may hold fewer legs than the others.
class MapGrid {
public:
    static constexpr std::uint32_t finestSide = 2048;
    static constexpr std::uint32_t coarsestSide = 64;
    static constexpr int narrowestFineShift = 5;

    explicit MapGrid(std::uint32_t maxLeg);

    std::uint32_t maxLeg() const { return m_max; }
    int levels() const { return m_levels; }
    int shift(int level) const { return m_fineShift + level; }
    std::uint32_t width(int level) const { return std::uint32_t{1} << shift(level); }
    std::uint32_t side(int level) const { return ((m_max - 1) >> shift(level)) + 1; }
    std::uint32_t cellOf(std::uint32_t leg, int level) const { return (leg - 1) >> shift(level); }
    std::uint32_t firstLeg(std::uint32_t cell, int level) const {
        return (cell << shift(level)) + 1;
    }
    // The last leg of the cell, N for the last cell of a side.
    std::uint32_t lastLeg(std::uint32_t cell, int level) const;

private:
    std::uint32_t m_max;
    int m_fineShift = 0;
    int m_levels = 1;
};
