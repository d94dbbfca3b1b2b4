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
    int error() const { return error_; }

private:
    bool spill();
    void put(const char *text, std::size_t length);
    void putNumber(std::uint64_t value);

    int fd_;
    Format format_;
    std::unique_ptr<char[]> buffer_; // uninitialised: its pages are touched only as it fills
    std::size_t used_ = 0;
    bool first_ = true;
    int error_ = 0;
};
