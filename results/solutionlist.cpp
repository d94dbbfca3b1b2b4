#include "results/solutionlist.h"

#include "numbers/solution.h"

#include <charconv>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

namespace SolutionList {
namespace {

// gcd(x, y, z) for legs up to 100 and a whole z of any size: the gcd of the legs divides the
// triple's gcd, and z's remainder by it is exact in double precision.
bool isPrimitive(int x, int y, double z) {
    const int legs = std::gcd(x, y);
    const auto rest = static_cast<int>(std::fmod(z, legs));
    return std::gcd(legs, rest) == 1;
}

} // namespace

QList<Entry> forDeviation(double deviation) {
    QList<Entry> entries;
    for (int x = 1; x <= 100; ++x) {
        for (int y = 1; y <= 100; ++y) {
            const Solution::Test t = Solution::test(x, y, deviation);
            if (t.solution)
                entries.append({x, y, t.z, isPrimitive(x, y, t.z)});
        }
    }
    return entries;
}

QByteArray exactDigits(double whole) {
    // Fixed notation with no fraction digits prints the double's exact value.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, whole, std::chars_format::fixed, 0);
    return {buffer, static_cast<qsizetype>(result.ptr - buffer)};
}

QByteArray text(const QList<Entry> &entries, ListWriter::Format format) {
    QByteArray out;
    ListWriter writer(format, [&out](const char *data, std::size_t size) {
        out.append(data, static_cast<qsizetype>(size));
        return Failure();
    });
    // A z of 2⁶⁴ or more goes as its exact digits.
    std::vector<std::string> digits;
    std::vector<ExactSearch::Row> rows;
    digits.reserve(static_cast<std::size_t>(entries.size()));
    for (const Entry &e : entries) {
        ExactSearch::Row row{static_cast<std::uint32_t>(e.x), static_cast<std::uint32_t>(e.y), 0,
                             nullptr, e.primitive};
        if (e.z < 0x1p64)
            row.z = static_cast<std::uint64_t>(e.z);
        else
            row.bigZ = &digits.emplace_back(exactDigits(e.z).toStdString());
        rows.push_back(row);
    }
    (void)writer.add(rows);
    (void)writer.finish();
    return out;
}

} // namespace SolutionList
