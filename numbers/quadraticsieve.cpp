#include "numbers/quadraticsieve.h"

#include <algorithm>

using Modular::SignedWide;

QuadraticSieve::QuadraticSieve(const SieveRoots &roots, std::uint32_t length)
    : LegSieve(length), m_roots(roots) {}

void QuadraticSieve::start(std::uint64_t first, std::uint64_t last) {
    m_first = first;
    m_last = last;
    m_start = first;
    m_size = 0;
    m_started = false;
    m_block = 0;
    m_small.clear();
    const std::uint64_t range = last - first + 1;
    const std::size_t blocks = static_cast<std::size_t>((range + m_length - 1) / m_length);
    if (m_buckets.size() < blocks)
        m_buckets.resize(blocks);
    for (std::size_t b = 0; b < blocks; ++b)
        m_buckets[b].clear();
    for (const SieveRoots::Entry &entry : m_roots.entries()) {
        const std::uint32_t p = entry.prime;
        // One division per prime, and a 32-bit one for legs: a job's start is mostly these.
        const auto shift = static_cast<std::uint32_t>(
            first <= UINT32_MAX ? static_cast<std::uint32_t>(first) % p : first % p);
        const auto offset = [&](std::uint32_t r) {
            return r >= shift ? r - shift : r + (p - shift);
        };
        const bool twoRoots = entry.root != 0 && p != 2;
        const std::uint32_t offsets[2] = {offset(entry.root),
                                          twoRoots ? offset(p - entry.root) : 0};
        for (int k = 0; k < (twoRoots ? 2 : 1); ++k) {
            if (p <= m_length)
                m_small.push_back({p, offsets[k]});
            else if (offsets[k] < range)
                m_buckets[offsets[k] / m_length].push_back({p, offsets[k]});
        }
    }
}

void QuadraticSieve::divide(std::uint32_t i, std::uint32_t p) {
    std::uint64_t &rest = m_rest[i];
    if (rest == 0)
        return;
    std::uint32_t exponent = 0;
    do {
        rest /= p;
        ++exponent;
    } while (rest % p == 0);
    addFactor(i, p, exponent);
}

bool QuadraticSieve::next() {
    if (m_started) {
        if (m_start + m_size - 1 >= m_last)
            return false;
        m_start += m_size;
        ++m_block;
        for (Root &root : m_small)
            root.next -= m_size; // every root was carried past the block below
    }
    m_started = true;
    m_size = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_length, m_last - m_start + 1));

    const SignedWide c = m_roots.c();
    for (std::uint32_t i = 0; i < m_size; ++i) {
        const std::uint64_t t = m_start + i;
        const SignedWide value = static_cast<SignedWide>(t) * t - c;
        m_negative[i] = value < 0;
        m_magnitude[i] = static_cast<std::uint64_t>(value < 0 ? -value : value);
        m_rest[i] = m_magnitude[i];
        m_count[i] = 0;
    }
    for (Root &root : m_small) {
        const std::uint32_t p = root.prime;
        std::uint64_t i = root.next;
        for (; i < m_size; i += p)
            divide(static_cast<std::uint32_t>(i), p);
        root.next = static_cast<std::uint32_t>(i);
    }
    const std::uint64_t blockOffset = m_start - m_first;
    const std::uint64_t range = m_last - m_first + 1;
    std::vector<Hit> &bucket = m_buckets[m_block];
    for (const Hit &hit : bucket) {
        divide(static_cast<std::uint32_t>(hit.offset - blockOffset), hit.prime);
        const std::uint64_t next = std::uint64_t{hit.offset} + hit.prime;
        if (next < range)
            m_buckets[next / m_length].push_back({hit.prime, static_cast<std::uint32_t>(next)});
    }
    bucket.clear();
    return true;
}
