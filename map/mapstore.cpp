#include "map/mapstore.h"

#include <algorithm>

MapStore::MapStore(std::uint32_t maxLeg, std::uint64_t generation) : m_grid(maxLeg) {
    reset(maxLeg, generation);
}

void MapStore::reset(std::uint32_t maxLeg, std::uint64_t generation) {
    m_grid = MapGrid(maxLeg);
    m_generation = generation;
    m_loaded = 0;
    m_counts = {};
    m_blocks.clear();
    m_blockOfFine.assign(m_grid.side(0), 0);
    m_levels.clear();
    for (int level = 1; level < m_grid.levels(); ++level) {
        Level &l = m_levels.emplace_back();
        l.side = m_grid.side(level);
        l.counts.assign(std::size_t{l.side} * l.side, 0);
        l.diagonal.assign(l.side, {});
    }
}

bool MapStore::add(const std::shared_ptr<const MapBlock> &block) {
    if (!block || block->generation != m_generation || block->firstX != m_loaded + 1 ||
        block->lastX > m_grid.maxLeg() || block->lastX < block->firstX ||
        block->coarse.size() != m_levels.size())
        return false;
    const auto index = static_cast<std::uint32_t>(m_blocks.size());
    m_blocks.push_back(block);
    for (std::uint32_t k = 0; k < block->fineColumns; ++k)
        m_blockOfFine[block->firstFine + k] = index;
    for (std::size_t l = 0; l < m_levels.size(); ++l) {
        Level &level = m_levels[l];
        const MapBlock::Part &part = block->coarse[l];
        for (std::uint32_t c = 0; c < part.columns; ++c) {
            std::uint32_t *to = &level.counts[std::size_t{part.firstColumn + c} * level.side];
            const std::uint32_t *from = &part.counts[std::size_t{c} * level.side];
            for (std::uint32_t r = 0; r < level.side; ++r)
                to[r] += from[r];
            level.diagonal[part.firstColumn + c] += part.diagonal[c];
        }
    }
    m_counts += block->counts;
    m_loaded = block->lastX;
    return true;
}

const MapBlock *MapStore::blockOf(std::uint32_t x) const {
    if (x < 1 || x > m_loaded)
        return nullptr;
    return m_blocks[m_blockOfFine[m_grid.cellOf(x, 0)]].get();
}

std::span<const std::uint32_t> MapStore::column(std::uint32_t x) const {
    const MapBlock *block = blockOf(x);
    if (!block)
        return {};
    const std::uint32_t i = x - block->firstX;
    return std::span(block->points)
        .subspan(block->starts[i], block->starts[i + 1] - block->starts[i]);
}

std::optional<bool> MapStore::solutionAt(std::uint32_t x, std::uint32_t y) const {
    const std::span<const std::uint32_t> points = column(x);
    const auto it = std::lower_bound(points.begin(), points.end(), y << 1);
    if (it == points.end() || (*it >> 1) != y)
        return std::nullopt;
    return (*it & 1) != 0;
}

std::uint64_t MapStore::before(std::uint32_t x, std::uint32_t y) const {
    if (x > m_loaded)
        return size();
    const MapBlock *block = blockOf(std::max<std::uint32_t>(x, 1));
    if (!block)
        return 0;
    const std::uint32_t i = x - block->firstX;
    const std::span<const std::uint32_t> points = column(x);
    const auto within = std::lower_bound(points.begin(), points.end(), y << 1) - points.begin();
    return block->firstIndex + block->starts[i] + static_cast<std::uint64_t>(within);
}

std::optional<MapStore::Point> MapStore::point(std::uint64_t index) const {
    if (index >= size())
        return std::nullopt;
    const auto after =
        std::upper_bound(m_blocks.begin(), m_blocks.end(), index,
                         [](std::uint64_t i, const auto &block) { return i < block->firstIndex; });
    const MapBlock &block = **(after - 1);
    const auto at = static_cast<std::uint32_t>(index - block.firstIndex);
    const auto column = std::upper_bound(block.starts.begin(), block.starts.end(), at) - 1;
    const std::uint32_t packed = block.points[at];
    return Point{block.firstX + static_cast<std::uint32_t>(column - block.starts.begin()),
                 packed >> 1, (packed & 1) != 0};
}

MapCounts MapStore::columnCounts(std::uint32_t x, std::uint32_t y0, std::uint32_t y1,
                                 bool mirrored) const {
    MapCounts counts;
    const std::span<const std::uint32_t> points = column(x);
    auto it = std::lower_bound(points.begin(), points.end(), y0 << 1);
    for (; it != points.end() && (*it >> 1) <= y1; ++it) {
        const std::uint32_t y = *it >> 1;
        // A mirrored column stands for the row of the same number: (x, y) is (y, x) there.
        if (x == y)
            ++counts.diagonal;
        else if ((x < y) != mirrored)
            ++counts.above;
        else
            ++counts.below;
        counts.primitive += *it & 1;
    }
    return counts;
}

