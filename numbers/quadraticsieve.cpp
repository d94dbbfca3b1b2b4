#include "numbers/quadraticsieve.h"

#include <algorithm>

using Modular::SignedWide;

QuadraticSieve::QuadraticSieve(SignedWide c, std::uint64_t first, std::uint64_t last,
                               std::uint64_t largest)
    : c_(c), last_(last), start_(first) {
    const std::uint64_t bound = Modular::isqrt(largest) + 1;
    // Every block passes every root once, so a block is long beside the number of roots; but no
    // longer than the cache holds, nor than the range.
    length_ = static_cast<std::uint32_t>(std::min(
        {std::max<std::uint64_t>(bound / 8, 1U << 12), std::uint64_t{1} << 15, last - first + 1}));
    const std::size_t length = length_;
    magnitude_ = std::make_unique_for_overwrite<std::uint64_t[]>(length);
    rest_ = std::make_unique_for_overwrite<std::uint64_t[]>(length);
    negative_ = std::make_unique_for_overwrite<std::uint8_t[]>(length);
    count_ = std::make_unique_for_overwrite<std::uint8_t[]>(length);
    factors_ = std::make_unique_for_overwrite<Factor[]>(length * slots);
    for (const std::uint32_t p : Modular::primesUpTo(static_cast<std::uint32_t>(bound))) {
        const auto residue = static_cast<std::uint64_t>((c % p + p) % p);
        const std::optional<std::uint64_t> root = Modular::sqrtMod(residue, p);
        if (!root)
            continue;
        const std::uint64_t firstResidue = first % p;
        const auto offset = [&](std::uint64_t r) {
            return static_cast<std::uint32_t>((r + p - firstResidue) % p);
        };
        roots_.push_back({p, offset(*root)});
        if (*root != 0 && p != 2)
            roots_.push_back({p, offset(p - *root)});
    }
}

bool QuadraticSieve::next() {
    if (started_) {
        if (start_ + size_ - 1 >= last_)
            return false;
        start_ += size_;
        for (Root &root : roots_)
            root.next -= size_; // every root was carried past the block below
    }
    started_ = true;
    size_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(length_, last_ - start_ + 1));

    for (std::uint32_t i = 0; i < size_; ++i) {
        const std::uint64_t t = start_ + i;
        const SignedWide value = static_cast<SignedWide>(t) * t - c_;
        negative_[i] = value < 0;
        magnitude_[i] = static_cast<std::uint64_t>(value < 0 ? -value : value);
        rest_[i] = magnitude_[i];
        count_[i] = 0;
    }
    for (Root &root : roots_) {
        const std::uint32_t p = root.prime;
        std::uint64_t i = root.next;
        for (; i < size_; i += p) {
            std::uint64_t &rest = rest_[i];
            if (rest == 0)
                continue;
            std::uint32_t exponent = 0;
            do {
                rest /= p;
                ++exponent;
            } while (rest % p == 0);
            factors_[i * slots + count_[i]++] = {p, exponent};
        }
        root.next = static_cast<std::uint32_t>(i);
    }
    return true;
}
