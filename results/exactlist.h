#pragma once

#include "numbers/exactsearch.h"

#include <memory>
#include <span>

// The rows of the exact search written to a file descriptor as they come, in the formats of the
// window's list of solutions: CSV with the header "x,y,z,primitive", or a JSON array with one
// object per line. The digits are formed here and written in large pieces, since a list can run to
// gigabytes; a slow reader behind a non-blocking pipe is waited for.
class ExactList {
public:
    enum class Format { Csv, Json };

    ExactList(int fd, Format format);

    // False once writing has failed; nothing more is written then.
    bool add(std::span<const ExactSearch::Row> rows);
    // Closes the list and writes what is left; false when any of it could not be written.
    bool finish();
    // Why writing failed (errno), 0 while it has not.
    int error() const { return m_error; }

private:
    bool spill();
    void put(const char *text, std::size_t length);
    void putNumber(std::uint64_t value);

    int m_fd;
    Format m_format;
    std::unique_ptr<char[]> m_buffer; // uninitialised: its pages are touched only as it fills
    std::size_t m_used = 0;
    bool m_first = true;
    int m_error = 0;
};
