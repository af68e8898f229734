// The prologue every zonesmith-cli command shares: the usage text, the
// common options parsed into Options, the terminal's UiPort (CliUi), the
// command's workspace, loading the files named, and the small helpers of
// usage errors and output directories. Each command lives in a file of its
// own (commands.h lists them); cli.cpp picks one by name.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "files/check.h"
#include "world/ui_port.h"
#include "world/workspace.h"

namespace zs::cli {

namespace fs = std::filesystem;

extern const char* const kUsage;

// Every name or text that came from the game server, as the terminal gets
// it: each byte that is not printable ASCII escaped ("\x9b"), so that nothing
// the server sends can move the cursor, recolour or reverse the line.
std::string from_server(std::string_view text);

// A usage error: the reason, then the usage; exit status 2.
int usage_error(std::ostream& err, const std::string& why);

// Makes the output directory when it is not there; false, with the cause,
// when it cannot be made or is not a directory.
bool output_directory_ready(const fs::path& dir, std::ostream& err);

// Line breaks of message texts are CR LF; a terminal wants LF.
std::string for_terminal(std::string_view text);

// How the loaders' questions are answered (--yes), and whether status texts
// are printed.
enum class Answer { No, Yes };
enum class Statuses { Hidden, Shown };

// Status texts go to stdout, message boxes and questions to stderr (caption
// first); every question is answered the same way.
class CliUi : public UiPort {
public:
    CliUi(std::ostream& out, std::ostream& err, Answer answer, Statuses statuses)
        : out_(out),
          err_(err),
          yes_(answer == Answer::Yes),
          statuses_(statuses == Statuses::Shown) {}
    void show_status(std::string_view text) override {
        if (!statuses_) return;
        if (holding_)
            held_.push_back(for_terminal(text));
        else
            out_ << for_terminal(text) << '\n';
    }
    void show_message(std::string_view text, std::string_view caption) override {
        if (!caption.empty()) err_ << caption << ": ";
        err_ << for_terminal(text) << '\n';
    }
    bool ask_yes_no(std::string_view text, std::string_view caption) override {
        show_message(text, caption);
        err_ << (yes_ ? "-> Yes" : "-> No") << '\n';
        return yes_;
    }
    void load_problem(std::string_view file, int line, std::string_view message) override {
        load_problems.push_back({std::string(file), line, std::string(message)});
    }

    // Faults that did not stop a load, as the checker lists problems.
    std::vector<Problem> load_problems;

    // Statuses that report success are held until the files are saved:
    // printed then, or never when the save fails.
    void hold_statuses() { holding_ = true; }
    void print_held() {
        for (const auto& text : held_)
            out_ << text << '\n';
        held_.clear();
        holding_ = false;
    }

private:
    std::ostream& out_;
    std::ostream& err_;
    bool yes_;
    bool statuses_;
    bool holding_ = false;
    std::vector<std::string> held_;
};

// The workspace of a command, reading and writing in the area directory
// given (the working directory without one). When the process ends with the command, the
// world is left to the system: freeing a whole world block by block only
// costs time. (It stays reachable, so leak checkers do not report it.)
class CommandWorkspace {
public:
    CommandWorkspace(UiPort& ui, ProcessEnd process_end,
                     const std::optional<fs::path>& area_dir = std::nullopt)
        : ws_(std::make_unique<Workspace>(ui)),
          process_ends_(process_end == ProcessEnd::WithCommand) {
        if (area_dir) ws_->set_area_dir(*area_dir);
    }
    ~CommandWorkspace() {
        [[maybe_unused]] static Workspace* left_to_the_system = nullptr;
        if (process_ends_) left_to_the_system = ws_.release();
    }
    CommandWorkspace(const CommandWorkspace&) = delete;
    CommandWorkspace& operator=(const CommandWorkspace&) = delete;
    Workspace& operator*() { return *ws_; }

private:
    std::unique_ptr<Workspace> ws_;
    bool process_ends_;
};

// The options every command shares.
struct Options {
    Answer answer = Answer::No;       // --yes
    bool strict = false;              // --strict: check fails on warnings too
    std::optional<fs::path> dir;      // --dir: the area directory
    std::optional<fs::path> out_dir;  // -o: where convert saves
    std::vector<std::string> operands;
};

// Which of them a command takes beside --yes and --dir.
struct OptionRules {
    bool output = false;             // -o DIR
    bool operands_required = false;  // at least one operand
    bool strict = false;             // --strict
};

// Parses the options of a command; false for a usage error, which it has
// reported with the usage text.
bool parse_options(const std::vector<std::string>& args, const OptionRules& rules, Options& opt,
                   std::ostream& err);

// Loads the files named, relative ones from the area directory. A file that
// loaded with a fault (a text the game cannot hold) counts as not loaded.
bool load_files(Workspace& ws, CliUi& ui, const Options& opt, std::ostream& err);

// A whole number for an int operand; false (with a message) otherwise.
bool int_operand(const std::string& text, const char* what, int& value, std::ostream& err);

}  // namespace zs::cli
