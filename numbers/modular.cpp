#include "numbers/modular.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Modular {
namespace {

// Montgomery's form for an odd modulus from 2³² to 2⁶³: a product is reduced by multiplications
// alone, where a 128-bit remainder would cost a slow library call for every step of a power.
class Montgomery {
public:
    explicit Montgomery(std::uint64_t m) : m_modulus(m) {
        std::uint64_t inverse = m; // Newton's iteration doubles the correct low bits each time
        for (int i = 0; i < 5; ++i)
            inverse *= 2 - m * inverse;
        m_negInverse = 0 - inverse;
        const std::uint64_t r = (0 - m) % m; // 2⁶⁴ mod m
        m_r2 = static_cast<std::uint64_t>(static_cast<Wide>(r) * r % m);
    }
    std::uint64_t in(std::uint64_t a) const { return times(a, m_r2); }
    std::uint64_t out(std::uint64_t a) const { return reduce(a); }
    std::uint64_t times(std::uint64_t a, std::uint64_t b) const {
        return reduce(static_cast<Wide>(a) * b);
    }

private:
    std::uint64_t reduce(Wide t) const {
        const std::uint64_t q = static_cast<std::uint64_t>(t) * m_negInverse;
        const auto r = static_cast<std::uint64_t>((t + static_cast<Wide>(q) * m_modulus) >> 64);
        return r >= m_modulus ? r - m_modulus : r;
    }

    std::uint64_t m_modulus;
    std::uint64_t m_negInverse;
    std::uint64_t m_r2;
};

} // namespace

std::uint64_t mulMod(std::uint64_t a, std::uint64_t b, std::uint64_t m) {
    // The sieve's primes are below 2³², where a 64-bit product suffices and is much faster.
    if (m <= std::numeric_limits<std::uint32_t>::max())
        return a * b % m;
    return static_cast<std::uint64_t>(static_cast<Wide>(a) * b % m);
}

std::uint64_t powMod(std::uint64_t base, std::uint64_t exponent, std::uint64_t m) {
    if (m > std::numeric_limits<std::uint32_t>::max() && m % 2 == 1 && m < (1ULL << 63)) {
        const Montgomery form(m);
        std::uint64_t result = form.in(1);
        for (std::uint64_t b = form.in(base); exponent > 0; exponent >>= 1) {
            if (exponent & 1)
                result = form.times(result, b);
            b = form.times(b, b);
        }
        return form.out(result);
    }
    std::uint64_t result = 1 % m;
    if (m <= std::numeric_limits<std::uint32_t>::max()) {
        // The sieve's primes, tens of millions of powers when its table is built: products in 64
        // bits, with no call per step.
        for (; exponent > 0; exponent >>= 1) {
            if (exponent & 1)
                result = result * base % m;
            base = base * base % m;
        }
        return result;
    }
    for (; exponent > 0; exponent >>= 1) {
        if (exponent & 1)
            result = mulMod(result, base, m);
        base = mulMod(base, base, m);
    }
    return result;
}

std::uint64_t isqrt(std::uint64_t n) {
    auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    // The double is within a few units of the root; settle it in whole numbers.
    while (static_cast<Wide>(r) * r > n)
        --r;
    while (static_cast<Wide>(r + 1) * (r + 1) <= n)
        ++r;
    return r;
}

namespace {

// Whether n is no square modulo the odd prime p: by reciprocity below 2³², where that costs no
// power, else by Euler's criterion.
bool nonResidue(std::uint64_t n, std::uint64_t p) {
    if (p <= std::numeric_limits<std::uint32_t>::max())
        return legendre(static_cast<std::uint32_t>(n % p), static_cast<std::uint32_t>(p)) == -1;
    return powMod(n % p, (p - 1) / 2, p) == p - 1;
}

} // namespace

std::optional<std::uint64_t> sqrtMod(std::uint64_t a, std::uint64_t p) {
    if (p == 2 || a == 0)
        return a;
    if (nonResidue(a, p))
        return std::nullopt;
    if (p % 4 == 3)
        return powMod(a, (p + 1) / 4, p);
    // Tonelli and Shanks: p − 1 = q · 2^s with q odd.
    std::uint64_t q = p - 1;
    unsigned s = 0;
    while (q % 2 == 0) {
        q /= 2;
        ++s;
    }
    std::uint64_t z = 2;
    while (!nonResidue(z, p))
        ++z;
    std::uint64_t c = powMod(z, q, p);
    // One power gives both a^((q + 1)/2) and a^q.
    const std::uint64_t half = powMod(a, (q - 1) / 2, p);
    std::uint64_t root = mulMod(a, half, p);
    std::uint64_t t = mulMod(root, half, p);
    unsigned m = s;
    while (t != 1) {
        unsigned i = 0;
        for (std::uint64_t square = t; square != 1; square = mulMod(square, square, p))
            ++i;
        std::uint64_t b = c;
        for (unsigned j = 0; j + i + 1 < m; ++j)
            b = mulMod(b, b, p);
        m = i;
        c = mulMod(b, b, p);
        t = mulMod(t, c, p);
        root = mulMod(root, b, p);
    }
    return root;
}

