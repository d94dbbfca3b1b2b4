// The exact search on one thread and on every core: whole counts in child processes, so that
// each case's peak memory is its own (the kernel's record of a child, from wait4). Prints medians
// in milliseconds, the processor time of all threads together (so that the work running in
// parallel adds can be told from the time other processes take) and the peak in MB, one line per
// case, and checks that every thread count gives the same numbers. ZAHLENLUPE_BENCH_BILLION=1 adds
// legs up to 10⁹ for d = 0 (one run).
#include "numbers/exactsearch.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

struct Summary {
    double median = 0;
    double min = 0;
    double max = 0;
};

Summary summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return {n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2, samples.front(),
            samples.back()};
}

// cpu: the median of the child's processor time, all its threads together.
void report(const char *name, int runs, const Summary &s, double mb, double cpu) {
    std::printf("%-40s runs %2d  median %8.1f ms  min %8.1f  max %8.1f  cpu %8.1f ms  peak %6.1f "
                "MB\n",
                name, runs, s.median, s.min, s.max, cpu, mb);
}

// One case in this process: the search's time and its counts on standard output. The counts
// come from run() when `rows` is set: every row formed and handed over, none kept.
int child(const char *max, const char *deviation, const char *threads, bool rows) {
    ExactSearch search(mpz_class(deviation), static_cast<std::uint32_t>(std::atoll(max)));
    search.setThreads(static_cast<unsigned>(std::atoi(threads)));
    const auto start = std::chrono::steady_clock::now();
    ExactSearch::Counts counts;
    if (rows) {
        search.run(
            [&counts](std::span<const ExactSearch::Row> found) {
                for (const ExactSearch::Row &row : found)
                    counts.add(row.x, row.y, row.primitive);
                return true;
            },
            [](double) {}, ExactSearch::Order::Any);
    } else {
        counts = *search.count([](double) {});
    }
    const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - start;
    std::printf("%.3f %" PRIu64 " %" PRIu64 " %" PRIu64 " %" PRIu64 " %" PRIu64 "\n", ms.count(),
                counts.count(), counts.above, counts.below, counts.diagonal, counts.primitive());
    return 0;
}

struct Run {
    double ms = -1;
    double mb = 0;
    double cpu = 0;
    std::string counts;
};

Run runChild(const char *self, const std::string &max, const std::string &d, unsigned threads,
             bool rows) {
    const std::string threadText = std::to_string(threads);
    std::vector<std::string> words{self, "--child", max, d, threadText, rows ? "rows" : "count"};
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    Run run;
    pid_t pid = 0;
    if (posix_spawn(&pid, self, &actions, nullptr, argv.data(), environ) == 0) {
        close(pipeEnds[1]);
        std::string text;
        char buffer[256];
        for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(n));
        int status = 0;
        rusage usage{};
        // This process stays small, so the child's peak, which counts what it shared with this
        // process before it started, is the search's own.
        if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) &&
            WEXITSTATUS(status) == 0 && !text.empty()) {
            run.ms = std::strtod(text.c_str(), nullptr);
            run.mb = static_cast<double>(usage.ru_maxrss) / 1024.0;
            run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                      static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
            run.counts = text.substr(text.find(' ') + 1);
        }
    } else {
        close(pipeEnds[1]);
    }
    close(pipeEnds[0]);
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// runs runs of one case: the median time, the peak memory, and the counts they agreed on.
std::optional<std::pair<Summary, Run>> measure(const char *self, const std::string &max,
                                               const std::string &d, unsigned threads, bool rows,
                                               int runs) {
    std::vector<double> times;
    std::vector<double> cpu;
    Run last;
    double peak = 0;
    for (int i = 0; i < runs; ++i) {
        const Run run = runChild(self, max, d, threads, rows);
        if (run.ms < 0 || (i > 0 && run.counts != last.counts))
            return std::nullopt;
        times.push_back(run.ms);
        cpu.push_back(run.cpu);
        peak = std::max(peak, run.mb);
        last = run;
    }
    last.mb = peak;
    last.cpu = summarise(cpu).median;
    return std::pair(summarise(times), last);
}

const char *powerName(const std::string &max) {
    return max == "1000000"      ? "10^6"
           : max == "10000000"   ? "10^7"
           : max == "100000000"  ? "10^8"
           : max == "1000000000" ? "10^9"
                                 : max.c_str();
}

// One case on one thread and on all cores, with the speed-up and whether the counts agree.
void compare(const char *self, const std::string &max, const std::string &d, bool rows, int runs,
             unsigned cores) {
    std::optional<std::pair<Summary, Run>> results[2];
    const unsigned threadCounts[2] = {1, cores};
    for (int k = 0; k < 2; ++k) {
        results[k] = measure(self, max, d, threadCounts[k], rows, runs);
        const std::string name = std::string(rows ? "rows " : "count ") + "N = " + powerName(max) +
                                 ", d = " + d + ", " + std::to_string(threadCounts[k]) +
                                 (threadCounts[k] == 1 ? " thread" : " threads");
        if (!results[k]) {
            std::printf("%-44s a run failed or runs disagreed\n", name.c_str());
            return;
        }
        report(name.c_str(), runs, results[k]->first, results[k]->second.mb,
               results[k]->second.cpu);
    }
    const bool same = results[0]->second.counts == results[1]->second.counts;
    std::printf("%-44s %.2f times faster on %u threads; counts %s\n", "",
                results[0]->first.median / results[1]->first.median, cores,
                same ? "identical" : "DIFFER");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc == 6 && std::strcmp(argv[1], "--child") == 0)
        return child(argv[2], argv[3], argv[4], std::strcmp(argv[5], "rows") == 0);
    const char *self = argv[0];
    const unsigned cores = ExactSearch::availableCores();
    std::printf("exact search, %u cores available; counts in child processes\n", cores);
    std::fflush(stdout);
    for (const char *d : {"0", "1", "-1"})
        compare(self, "1000000", d, false, 7, cores);
    for (const char *d : {"0", "1", "-1"})
        compare(self, "10000000", d, false, 5, cores);
    // d = 0 once more through the rows, as the list forms them: the sieve rather than Euclid.
    compare(self, "10000000", "0", true, 3, cores);
    const auto big = measure(self, "100000000", "0", cores, false, 3);
    const std::string name = "count N = 10^8, d = 0, " + std::to_string(cores) + " threads";
    if (big)
        report(name.c_str(), 3, big->first, big->second.mb, big->second.cpu);
    else
        std::printf("%-44s a run failed\n", name.c_str());
    if (const char *billion = std::getenv("ZAHLENLUPE_BENCH_BILLION");
        billion && std::strcmp(billion, "1") == 0) {
        const auto big = measure(self, "1000000000", "0", cores, false, 1);
        const std::string name = "count N = 10^9, d = 0, " + std::to_string(cores) + " threads";
        if (big) {
            report(name.c_str(), 1, big->first, big->second.mb, big->second.cpu);
            std::printf("%-44s counts %s", "", big->second.counts.c_str());
        } else {
            std::printf("%-44s a run failed\n", name.c_str());
        }
    }
    return 0;
}
