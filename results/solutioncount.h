#pragma once

#include "results/listwriter.h"

#include <QByteArray>
#include <cstdint>

// How many solutions there are, and where: above the diagonal (x < y), below it (x > y), on it,
// and how many of them are primitive. Written as CSV, a header "count,above,below,diagonal,
// primitive" and one line, or as one JSON object with the same keys.
class SolutionCount {
public:
    void add(std::uint64_t x, std::uint64_t y, bool primitive) {
        ++m_count;
        m_above += x < y;
        m_below += x > y;
        m_primitive += primitive;
    }
    // Solutions counted elsewhere: how many, above and below the diagonal, primitive.
    void add(std::uint64_t count, std::uint64_t above, std::uint64_t below,
             std::uint64_t primitive) {
        m_count += count;
        m_above += above;
        m_below += below;
        m_primitive += primitive;
    }

    std::uint64_t count() const { return m_count; }
    QByteArray text(ListWriter::Format format) const;

private:
    std::uint64_t m_count = 0;
    std::uint64_t m_above = 0;
    std::uint64_t m_below = 0;
    std::uint64_t m_primitive = 0;
};
