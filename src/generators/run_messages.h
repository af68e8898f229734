// RunMessages: how a generator run tells the builder of its errors. Every
// text goes to the UiPort as a message box without caption, but only the
// first time in the run: a fault that repeats for every room is shown once.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "world/ui_port.h"

namespace zs {

class RunMessages {
public:
    explicit RunMessages(UiPort& ui) : ui_(&ui) {}
    void show(std::string_view text) {
        if (shown_.emplace(text).second) ui_->show_message(text, {});
    }

private:
    UiPort* ui_;
    std::set<std::string, std::less<>> shown_;
};

}  // namespace zs
