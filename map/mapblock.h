#pragma once

#include <cstdint>
#include <vector>

// How many solutions lie above the diagonal (x < y), below it (x > y), on it, and how many of
// them are primitive (gcd(x, y, z) = 1).
struct MapCounts {
    std::uint64_t above = 0;
    std::uint64_t below = 0;
    std::uint64_t diagonal = 0;
    std::uint64_t primitive = 0;

    std::uint64_t total() const { return above + below + diagonal; }
    MapCounts &operator+=(const MapCounts &other) {
        above += other.above;
        below += other.below;
        diagonal += other.diagonal;
        primitive += other.primitive;
        return *this;
    }
    bool operator==(const MapCounts &) const = default;
};

// A cell on the diagonal is the only one that holds more than one class; off it, the cell's
// place says the class of all it holds.
struct DiagonalSplit {
    std::uint32_t above = 0;
    std::uint32_t below = 0;
    std::uint32_t on = 0;

    std::uint32_t total() const { return above + below + on; }
    DiagonalSplit &operator+=(const DiagonalSplit &other) {
        above += other.above;
        below += other.below;
        on += other.on;
        return *this;
    }
};

// The solutions of whole columns of legs, firstX..lastX, as the search hands them from its thread
// to the map's: made once, never changed after, and shared read-only. A block spans whole cells
// of the grid's finest level, so that the finest counts of its columns are final in it; each
// coarser level gets what the block adds to it. The generation names the search it came from,
// so that a block of a search that was replaced is never shown.
struct MapBlock {
    std::uint64_t generation = 0;
    std::uint32_t firstX = 1;
    std::uint32_t lastX = 0;
    // The place of its first solution in the search's order (x ascending, then y).
    std::uint64_t firstIndex = 0;
    // For column x, its solutions are points[starts[x − firstX]] up to points[starts[x − firstX +
    // 1]], each y << 1 | primitive, y ascending.
    std::vector<std::uint32_t> starts;
    std::vector<std::uint32_t> points;

    // The finest level's columns firstFine.. of the block: for each, side + 1 running sums along
    // y of the counts of its cells (the first is 0), of all solutions and of the primitive ones,
    // and the split of its cell on the diagonal.
    std::uint32_t firstFine = 0;
    std::uint32_t fineColumns = 0;
    std::vector<std::uint32_t> fineTotal;
    std::vector<std::uint32_t> finePrimitive;
    std::vector<DiagonalSplit> fineDiagonal;

    // What the block adds to each coarser level (level l at l − 1): counts of the cells of its
    // columns firstColumn.., column by column, and the splits of their cells on the diagonal.
    struct Part {
        std::uint32_t firstColumn = 0;
        std::uint32_t columns = 0;
        std::vector<std::uint32_t> counts;
        std::vector<DiagonalSplit> diagonal;
    };
    std::vector<Part> coarse;

    MapCounts counts;
};
