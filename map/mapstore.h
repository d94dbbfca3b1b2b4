#pragma once

#include "map/mapblock.h"
#include "map/mapgrid.h"

#include <memory>
#include <optional>
#include <span>
#include <vector>

// The solutions the map shows: the blocks of one search as they arrive, their columns 1..
// loadedThrough() complete, and a pyramid of counts over them for drawing and counting at any
// zoom. The blocks are shared read-only with the thread that made them; the coarser levels are
// this store's own and grow by what each block adds.
class MapStore {
public:
    explicit MapStore(std::uint32_t maxLeg = 1, std::uint64_t generation = 0);

    // Empties the store for the search of that generation over legs 1..maxLeg.
    void reset(std::uint32_t maxLeg, std::uint64_t generation);
    // Takes the next block of the store's search; refuses one of another search, so that no
    // block of a search that was replaced reaches the map, and one that does not follow on.
    bool add(const std::shared_ptr<const MapBlock> &block);

    const MapGrid &grid() const { return m_grid; }
    std::uint32_t maxLeg() const { return m_grid.maxLeg(); }
    std::uint64_t generation() const { return m_generation; }
    // Columns 1..loadedThrough() are complete; the others hold nothing yet.
    std::uint32_t loadedThrough() const { return m_loaded; }
    bool complete() const { return m_loaded == m_grid.maxLeg(); }
    const MapCounts &counts() const { return m_counts; }
    std::uint64_t size() const { return m_counts.total(); }

    // The solutions of column x as y << 1 | primitive, y ascending; empty when not loaded.
    std::span<const std::uint32_t> column(std::uint32_t x) const;
    // Whether (x, y) is a solution on the map, and then whether it is primitive.
    std::optional<bool> solutionAt(std::uint32_t x, std::uint32_t y) const;
    // How many solutions come before the cell (x, y) in the search's order (x, then y).
    std::uint64_t before(std::uint32_t x, std::uint32_t y) const;
    struct Point {
        std::uint32_t x = 0;
        std::uint32_t y = 0;
        bool primitive = false;
    };
    // The solution at that place of the search's order, from 0.
    std::optional<Point> point(std::uint64_t index) const;
    // The solutions in the cells x0..x1 × y0..y1.
    MapCounts countsIn(std::uint32_t x0, std::uint32_t x1, std::uint32_t y0,
                       std::uint32_t y1) const;

    // For drawing. The finest level's column k: side + 1 running sums along y (the first is 0),
    // or nullptr when it is not loaded; and the split of its cell on the diagonal.
    const std::uint32_t *fineColumn(std::uint32_t k) const;
    const std::uint32_t *finePrimitiveColumn(std::uint32_t k) const;
    DiagonalSplit fineDiagonal(std::uint32_t k) const;
    // A coarser level's (1..) column: the count of each of its cells along y.
    const std::uint32_t *levelColumn(int level, std::uint32_t column) const;
    DiagonalSplit levelDiagonal(int level, std::uint32_t column) const;

private:
    struct Level {
        std::uint32_t side = 0;
        std::vector<std::uint32_t> counts; // column by column
        std::vector<DiagonalSplit> diagonal;
    };
    const MapBlock *blockOf(std::uint32_t x) const;
    MapCounts columnCounts(std::uint32_t x, std::uint32_t y0, std::uint32_t y1,
                           bool mirrored) const;

    MapGrid m_grid;
    std::uint64_t m_generation = 0;
    std::uint32_t m_loaded = 0;
    MapCounts m_counts;
    std::vector<std::shared_ptr<const MapBlock>> m_blocks;
    std::vector<std::uint32_t> m_blockOfFine; // index into m_blocks per finest column
    std::vector<Level> m_levels;              // level l at l − 1
};
