#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// Whole-number arithmetic modulo a prime, for the exact search. Every function is exact on the
// inputs its comment names (moduli below 2⁶³), never overflows, and allocates nothing except
// primesUpTo. Products are formed in 128 bits where 64 would not hold them.
namespace Modular {

__extension__ typedef unsigned __int128 Wide;
__extension__ typedef __int128 SignedWide;

// a · b mod m and base^exponent mod m, for a, b, base below m.
std::uint64_t mulMod(std::uint64_t a, std::uint64_t b, std::uint64_t m);
std::uint64_t powMod(std::uint64_t base, std::uint64_t exponent, std::uint64_t m);

// The greatest common divisor by Stein's binary method: shifts and subtractions, several times
// faster than Euclid's divisions, and asked for nearly every row of the exact search, so inline.
inline std::uint64_t gcd(std::uint64_t a, std::uint64_t b) {
    if (a == 0 || b == 0)
        return a | b;
    const int shift = std::countr_zero(a | b);
    a >>= std::countr_zero(a);
    do {
        b >>= std::countr_zero(b);
        if (a > b)
            std::swap(a, b);
        b -= a;
    } while (b != 0);
    return a << shift;
}

// The greatest r with r² ≤ n.
std::uint64_t isqrt(std::uint64_t n);

// Some r with r² ≡ a (mod p) for a prime p and a below p, or nothing when a is no square modulo p.
std::optional<std::uint64_t> sqrtMod(std::uint64_t a, std::uint64_t p);

// For p = 2 or a prime p ≡ 1 (mod 4): u, v ≥ 1 with u² + v² = p.
std::pair<std::uint64_t, std::uint64_t> twoSquares(std::uint64_t p);

// The primes from 2 up to and including bound.
std::vector<std::uint32_t> primesUpTo(std::uint32_t bound);

// The Legendre symbol of a modulo an odd prime p (a below p): 1 when a is a nonzero square, −1
// when it is none, 0 for a = 0. By reciprocity, with no power taken.
int legendre(std::uint32_t a, std::uint32_t p);

// The prime factors of n ≥ 1, each as often as it divides n, in ascending order: Pollard's rho
// with Brent's cycle search, primes told by Miller and Rabin with bases that decide every n below
// 2⁶⁴. Milliseconds at most, for the few values that need it.
std::vector<std::uint64_t> primeFactors(std::uint64_t n);

} // namespace Modular
