// Random: the generators' random numbers, an additive lagged-Fibonacci
// generator over 55 words of 30 bits. One object is passed to every draw of a
// run, so a run is reproduced by its seed; there is no global generator.
#pragma once

#include <array>
#include <cstdint>

namespace zs {

class Random {
public:
    // Word 0 is the seed (the program seeds with the time in seconds) masked
    // to 30 bits, word 1 is 1, and each further word is the sum of the two
    // before it.
    explicit Random(std::uint64_t seed);

    // The next value: the sum of the two lagged words, 30 bits, shifted
    // right by 6 (so below 2^24).
    std::uint32_t next();
    // A number in [lo, hi], uniform: values are drawn under the smallest
    // power of two not below the span until one falls inside it. A span
    // below 2 gives lo.
    int between(int lo, int hi);

private:
    static constexpr int kWords = 55;
    static constexpr std::uint32_t kMask = (1u << 30) - 1;
    std::array<std::uint32_t, kWords> words_{};
    int j_ = 0;
    int k_ = 31;
};

}  // namespace zs
