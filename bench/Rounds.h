// Repetition-by-repetition interleaving: on a shared machine a run of one
// contestant after another mostly measures who ran while the neighbours were
// busy. Each round runs every contestant once, in an order that rotates from
// round to round, so that all of them meet the same load and none always
// follows the same neighbour. Header-only; each benchmark is one program.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bench/MemoryFloor.h"

namespace bench {

// The round count from a benchmark's command line, `program [rounds]`, or
// 0 after printing the usage when the line is not that.
inline int RoundsFromArguments(int argc, char** argv, int defaultRounds) {
    if (argc == 1) return defaultRounds;
    char* end = argv[argc - 1];
    const long rounds = argc == 2 ? std::strtol(argv[1], &end, 10) : 0;
    if (*end == '\0' && rounds >= 1 && rounds <= 1000) return static_cast<int>(rounds);
    std::fprintf(stderr, "usage: %s [rounds, 1..1000; default %d]\n", argv[0], defaultRounds);
    return 0;
}

struct Contestant {
    std::function<void()> prepare;  // untimed, right before each timed run
    std::function<void()> run;      // timed
};

// Milliseconds of every timed run, times[contestant][round], after one
// untimed round that warms caches and code up.
inline std::vector<std::vector<double>> Interleave(const std::vector<Contestant>& contestants, int rounds) {
    const std::size_t n = contestants.size();
    std::vector<std::vector<double>> times(n);
    for (int round = -1; round < rounds; ++round) {
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t who = (i + static_cast<std::size_t>(round + 1)) % n;
            contestants[who].prepare();
            const auto start = Clock::now();
            contestants[who].run();
            const auto end = Clock::now();
            if (round >= 0) times[who].push_back(Ms(end - start));
        }
    }
    return times;
}

// a + sign * b, round by round, so that both parts of each sum or
// difference ran under the same load.
inline std::vector<double> RoundByRound(const std::vector<double>& a, double sign,
                                        const std::vector<double>& b) {
    std::vector<double> combined;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) combined.push_back(a[i] + sign * b[i]);
    return combined;
}

// How far a typical round strays from the median: half the interquartile
// range, as a fraction of the median.
inline double Spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return (values[(3 * n) / 4] - values[n / 4]) / 2.0 / values[n / 2];
}

}  // namespace bench
