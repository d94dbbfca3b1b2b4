#include "numbers/exactcheck.h"

ExactCheck::ExactCheck(const ExactNumber &deviation, std::int64_t maxDigits)
    : d_(deviation.whole(maxDigits)) {}

bool ExactCheck::holds(int x, int y, double z) const {
    if (!d_)
        return false;
    const mpz_class hypotenuse(z); // exact: z is whole
    return hypotenuse * hypotenuse + *d_ == mpz_class(x) * x + mpz_class(y) * y;
}
