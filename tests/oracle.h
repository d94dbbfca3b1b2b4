#pragma once

// The tests' own exact oracle: whether x² + y² − d is the square of a whole z ≥ 0, worked out by
// trying, in 128-bit whole numbers so that legs up to 10⁹ and deviations up to about 10³⁷ fit.
// It shares nothing with the program's search.

#include <cmath>
#include <numeric>
#include <optional>
#include <vector>

namespace TestSupport {

__extension__ typedef __int128 Wide;

// The whole square root of n, when n is the square of a whole number.
inline std::optional<long long> wholeRoot(Wide n) {
    if (n < 0)
        return std::nullopt;
    auto root = static_cast<long long>(std::sqrt(static_cast<long double>(n)));
    while (Wide(root) * root > n)
        --root;
    while (Wide(root + 1) * (root + 1) <= n)
        ++root;
    return Wide(root) * root == n ? std::optional(root) : std::nullopt;
}

// Exact in whole numbers: the z ≥ 0 with x² + y² − d = z², if there is one.
inline std::optional<long long> wholeHypotenuse(long long x, long long y, Wide d) {
    return wholeRoot(Wide(x) * x + Wide(y) * y - d);
}

struct OracleSolution {
    long long x, y, z;
    bool primitive;
};

// Every solution with legs 1..n, x ascending, then y; only the primitive ones with primitiveOnly.
inline std::vector<OracleSolution> solutions(long long d, long long n, bool primitiveOnly = false) {
    std::vector<OracleSolution> found;
    for (long long x = 1; x <= n; ++x) {
        for (long long y = 1; y <= n; ++y) {
            const std::optional<long long> z = wholeHypotenuse(x, y, d);
            if (!z)
                continue;
            const bool primitive = std::gcd(std::gcd(x, y), *z) == 1;
            if (primitive || !primitiveOnly)
                found.push_back({x, y, *z, primitive});
        }
    }
    return found;
}

} // namespace TestSupport