// The cells of the finest level that lie wholly inside are summed from its running sums; the
// columns left over at the sides are read solution by solution; the rows left over above and
// below are read as the columns of the same numbers, since x² + y² is symmetric, where those
// columns are loaded already.
MapCounts MapStore::countsIn(std::uint32_t x0, std::uint32_t x1, std::uint32_t y0,
                             std::uint32_t y1) const {
    MapCounts counts;
    x0 = std::max<std::uint32_t>(x0, 1);
    y0 = std::max<std::uint32_t>(y0, 1);
    x1 = std::min(x1, m_loaded);
    y1 = std::min(y1, m_grid.maxLeg());
    if (x0 > x1 || y0 > y1)
        return counts;
    const auto inner = [this](std::uint32_t first, std::uint32_t last) {
        std::uint32_t k0 = m_grid.cellOf(first, 0);
        std::uint32_t k1 = m_grid.cellOf(last, 0);
        if (m_grid.firstLeg(k0, 0) != first)
            ++k0;
        if (m_grid.lastLeg(k1, 0) != last) {
            if (k1 == 0)
                return std::pair<std::uint32_t, std::uint32_t>(1, 0);
            --k1;
        }
        return std::pair(k0, k1);
    };
    const auto [kx0, kx1] = inner(x0, x1);
    const auto [ky0, ky1] = inner(y0, y1);
    const bool columnsInside = kx0 <= kx1;
    const bool rowsInside = ky0 <= ky1;

    if (columnsInside && rowsInside) {
        for (std::uint32_t k = kx0; k <= kx1; ++k) {
            const std::uint32_t *sums = fineColumn(k);
            const std::uint32_t *primitive = finePrimitiveColumn(k);
            counts.primitive += primitive[ky1 + 1] - primitive[ky0];
            if (ky1 > k)
                counts.above += sums[ky1 + 1] - sums[std::max(ky0, k + 1)];
            if (ky0 < k)
                counts.below += sums[std::min(ky1 + 1, k)] - sums[ky0];
            if (ky0 <= k && k <= ky1) {
                const DiagonalSplit split = fineDiagonal(k);
                counts.above += split.above;
                counts.below += split.below;
                counts.diagonal += split.on;
            }
        }
    }
    const std::uint32_t innerX0 = columnsInside ? m_grid.firstLeg(kx0, 0) : x1 + 1;
    const std::uint32_t innerX1 = columnsInside ? m_grid.lastLeg(kx1, 0) : x1;
    for (std::uint32_t x = x0; x <= x1; ++x) {
        if (x == innerX0) {
            x = innerX1;
            continue;
        }
        counts += columnCounts(x, y0, y1, false);
    }
    if (!columnsInside)
        return counts;
    // Rows beyond the loaded columns, during a search, are read in the loaded columns instead.
    const auto rows = [&](std::uint32_t first, std::uint32_t last) {
        for (std::uint32_t y = first; y <= std::min(last, m_loaded); ++y)
            counts += columnCounts(y, innerX0, innerX1, true);
        const std::uint32_t unloaded = std::max(first, m_loaded + 1);
        if (unloaded <= last) {
            for (std::uint32_t x = innerX0; x <= innerX1; ++x)
                counts += columnCounts(x, unloaded, last, false);
        }
    };
    if (rowsInside) {
        rows(y0, m_grid.firstLeg(ky0, 0) - 1);
        rows(m_grid.lastLeg(ky1, 0) + 1, y1);
    } else {
        rows(y0, y1);
    }
    return counts;
}

const std::uint32_t *MapStore::fineColumn(std::uint32_t k) const {
    const MapBlock *block = blockOf(m_grid.firstLeg(k, 0));
    if (!block)
        return nullptr;
    return &block->fineTotal[std::size_t{k - block->firstFine} * (m_grid.side(0) + 1)];
}

const std::uint32_t *MapStore::finePrimitiveColumn(std::uint32_t k) const {
    const MapBlock *block = blockOf(m_grid.firstLeg(k, 0));
    if (!block)
        return nullptr;
    return &block->finePrimitive[std::size_t{k - block->firstFine} * (m_grid.side(0) + 1)];
}

DiagonalSplit MapStore::fineDiagonal(std::uint32_t k) const {
    const MapBlock *block = blockOf(m_grid.firstLeg(k, 0));
    return block ? block->fineDiagonal[k - block->firstFine] : DiagonalSplit{};
}

const std::uint32_t *MapStore::levelColumn(int level, std::uint32_t column) const {
    const Level &l = m_levels[static_cast<std::size_t>(level - 1)];
    return &l.counts[std::size_t{column} * l.side];
}

DiagonalSplit MapStore::levelDiagonal(int level, std::uint32_t column) const {
    return m_levels[static_cast<std::size_t>(level - 1)].diagonal[column];
}
