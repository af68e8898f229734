#include "app/export_map.h"

#include <QGuiApplication>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/map_renderer.h"
#include "files/area_change.h"
#include "files/area_files.h"
#include "files/check.h"
#include "map/map_layout.h"
#include "world/numbers.h"
#include "world/workspace.h"

namespace zs {

QImage map_image(const WorldTable& world, int floor_offset, int traverse_limit, int zoom) {
    if (!world.selected_room()) return QImage();
    // Lay out on a view large enough for everything, then frame what was drawn.
    MapView view;
    view.zoom = std::clamp(zoom, kZoomMin, kZoomMax);
    const int box = view.scale().box();
    view.anchor_x = view.anchor_y = 0;
    view.floor_offset = floor_offset;
    view.traverse_limit = traverse_limit;
    view.scroll_x = view.scroll_y = -(1 << 28);
    view.client_width = 1 << 29;
    view.split_line = 1 << 29;
    const MapLayout layout = lay_out_map(world, view);
    const std::vector<MapItem>& items = layout.items;
    int left = 0, top = 0, right = 0, bottom = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MapItem& it = items[i];
        if (i == 0 || it.x < left) left = it.x;
        if (i == 0 || it.y < top) top = it.y;
        if (i == 0 || it.x + box > right) right = it.x + box;
        if (i == 0 || it.y + box > bottom) bottom = it.y + box;
    }
    const int kMargin = view.scale().of(10);
    long long w = static_cast<long long>(right) - left + 2 * kMargin;
    long long h = static_cast<long long>(bottom) - top + 2 * kMargin;
    // A map larger than this would not fit in memory as one image.
    if (w > kMaxImageSide || h > kMaxImageSide) return QImage();
    int width = std::max(1, static_cast<int>(w));
    int height = std::max(1, static_cast<int>(h));
    view.scroll_x = left - kMargin;
    view.scroll_y = top - kMargin;
    view.client_width = width;
    view.split_line = height;
    MapRenderer renderer;
    return renderer.render(world, view, width, height);
}

namespace {

class StderrUi : public UiPort {
public:
    void show_status(std::string_view) override {}
    void show_message(std::string_view text, std::string_view caption) override {
        std::string t(text);
        std::erase(t, '\r');
        if (!caption.empty()) std::cerr << caption << ": ";
        std::cerr << t << '\n';
    }
    bool ask_yes_no(std::string_view text, std::string_view caption) override {
        show_message(text, caption);
        return false;
    }
};

int usage() {
    std::cerr << "usage: zonesmith --export-map FILE.png --room VNUM [--floor N] [--scale S] "
                 "[--dir DIR] [ZONE...]\n";
    return 2;
}

}  // namespace

std::optional<int> zoom_of_scale(std::string_view text) {
    // Whole units and a fraction of at most two digits, read exactly.
    std::size_t dot = text.find('.');
    std::optional<int> whole = whole_number<int>(text.substr(0, dot));
    if (!whole || *whole < 0 || *whole > 4 || text.substr(0, dot).empty()) return std::nullopt;
    int hundredths = *whole * 100;
    if (dot != std::string_view::npos) {
        std::string_view fraction = text.substr(dot + 1);
        if (fraction.empty() || fraction.size() > 2) return std::nullopt;
        for (char c : fraction)
            if (c < '0' || c > '9') return std::nullopt;
        hundredths += (fraction[0] - '0') * 10 + (fraction.size() > 1 ? fraction[1] - '0' : 0);
    }
    if (hundredths % 25 != 0) return std::nullopt;
    int zoom = hundredths / 25;
    if (zoom < kZoomMin || zoom > kZoomMax) return std::nullopt;
    return zoom;
}

int export_map_main(int argc, char** argv) {
    // No window is opened: the offscreen platform needs no display.
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string out, dir;
    long long room = -1, floor = 0;
    int zoom = kZoomDefault;
    std::vector<int> zones;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--export-map") {
            if (!value(out)) return usage();
        } else if (a == "--room" || a == "--floor") {
            if (!value(v)) return usage();
            // Blanks before the number, as strtol skips them.
            std::optional<long long> n = whole_number(strip_blanks(v, kScanBlanks, ""));
            if (!n) return usage();
            if (a == "--floor" && (*n < -1000 || *n > 1000)) return usage();
            (a == "--room" ? room : floor) = *n;
        } else if (a == "--scale") {
            if (!value(v)) return usage();
            std::optional<int> z = zoom_of_scale(v);
            if (!z) {
                std::cerr << "zonesmith: --scale takes 0.5 to 4 in quarters (0.75, 1.5, 2 ...)\n";
                return usage();
            }
            zoom = *z;
        } else if (a == "--dir") {
            if (!value(dir)) return usage();
        } else if (!a.empty() && (std::isdigit(static_cast<unsigned char>(a[0])) || a[0] == '-')) {
            std::optional<int> n = whole_number<int>(a);
            if (!n || *n < -327 || *n > 327) return usage();
            zones.push_back(*n);
        } else {
            return usage();
        }
    }
    if (out.empty() || room < -32768 || room > 32767) return usage();

    int qt_argc = 1;
    char* qt_argv[] = {argv[0], nullptr};
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) app = std::make_unique<QGuiApplication>(qt_argc, qt_argv);
    StderrUi ui;
    Workspace ws(ui);
    if (!dir.empty()) ws.set_area_dir(dir);
    // The files must be those of one change before any is read.
    if (std::string finished = finish_interrupted_change(ws.area_dir()); !finished.empty())
        std::cerr << "zonesmith: " << finished << '\n';
    if (zones.empty()) zones = zones_in_area_dir(ws);
    RecordOrigins origins;  // only the files that exist are loaded
    load_zones_for_check(ws, zones, origins);
    int slot = ws.world().find_room(static_cast<int>(room));
    if (slot < 0) {
        std::cerr << "zonesmith: room " << room << " is not loaded\n";
        return 1;
    }
    ws.world().select_slot(slot);
    QImage image =
        map_image(ws.world(), static_cast<int>(floor), ws.options().traverse_limit, zoom);
    if (image.isNull()) {
        std::cerr << "zonesmith: the map is larger than " << kMaxImageSide << " pixels a side\n";
        return 1;
    }
    if (!image.save(QString::fromStdString(out), "PNG")) {
        std::cerr << "zonesmith: cannot write " << out << '\n';
        return 1;
    }
    return 0;
}

}  // namespace zs
