#include "map/mapblockbuilder.h"

#include <algorithm>

MapBlockBuilder::MapBlockBuilder(std::uint32_t maxLeg, std::uint64_t generation, bool primitiveOnly)
    : m_grid(maxLeg), m_generation(generation), m_primitiveOnly(primitiveOnly) {}

void MapBlockBuilder::add(std::span<const ExactSearch::Row> rows) {
    for (const ExactSearch::Row &row : rows) {
        if (m_primitiveOnly && !row.primitive)
            continue;
        m_pending.push_back(std::uint64_t{row.x} << 32 | std::uint64_t{row.y} << 1 |
                            (row.primitive ? 1 : 0));
        m_seenX = row.x;
    }
}

std::shared_ptr<const MapBlock> MapBlockBuilder::take(bool finished) {
    std::uint32_t lastX = m_grid.maxLeg();
    if (!finished) {
        // The finest column of the latest row may still grow.
        if (m_seenX == 0)
            return nullptr;
        lastX = m_grid.firstLeg(m_grid.cellOf(m_seenX, 0), 0) - 1;
    }
    if (lastX < m_nextX)
        return nullptr;
    std::shared_ptr<MapBlock> block = build(lastX);
    m_pending.erase(m_pending.begin(),
                    m_pending.begin() + static_cast<std::ptrdiff_t>(block->points.size()));
    m_handedOut += block->points.size();
    m_nextX = lastX + 1;
    return block;
}

std::shared_ptr<MapBlock> MapBlockBuilder::build(std::uint32_t lastX) const {
    auto block = std::make_shared<MapBlock>();
    block->generation = m_generation;
    block->firstX = m_nextX;
    block->lastX = lastX;
    block->firstIndex = m_handedOut;

    const auto end = std::partition_point(m_pending.begin(), m_pending.end(), [lastX](auto p) {
        return static_cast<std::uint32_t>(p >> 32) <= lastX;
    });
    const std::uint32_t columns = lastX - m_nextX + 1;
    block->starts.assign(columns + 1, 0);
    block->points.reserve(static_cast<std::size_t>(end - m_pending.begin()));

    const int fine = m_grid.shift(0);
    const std::uint32_t side = m_grid.side(0);
    const std::uint32_t k0 = m_grid.cellOf(m_nextX, 0);
    const std::uint32_t k1 = m_grid.cellOf(lastX, 0);
    block->firstFine = k0;
    block->fineColumns = k1 - k0 + 1;
    block->fineTotal.assign(std::size_t{block->fineColumns} * (side + 1), 0);
    block->finePrimitive.assign(block->fineTotal.size(), 0);
    block->fineDiagonal.assign(block->fineColumns, {});

    for (auto it = m_pending.begin(); it != end; ++it) {
        const auto x = static_cast<std::uint32_t>(*it >> 32);
        const auto packed = static_cast<std::uint32_t>(*it);
        const std::uint32_t y = packed >> 1;
        const bool primitive = (packed & 1) != 0;
        ++block->starts[x - m_nextX + 1];
        block->points.push_back(packed);

        const std::uint32_t k = (x - 1) >> fine;
        const std::uint32_t r = (y - 1) >> fine;
        const std::size_t cell = std::size_t{k - k0} * (side + 1) + r + 1;
        ++block->fineTotal[cell];
        block->finePrimitive[cell] += primitive ? 1 : 0;
        MapCounts &counts = block->counts;
        DiagonalSplit *split = r == k ? &block->fineDiagonal[k - k0] : nullptr;
        if (x < y) {
            ++counts.above;
            if (split)
                ++split->above;
        } else if (x > y) {
            ++counts.below;
            if (split)
                ++split->below;
        } else {
            ++counts.diagonal;
            if (split)
                ++split->on;
        }
        counts.primitive += primitive ? 1 : 0;
    }
    for (std::uint32_t i = 1; i <= columns; ++i)
        block->starts[i] += block->starts[i - 1];

    // Each coarser level from the one below: a cell of level l is four of level l − 1.
    std::vector<std::uint32_t> below(std::size_t{block->fineColumns} * side);
    for (std::uint32_t c = 0; c < block->fineColumns; ++c)
        std::copy_n(block->fineTotal.begin() + c * (side + 1) + 1, side, below.begin() + c * side);
    std::vector<DiagonalSplit> belowDiagonal = block->fineDiagonal;
    std::uint32_t belowFirst = k0;
    std::uint32_t belowColumns = block->fineColumns;
    std::uint32_t belowSide = side;
    for (int level = 1; level < m_grid.levels(); ++level) {
        MapBlock::Part part;
        part.firstColumn = belowFirst >> 1;
        part.columns = ((belowFirst + belowColumns - 1) >> 1) - part.firstColumn + 1;
        const std::uint32_t levelSide = m_grid.side(level);
        part.counts.assign(std::size_t{part.columns} * levelSide, 0);
        part.diagonal.assign(part.columns, {});
        for (std::uint32_t c = 0; c < belowColumns; ++c) {
            const std::uint32_t column = belowFirst + c;
            const std::uint32_t to = (column >> 1) - part.firstColumn;
            for (std::uint32_t row = 0; row < belowSide; ++row) {
                const std::uint32_t count = below[std::size_t{c} * belowSide + row];
                if (count == 0)
                    continue;
                part.counts[std::size_t{to} * levelSide + (row >> 1)] += count;
                if (row >> 1 != column >> 1)
                    continue;
                DiagonalSplit &split = part.diagonal[to];
                if (column < row)
                    split.above += count;
                else if (column > row)
                    split.below += count;
                else
                    split += belowDiagonal[c];
            }
        }
        below = part.counts;
        belowDiagonal = part.diagonal;
        belowFirst = part.firstColumn;
        belowColumns = part.columns;
        belowSide = levelSide;
        block->coarse.push_back(std::move(part));
    }

    for (std::uint32_t c = 0; c < block->fineColumns; ++c) {
        const std::size_t base = std::size_t{c} * (side + 1);
        for (std::uint32_t r = 1; r <= side; ++r) {
            block->fineTotal[base + r] += block->fineTotal[base + r - 1];
            block->finePrimitive[base + r] += block->finePrimitive[base + r - 1];
        }
    }
    return block;
}
