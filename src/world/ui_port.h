// UiPort: the one way the core talks to the builder. Loaders, writers and
// editors report through it; the editor window shows status texts and modal
// boxes, the command-line tool prints, tests record and answer from a script.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zs {

class UiPort {
public:
    virtual ~UiPort() = default;
    // Replaces the text of the status box.
    virtual void show_status(std::string_view text) = 0;
    // A modal message box with an OK button; an empty caption means the
    // platform's default caption.
    virtual void show_message(std::string_view text, std::string_view caption = {}) = 0;
    // A modal Yes/No question; true for Yes.
    virtual bool ask_yes_no(std::string_view text, std::string_view caption = {}) = 0;
    // The open-file dialog: one filter (its caption and pattern), starting in
    // `dir`, existing files only. Nothing when the builder cancels; a port
    // with no dialogs always gives nothing.
    virtual std::optional<std::string> choose_file_to_open(std::string_view /*filter_caption*/,
                                                           std::string_view /*pattern*/,
                                                           const std::filesystem::path& /*dir*/) {
        return std::nullopt;
    }
    // A fault a file's load met that did not stop it (a text the game cannot
    // hold), after its box: for tools that list the problems of many files.
    // `file` is the file's name, `line` where the fault stands.
    virtual void load_problem(std::string_view /*file*/, int /*line*/,
                              std::string_view /*message*/) {}
};

// Silently accepts everything and answers No; for batch work with no one to ask.
class NullUi : public UiPort {
public:
    void show_status(std::string_view) override {}
    void show_message(std::string_view, std::string_view) override {}
    bool ask_yes_no(std::string_view, std::string_view) override { return false; }
};

}  // namespace zs
