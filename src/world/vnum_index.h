// VnumIndex: the first table slot that holds a vnum, in constant time.
// Tables keep it right through every append, insert, erase and truncation;
// duplicate vnums are counted so that erasing the first of them finds the
// next one.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace zs {

class VnumIndex {
public:
    // First slot holding the vnum, or -1.
    int first(int vnum) const {
        unsigned k = key(vnum);
        if (k >= kSize) return -1;
        const Page* p = pages_[k >> kPageBits].get();
        return p ? p->first[k & kPageMask] : -1;
    }

    // How many slots hold the vnum.
    unsigned count(int vnum) const {
        unsigned k = key(vnum);
        if (k >= kSize) return 0;
        const Page* p = pages_[k >> kPageBits].get();
        return p ? p->count[k & kPageMask] : 0;
    }

    void clear() {
        for (auto& p : pages_)
            p.reset();
    }

    // A record with `vnum` was added at the end, in `slot`.
    void appended(int vnum, int slot) {
        Entry e = entry(vnum);
        if (*e.first < 0) *e.first = slot;
        ++*e.count;
    }

    // A record with `vnum` was inserted at `slot`; records from there on moved
    // up by one. `vnum_at(s)` gives the vnum now in slot s; `size` the count.
    template <class VnumAt>
    void inserted(int vnum, int slot, int size, VnumAt vnum_at) {
        // Walk down so that of two duplicates the later one is moved first.
        for (int s = size - 1; s > slot; --s) {
            std::int32_t& f = *entry(vnum_at(s)).first;
            if (f == s - 1) f = s;
        }
        Entry e = entry(vnum);
        if (*e.first < 0 || *e.first > slot) *e.first = slot;
        ++*e.count;
    }

    // The record with `vnum` in `slot` was erased; later records moved down.
    template <class VnumAt>
    void erased(int vnum, int slot, int size, VnumAt vnum_at) {
        Entry e = entry(vnum);
        --*e.count;
        bool was_first = *e.first == slot;
        if (was_first) *e.first = -1;
        for (int s = slot; s < size; ++s) {
            int v = vnum_at(s);
            std::int32_t& f = *entry(v).first;
            if (f == s + 1) f = s;
            if (was_first && v == vnum && f < 0) f = s;
        }
    }

    // The record with `vnum` in the last slot, `slot`, was removed.
    void removed_last(int vnum, int slot) {
        Entry e = entry(vnum);
        --*e.count;
        if (*e.first == slot) *e.first = -1;
    }

private:
    // Vnums are 16-bit; pages of 256 entries are made as vnums turn up, so a
    // small world costs little and a lookup stays two array reads.
    static constexpr unsigned kSize = 65536;
    static constexpr unsigned kPageBits = 8;
    static constexpr unsigned kPageMask = (1u << kPageBits) - 1;
    struct Page {
        Page() {
            for (auto& f : first)
                f = -1;
        }
        std::int32_t first[1u << kPageBits];
        std::uint32_t count[1u << kPageBits] = {};
    };
    struct Entry {
        std::int32_t* first;
        std::uint32_t* count;
    };

    static unsigned key(int vnum) { return static_cast<unsigned>(vnum) + 32768u; }
    Entry entry(int vnum) {
        unsigned k = key(vnum);
        auto& page = pages_[k >> kPageBits];
        if (!page) page = std::make_unique<Page>();
        return {&page->first[k & kPageMask], &page->count[k & kPageMask]};
    }

    std::array<std::unique_ptr<Page>, (kSize >> kPageBits)> pages_;
};

}  // namespace zs
