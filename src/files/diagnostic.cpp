#include "files/diagnostic.h"

#include <algorithm>

#include "files/file_kinds.h"
#include "world/ui_port.h"

namespace zs {

void show_diagnostic(UiPort& ui, const Diagnostic& d) {
    switch (d.kind) {
        case Diagnostic::Kind::Status:
            ui.show_status(d.text);
            break;
        case Diagnostic::Kind::Message:
            ui.show_message(d.text, d.caption);
            break;
        case Diagnostic::Kind::Problem:
            ui.load_problem(d.caption, d.line, d.text);
            break;
    }
}

void show_diagnostics(UiPort& ui, const Diagnostics& diagnostics) {
    for (const Diagnostic& d : diagnostics)
        show_diagnostic(ui, d);
}

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

void add_load_error(Diagnostics& out, const FileKind& kind, std::string_view detail,
                    int records_before, int line) {
    out.push_back({Diagnostic::Kind::Message,
                   with_detail(kind.load_error, detail),
                   {},
                   line,
                   records_before});
    if (*kind.load_error_status)
        out.push_back({Diagnostic::Kind::Status, kind.load_error_status, {}, line, records_before});
}

void add_load_error(Diagnostics& out, const FileKind& kind, const ReadNotes& notes) {
    add_load_error(out, kind, notes.range_error, Diagnostic::kAfterAll, notes.range_error_line);
}

void add_string_error(Diagnostics& out, std::string_view file_name,
                      const TextReader::StringError& error, int records_before) {
    out.push_back({Diagnostic::Kind::Message,
                   with_detail("There was an error loading a string in the file.",
                               TextReader::string_error_detail(file_name, error)),
                   "String Error", error.line, records_before});
}

void add_message(Diagnostics& out, std::string text, int records_before) {
    out.push_back({Diagnostic::Kind::Message, std::move(text), {}, 0, records_before});
}

void add_load_problem(Diagnostics& out, std::string_view file_name,
                      const TextReader::StringError& error) {
    out.push_back({Diagnostic::Kind::Problem, error.message, std::string(file_name), error.line});
}

void add_string_errors(Diagnostics& out, std::string_view file_name,
                       const std::vector<TextReader::StringError>& errors,
                       const std::vector<TextReader::StringError>& shown) {
    for (const auto& e : errors) {
        bool seen = std::any_of(shown.begin(), shown.end(), [&](const auto& s) {
            return s.line == e.line && s.message == e.message;
        });
        if (!seen) add_string_error(out, file_name, e);
        add_load_problem(out, file_name, e);
    }
}

}  // namespace zs
