#pragma once

#include <QString>
#include <cstdint>
#include <gmpxx.h>
#include <optional>

// The map's texts about a cell, with every digit, the equation as a teacher writes it:
// 3² + 4² = 5², 4² + 7² = 8² + 1, 2² + 2² = 3² − 1 (d's sign as + or −, d = 0 left out).
namespace MapText {

// A whole number with all its digits, "−" (U+2212) before a negative one.
QString number(const mpz_class &value);

// x² + y² = z² ± |d|.
QString equation(const mpz_class &x, const mpz_class &y, const mpz_class &z, const mpz_class &d);

// What x² + y² − d is for a cell: a solution with its z, or how far it lies from the nearest
// squares.
struct Cell {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    mpz_class d;
    mpz_class value; // x² + y² − d
    mpz_class root;  // the greatest r with r² ≤ value, when value ≥ 0
    bool solution = false;
    mpz_class gcd; // gcd(x, y, z) of a solution

    static Cell of(std::uint32_t x, std::uint32_t y, const mpz_class &d);
    QString equation() const;
    // "primitiv" or "nicht primitiv (ggT 2)"; for a solution only.
    QString primitiveText() const;
    // For a solution that is not primitive: "das 2-Fache von 3² + 4² = 5²".
    QString multipleText() const;
    // For one that is none: "3² + 5² − 1 = 33 = 5² + 8 = 6² − 3" or "1² + 1² − 5 = −3 < 0".
    QString distanceText() const;
};

// The status line's text for the cell under the pointer; d nothing when it is not whole.
QString pointerText(std::uint32_t x, std::uint32_t y, const std::optional<mpz_class> &d);

} // namespace MapText

namespace MapText {

// The family the map shows, "x² + y² = z² − 7", d as written when it is not whole.
QString family(const QString &deviationText, const std::optional<mpz_class> &whole);
// d itself, "−7", with every digit.
QString deviation(const QString &deviationText, const std::optional<mpz_class> &whole);

} // namespace MapText
