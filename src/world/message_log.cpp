#include "world/message_log.h"

#include <array>

namespace zs {

bool is_error_text(std::string_view text) {
    constexpr std::array<std::string_view, 4> kStarts = {"Error", "No ", "Nothing ",
                                                         "Updater: Failed"};
    for (std::string_view start : kStarts)
        if (text.substr(0, start.size()) == start) return true;
    constexpr std::array<std::string_view, 5> kWithin = {" not ", " NOT ", "cannot", "failed",
                                                         "run out"};
    for (std::string_view part : kWithin)
        if (text.find(part) != std::string_view::npos) return true;
    return false;
}

void MessageLog::add(MessageKind kind, std::string_view text,
                     std::chrono::system_clock::time_point when) {
    ++total_;
    if (kind == MessageKind::Status) {
        status_error_ = is_error_text(text);
        status_serial_ = total_;
    }
    // An empty status only empties the box: there is nothing to read.
    if (text.empty()) return;
    entries_.push_back({when, kind, std::string(text)});
    while (entries_.size() > limit_)
        entries_.pop_front();
    if (listener_) listener_(entries_.back());
}

bool MessageLog::take_stale_error() {
    if (!status_error_ || status_serial_ > action_start_) return false;
    status_error_ = false;
    return true;
}

}  // namespace zs
