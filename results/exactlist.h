#pragma once

#include "numbers/exactsearch.h"

#include <cstdio>
#include <memory>
#include <span>

// The rows of the exact search written to a stream as they come, in the formats of the window's
// list of solutions: CSV with the header "x,y,z,primitive", or a JSON array with one object per
// line. The digits are formed here and written in large pieces, since a list can run to
// gigabytes.
class ExactList {
public:
    enum class Format { Csv, Json };

    ExactList(std::FILE *stream, Format format);

    // False once writing has failed; nothing more is written then.
    bool add(std::span<const ExactSearch::Row> rows);
    // Closes the list and flushes the stream; false when any of it could not be written.
    bool finish();

private:
    bool spill();
    void put(const char *text, std::size_t length);
    void putNumber(std::uint64_t value);

    std::FILE *stream_;
    Format format_;
    std::unique_ptr<char[]> buffer_; // uninitialised: its pages are touched only as it fills
    std::size_t used_ = 0;
    bool first_ = true;
    bool failed_ = false;
};
