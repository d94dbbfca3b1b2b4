#pragma once

// ThreadSanitizer of clang 14 stops at a fork after threads (a CHECK in its runtime), so a test
// that starts the program as a process of its own is left to the other builds under it.
#include <QTest>

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ZAHLENLUPE_NO_FORK_UNDER_TSAN()                                                            \
    QSKIP("ThreadSanitizer of clang 14 stops at a fork after threads; the other builds run it")
#endif
#endif
#ifndef ZAHLENLUPE_NO_FORK_UNDER_TSAN
#define ZAHLENLUPE_NO_FORK_UNDER_TSAN()
#endif
