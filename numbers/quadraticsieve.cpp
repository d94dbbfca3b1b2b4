#include "numbers/quadraticsieve.h"

#include <algorithm>

using Modular::SignedWide;

QuadraticSieve::QuadraticSieve(SignedWide c, std::uint64_t first, std::uint64_t last,
                               std::uint64_t largest)
    : c_(c), last_(last), start_(first), magnitude_(blockLength), rest_(blockLength),
      negative_(blockLength), count_(blockLength), factors_(blockLength * slots) {
    const auto bound = static_cast<std::uint32_t>(Modular::isqrt(largest) + 1);
    for (const std::uint32_t p : Modular::primesUpTo(bound)) {
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
    size_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(blockLength, last_ - start_ + 1));

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
