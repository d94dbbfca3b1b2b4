#pragma once

#include <QString>
#include <gmpxx.h>
#include <optional>

// The map's deviation as the user writes it, read exactly (numbers/exactnumber.h): whole numbers
// of any size, a d that is not whole (which has no solutions), and why a text is no deviation.
namespace MapDeviation {

struct Reading {
    QString problem; // German, empty when the text is a deviation
    bool whole = false;
    // The value of a whole d, unless it is a positive one too large to build, which has no
    // solutions anyway.
    std::optional<mpz_class> value;
};
Reading read(const QString &text);

// The text of d + step, every digit kept (2.5 − 1 is 1.5); or, with no text, why there is none.
struct Step {
    QString text;
    QString problem;
};
Step step(const QString &text, int step);

// A deviation as the window keeps it, a double: whole ones with all their digits, others as the
// shortest decimal that reads back as the same double.
QString ofDouble(double value);

} // namespace MapDeviation
