#pragma once

// White noise for tests and benchmarks: `count` 16-bit samples drawn uniformly from
// [-amplitude, amplitude] (at most 32767 upward; the default 32768 spans the whole 16-bit
// range) by std::mt19937 from `seed`. One seed gives the same samples on every run.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace wt::test {

inline std::vector<int16_t> noise(size_t count, unsigned seed, int amplitude = 32768) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> dist(-amplitude, std::min(amplitude, 32767));
    std::vector<int16_t> samples(count);
    for (auto& s : samples) s = static_cast<int16_t>(dist(rng));
    return samples;
}

}  // namespace wt::test
