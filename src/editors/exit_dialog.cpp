#include "editors/exit_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

#include "appkit/qt_ui.h"
#include "world/names.h"
#include "world/text.h"
#include "world/workspace.h"

namespace zs {

namespace {

// The tab captions, padded as the dialog has always shown them.
const char* const kTabCaptions[kNumDirections] = {" North ", " East  ", " South ",
                                                  " West  ", "  Up   ", " Down  "};

QLineEdit* line_box(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaxLength(static_cast<int>(kMaxTextLength));
    return box;
}

}  // namespace

ExitDataDialog::ExitDataDialog(Workspace& ws, int vnum, int dir, QWidget* parent)
    : QDialog(parent), ws_(ws), vnum_(vnum), dir_(dir) {
    setWindowTitle(QStringLiteral("Exit Data"));
    auto* layout = new QVBoxLayout(this);

    auto* room = new QLabel(QStringLiteral("Room %1").arg(vnum), this);
    room->setObjectName(QStringLiteral("room"));
    layout->addWidget(room);
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("directions"));
    for (const char* caption : kTabCaptions)
        tabs_->addTab(QString::fromLatin1(caption));
    layout->addWidget(tabs_);

    auto* grid = new QGridLayout;
    int row = 0;
    auto labelled = [&](const char* label, QWidget* box) {
        grid->addWidget(new QLabel(QString::fromLatin1(label), this), row, 0);
        grid->addWidget(box, row++, 1);
    };
    exits_to_ = line_box("exits to", this);
    labelled("Exits to:", exits_to_);

    door_ = new QButtonGroup(this);
    auto* radios = new QHBoxLayout;
    int id = static_cast<int>(DoorChoice::NotADoor);
    for (const char* caption : {"Not a door", "Is a door", "Is a pickproof door"}) {
        auto* radio = new QRadioButton(QString::fromLatin1(caption), this);
        radio->setObjectName(QString::fromLatin1(caption));
        door_->addButton(radio, id++);
        radios->addWidget(radio);
    }
    grid->addLayout(radios, row++, 0, 1, 2);

    key_ = line_box("key vnum", this);
    labelled("Key Vnum:", key_);
    lock_ = line_box("lock quality", this);
    labelled("Lock Quality:", lock_);
    strength_ = line_box("door strength", this);
    labelled("Door Strength:", strength_);
    layout->addLayout(grid);

    keywords_ = line_box("keywords", this);
    door_description_ = line_box("door description", this);
    description_ = new QPlainTextEdit(this);
    description_->setObjectName(QStringLiteral("exit description"));
    // A label shows "&" as it is: the example's colour codes read as typed.
    for (auto [label, box] :
         {std::pair<const char*, QWidget*>{"Door Keywords (ex: door trapdoor):", keywords_},
          {"Door Description (Not required, ex: &ywooden door&n):", door_description_},
          {"Exit Description (Not required):", description_}}) {
        layout->addWidget(new QLabel(QString::fromLatin1(label), this));
        layout->addWidget(box);
    }

    one_way_ = new QCheckBox(QStringLiteral("One-Way Exit"), this);
    one_way_->setObjectName(QStringLiteral("one way"));
    layout->addWidget(one_way_);
    layout->addWidget(new QLabel(QStringLiteral("Exit Size:"), this));
    size_ = new QListWidget(this);
    size_->setObjectName(QStringLiteral("exit size"));
    size_->addItem(QStringLiteral("none"));
    for (std::string_view name : kSizeNames)
        size_->addItem(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
    layout->addWidget(size_);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* copy = new QPushButton(QStringLiteral("Copy door data to return exit"), this);
    ok->setDefault(true);
    for (QPushButton* b : {ok, cancel, copy})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    tabs_->setCurrentIndex(dir);
    show_direction(dir);
    // Over a low window the description box and the size list give up rows,
    // down to about three each (see showEvent).
    description_->setMinimumHeight(3 * fontMetrics().lineSpacing());
    size_->setMinimumHeight(3 * fontMetrics().lineSpacing());
    connect(tabs_, &QTabBar::currentChanged, this, &ExitDataDialog::tab_changed);
    connect(one_way_, &QCheckBox::toggled, this, &ExitDataDialog::one_way_toggled);
    // A refused direction keeps the dialog open on it, so that nothing typed
    // is lost; the status line says why.
    connect(ok, &QPushButton::clicked, this, [this] {
        if (apply_shown()) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(copy, &QPushButton::clicked, this,
            [this] { copy_door_data(ws_, vnum_, dir_, form()); });
    adjustSize();
    centre_dialog(this);
}

ExitForm ExitDataDialog::form() const {
    ExitForm f;
    f.exits_to = to_area_text(exits_to_->text());
    int door = door_->checkedId();
    f.door = door < 0 ? DoorChoice::None : static_cast<DoorChoice>(door);
    f.key_vnum = to_area_text(key_->text());
    f.lock_quality = to_area_text(lock_->text());
    f.door_strength = to_area_text(strength_->text());
    f.keywords = box_bytes(keywords_->text(), shown_.keywords);
    f.door_description = box_bytes(door_description_->text(), shown_.door_description);
    f.description = box_bytes(description_->toPlainText(), shown_.description);
    f.one_way = one_way_->isChecked();
    // Row 0 is "none" (-1); no row chosen keeps the exit's size.
    if (size_->currentRow() >= 0) f.size = size_->currentRow() - 1;
    return f;
}

void ExitDataDialog::set_door(DoorChoice door) {
    // An exclusive group keeps one radio checked; clearing them all needs
    // the group opened for a moment.
    door_->setExclusive(false);
    for (QAbstractButton* b : door_->buttons())
        b->setChecked(door_->id(b) == static_cast<int>(door));
    door_->setExclusive(true);
}

void ExitDataDialog::show_direction(int dir) {
    dir_ = dir;
    ExitForm f = show_exit(ws_, vnum_, dir);
    shown_ = f;
    filling_ = true;
    exits_to_->setText(from_area_text(f.exits_to));
    set_door(f.door);
    key_->setText(from_area_text(f.key_vnum));
    lock_->setText(from_area_text(f.lock_quality));
    strength_->setText(from_area_text(f.door_strength));
    keywords_->setText(from_area_text(f.keywords));
    door_description_->setText(from_area_text(f.door_description));
    description_->setPlainText(from_area_text(f.description));
    one_way_->setChecked(f.one_way);
    size_->setCurrentRow(f.size ? *f.size + 1 : -1);
    if (!f.size) size_->clearSelection();
    filling_ = false;
}

bool ExitDataDialog::apply_shown() {
    return apply_exit(ws_, vnum_, dir_, form());
}

void ExitDataDialog::tab_changed(int index) {
    if (!apply_shown()) {
        QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(dir_);
        return;
    }
    show_direction(index);
}

void ExitDataDialog::one_way_toggled(bool on) {
    if (filling_ || !on) return;
    // A two-way exit cannot be marked one-way.
    if (!one_way_allowed(ws_, vnum_, dir_, to_area_text(exits_to_->text())))
        one_way_->setChecked(false);
}

void ExitDataDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    fit_into_window(this);
}

void open_exit_data_dialog(Workspace& ws, int room_vnum, int dir, QWidget* parent) {
    if (!ws.world().find_room_record(room_vnum) || dir < 0 || dir >= kNumDirections) return;
    ExitDataDialog dialog(ws, room_vnum, dir, parent);
    dialog.exec();
}

}  // namespace zs
