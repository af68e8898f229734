#include "editors/room_pane.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "appkit/qt_ui.h"
#include "editors/room_editor.h"
#include "world/names.h"
#include "world/room_fields.h"

namespace zs {

namespace {

constexpr int kHeight = 19;  // of a control
constexpr char kDirectionLetters[] = "NESWUD";

QString name_of(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

template <std::size_t N>
void add_names(QComboBox* list, const std::array<std::string_view, N>& names) {
    for (std::string_view n : names)
        list->addItem(name_of(n));
}

// The list's row, or no selection when the room holds a value outside it.
void show_row(QComboBox* list, long long row) {
    list->setCurrentIndex(row >= 0 && row < list->count() ? int(row) : -1);
}

}  // namespace

RoomPane::RoomPane(RoomEditor& editor, QWidget* parent) : QWidget(parent), editor_(editor) {
    setObjectName(QStringLiteral("room fields"));
    // Small enough that every label of a row fits beside its boxes.
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
    // Every row keeps its height but the flag list's, which takes what the
    // pane is given beyond the rows' own.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(3, 3, 3, 3);
    rows->setSpacing(2);

    // Each row of controls: labels as wide as their text, boxes and lists
    // sharing what is left, buttons as wide as given.
    QHBoxLayout* row = nullptr;
    auto new_row = [&] {
        row = new QHBoxLayout;
        row->setSpacing(2);
        rows->addLayout(row);
    };
    auto add = [&](QWidget* w, const QString& name, int stretch = 0) {
        w->setObjectName(name);
        w->setFixedHeight(kHeight);
        row->addWidget(w, stretch);
        return w;
    };
    auto label = [&](const char* text) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        add(l, QString());
    };
    auto list = [&](const char* name, int stretch = 1) {
        auto* l = new QComboBox(this);
        l->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        l->setMinimumContentsLength(3);
        add(l, QString::fromLatin1(name), stretch);
        return l;
    };
    auto box = [&](const QString& name, RoomField field, bool typed = true) {
        auto* b = new QLineEdit(this);
        b->setMinimumWidth(20);
        add(b, name, 1);
        if (typed)
            connect(b, &QLineEdit::textEdited, this, [this, b, field] { box_typed(b, field); });
        else
            b->setReadOnly(true);
        return b;
    };
    auto button = [&](const QString& caption, const QString& name, int width) {
        auto* b = new QPushButton(caption, this);
        b->setFixedWidth(width);
        add(b, name);
        return b;
    };

    new_row();
    label("Sector");
    sector_ = list("sector list");
    add_names(sector_, kSectorNames);
    new_row();
    label("Climate");
    climate_ = list("climate list");
    add_names(climate_, kClimateNames);
    new_row();
    label("Mine");
    mine_kind_ = list("mine type list", 2);
    add_names(mine_kind_, kMineKindNames);
    material_ = list("material list", 3);
    material_->view()->setMinimumWidth(120);  // "petrified wood" and "lapis lazuli"
    new_row();
    label("Mine Amount");
    mine_amount_ = box(QStringLiteral("mine amount box"), RoomField::MineAmount);
    label("Mine Reset");
    mine_reset_ = box(QStringLiteral("mine reset box"), RoomField::MineReset);
    new_row();
    label("Fly Rooms:");
    label("U");
    fly_up_ = box(QStringLiteral("fly up box"), RoomField::FlyUp);
    label("D");
    fly_down_ = box(QStringLiteral("fly down box"), RoomField::FlyDown);
    label("Fall");
    fall_ = box(QStringLiteral("fall box"), RoomField::Fall);
    new_row();
    label("Hgt");
    height_ = box(QStringLiteral("height box"), RoomField::Height);
    label("Nation");
    nation_ = list("nation list", 2);
    nation_->addItem(QStringLiteral("None"));
    add_names(nation_, kNationNames);
    new_row();
    auto* flags = button(QStringLiteral("Flags"), QStringLiteral("flags button"), 40);
    row->setAlignment(flags, Qt::AlignTop);
    flag_list_ = new QPlainTextEdit(this);
    flag_list_->setObjectName(QStringLiteral("flag list box"));
    flag_list_->setReadOnly(true);
    // Two lines at least; more as the pane grows.
    flag_list_->setMinimumHeight(2 * kHeight - 4);
    flag_list_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    flag_list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    flag_list_->document()->setDocumentMargin(1);
    row->addWidget(flag_list_, 1);
    rows->setStretchFactor(row, 1);
    connect(flags, &QPushButton::clicked, this, [this] { emit room_flags_requested(); });

    for (int d = 0; d < kNumDirections; ++d) {
        new_row();
        QString word = name_of(kDirectionWords[d]);
        auto* open =
            button(name_of(kDirectionWordsUpper[d]), word + QStringLiteral(" exit button"), 42);
        exit_boxes_[d] = box(word + QStringLiteral(" exit box"), RoomField::Exits, false);
        exit_boxes_[d]->setFocusPolicy(Qt::NoFocus);
        auto* remove =
            button(QStringLiteral("Delete"), word + QStringLiteral(" delete button"), 44);
        auto* move = button(QStringLiteral("Move %1").arg(QLatin1Char(kDirectionLetters[d])),
                            word + QStringLiteral(" move button"), 52);
        move->setFocusPolicy(Qt::NoFocus);  // the map takes the focus after the move
        connect(open, &QPushButton::clicked, this, [this, d] { emit exit_dialog_requested(d); });
        connect(remove, &QPushButton::clicked, this, [this, d] { delete_pressed(d); });
        connect(move, &QPushButton::clicked, this, [this, d] { emit move_requested(d); });
    }
    new_row();
    auto* extras = button(QStringLiteral("Extra Descs"), QStringLiteral("extra descs button"), 80);
    row->addStretch(1);
    connect(extras, &QPushButton::clicked, this, [this] { emit extra_descs_requested(); });

