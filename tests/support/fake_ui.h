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
        if (answers.empty()) return yes_to_all;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }

    std::optional<std::string> choose_file_to_open(std::string_view caption,
                                                   std::string_view pattern,
                                                   const std::filesystem::path&) override {
        file_dialogs.push_back(std::string(caption) + "|" + std::string(pattern));
        if (files.empty()) return std::nullopt;
        std::string f = files.front();
        files.pop_front();
        return f;
    }

    // Answers the next questions, in order.
    void answer(std::initializer_list<bool> a) { answers.insert(answers.end(), a); }
    void always_yes() { yes_to_all = true; }
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
    bool yes_to_all = false;                // the answer once `answers` runs out
    std::vector<std::string> file_dialogs;  // "caption|pattern" of each dialog shown
    std::deque<std::string> files;          // what the next dialogs give
};

}  // namespace zs::test
