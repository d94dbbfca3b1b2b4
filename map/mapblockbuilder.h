#pragma once

#include "map/mapblock.h"
#include "map/mapgrid.h"
#include "numbers/exactsearch.h"

#include <memory>
#include <span>

// Turns the rows of the exact search, in its order, into the map's blocks: whole columns of
// legs, their finest counts and what they add to each coarser level. It runs where the search
// runs, so that the thread that paints only adds finished counts.
class MapBlockBuilder {
public:
    MapBlockBuilder(std::uint32_t maxLeg, std::uint64_t generation, bool primitiveOnly);

    // Rows in the search's order: x ascending, then y.
    void add(std::span<const ExactSearch::Row> rows);
    // The columns after the last block up to the last whole finest column the rows have passed,
    // or all of them once the search is finished; nothing when there is no new whole column.
    std::shared_ptr<const MapBlock> take(bool finished);

private:
    std::shared_ptr<MapBlock> build(std::uint32_t lastX) const;

    MapGrid m_grid;
    std::uint64_t m_generation;
    bool m_primitiveOnly;
    std::uint32_t m_nextX = 1; // the first column not handed out yet
    std::uint32_t m_seenX = 0; // the x of the latest row
    std::uint64_t m_handedOut = 0;
    std::vector<std::uint64_t> m_pending; // x << 32 | y << 1 | primitive
};
