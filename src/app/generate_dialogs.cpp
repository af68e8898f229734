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

GenerateMapDialog::GenerateMapDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Generate Map"));
    auto* form = new QFormLayout(this);
    rooms_ = new QLineEdit(this);
    zone_ = new QLineEdit(this);
    floors_ = new QLineEdit(this);
    up_down_ = new QCheckBox(QStringLiteral("Use Up/Down"), this);
    title_ = new QLineEdit(this);
    title_->setMaxLength(static_cast<int>(kMapTitleMax));
    form->addRow(QStringLiteral("Number of Rooms:"), rooms_);
    form->addRow(QStringLiteral("Starting Zone:"), zone_);
    form->addRow(QStringLiteral("Max Floors:"), floors_);
    form->addRow(up_down_);
    form->addRow(QStringLiteral("Room Title:"), title_);
    form->addRow(ok_cancel(this));
    centre_dialog(this);
}

MapRequest GenerateMapDialog::request() const {
    auto number = [](const QLineEdit* box) {
        long long n = leading_number(to_area_text(box->text()));
        return static_cast<int>(std::clamp<long long>(n, -1'000'000'000LL, 1'000'000'000LL));
    };
    MapRequest r;
    r.rooms = number(rooms_);
    r.zone = number(zone_);
    r.max_floors = number(floors_);
    r.up_down = up_down_->isChecked();
    r.title = to_area_text(title_->text());
    return r;
}

}  // namespace zs
