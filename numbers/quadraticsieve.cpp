#include "numbers/quadraticsieve.h"

#include <algorithm>

using Modular::SignedWide;

QuadraticSieve::QuadraticSieve(SignedWide c, std::uint64_t first, std::uint64_t last,
                               std::uint64_t largest)
    : m_c(c), m_last(last), m_start(first) {
    const std::uint64_t bound = Modular::isqrt(largest) + 1;
    // Every block passes every root once, so a block is long beside the number of roots; but no
    // longer than the cache holds, nor than the range.
    m_length = static_cast<std::uint32_t>(std::min(
        {std::max<std::uint64_t>(bound / 8, 1U << 12), std::uint64_t{1} << 15, last - first + 1}));
    const std::size_t length = m_length;
    m_magnitude = std::make_unique_for_overwrite<std::uint64_t[]>(length);
    m_rest = std::make_unique_for_overwrite<std::uint64_t[]>(length);
    m_negative = std::make_unique_for_overwrite<std::uint8_t[]>(length);
    m_count = std::make_unique_for_overwrite<std::uint8_t[]>(length);
    m_factors = std::make_unique_for_overwrite<Factor[]>(length * slots);
    for (const std::uint32_t p : Modular::primesUpTo(static_cast<std::uint32_t>(bound))) {
        const auto residue = static_cast<std::uint64_t>((c % p + p) % p);
        const std::optional<std::uint64_t> root = Modular::sqrtMod(residue, p);
        if (!root)
            continue;
        const std::uint64_t firstResidue = first % p;
        const auto offset = [&](std::uint64_t r) {
            return static_cast<std::uint32_t>((r + p - firstResidue) % p);
        };
        m_roots.push_back({p, offset(*root)});
        if (*root != 0 && p != 2)
            m_roots.push_back({p, offset(p - *root)});
    }
}

bool QuadraticSieve::next() {
    if (m_started) {
        if (m_start + m_size - 1 >= m_last)
            return false;
        m_start += m_size;
        for (Root &root : m_roots)
            root.next -= m_size; // every root was carried past the block below
    }
    m_started = true;
    m_size = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_length, m_last - m_start + 1));

    for (std::uint32_t i = 0; i < m_size; ++i) {
        const std::uint64_t t = m_start + i;
        const SignedWide value = static_cast<SignedWide>(t) * t - m_c;
        m_negative[i] = value < 0;
        m_magnitude[i] = static_cast<std::uint64_t>(value < 0 ? -value : value);
        m_rest[i] = m_magnitude[i];
        m_count[i] = 0;
    }
    for (Root &root : m_roots) {
        const std::uint32_t p = root.prime;
        std::uint64_t i = root.next;
        for (; i < m_size; i += p) {
            std::uint64_t &rest = m_rest[i];
            if (rest == 0)
                continue;
            std::uint32_t exponent = 0;
            do {
                rest /= p;
                ++exponent;
            } while (rest % p == 0);
            m_factors[i * slots + m_count[i]++] = {p, exponent};
        }
        root.next = static_cast<std::uint32_t>(i);
    }
    return true;
}
