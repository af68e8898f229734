#include "app/dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <climits>

#include "appkit/qt_ui.h"
#include "world/box_numbers.h"
#include "world/workspace.h"
#include "zonesmith_version.h"

namespace zs {

namespace {
// An empty or non-numeric box gives 0, and so does a number past int.
int box_int(const QLineEdit* box) {
    std::optional<long long> n = zs::box_number(to_area_text(box->text()));
    return n && *n >= INT_MIN && *n <= INT_MAX ? static_cast<int>(*n) : 0;
}

}  // namespace

OptionsDialog::OptionsDialog(Options& options, QWidget* parent)
    : QDialog(parent), options_(options) {
    setWindowTitle(QStringLiteral("Options"));
    auto* layout = new QVBoxLayout(this);

    auto* rooms = new QGroupBox(QStringLiteral("Auto-Room Creation"), this);
    prompt_ = new QCheckBox(QStringLiteral("Prompt for Vnum"), rooms);
    (new QVBoxLayout(rooms))->addWidget(prompt_);
    layout->addWidget(rooms);

    auto* drawing = new QGroupBox(QStringLiteral("Map Drawing"), this);
    auto* row = new QHBoxLayout(drawing);
    row->addWidget(new QLabel(QStringLiteral("Number of Exits to Traverse:"), drawing));
    limit_ = new QLineEdit(drawing);
    limit_->setValidator(new QIntValidator(0, 1 << 30, limit_));
    row->addWidget(limit_);
    infinite_ = new QCheckBox(QStringLiteral("Infinite"), drawing);
    row->addWidget(infinite_);
    layout->addWidget(drawing);

    auto* editors = new QGroupBox(QStringLiteral("Object and Mobile Editors"), this);
    tree_colours_ = new QCheckBox(QStringLiteral("Color Codes in Trees"), editors);
    (new QVBoxLayout(editors))->addWidget(tree_colours_);
    layout->addWidget(editors);

    auto* loading = new QGroupBox(QStringLiteral("Loading"), this);
    auto_load_ = new QCheckBox(QStringLiteral("Auto-Load Zone"), loading);
    (new QVBoxLayout(loading))->addWidget(auto_load_);
    layout->addWidget(loading);
    layout->addWidget(ok_cancel(this));

    prompt_->setChecked(options.prompt_for_vnum != 0);
    tree_colours_->setChecked(options.color_codes_in_trees != 0);
    auto_load_->setChecked(options.auto_load != 0);
    bool infinite = options.traverse_limit < 0;
    infinite_->setChecked(infinite);
    limit_->setEnabled(!infinite);
    if (!infinite) limit_->setText(QString::number(options.traverse_limit));

    connect(infinite_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            options_.traverse_limit = -1;  // at once, whatever the dialog ends with
            limit_->clear();
        }
        limit_->setEnabled(!on);
    });
    connect(this, &QDialog::accepted, this, &OptionsDialog::store);
    adjustSize();
    centre_dialog(this);
}

void OptionsDialog::store() {
    if (!infinite_->isChecked()) options_.traverse_limit = box_int(limit_);
    options_.prompt_for_vnum = prompt_->isChecked() ? 1 : 0;
    options_.color_codes_in_trees = tree_colours_->isChecked() ? 1 : 0;
    options_.auto_load = auto_load_->isChecked() ? 1 : 0;
}

