// MessageLog: every status text and every message-box text the builder was
// shown since the program started, each with the time it was shown, oldest
// first (the oldest go once a bound is reached); and whether the status box
// still shows a refusal that a later success has made moot. The workspace
// owns one; the editor's UI ports record into it and the Messages dock shows
// it.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace zs {

// A status text of the window's status box, a message box, a question, or
// the status line of a modal dialog.
enum class MessageKind { Status, Message, Question, DialogLine };

struct LoggedMessage {
    std::chrono::system_clock::time_point time;
    MessageKind kind = MessageKind::Status;
    std::string text;  // area bytes, as the port was given them
};

// True for a status text that says something was refused or failed ("Error:
// Invalid vnum.", "Zone 31 does not exist.", "No room selected.").
bool is_error_text(std::string_view text);

class MessageLog {
public:
    explicit MessageLog(std::size_t limit = 5000) : limit_(limit) {}

    void add(MessageKind kind, std::string_view text,
             std::chrono::system_clock::time_point when = std::chrono::system_clock::now());
    const std::deque<LoggedMessage>& entries() const { return entries_; }
    // How many were ever added, those dropped at the bound included.
    std::size_t total() const { return total_; }

    // Told of each message as it is added.
    void set_listener(std::function<void(const LoggedMessage&)> listener) {
        listener_ = std::move(listener);
    }

    // The builder began an action (a key or a click).
    void begin_action() { action_start_ = total_; }
    // The action succeeded (a step was made, a file loaded): true when the
    // status box still shows an error from before the action, which the box
    // should now drop. An error the action itself reported stays.
    bool take_stale_error();

private:
    std::size_t limit_;
    std::deque<LoggedMessage> entries_;
    std::size_t total_ = 0;
    // The status box: whether it shows an error, and the number of the
    // message it shows (its place in total_).
    bool status_error_ = false;
    std::size_t status_serial_ = 0;
    std::size_t action_start_ = 0;
    std::function<void(const LoggedMessage&)> listener_;
};

}  // namespace zs
