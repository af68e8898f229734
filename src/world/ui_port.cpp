#include "world/ui_port.h"

#include <string>

namespace zs {

namespace {
std::string with_detail(std::string_view head, std::string_view detail) {
    std::string text(head);
    if (!detail.empty()) {
        text += "\r\n";
        text += detail;
    }
    return text;
}
}  // namespace

void world_load_error(UiPort& ui, std::string_view detail) {
    ui.show_message(with_detail("There was an error loading the world file.", detail));
}

void object_load_error(UiPort& ui, std::string_view detail) {
    ui.show_message(with_detail("There was an error loading the obj file.", detail));
    ui.show_status("Error loading obj file.");
}

void mobile_load_error(UiPort& ui, std::string_view detail) {
    ui.show_message(with_detail("There was an error loading the mob file.", detail));
    ui.show_status("Error loading mob file.");
}

void zone_load_error(UiPort& ui, std::string_view detail) {
    ui.show_message(with_detail("There was an error loading the zone file.", detail));
    ui.show_status("Error loading zone file.");
}

void string_error(UiPort& ui, std::string_view detail) {
    ui.show_message(with_detail("There was an error loading a string in the file.", detail),
                    "String Error");
}

}  // namespace zs
