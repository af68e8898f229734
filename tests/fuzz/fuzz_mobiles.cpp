// Feeds arbitrary bytes to the mobile reader in every layout. Whatever the
// current reader accepts must save and load again into the same mobiles, and
// save a second time into the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/file_mob.h"
#include "world/text.h"
#include "world/workspace.h"

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

std::string all_text(zs::Workspace& ws) {
    std::string text;
    for (const auto& [zone, slots] : zs::slots_by_zone(ws.mobiles()))
        text += zs::mobiles_file_text(ws, zone);
    return text;
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

void check_round_trip(zs::Workspace& first) {
    zs::NullUi ui;
    zs::Workspace second(ui);
    for (const auto& [zone, slots] : zs::slots_by_zone(first.mobiles())) {
        std::string text = zs::mobiles_file_text(first, zone);
        zs::TextReader reader(text);
        if (!zs::parse_mobiles(second, reader, zs::kCurrentMobileLayout, true)) std::abort();
    }
    bool complete = true;
    for (int s = 0; s < first.mobiles().count(); ++s) {
        const zs::MobilePrototype& m = first.mobiles().record(s);
        if (m.zone < 0) continue;
        const zs::MobilePrototype* back = second.mobiles().find_record(m.vnum);
        if (!back) std::abort();
        bool whole = writes_everything(m);
        complete = complete && whole;
        if (first.mobiles().find(m.vnum) == s && whole && !(as_saved(m) == *back)) std::abort();
    }
    if (complete && all_text(second) != all_text(first)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    zs::NullUi ui;
    {
        zs::Workspace ws(ui);
        zs::TextReader reader(bytes);
        if (zs::parse_mobiles(ws, reader, zs::kCurrentMobileLayout, true)) check_round_trip(ws);
    }
    for (const auto& layout : zs::kLegacyMobileLayouts) {
        zs::Workspace ws(ui);
        zs::TextReader reader(bytes);
        if (zs::parse_mobiles(ws, reader, layout, false)) check_round_trip(ws);
    }
    return 0;
}
