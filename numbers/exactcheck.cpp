#include "numbers/exactcheck.h"

ExactCheck::ExactCheck(const ExactNumber &deviation, std::int64_t maxDigits)
    : m_d(deviation.whole(maxDigits)) {}

bool ExactCheck::holds(int x, int y, double z) const {
    if (!m_d)
        return false;
    const mpz_class hypotenuse(z); // exact: z is whole
    return hypotenuse * hypotenuse + *m_d == mpz_class(x) * x + mpz_class(y) * y;
}
