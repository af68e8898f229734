// Feeds arbitrary bytes to the zone reader. Whatever it accepts must save and
// load again into the same zedit, and save a second time into the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/area_files.h"
#include "files/file_zone.h"
#include "files/fileold_zone.h"

namespace {

// The first line of the commands in a file the writer produced: the zone
// line, three texts and the four numbers come before them.
constexpr int kFirstCommandLine = 6;

// A zedit as it comes back from its own file: texts and words with their
// stand-ins, the fields a command's line does not carry back at their
// defaults, only the commands the file has lines for, and each command on the
// line the writer put it.
zs::Zedit as_saved(zs::Zedit z) {
    if (z.name.empty()) z.name = "undefined";
    if (z.roleplay_name.empty()) z.roleplay_name = "a nameless area";
    if (z.third_text.empty()) z.third_text = "none";
    std::vector<zs::Zcmd> kept;
    for (zs::Zcmd c : z.commands) {
        auto& a = c.arg;
        switch (c.command) {
            case 'M':
            case 'O':
            case 'E':
            case 'P':
            case 'T':
                break;
            case 'D':
                a[3] = a[4] = a[5] = 0;
                break;
            case 'R':
                a[2] = a[3] = a[4] = a[5] = 0;
                break;
            case 'G':
                a[2] = -1;
                a[4] = a[5] = 0;
                break;
            case 'V':
                a[4] = a[5] = 0;
                if (c.sarg1.empty()) c.sarg1 = "none";
                if (c.sarg2.empty()) c.sarg2 = "none";
                break;
            default:
                continue;
        }
        if (c.command != 'V') {
            c.sarg1.clear();
            c.sarg2.clear();
        }
        c.line = kFirstCommandLine + static_cast<int>(kept.size());
        kept.push_back(std::move(c));
    }
    z.commands = std::move(kept);
    return z;
}

void check_round_trip(const zs::Zedit& first) {
    std::string text = zs::write_zone(first).bytes;
    auto read = zs::read_zone(text, "");
    if (!read.ok || read.records.size() != 1) std::abort();
    const zs::Zedit& again = read.records[0];
    if (!(again == as_saved(first))) std::abort();
    if (zs::write_zone(again).bytes != text) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto read = zs::read_zone(bytes, "");
    // A failure gives nothing; a success exactly one zedit.
    if (read.records.size() != (read.ok ? 1u : 0u)) std::abort();
    if (read.ok) check_round_trip(read.records[0]);

    // The stock layouts, and the settings reader on the same bytes.
    for (auto layout : {zs::StockZoneLayout::TbaMud, zs::StockZoneLayout::Circle}) {
        auto stock = zs::read_stock_zone(bytes, layout);
        if (stock.records.size() != (stock.ok ? 1u : 0u)) std::abort();
    }
    zs::NullUi ui;
    zs::Workspace ws(ui);
    zs::apply_settings_text(ws, bytes);
    const zs::Options& o = ws.options();
    if (o.last_zone < -1 || o.last_zone > 327 || o.traverse_limit < -1) std::abort();
    return 0;
}
