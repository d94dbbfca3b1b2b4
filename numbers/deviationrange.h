#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <gmpxx.h>
#include <optional>

struct DeviationRangeReading;

// The deviations A, A + S, A + 2S, … up to B, written "A..B" or "A..B:S" (S = 1 unless given),
// as the command line and the map's play control take them. Each of A, B and S is one number as
// ExactNumber reads it (blanks around it, an exponent, &H and &O) and must be whole by its text:
// "1.5..3" and "0..10:0.5" are refused, not rounded. A ≤ B, S ≥ 1, and at most largestCount
// deviations; a bound of more digits than the exact search takes is refused as well. Every
// problem is told in one German sentence.
struct DeviationRange {
    static constexpr std::int64_t largestCount = 100'000;

    mpz_class first;
    mpz_class last; // B as written; the last deviation of the range may lie below it
    mpz_class step = 1;

    // Whether the text is meant as a range rather than one deviation: it holds "..".
    static bool isRange(QStringView text);
    static DeviationRangeReading read(QStringView text);

    // How many deviations the range holds, 1..largestCount.
    std::int64_t count() const;
    // The deviation at that place, from 0.
    mpz_class at(std::int64_t index) const { return first + step * index; }
    // The place of d in the range, when it is one of its deviations.
    std::optional<std::int64_t> indexOf(const mpz_class &d) const;
    // "A..B:S", with the step left out when it is 1.
    QString text() const;
};

struct DeviationRangeReading {
    QString problem; // empty when the text is a range
    std::optional<DeviationRange> range;
};
