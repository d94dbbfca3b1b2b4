#include "numbers/exactsearch.h"

#include "numbers/euclidcount.h"
#include "numbers/hypotenusesearch.h"
#include "numbers/legsearch.h"

#include <algorithm>
#include <sched.h>
#include <thread>
#include <utility>

ExactSearch::Counts &ExactSearch::Counts::operator+=(const Counts &other) {
    above += other.above;
    below += other.below;
    diagonal += other.diagonal;
    primitiveAbove += other.primitiveAbove;
    primitiveBelow += other.primitiveBelow;
    primitiveDiagonal += other.primitiveDiagonal;
    return *this;
}

ExactSearch::ExactSearch(mpz_class deviation, std::uint32_t maxLeg)
    : m_d(std::move(deviation)), m_max(maxLeg), m_first(1), m_last(maxLeg),
      m_threads(availableCores()) {}

unsigned ExactSearch::availableCores() {
    // The cores this process may use, which a container or taskset may keep below the machine's.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
    return std::max(std::thread::hardware_concurrency(), 1U);
}

void ExactSearch::setThreads(unsigned threads) { m_threads = std::clamp(threads, 1U, 1024U); }

void ExactSearch::setLegs(std::uint32_t first, std::uint32_t last) {
    m_first = std::max<std::uint32_t>(first, 1);
    m_last = std::min(last, m_max);
}

bool ExactSearch::byLegs() const {
    // Down to −4·max² the values x² − d stay below 5·max² and their sieve below √5·max.
    const std::uint64_t square = std::uint64_t{m_max} * m_max;
    return m_d >= -mpz_class(4 * square);
}

bool ExactSearch::run(const Sink &sink, const Progress &progress, Order order,
                      std::stop_token stop) const {
    const std::uint64_t square = std::uint64_t{m_max} * m_max;
    if (m_first > m_last || m_d > mpz_class(2 * square))
        return true; // x² + y² − d < 0 for every pair
    if (byLegs())
        return LegSearch(m_d.get_si(), m_max, m_first, m_last, m_threads)
            .rows(sink, progress, order, stop);
    return HypotenuseSearch(-m_d, m_max, m_first, m_last, m_threads)
        .rows(sink, progress, order, stop);
}

std::optional<ExactSearch::Counts> ExactSearch::count(const Progress &progress,
                                                      std::stop_token stop) const {
    const std::uint64_t square = std::uint64_t{m_max} * m_max;
    if (m_first > m_last || m_d > mpz_class(2 * square))
        return Counts{};
    if (m_d == 0)
        return EuclidCount(m_max, m_first, m_last, m_threads).run(progress, stop);
    if (byLegs())
        return LegSearch(m_d.get_si(), m_max, m_first, m_last, m_threads).counts(progress, stop);
    return HypotenuseSearch(-m_d, m_max, m_first, m_last, m_threads).counts(progress, stop);
}
