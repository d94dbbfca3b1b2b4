#include "numbers/squaresieve.h"

#include "numbers/modular.h"

#include <algorithm>

SquareSieve::SquareSieve(std::uint64_t s, std::uint64_t largest, std::uint32_t length)
    : LegSieve(length), m_s(static_cast<std::uint32_t>(s)),
      m_primes(Modular::primesUpTo(static_cast<std::uint32_t>(Modular::isqrt(largest + s)))),
      m_below(std::make_unique_for_overwrite<std::uint32_t[]>(length)),
      m_above(std::make_unique_for_overwrite<std::uint32_t[]>(length)) {}

void SquareSieve::start(std::uint64_t first, std::uint64_t last) {
    m_last = last;
    m_start = first;
    m_size = 0;
    m_started = false;
    m_roots.clear();
    for (const std::uint32_t p : m_primes) {
        const auto shift = static_cast<std::uint32_t>(first % p);
        const auto offset = [&](std::uint32_t r) {
            return r >= shift ? r - shift : r + (p - shift);
        };
        const std::uint32_t below = m_s % p; // t ≡ s: p divides t − s
        const std::uint32_t above = (p - below) % p;
        if (below == above || m_s == 0) {
            m_roots.push_back({p, offset(below), m_s == 0 ? Below : Both});
        } else {
            m_roots.push_back({p, offset(below), Below});
            m_roots.push_back({p, offset(above), Above});
        }
    }
}

bool SquareSieve::next() {
    if (m_started) {
        if (m_start + m_size - 1 >= m_last)
            return false;
        m_start += m_size;
        for (Root &root : m_roots)
            root.next -= m_size;
    }
    m_started = true;
    m_size = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_length, m_last - m_start + 1));

    for (std::uint32_t i = 0; i < m_size; ++i) {
        const std::uint64_t t = m_start + i;
        const std::uint64_t below = t >= m_s ? t - m_s : m_s - t;
        const std::uint64_t above = t + m_s;
        m_below[i] = static_cast<std::uint32_t>(below);
        m_above[i] = static_cast<std::uint32_t>(above);
        m_magnitude[i] = m_s == 0 ? t * t : below * above;
        m_negative[i] = t < m_s;
        m_count[i] = 0;
        m_rest[i] = 1;
    }
    const std::uint32_t twice = m_s == 0 ? 2 : 1; // t² has twice the exponents of t
    for (Root &root : m_roots) {
        const std::uint32_t p = root.prime;
        std::uint32_t i = root.next;
        for (; i < m_size; i += p) {
            if (m_below[i] == 0)
                continue; // t = s: the value 0 is not factored
            std::uint32_t exponent = 0;
            if (root.side & Below) {
                std::uint32_t &rest = m_below[i];
                do {
                    rest /= p;
                    ++exponent;
                } while (rest % p == 0);
            }
            if (root.side & Above) {
                std::uint32_t &rest = m_above[i];
                do {
                    rest /= p;
                    ++exponent;
                } while (rest % p == 0);
            }
            addFactor(i, p, exponent * twice);
        }
        root.next = i;
    }
    // What is left of each linear factor is 1 or a prime above every sieved one.
    for (std::uint32_t i = 0; i < m_size; ++i) {
        const std::uint32_t below = m_below[i];
        const std::uint32_t above = m_s == 0 ? 1 : m_above[i];
        if (below == 0)
            continue;
        if (m_s == 0 || below == above) {
            if (below > 1)
                addFactor(i, below, 2);
            continue;
        }
        if (below > 1)
            addFactor(i, below, 1);
        if (above > 1)
            addFactor(i, above, 1);
    }
    return true;
}
