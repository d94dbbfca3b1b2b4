#include "results/solutionlist.h"

#include "numbers/solution.h"

#include <charconv>
#include <cmath>
#include <numeric>

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

QByteArray toCsv(const QList<Entry> &entries) {
    QByteArray out = "x,y,z,primitive\n";
    for (const Entry &e : entries) {
        out += QByteArray::number(e.x) + ',' + QByteArray::number(e.y) + ',' + exactDigits(e.z) +
               (e.primitive ? ",true\n" : ",false\n");
    }
    return out;
}

QByteArray toJson(const QList<Entry> &entries) {
    QByteArray out = "[";
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Entry &e = entries[i];
        out += i == 0 ? "\n" : ",\n";
        out += "  {\"x\": " + QByteArray::number(e.x) + ", \"y\": " + QByteArray::number(e.y) +
               ", \"z\": " + exactDigits(e.z) +
               ", \"primitive\": " + (e.primitive ? "true" : "false") + "}";
    }
    out += entries.isEmpty() ? "]\n" : "\n]\n";
    return out;
}

} // namespace SolutionList
