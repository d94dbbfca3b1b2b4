#pragma once

#include <QByteArray>
#include <cstdint>

// How many solutions there are, and where: above the diagonal (x < y), below it (x > y), on it,
// and how many of them are primitive. Written as CSV, a header "count,above,below,diagonal,
// primitive" and one line, or as one JSON object with the same keys.
class SolutionCount {
public:
    void add(std::uint64_t x, std::uint64_t y, bool primitive) {
        ++count_;
        above_ += x < y;
        below_ += x > y;
        primitive_ += primitive;
    }

    std::uint64_t count() const { return count_; }
    QByteArray toCsv() const;
    QByteArray toJson() const;

private:
    std::uint64_t count_ = 0;
    std::uint64_t above_ = 0;
    std::uint64_t below_ = 0;
    std::uint64_t primitive_ = 0;
};
