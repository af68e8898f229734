#include "app/generate_dialogs.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "appkit/qt_ui.h"
#include "files/area_files.h"
#include "generators/describe.h"
#include "generators/grammar.h"
#include "generators/run_messages.h"
#include "generators/vocabulary.h"
#include "world/box_numbers.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs {

GenerateDescsDialog::GenerateDescsDialog(Workspace& ws, Random& random, QWidget* parent)
    : QDialog(parent), ws_(ws), random_(random) {
    setWindowTitle(QStringLiteral("Generate Descriptions"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Select Description File:"), this), 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Room Color:"), this), 0, 2);
    for (int row = 0; row < kRows; ++row) {
        auto* browse = new QPushButton(QStringLiteral("Browse"), this);
        auto* path = new QLineEdit(this);
        path->setObjectName(QStringLiteral("path %1").arg(row));
        path->setMinimumWidth(320);
        auto* colour = new QLineEdit(this);
        colour->setObjectName(QStringLiteral("colour %1").arg(row));
        colour->setMaxLength(2);
        colour->setFixedWidth(40);
        // The rows as the builder left them, last time or in an earlier session.
        const VocabularyRow& kept = ws_.options().vocabulary_rows[static_cast<std::size_t>(row)];
        path->setText(QString::fromStdString(kept.path));
        colour->setText(from_area_text(kept.colour));
        paths_[static_cast<std::size_t>(row)] = path;
        colours_[static_cast<std::size_t>(row)] = colour;
        grid->addWidget(browse, row + 1, 0);
        grid->addWidget(path, row + 1, 1);
        grid->addWidget(colour, row + 1, 2);
        connect(browse, &QPushButton::clicked, this, [this, path] {
            QString file = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                        QStringLiteral("Text files (*.txt)"));
            if (!file.isEmpty()) path->setText(file);
        });
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    auto* run = new QPushButton(QStringLiteral("Generate"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch(1);
    buttons->addWidget(run);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(run, &QPushButton::clicked, this, &GenerateDescsDialog::generate);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    RunMessages messages(ws_.ui());
    check_all_templates(messages);
    centre_dialog(this);
}

void GenerateDescsDialog::generate() {
    RunMessages messages(ws_.ui());
    Vocabulary vocabulary;
    for (int row = 0; row < kRows; ++row) {
        QString path = paths_[static_cast<std::size_t>(row)]->text().trimmed();
        if (path.isEmpty()) continue;
        read_vocabulary_file(vocabulary, std::filesystem::path(path.toStdString()),
                             to_area_text(colours_[static_cast<std::size_t>(row)]->text()),
                             messages);
    }
    DescriptionRun run = generate_descriptions(ws_, random_, vocabulary, messages);
    ws_.ui().show_status(
        strfmt("%d room description%s generated.", run.described, run.described == 1 ? "" : "s"));
    ws_.request_redraw(true);
    accept();
}

void GenerateDescsDialog::done(int result) {
    std::array<VocabularyRow, kVocabularyRows> rows;
    for (std::size_t row = 0; row < rows.size(); ++row)
        rows[row] = {paths_[row]->text().toStdString(), to_area_text(colours_[row]->text())};
    if (rows != ws_.options().vocabulary_rows) {
        ws_.options().vocabulary_rows = rows;
        write_vocabulary_rows(ws_);
    }
    QDialog::done(result);
}

GenerateMapDialog::GenerateMapDialog(Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setWindowTitle(QStringLiteral("Generate Map"));
    auto* form = new QFormLayout(this);
    rooms_ = new QLineEdit(this);
    zone_ = new QLineEdit(this);
    floors_ = new QLineEdit(this);
    up_down_ = new QCheckBox(QStringLiteral("Use Up/Down"), this);
    title_ = new QLineEdit(this);
    title_->setMaxLength(static_cast<int>(kMapTitleMax));
    status_ = new QLabel(this);
    // One line: the dialog widens to show the whole reason.
    status_->setObjectName(QStringLiteral("dialog status"));
    form->addRow(QStringLiteral("Number of Rooms:"), rooms_);
    form->addRow(QStringLiteral("Starting Zone:"), zone_);
    form->addRow(QStringLiteral("Max Floors:"), floors_);
    form->addRow(up_down_);
    form->addRow(QStringLiteral("Room Title:"), title_);
    form->addRow(status_);
    form->addRow(ok_cancel(this));
    centre_dialog(this);
}

std::optional<MapRequest> GenerateMapDialog::request() const {
    struct Box {
        QLineEdit* box;
        const char* name;
        int* value;
        bool may_be_empty;
    };
    MapRequest r;
    const Box boxes[] = {{rooms_, "Number of Rooms", &r.rooms, false},
                         {zone_, "Starting Zone", &r.zone, false},
                         {floors_, "Max Floors", &r.max_floors, true}};
    for (const Box& b : boxes) {
        const QString text = b.box->text().trimmed();
        bool bad = false;
        std::optional<long long> n = box_number(to_area_text(text), &bad);
        QString why;
        if (bad)
            why = QStringLiteral("\"%1\" is not a number").arg(text);
        else if (!n && !b.may_be_empty)
            why = QStringLiteral("no number is typed");
        if (!why.isEmpty()) {
            status_->setText(QStringLiteral("%1: %2.").arg(QLatin1String(b.name), why));
            b.box->setFocus();
            b.box->selectAll();
            return std::nullopt;
        }
        // Far outside every range: the range checks name the value.
        *b.value = static_cast<int>(
            std::clamp<long long>(n.value_or(0), -1'000'000'000LL, 1'000'000'000LL));
    }
    r.up_down = up_down_->isChecked();
    r.title = to_area_text(title_->text());
    status_->clear();
    return r;
}

void GenerateMapDialog::accept() {
    std::optional<MapRequest> r = request();
    if (!r) return;
    if (std::optional<std::string> problem = map_request_problem(*r)) {
        status_->setText(from_area_text(*problem));
        return;
    }
    // "Zone already exists!" comes in its message box; the dialog stays.
    if (std::optional<std::string> problem = map_world_problem(ws_, *r)) {
        ws_.ui().show_message(*problem, {});
        return;
    }
    QDialog::accept();
}

}  // namespace zs
