// FakeUi: records everything the core tells the builder and answers Yes/No
// questions from a script (No once the script runs out).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "world/ui_port.h"

namespace zs::test {

struct Shown {
    std::string text;
    std::string caption;
    bool operator==(const Shown&) const = default;
};

class FakeUi : public UiPort {
public:
    void show_status(std::string_view text) override { statuses.emplace_back(text); }
    void show_message(std::string_view text, std::string_view caption) override {
        messages.push_back({std::string(text), std::string(caption)});
    }
    bool ask_yes_no(std::string_view text, std::string_view caption) override {
        questions.push_back({std::string(text), std::string(caption)});
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }

    // Answers the next questions, in order.
    void answer(std::initializer_list<bool> a) { answers.insert(answers.end(), a); }
    void always_yes() { answers.assign(64, true); }
    std::string last_status() const { return statuses.empty() ? std::string() : statuses.back(); }
    std::vector<std::string> message_texts() const;
    void clear() {
        statuses.clear();
        messages.clear();
        questions.clear();
    }

    std::vector<std::string> statuses;
    std::vector<Shown> messages;
    std::vector<Shown> questions;
    std::deque<bool> answers;
};

}  // namespace zs::test
