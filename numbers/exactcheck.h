#pragma once

#include "numbers/exactnumber.h"

#include <optional>

// Whether a pair the window's rule marks is a solution in whole numbers, for the deviation as it
// is written: x² + y² − d = z² exactly. The window's rule works in double precision and agrees
// with this for whole d of magnitude below 2⁵² − 1; beyond that, or for a d that is not whole,
// the rounding may mark pairs that are not solutions.
class ExactCheck {
public:
    // A deviation with more digits than maxDigits (far beyond every z² a double holds) makes no
    // pair a solution, as does one that is not whole.
    ExactCheck(const ExactNumber &deviation, std::int64_t maxDigits);

    // z is the window's hypotenuse, a whole double.
    bool holds(int x, int y, double z) const;

private:
    std::optional<mpz_class> m_d;
};