    // activated: only the builder's own choices, never a fill from the room.
    for (auto [l, field] :
         {std::pair{sector_, RoomField::Sector}, std::pair{climate_, RoomField::Climate},
          std::pair{mine_kind_, RoomField::MineKind}, std::pair{material_, RoomField::MineMaterial},
          std::pair{nation_, RoomField::Nation}}) {
        QComboBox* chosen = l;
        RoomField f = field;
        connect(chosen, &QComboBox::activated, this,
                [this, chosen, f](int index) { list_chosen(chosen, f, index); });
    }
}

int RoomPane::selected_vnum() const {
    const Room* room = editor_.workspace().world().selected_room();
    return room ? room->vnum : -1;
}

void RoomPane::refresh() {
    const Room* room = editor_.workspace().world().selected_room();
    filling_ = true;
    show_row(sector_, room ? room->sector : -1);
    show_row(climate_, room ? room->climate : -1);
    show_row(mine_kind_, room ? room->mine_kind : -1);
    show_row(nation_, room ? room->nation + 1LL : -1);
    auto number = [room](QLineEdit* b, std::int32_t Room::*member) {
        b->setText(room ? QString::number(room->*member) : QString());
    };
    number(mine_amount_, &Room::mine_amount);
    number(mine_reset_, &Room::mine_reset);
    number(fly_up_, &Room::fly_up_room);
    number(fly_down_, &Room::fly_down_room);
    number(fall_, &Room::fall_room);
    number(height_, &Room::height);
    fill_materials(room);
    fill_exits(room);
    fill_flags(room);
    setEnabled(room != nullptr);
    filling_ = false;
}

void RoomPane::fill_materials(const Room* room) {
    bool was_filling = filling_;
    filling_ = true;
    material_->clear();
    material_->addItem(QStringLiteral("none"), 0);
    int kind = room ? room->mine_kind : 0;
    for (const OfferedMaterial& m : offered_materials(kind))
        material_->addItem(name_of(m.name), m.index);
    int row = -1;
    if (room && kind == 0) {
        row = 0;
    } else if (room) {
        // By the stored row of the full table; a row that is not offered
        // shows no selection.
        for (int i = 1; i < material_->count(); ++i)
            if (material_->itemData(i).toInt() == room->mine_resource) row = i;
    }
    material_->setCurrentIndex(row);
    filling_ = was_filling;
}

void RoomPane::fill_exits(const Room* room) {
    for (int d = 0; d < kNumDirections; ++d) {
        const auto* e = room && room->exits[d] ? &*room->exits[d] : nullptr;
        exit_boxes_[d]->setText(e ? QString::number(e->destination) : QString());
    }
}

void RoomPane::fill_flags(const Room* room) {
    flag_list_->setPlainText(room ? from_area_text(room_flag_list(room->room_flags)) : QString());
    if (!room || !damaged_flags(room->room_flags) || guard_pending_) return;
    // The guard's step and message box wait for the event loop: the fill may
    // run inside another step, or while undo puts records back.
    guard_pending_ = true;
    int vnum = room->vnum;
    QTimer::singleShot(0, this, [this, vnum] {
        guard_pending_ = false;
        if (selected_vnum() != vnum) return;
        Workspace& ws = editor_.workspace();
        if (guard_room_flags(ws, vnum, editor_.edit_options(field_bit(RoomField::Flags))))
            fill_flags(ws.world().selected_room());
    });
}

void RoomPane::list_chosen(QComboBox* list, RoomField field, int index) {
    int vnum = selected_vnum();
    if (filling_ || vnum < 0 || index < 0) return;
    int value = index;
    if (field == RoomField::MineMaterial)
        value = list->itemData(index).toInt();  // "none" stores 0, as a new mine kind does
    else if (field == RoomField::Nation)
        value = index - 1;
    Workspace& ws = editor_.workspace();
    set_room_field(ws, vnum, field, value, editor_.edit_options(field_bit(field)));
    if (field == RoomField::MineKind) fill_materials(ws.world().selected_room());
}

void RoomPane::box_typed(QLineEdit* box, RoomField field) {
    int vnum = selected_vnum();
    if (filling_ || vnum < 0) return;
    store_room_box(editor_.workspace(), vnum, field, box->text().toStdString(),
                   editor_.edit_options(field_bit(field), {TableKind::World, vnum, int(field)}));
}

void RoomPane::delete_pressed(int dir) {
    int vnum = selected_vnum();
    if (vnum < 0) return;
    Workspace& ws = editor_.workspace();
    if (delete_exit(ws, vnum, dir, editor_.edit_options(field_bit(RoomField::Exits))))
        fill_exits(ws.world().selected_room());
}

}  // namespace zs