std::pair<std::uint64_t, std::uint64_t> twoSquares(std::uint64_t p) {
    if (p == 2)
        return {1, 1};
    // c^((p − 1)/4) is a square root of −1 for any c that is no square modulo p.
    std::uint64_t c = 2;
    while (!nonResidue(c, p))
        ++c;
    // Euclid's algorithm on p and a square root of −1 stops at the first remainder below √p, which
    // is one of the two squares (Hermite and Serret).
    std::uint64_t a = p;
    std::uint64_t b = powMod(c, (p - 1) / 4, p);
    const std::uint64_t limit = isqrt(p);
    while (b > limit) {
        const std::uint64_t r = a % b;
        a = b;
        b = r;
    }
    return {b, isqrt(p - b * b)};
}

std::vector<std::uint32_t> primesUpTo(std::uint32_t bound) {
    std::vector<std::uint32_t> primes;
    if (bound < 2)
        return primes;
    primes.push_back(2);
    // Odd numbers only: index i stands for 2i + 1.
    const std::uint32_t size = (bound - 1) / 2 + 1;
    std::vector<bool> composite(size, false);
    for (std::uint32_t i = 1; i < size; ++i) {
        if (composite[i])
            continue;
        const std::uint64_t p = 2ULL * i + 1;
        primes.push_back(static_cast<std::uint32_t>(p));
        for (std::uint64_t j = p * p / 2; j < size; j += p)
            composite[j] = true;
    }
    return primes;
}

int legendre(std::uint32_t a, std::uint32_t p) {
    // Jacobi's symbol (a / n) with n odd; for a prime n it is Legendre's.
    std::uint32_t n = p;
    int result = 1;
    while (a != 0) {
        while (a % 2 == 0) {
            a /= 2;
            if (n % 8 == 3 || n % 8 == 5)
                result = -result;
        }
        std::swap(a, n);
        if (a % 4 == 3 && n % 4 == 3)
            result = -result;
        a %= n;
    }
    return n == 1 ? result : 0;
}

namespace {

bool isPrime(std::uint64_t n) {
    if (n < 2)
        return false;
    for (const std::uint64_t p : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37}) {
        if (n % p == 0)
            return n == p;
    }
    std::uint64_t odd = n - 1;
    int twos = 0;
    for (; odd % 2 == 0; odd /= 2)
        ++twos;
    // These twelve bases decide every n below 3.3 · 10²⁴.
    for (const std::uint64_t base : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37}) {
        std::uint64_t x = powMod(base, odd, n);
        if (x == 1 || x == n - 1)
            continue;
        bool composite = true;
        for (int i = 1; i < twos && composite; ++i) {
            x = mulMod(x, x, n);
            composite = x != n - 1;
        }
        if (composite)
            return false;
    }
    return true;
}

// Some factor of an odd composite n other than 1 and n.
std::uint64_t someFactor(std::uint64_t n) {
    for (std::uint64_t increment = 1;; ++increment) {
        const auto step = [&](std::uint64_t v) { return (mulMod(v, v, n) + increment) % n; };
        std::uint64_t x = 2;
        std::uint64_t y = 2;
        std::uint64_t saved = 2;
        std::uint64_t g = 1;
        // Brent: the differences are multiplied up and their gcd with n taken once per round.
        for (std::uint64_t length = 1; g == 1; length *= 2) {
            x = y;
            for (std::uint64_t i = 0; i < length; ++i)
                y = step(y);
            for (std::uint64_t done = 0; done < length && g == 1; done += 64) {
                saved = y;
                std::uint64_t product = 1;
                for (std::uint64_t i = 0; i < 64 && done + i < length; ++i) {
                    y = step(y);
                    product = mulMod(product, x > y ? x - y : y - x, n);
                }
                g = gcd(product, n);
            }
        }
        if (g == n) {
            // The product passed a multiple of n: go back to single steps.
            do {
                saved = step(saved);
                g = gcd(x > saved ? x - saved : saved - x, n);
            } while (g == 1);
        }
        if (g != n)
            return g;
    }
}

void split(std::uint64_t n, std::vector<std::uint64_t> &out) {
    if (n == 1)
        return;
    if (isPrime(n)) {
        out.push_back(n);
        return;
    }
    const std::uint64_t f = someFactor(n);
    split(f, out);
    split(n / f, out);
}

} // namespace

std::vector<std::uint64_t> primeFactors(std::uint64_t n) {
    std::vector<std::uint64_t> out;
    for (std::uint64_t p = 2; p < 64 && p * p <= n; ++p) {
        for (; n % p == 0; n /= p)
            out.push_back(p);
    }
    split(n, out);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace Modular
