// Feeds arbitrary bytes to the object reader in every layout. Whatever the
// current reader accepts must save and load again into the same objects, and
// save a second time into the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/file_obj.h"

namespace {

// Texts the writer puts out with their CRs removed lose a CR that stands
// alone (the reader only makes CR LF pairs, but a damaged file can hold more).
std::string without_lone_cr(std::string t) {
    std::string out;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i] != '\r' || (i + 1 < t.size() && t[i + 1] == '\n')) out.push_back(t[i]);
    return out;
}

zs::ObjectPrototype as_saved(zs::ObjectPrototype o) {
    for (std::string* t : {&o.keywords, &o.short_description, &o.long_description})
        if (t->empty()) *t = "undefined";
    for (std::string* t : {&o.look_description, &o.text5, &o.text6, &o.text7, &o.text8})
        *t = without_lone_cr(*t);
    for (auto& ed : o.extra_descriptions)
        ed.description = without_lone_cr(ed.description);
    std::erase_if(o.extra_descriptions,
                  [](const auto& ed) { return ed.keyword.empty() || ed.description.empty(); });
    return o;
}

std::string all_text(const zs::ObjectTable& objects) {
    std::string text;
    for (const auto& [zone, slots] : zs::slots_by_zone(objects))
        text += zs::write_objects(objects, slots).bytes;
    return text;
}

void adopt(zs::ObjectTable& table, std::vector<zs::ObjectPrototype>& records) {
    for (auto& o : records)
        zs::TableLoading(table).append(std::move(o));
}

void check_round_trip(const zs::ObjectTable& first) {
    zs::ObjectTable second;
    for (const auto& [zone, slots] : zs::slots_by_zone(first)) {
        std::string text = zs::write_objects(first, slots).bytes;
        auto read = zs::read_objects(text, "");
        if (!read.ok) std::abort();
        adopt(second, read.records);
    }
    int kept = 0;
    for (int s = 0; s < first.count(); ++s) {
        const zs::ObjectPrototype& o = first.record(s);
        if (o.zone < 0) continue;  // negative zones are never saved
        ++kept;
        const zs::ObjectPrototype* back = second.find_record(o.vnum);
        if (!back) std::abort();
        if (first.find(o.vnum) == s && !(as_saved(o) == *back)) std::abort();
    }
    if (second.count() != kept) std::abort();
    if (all_text(second) != all_text(first)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (auto layout :
         {zs::ObjectLayout::Current, zs::ObjectLayout::TbaMud, zs::ObjectLayout::Circle3}) {
        auto read = zs::read_objects_layout(bytes, "", layout, false);
        if (!read.ok) continue;
        zs::ObjectTable table;
        adopt(table, read.records);
        check_round_trip(table);
    }
    return 0;
}
