#pragma once

#include "numbers/deviationrange.h"

#include <cstdint>
#include <functional>
#include <gmpxx.h>
#include <stop_token>

// How many exact solutions each deviation of a range has with legs 1..maxLeg: one exact search
// per deviation, counting only, several deviations at once on worker threads. The counts come
// back on the calling thread in the order of the range, each as soon as it and every one before
// it are done, so that a long sweep shows its first rows at once and memory stays small.
//
// Between the threads there is nothing but an atomic counter that hands out the deviations, a
// stop flag, and the finished counts, which a worker puts under a lock and never touches again.
class DeviationSweep {
public:
    struct Count {
        mpz_class d;
        std::uint64_t count = 0;
        std::uint64_t above = 0; // x < y
        std::uint64_t below = 0; // x > y
        std::uint64_t diagonal = 0;
        std::uint64_t primitive = 0;
    };
    // Takes the next count; false stops the sweep (an output that failed, say).
    using Sink = std::function<bool(const Count &)>;

    // threads 0: as many as the process may run on at once.
    DeviationSweep(DeviationRange range, std::uint32_t maxLeg, bool primitiveOnly,
                   unsigned threads = 0);

    // False when the sink stopped it.
    bool run(const Sink &sink) const;

    // The solutions of one deviation, counted on one thread; only the primitive ones with
    // primitiveOnly. A stop that is requested ends the search early, with a count that means
    // nothing.
    static Count countOf(const mpz_class &d, std::uint32_t maxLeg, bool primitiveOnly,
                         std::stop_token stop = {});

private:
    DeviationRange m_range;
    std::uint32_t m_maxLeg;
    bool m_primitiveOnly;
    unsigned m_threads;
};