LoadZoneDialog::LoadZoneDialog(int last_zone, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("  Load Full Zone"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Zone Num to Load:"), this));
    zone_ = new QLineEdit(this);
    if (last_zone >= 0) zone_->setText(QString::number(last_zone));
    // The last zone is a suggestion: typing replaces it.
    zone_->selectAll();
    row->addWidget(zone_);
    layout->addLayout(row);
    layout->addWidget(ok_cancel(this));
    adjustSize();
    centre_dialog(this);
    zone_->setFocus();
}

std::optional<int> LoadZoneDialog::zone() const {
    bool ok = false;
    int v = zone_->text().trimmed().toInt(&ok);
    if (!ok || v < 0) return std::nullopt;
    return v;
}

ApplyAttributesDialog::ApplyAttributesDialog(int vnum, int zone, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Apply Attributes"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Room Vnum: %1").arg(vnum), this));
    layout->addWidget(new QLabel(QStringLiteral("Zone: %1").arg(zone), this));
    layout->addWidget(new QLabel(
        QStringLiteral("Apply the following attributes from this room to all other rooms in zone:"),
        this));
    auto group = [this, layout](const char* caption, const char* prefix,
                                std::initializer_list<const char*> boxes, QCheckBox** out) {
        auto* g = new QGroupBox(QString::fromLatin1(caption), this);
        auto* column = new QVBoxLayout(g);
        for (const char* box : boxes) {
            auto* b = new QCheckBox(QString::fromLatin1(box), g);
            b->setObjectName(QString::fromLatin1(prefix) + QString::fromLatin1(box));
            column->addWidget(b);
            *out++ = b;
        }
        layout->addWidget(g);
    };
    group("Attributes to Copy:", "copy ",
          {"Room Flags", "Climate", "Sector", "Nation", "Room Size", "Exit Size"}, copy_);
    group("Do not copy over previously set values:", "keep ",
          {"Room Flags", "Nation", "Room Size", "Exit Size"}, keep_);
    layout->addWidget(ok_cancel(this));
    ApplyAttributesChoices start;
    for (auto [box, on] : {std::pair{copy_[0], start.room_flags},
                           {copy_[1], start.climate},
                           {copy_[2], start.sector},
                           {copy_[3], start.nation},
                           {copy_[4], start.room_size},
                           {copy_[5], start.exit_size},
                           {keep_[0], start.keep_room_flags},
                           {keep_[1], start.keep_nation},
                           {keep_[2], start.keep_room_size},
                           {keep_[3], start.keep_exit_size}})
        box->setChecked(on);
    adjustSize();
    centre_dialog(this);
}

ApplyAttributesChoices ApplyAttributesDialog::choices() const {
    ApplyAttributesChoices c;
    c.room_flags = copy_[0]->isChecked();
    c.climate = copy_[1]->isChecked();
    c.sector = copy_[2]->isChecked();
    c.nation = copy_[3]->isChecked();
    c.room_size = copy_[4]->isChecked();
    c.exit_size = copy_[5]->isChecked();
    c.keep_room_flags = keep_[0]->isChecked();
    c.keep_nation = keep_[1]->isChecked();
    c.keep_room_size = keep_[2]->isChecked();
    c.keep_exit_size = keep_[3]->isChecked();
    return c;
}

RenumberZoneDialog::RenumberZoneDialog(std::optional<int> old_zone, Renumber renumber,
                                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Re-number Zone"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Old zone number:"), this), 0, 0);
    old_ = new QLineEdit(this);
    if (old_zone) old_->setText(QString::number(*old_zone));
    grid->addWidget(old_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("New zone number:"), this), 1, 0);
    new_ = new QLineEdit(this);
    grid->addWidget(new_, 1, 1);
    layout->addLayout(grid);
    whole_ =
        new QCheckBox(QStringLiteral("Also renumber this zone's zedit, objects and mobiles"), this);
    layout->addWidget(whole_);
    auto* buttons = new QDialogButtonBox(this);
    auto* go = buttons->addButton(QStringLiteral("Re-Number"), QDialogButtonBox::ActionRole);
    auto* done = buttons->addButton(QStringLiteral("Done"), QDialogButtonBox::RejectRole);
    // Enter in a box renumbers; the dialog stays open for another zone.
    go->setDefault(true);
    done->setAutoDefault(false);
    connect(go, &QPushButton::clicked, this, [this, renumber = std::move(renumber)] {
        renumber(old_->text(), new_->text(), whole_->isChecked());
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    adjustSize();
    centre_dialog(this);
    new_->setFocus();
}

void show_exit_help(QWidget* parent) {
    CentredMessageBox box(
        QMessageBox::NoIcon, QStringLiteral("How to Create Exits"),
        QStringLiteral(
            "Select a room, then right-click beside it on the map: above it for an exit "
            "north, below it for south, to its right for east and to its left for "
            "west. A new room is made there and joined to the selected room by a pair "
            "of exits.\n\n"
            "Right-click on a neighbouring room to join the two with a pair of exits.\n\n"
            "Hold Shift and right-click on the selected room for a new room up; hold "
            "Ctrl for a new room down."),
        QMessageBox::Ok, parent);
    box.exec();
}

void show_about(QWidget* parent) {
    CentredMessageBox box(
        QMessageBox::NoIcon, QStringLiteral("About Zonesmith"),
        QStringLiteral("Zonesmith Version " ZS_VERSION "\n\nAn area editor for Quor."),
        QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace zs
