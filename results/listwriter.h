#pragma once

#include "numbers/exactsearch.h"
#include "results/failure.h"

#include <functional>
#include <memory>
#include <span>

// The one writer of the list of solutions, for the window's list and the exact search's alike: CSV
// with the header "x,y,z,primitive" and one line a row, or a JSON array with one object a line.
// Rows come in pieces as a search finds them; the digits are formed here and handed on in large
// pieces, since a list can run to gigabytes.
class ListWriter {
public:
    enum class Format { Csv, Json };
    // Where the text goes: it takes every byte or fails.
    using Sink = std::function<Failure(const char *data, std::size_t size)>;

    ListWriter(Format format, Sink sink);
    // A file descriptor, written the careful way (results/output.h): a slow reader behind a
    // non-blocking pipe is waited for.
    static Sink toDescriptor(int fd);

    // Fails once writing has failed; nothing more is written then.
    Failure add(std::span<const ExactSearch::Row> rows);
    // Closes the list and hands on what is left.
    Failure finish();

private:
    Failure spill();
    void put(const char *text, std::size_t length);
    void putNumber(std::uint64_t value);

    Format m_format;
    Sink m_sink;
    std::unique_ptr<char[]> m_buffer; // uninitialised: its pages are touched only as it fills
    std::size_t m_used = 0;
    bool m_first = true;
    Failure m_failure;
};
