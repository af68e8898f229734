#include "generators/random.h"

namespace zs {

Random::Random(std::uint64_t seed) {
    words_[0] = static_cast<std::uint32_t>(seed) & kMask;
    words_[1] = 1;
    for (int i = 2; i < kWords; ++i)
        words_[i] = (words_[i - 1] + words_[i - 2]) & kMask;
}

std::uint32_t Random::next() {
    std::uint32_t v = (words_[j_] + words_[k_]) & kMask;
    words_[j_] = v;
    j_ = (j_ + 1) % kWords;
    k_ = (k_ + 1) % kWords;
    return v >> 6;
}

int Random::between(int lo, int hi) {
    long long n = static_cast<long long>(hi) - lo + 1;
    if (n < 2) return lo;
    long long m = 2;
    while (m < n)
        m *= 2;
    for (;;) {
        long long r = next() & (m - 1);
        if (r < n) return static_cast<int>(lo + r);
    }
}

}  // namespace zs
