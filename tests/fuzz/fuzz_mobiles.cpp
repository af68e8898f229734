// Feeds arbitrary bytes to the mobile reader in every layout. Whatever the
// current reader accepts must save and load again into the same mobiles, and
// save a second time into the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/file_mob.h"
#include "files/fileold_mob.h"

namespace {

// Texts the writer puts out with their CRs removed lose a CR that stands
// alone (the reader only makes CR LF pairs, but a damaged file can hold more).
std::string without_lone_cr(std::string t) {
    std::string out;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i] != '\r' || (i + 1 < t.size() && t[i + 1] == '\n')) out.push_back(t[i]);
    return out;
}

// What the writer leaves out: the number set without flag f of the second
// flag word, and conversations without keywords or response (their branches
// then come back one level up, so only their number is compared).
bool writes_everything(const zs::MobilePrototype& m) {
    if (m.number_set.any() && !(m.flag_words[1] & (1u << 5))) return false;
    auto complete = [](const auto& self, const std::vector<zs::Conversation>& nodes) -> bool {
        for (const auto& c : nodes)
            if (c.keywords.empty() || c.response.empty() || !self(self, c.branches)) return false;
        return true;
    };
    return complete(complete, m.conversations);
}

std::string all_text(const zs::MobileTable& mobiles) {
    std::string text;
    for (const auto& [zone, slots] : zs::slots_by_zone(mobiles))
        text += zs::write_mobiles(mobiles, slots).bytes;
    return text;
}

void adopt(zs::MobileTable& table, std::vector<zs::MobilePrototype>& records) {
    for (auto& m : records)
        zs::TableLoading(table).append(std::move(m));
}

void strip_lone_crs(std::vector<zs::Conversation>& nodes) {
    for (auto& c : nodes) {
        c.response = without_lone_cr(c.response);
        strip_lone_crs(c.branches);
    }
}

zs::MobilePrototype as_saved(zs::MobilePrototype m) {
    m.long_description = without_lone_cr(m.long_description);
    m.description = without_lone_cr(m.description);
    strip_lone_crs(m.conversations);
    for (auto& b : m.blocks)
        for (auto& t : b.texts)
            t = without_lone_cr(t);
    return m;
}

void check_round_trip(const zs::MobileTable& first) {
    zs::MobileTable second;
    for (const auto& [zone, slots] : zs::slots_by_zone(first)) {
        std::string text = zs::write_mobiles(first, slots).bytes;
        auto read = zs::read_mobiles(text, "");
        if (!read.ok) std::abort();
        adopt(second, read.records);
    }
    bool complete = true;
    for (int s = 0; s < first.count(); ++s) {
        const zs::MobilePrototype& m = first.record(s);
        if (m.zone < 0) continue;
        const zs::MobilePrototype* back = second.find_record(m.vnum);
        if (!back) std::abort();
        bool whole = writes_everything(m);
        complete = complete && whole;
        if (first.find(m.vnum) == s && whole && !(as_saved(m) == *back)) std::abort();
    }
    if (complete && all_text(second) != all_text(first)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto read_and_check = [bytes](const zs::MobileLayout& layout, bool report) {
        auto read = zs::read_mobiles_layout(bytes, "", layout, report);
        if (!read.ok) return;
        zs::MobileTable table;
        adopt(table, read.records);
        check_round_trip(table);
    };
    read_and_check(zs::kCurrentMobileLayout, true);
    for (const auto& layout : zs::kLegacyMobileLayouts)
        read_and_check(layout, false);
    return 0;
}
