#include "numbers/legsieve.h"

LegSieve::LegSieve(std::uint32_t length)
    : m_length(length), m_magnitude(std::make_unique_for_overwrite<std::uint64_t[]>(length)),
      m_rest(std::make_unique_for_overwrite<std::uint64_t[]>(length)),
      m_negative(std::make_unique_for_overwrite<std::uint8_t[]>(length)),
      m_count(std::make_unique_for_overwrite<std::uint8_t[]>(length)),
      m_factors(std::make_unique_for_overwrite<Factor[]>(std::size_t{length} * slots)) {}
