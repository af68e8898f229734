#include "appkit/dialog_status.h"

#include "appkit/qt_ui.h"
#include "world/workspace.h"

namespace zs {

DialogStatus::DialogStatus(Workspace& ws, QLabel* line) : ws_(ws), previous_(ws.ui()), line_(line) {
    line_->setObjectName(QStringLiteral("dialog status"));
    line_->setWordWrap(true);
    line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line_->hide();
    ws_.set_ui(*this);
}

DialogStatus::~DialogStatus() {
    // Unless someone put another port in its place since (the window going
    // away puts its own predecessor back first).
    if (&ws_.ui() == this) ws_.set_ui(previous_);
}

void DialogStatus::clear() {
    if (!line_) return;
    line_->clear();
    line_->hide();
}

void DialogStatus::show_status(std::string_view text) {
    if (!line_) return previous_.show_status(text);
    ws_.messages().add(MessageKind::DialogLine, text);
    line_->setText(from_area_text(text));
    line_->setVisible(!text.empty());
}

void DialogStatus::show_message(std::string_view text, std::string_view caption) {
    previous_.show_message(text, caption);
}

bool DialogStatus::ask_yes_no(std::string_view text, std::string_view caption) {
    return previous_.ask_yes_no(text, caption);
}

std::optional<std::string> DialogStatus::choose_file_to_open(std::string_view filter_caption,
                                                             std::string_view pattern,
                                                             const std::filesystem::path& dir) {
    return previous_.choose_file_to_open(filter_caption, pattern, dir);
}

void DialogStatus::load_problem(std::string_view file, int line, std::string_view message) {
    previous_.load_problem(file, line, message);
}

}  // namespace zs
