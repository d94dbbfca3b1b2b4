#include "results/listwriter.h"

#include "results/output.h"

#include <cstring>

namespace {

constexpr std::size_t capacity = 1 << 20;
// Room for one row whose z fits in 64 bits.
constexpr std::size_t rowRoom = 128;

} // namespace

ListWriter::ListWriter(Format format, Sink sink)
    : m_format(format), m_sink(std::move(sink)),
      m_buffer(std::make_unique_for_overwrite<char[]>(capacity)) {
    if (m_format == Format::Csv)
        put("x,y,z,primitive\n", 16);
    else
        put("[", 1);
}

void ListWriter::put(const char *text, std::size_t length) {
    std::memcpy(m_buffer.get() + m_used, text, length);
    m_used += length;
}

void ListWriter::putNumber(std::uint64_t value) {
    // Two digits at a time from a table, straight into the buffer: the list is mostly digits.
    static constexpr char pairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233"
        "34353637383940414243444546474849505152535455565758596061626364656667"
        "6869707172737475767778798081828384858687888990919293949596979899";
    std::size_t length = 1;
    for (std::uint64_t rest = value; rest >= 10; rest /= 10)
        ++length;
    char *out = m_buffer.get() + m_used + length;
    m_used += length;
    while (value >= 100) {
        const auto pair = static_cast<std::size_t>(value % 100) * 2;
        value /= 100;
        *--out = pairs[pair + 1];
        *--out = pairs[pair];
    }
    if (value >= 10) {
        *--out = pairs[value * 2 + 1];
        *--out = pairs[value * 2];
    } else {
        *--out = static_cast<char>('0' + value);
    }
}

ListWriter::Sink ListWriter::toDescriptor(int fd) {
    return [fd](const char *data, std::size_t size) { return Output::writeAll(fd, data, size); };
}

Failure ListWriter::spill() {
    if (!m_failure && m_used > 0)
        m_failure = m_sink(m_buffer.get(), m_used);
    m_used = 0;
    return m_failure;
}

Failure ListWriter::add(std::span<const ExactSearch::Row> rows) {
    const bool json = m_format == Format::Json;
    for (const ExactSearch::Row &row : rows) {
        if (m_used + rowRoom > capacity)
            if (Failure failed = spill())
                return failed;
        if (json) {
            put(m_first ? "\n  {\"x\": " : ",\n  {\"x\": ", m_first ? 9 : 10);
            putNumber(row.x);
            put(", \"y\": ", 7);
            putNumber(row.y);
            put(", \"z\": ", 7);
        } else {
            putNumber(row.x);
            put(",", 1);
            putNumber(row.y);
            put(",", 1);
        }
        m_first = false;
        if (row.bigZ) {
            // A z of thousands of digits goes out on its own.
            if (Failure failed = spill())
                return failed;
            if ((m_failure = m_sink(row.bigZ->data(), row.bigZ->size())))
                return m_failure;
        } else {
            putNumber(row.z);
        }
        if (json)
            put(row.primitive ? ", \"primitive\": true}" : ", \"primitive\": false}",
                row.primitive ? 20 : 21);
        else
            put(row.primitive ? ",true\n" : ",false\n", row.primitive ? 6 : 7);
    }
    return m_failure;
}

Failure ListWriter::finish() {
    if (m_format == Format::Json)
        put(m_first ? "]\n" : "\n]\n", m_first ? 2 : 3);
    return spill();
}
