// DialogStatus: the status line of a modal dialog. While such a dialog is up,
// the window's status box lies behind it, so the status texts of what the
// dialog does (a refused "~", what an entry is missing) are shown on a line
// of the dialog instead. Message boxes, questions and file dialogs still go
// to the port that stood before. The line stands in for the workspace's
// status from construction until destruction.
#pragma once

#include <QLabel>
#include <QPointer>

#include "world/ui_port.h"

namespace zs {

class Workspace;

class DialogStatus : public UiPort {
public:
    // `line` is the dialog's own label; it is hidden while it says nothing.
    DialogStatus(Workspace& ws, QLabel* line);
    ~DialogStatus() override;
    DialogStatus(const DialogStatus&) = delete;
    DialogStatus& operator=(const DialogStatus&) = delete;

    // Empties the line (an accepted edit makes an old refusal moot).
    void clear();

    void show_status(std::string_view text) override;
    void show_message(std::string_view text, std::string_view caption) override;
    bool ask_yes_no(std::string_view text, std::string_view caption) override;
    std::optional<std::string> choose_file_to_open(std::string_view filter_caption,
                                                   std::string_view pattern,
                                                   const std::filesystem::path& dir) override;
    void load_problem(std::string_view file, int line, std::string_view message) override;

private:
    Workspace& ws_;
    UiPort& previous_;
    QPointer<QLabel> line_;
};

}  // namespace zs
