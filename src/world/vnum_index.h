// VnumIndex: the first table slot that holds a vnum, in constant time.
// Tables keep it right through every append, insert, erase and truncation;
// duplicate vnums are counted so that erasing the first of them finds the
// next one.
#pragma once

#include <cstdint>
#include <vector>

namespace zs {

class VnumIndex {
public:
    VnumIndex() : first_(kSize, -1), count_(kSize, 0) {}

    // First slot holding the vnum, or -1.
    int first(int vnum) const {
        unsigned k = key(vnum);
        return k < kSize ? first_[k] : -1;
    }

    void clear() {
        first_.assign(kSize, -1);
        count_.assign(kSize, 0);
    }

    // A record with `vnum` was added at the end, in `slot`.
    void appended(int vnum, int slot) {
        unsigned k = key(vnum);
        if (first_[k] < 0) first_[k] = slot;
        ++count_[k];
    }

    // A record with `vnum` was inserted at `slot`; records from there on moved
    // up by one. `vnum_at(s)` gives the vnum now in slot s; `size` the count.
    template <class VnumAt>
    void inserted(int vnum, int slot, int size, VnumAt vnum_at) {
        // Walk down so that of two duplicates the later one is moved first.
        for (int s = size - 1; s > slot; --s) {
            unsigned k = key(vnum_at(s));
            if (first_[k] == s - 1) first_[k] = s;
        }
        unsigned k = key(vnum);
        if (first_[k] < 0 || first_[k] > slot) first_[k] = slot;
        ++count_[k];
    }

    // The record with `vnum` in `slot` was erased; later records moved down.
    template <class VnumAt>
    void erased(int vnum, int slot, int size, VnumAt vnum_at) {
        unsigned k = key(vnum);
        --count_[k];
        bool was_first = first_[k] == slot;
        if (was_first) first_[k] = -1;
        for (int s = slot; s < size; ++s) {
            unsigned ks = key(vnum_at(s));
            if (first_[ks] == s + 1) first_[ks] = s;
            if (was_first && ks == k && first_[k] < 0) first_[k] = s;
        }
    }

    // The record with `vnum` in the last slot, `slot`, was removed.
    void removed_last(int vnum, int slot) {
        unsigned k = key(vnum);
        --count_[k];
        if (first_[k] == slot) first_[k] = -1;
    }

private:
    static constexpr unsigned kSize = 65536;
    static unsigned key(int vnum) { return static_cast<unsigned>(vnum + 32768); }

    std::vector<std::int32_t> first_;
    std::vector<std::uint32_t> count_;
};

}  // namespace zs
