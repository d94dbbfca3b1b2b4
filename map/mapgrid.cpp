#include "map/mapgrid.h"

#include <algorithm>

MapGrid::MapGrid(std::uint32_t maxLeg)
    : m_max(std::max<std::uint32_t>(maxLeg, 1)), m_fineShift(narrowestFineShift) {
    while (side(0) > finestSide)
        ++m_fineShift;
    while (side(m_levels - 1) > coarsestSide)
        ++m_levels;
}

std::uint32_t MapGrid::lastLeg(std::uint32_t cell, int level) const {
    const std::uint64_t end = (std::uint64_t{cell} + 1) << shift(level);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(end, m_max));
}
