#include "editors/zone_editor.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <tuple>

#include "appkit/qt_ui.h"
#include "world/box_numbers.h"
#include "world/numbers.h"
#include "world/strfmt.h"
#include "world/zone_ops.h"

namespace zs {

namespace {

// Item data: the command index of a ZCmds line (-1 for a room item), the
// kind and id of a prototype tree item.
constexpr int kIndexRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kIdRole = Qt::UserRole + 2;

// Merge keys of the pane's typing: the zone's own fields by ZoneField, a
// command's fields after them by index and field.
constexpr int kCommandFieldKey = 16;

QTreeWidget* make_tree(QWidget* parent, const char* name) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QString::fromLatin1(name));
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    // Long lines scroll rather than lose their ends.
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree->header()->setStretchLastSection(false);
    return tree;
}

QPushButton* make_button(const char* caption, QWidget* parent) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QString text_of(const std::string& s) {
    return from_area_text(s);
}

}  // namespace

// --- CommandFields -----------------------------------------------------------

CommandFields::CommandFields(QGroupBox* group) : QObject(group) {
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(1);
    for (int f = 0; f < kCommandFields; ++f) {
        auto i = static_cast<std::size_t>(f);
        labels_[i] = new QLabel(group);
        fields_[i] = new QLineEdit(group);
        fields_[i]->setObjectName(QStringLiteral("command field %1").arg(f + 1));
        fields_[i]->setFixedWidth(70);
        // Wide enough for the longest label of any letter.
        labels_[i]->setMinimumWidth(
            labels_[i]->fontMetrics().horizontalAdvance(QStringLiteral("Chance to not load:")) + 4);
        int row = f % 4, col = (f / 4) * 2;
        grid->addWidget(labels_[i], row, col);
        grid->addWidget(fields_[i], row, col + 1);
    }
    dependant_ = new QCheckBox(QStringLiteral("Dependant"), group);
    dependant_->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(dependant_, 4, 0);
    set_letter('N');
}

void CommandFields::set_letter(char letter) {
    const CommandKind* kind = command_kind(letter);
    for (int f = 0; f < kCommandFields; ++f) {
        auto i = static_cast<std::size_t>(f);
        labels_[i]->setText(
            kind ? QString::fromLatin1(kind->labels[i].data(), qsizetype(kind->labels[i].size()))
                 : QString());
        fields_[i]->setEnabled(field_enabled(letter, f));
    }
    dependant_->setEnabled(kind != nullptr);
}

void CommandFields::show(const Zcmd* c) {
    for (int f = 0; f < kCommandFields; ++f) {
        auto i = static_cast<std::size_t>(f);
        QString text;
        if (c)
            text = f < kFirstTextField ? QString::number(c->arg[i])
                                       : text_of(f == kFirstTextField ? c->sarg1 : c->sarg2);
        fields_[i]->setText(text);
    }
    dependant_->setChecked(c && c->if_flag != 0);
}

Zcmd CommandFields::command(char letter) const {
    Zcmd c;
    c.command = letter;
    c.if_flag = dependant_->isChecked() ? 1 : 0;
    for (int f = 0; f < kFirstTextField; ++f) {
        // The field's leading integer, as typing into the pane reads it.
        std::string text = to_area_text(fields_[static_cast<std::size_t>(f)]->text());
        long long n = read_leading(text, std::numeric_limits<long long>::max(), kScanBlanks);
        c.arg[static_cast<std::size_t>(f)] = static_cast<std::int32_t>(std::clamp<long long>(
            n, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    }
    c.sarg1 = to_area_text(fields_[kFirstTextField]->text());
    c.sarg2 = to_area_text(fields_[kFirstTextField + 1]->text());
    return c;
}

// --- Dialogs -----------------------------------------------------------------

CreateZcmdDialog::CreateZcmdDialog(Workspace& ws, QWidget* parent)
    : QDialog(parent), ws_(ws), status_line_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Create New Zcmd"));
    setObjectName(QStringLiteral("create new zcmd dialog"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Command Type:"), this));
    auto* kinds = new QGridLayout;
    int n = 0;
    for (const CommandKind& k : kCommandKinds) {
        auto* b = new QPushButton(
            QString::fromLatin1(k.caption.data(), qsizetype(k.caption.size())), this);
        b->setAutoDefault(false);
        char letter = k.letter;
        connect(b, &QPushButton::clicked, this, [this, letter] { choose(letter); });
        kinds->addWidget(b, n / 3, n % 3);
        ++n;
    }
    layout->addLayout(kinds);
    layout->addWidget(new QLabel(QStringLiteral("Search for \"zedit_disp_arg1\" etc in zedit.c "
                                                "to start showing these parameters"),
                                 this));
    auto* group = new QGroupBox(QStringLiteral("Selected Zedit Command"), this);
    fields_ = new CommandFields(group);
    layout->addWidget(group);
    status_line_->setObjectName(QStringLiteral("dialog status"));
    status_line_->hide();
    layout->addWidget(status_line_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CreateZcmdDialog::add_wanted);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    fields_->show(nullptr);
}

CreateZcmdDialog::~CreateZcmdDialog() = default;

void CreateZcmdDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!status_) status_ = std::make_unique<DialogStatus>(ws_, status_line_);
}

void CreateZcmdDialog::hideEvent(QHideEvent* event) {
    status_.reset();
    QDialog::hideEvent(event);
}

void CreateZcmdDialog::choose(char letter) {
    letter_ = letter;
    fields_->set_letter(letter);
    const Zcmd start = new_command(letter);
    for (int f = 0; f < kFirstTextField; ++f)
        fields_->field(f)->setText(QString::number(start.arg[static_cast<std::size_t>(f)]));
    for (int f = 0; f < kCommandFields; ++f)
        accepted_[static_cast<std::size_t>(f)] = fields_->field(f)->text();
}

void CreateZcmdDialog::field_typed(int field, const std::string& refusal) {
    QLineEdit* box = fields_->field(field);
    QString& accepted = accepted_[static_cast<std::size_t>(field)];
    if (refusal.empty())
        accepted = box->text();
    else
        box->setText(accepted);
}

NewZeditDialog::NewZeditDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("New Zedit"));
    setObjectName(QStringLiteral("new zedit dialog"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Zone Vnum:"), this), 0, 0);
    box_ = new QLineEdit(this);
    box_->setObjectName(QStringLiteral("new zedit box"));
    layout->addWidget(box_, 0, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons, 1, 0, 1, 2);
}

// --- ZoneEditor ---------------------------------------------------------------

ZoneEditor::ZoneEditor(WorkspaceSignals& bridge, QWidget* area)
    : EditorPane(EditorKind::Zone, bridge, area) {
    build_selection_pane();
    build_editor_pane();
    new_zedit_ = new NewZeditDialog(right_pane()->window());
    connect(new_zedit_, &QDialog::accepted, this, &ZoneEditor::new_zedit_accepted);
    new_command_ = new CreateZcmdDialog(workspace(), bottom_pane()->window());
    connect(new_command_, &CreateZcmdDialog::add_wanted, this, &ZoneEditor::add_new_command);
    // The new command's numbers refuse what the pane's refuse (its texts,
    // empty at first, are judged by OK).
    for (int f = 0; f < kFirstTextField; ++f)
        connect(new_command_->fields().field(f), &QLineEdit::textEdited, this, [this, f] {
            std::string why =
                command_field_refusal(selected_zone(), -1, new_command_->letter(), f,
                                      to_area_text(new_command_->fields().field(f)->text()));
            if (!why.empty()) workspace().ui().show_status(why);
            new_command_->field_typed(f, why);
        });
}

void ZoneEditor::build_selection_pane() {
    QWidget* pane = right_pane();
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(3, 3, 3, 3);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Zone Vnum:"), pane));
    zone_box_ = new QLineEdit(pane);
    zone_box_->setObjectName(QStringLiteral("zone number box"));
    row->addWidget(zone_box_);
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    auto* select = make_button("Select Zone", pane);
    auto* create = make_button("New", pane);
    buttons->addWidget(select);
    buttons->addWidget(create);
    layout->addLayout(buttons);
    prototypes_ = make_tree(pane, "zone prototype tree");
    layout->addWidget(prototypes_, 1);
    connect(select, &QPushButton::clicked, this, &ZoneEditor::select_zone_from_box);
    connect(create, &QPushButton::clicked, this, &ZoneEditor::open_new_zedit);
    connect(zone_box_, &QLineEdit::returnPressed, this, &ZoneEditor::select_zone_from_box);
    connect(prototypes_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { prototype_clicked(item); });
}

void ZoneEditor::build_editor_pane() {
    QWidget* pane = bottom_pane();
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(4, 0, 4, 2);
    layout->setSpacing(0);
    auto* top_row = new QHBoxLayout;
    hide_ = new QCheckBox(QStringLiteral("Hide"), pane);
    hide_->setFocusPolicy(Qt::NoFocus);
    show_all_ = new QCheckBox(QStringLiteral("Show All "), pane);
    show_all_->setObjectName(QStringLiteral("show all box"));
    show_all_->setFocusPolicy(Qt::NoFocus);
    auto* zcmds_label = new QLabel(QStringLiteral("ZCmds:"), pane);
    top_row->addWidget(hide_);
    top_row->addWidget(show_all_);
    top_row->addSpacing(20);
    top_row->addWidget(zcmds_label);
    top_row->addStretch(1);
    layout->addLayout(top_row);

    auto* body = new QHBoxLayout;
    body->setSpacing(4);
    auto* zone_group = new QGroupBox(QStringLiteral("Overall Zone"), pane);
    auto* zone_grid = new QGridLayout(zone_group);
    zone_grid->setContentsMargins(4, 2, 4, 2);
    zone_grid->setVerticalSpacing(1);
    auto line = [zone_group](const char* name) {
        auto* box = new QLineEdit(zone_group);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    name_ = line("zone name box");
    roleplay_ = line("zone rp name box");
    lifespan_ = line("lifespan box");
    reset_mode_ = line("reset mode box");
    top_ = line("top box");
    zone_grid->addWidget(new QLabel(QStringLiteral("Zone Name:"), zone_group), 0, 0);
    zone_grid->addWidget(name_, 0, 1, 1, 5);
    zone_grid->addWidget(new QLabel(QStringLiteral("Zone RP Name:"), zone_group), 1, 0);
    zone_grid->addWidget(roleplay_, 1, 1, 1, 5);
    zone_grid->addWidget(new QLabel(QStringLiteral("Lifespan"), zone_group), 2, 0);
    zone_grid->addWidget(lifespan_, 2, 1);
    zone_grid->addWidget(new QLabel(QStringLiteral("Reset Mode"), zone_group), 2, 2);
    zone_grid->addWidget(reset_mode_, 2, 3);
    zone_grid->addWidget(new QLabel(QStringLiteral("Top"), zone_group), 2, 4);
    zone_grid->addWidget(top_, 2, 5);
    for (QLineEdit* box : {lifespan_, reset_mode_, top_})
        box->setMaximumWidth(45);
    name_->setMinimumWidth(150);
    zone_group->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    body->addWidget(zone_group, 0, Qt::AlignTop);

    commands_ = make_tree(pane, "zcmds tree");
    body->addWidget(commands_, 1);

    auto* command_group = new QGroupBox(QStringLiteral("Selected Zedit Command"), pane);
    fields_ = new CommandFields(command_group);
    auto* grid = static_cast<QGridLayout*>(command_group->layout());
    auto* create = make_button("New", command_group);
    auto* remove = make_button("Delete", command_group);
    auto* copy = make_button("Copy", command_group);
    grid->addWidget(create, 4, 1);
    grid->addWidget(remove, 4, 2);
    grid->addWidget(copy, 4, 3);
    command_group->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    body->addWidget(command_group, 0, Qt::AlignTop);
    layout->addLayout(body, 1);
    hideable_ = {show_all_, zcmds_label, zone_group, commands_, command_group};

    connect(hide_, &QCheckBox::toggled, this, [this](bool hidden) {
        for (QWidget* w : hideable_)
            w->setVisible(!hidden);
        emit text_hidden_changed();
    });
    connect(show_all_, &QCheckBox::toggled, this, [this](bool on) {
        if (filling_) return;
        workspace().options().show_all_zones = on ? 1 : 0;
        fill_commands();
    });
    connect(name_, &QLineEdit::textEdited, this,
            [this] { zone_text_typed(ZoneField::Name, name_, shown_name_); });
    connect(roleplay_, &QLineEdit::textEdited, this,
            [this] { zone_text_typed(ZoneField::RoleplayName, roleplay_, shown_roleplay_); });
    connect(lifespan_, &QLineEdit::textEdited, this,
            [this] { zone_number_typed(ZoneField::Lifespan, lifespan_, shown_lifespan_); });
    connect(reset_mode_, &QLineEdit::textEdited, this,
            [this] { zone_number_typed(ZoneField::ResetMode, reset_mode_, shown_reset_mode_); });
    connect(top_, &QLineEdit::textEdited, this,
            [this] { zone_number_typed(ZoneField::Top, top_, shown_top_); });
    // A number left unfinished is not the zone's: the status says why, and
    // the box shows the zone's.
    const std::tuple<QLineEdit*, QString*, ZoneField> numbers[] = {
        {lifespan_, &shown_lifespan_, ZoneField::Lifespan},
        {reset_mode_, &shown_reset_mode_, ZoneField::ResetMode},
        {top_, &shown_top_, ZoneField::Top}};
    for (auto [box, shown, field] : numbers)
        connect(box, &QLineEdit::editingFinished, this, [this, box, shown, field] {
            if (box->text() == *shown) return;
            const int zone = selected_zone();
            if (zone >= 0)
                workspace().ui().show_status(
                    zone_field_refusal(zone, field, to_area_text(box->text())));
            box->setText(*shown);
        });
    connect(commands_, &QTreeWidget::itemSelectionChanged, this, &ZoneEditor::command_clicked);
    for (int f = 0; f < kCommandFields; ++f)
        connect(fields_->field(f), &QLineEdit::textEdited, this, [this, f] { field_typed(f); });
    connect(fields_->dependant(), &QCheckBox::clicked, this, [this](bool on) {
        const auto& ref = selection_.ref();
        if (!ref || !selection_.settle(workspace())) return;
        int index = ref->index;
        if (store_command_dependent(workspace(), ref->zone, index, on, edit_options(kAllFields)))
            rewrite_line(index);
    });
    connect(create, &QPushButton::clicked, this, &ZoneEditor::open_new_command);
    connect(remove, &QPushButton::clicked, this, &ZoneEditor::delete_selected_command);
    connect(copy, &QPushButton::clicked, this, &ZoneEditor::copy_selected_command);
}

QLineEdit* ZoneEditor::number_box(ZoneField field) const {
    switch (field) {
        case ZoneField::Lifespan:
            return lifespan_;
        case ZoneField::ResetMode:
            return reset_mode_;
        case ZoneField::Top:
            return top_;
        case ZoneField::Name:
            return name_;
        case ZoneField::RoleplayName:
            return roleplay_;
    }
    return nullptr;
}

bool ZoneEditor::text_hidden() const {
    return hide_->isChecked();
}

int ZoneEditor::selected_zone() const {
    const Zedit* z = workspace().zones().selected_zedit();
    return z ? z->number : -1;
}

// --- Filling -----------------------------------------------------------------

void ZoneEditor::refresh() {
    // The settings file is read after the panes are made: the box follows
    // the option whenever the pane is filled.
    filling_ = true;
    show_all_->setChecked(workspace().options().show_all_zones != 0);
    filling_ = false;
    fill_zone();
    fill_prototypes();
}

void ZoneEditor::fill_zone() {
    const Zedit* z = workspace().zones().selected_zedit();
    int zone = z ? z->number : -1;
    if (zone != shown_zone_) selection_.clear();
    shown_zone_ = zone;
    shown_name_ = z ? text_of(z->name) : QString();
    shown_roleplay_ = z ? text_of(z->roleplay_name) : QString();
    shown_lifespan_ = z ? QString::number(z->lifespan) : QString();
    shown_reset_mode_ = z ? QString::number(z->reset_mode) : QString();
    shown_top_ = z ? QString::number(z->top) : QString();
    const std::pair<QLineEdit*, QString*> boxes[] = {{name_, &shown_name_},
                                                     {roleplay_, &shown_roleplay_},
                                                     {lifespan_, &shown_lifespan_},
                                                     {reset_mode_, &shown_reset_mode_},
                                                     {top_, &shown_top_}};
    for (auto [box, shown] : boxes) {
        box->setEnabled(z != nullptr);
        if (box->text() != *shown) box->setText(*shown);
    }
    if (z) zone_box_->setText(QString::number(zone));
    fill_commands();
}

void ZoneEditor::fill_prototypes() {
    std::optional<int> zone;
    if (one_zone_tree_ && selected_zone() >= 0) zone = selected_zone();
    auto items =
        zs::prototype_tree(workspace(), zone, workspace().options().color_codes_in_trees != 0);
    prototypes_->clear();
    auto make = [](const PrototypeTreeItem& p) {
        auto* item = new QTreeWidgetItem(QStringList{text_of(p.text)});
        item->setData(0, kKindRole, int(p.kind));
        item->setData(0, kIdRole, p.id);
        return item;
    };
    for (const auto& top : items) {
        QTreeWidgetItem* item = make(top);
        for (const auto& child : top.children)
            item->addChild(make(child));
        prototypes_->addTopLevelItem(item);
    }
}

void ZoneEditor::fill_commands() {
    const Zedit* z = workspace().zones().selected_zedit();
    const Room* room = workspace().world().selected_room();
    std::optional<int> filter;
    if (room) filter = room->vnum;
    selection_.settle(workspace());
    filling_ = true;
    commands_->clear();
    if (z) {
        for (const auto& top : zcmd_tree(workspace(), *z, show_all_->isChecked(), filter)) {
            auto* item = new QTreeWidgetItem(QStringList{text_of(top.text)});
            item->setData(0, kIndexRole, top.index);
            // A room names no command: the highlight never rests on it.
            if (top.index < 0) item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
            for (const auto& child : top.children) {
                auto* line = new QTreeWidgetItem(item, QStringList{text_of(child.text)});
                line->setData(0, kIndexRole, child.index);
            }
            commands_->addTopLevelItem(item);
        }
        commands_->expandAll();
    }
    if (const auto& ref = selection_.ref())
        if (QTreeWidgetItem* item = item_of(ref->index)) {
            commands_->setCurrentItem(item);
            commands_->scrollToItem(item);
        }
    filling_ = false;
    fill_command_fields();
}

void ZoneEditor::fill_command_fields() {
    const Zcmd* c = selection_.command(workspace());
    filling_ = true;
    fields_->set_letter(c ? c->command : 'N');
    fields_->show(c);
    for (int f = 0; f < kCommandFields; ++f)
        shown_fields_[static_cast<std::size_t>(f)] = fields_->field(f)->text();
    filling_ = false;
}

QTreeWidgetItem* ZoneEditor::item_of(int index) const {
    for (int t = 0; t < commands_->topLevelItemCount(); ++t) {
        QTreeWidgetItem* top = commands_->topLevelItem(t);
        if (top->data(0, kIndexRole).toInt() == index) return top;
        for (int c = 0; c < top->childCount(); ++c)
            if (top->child(c)->data(0, kIndexRole).toInt() == index) return top->child(c);
    }
    return nullptr;
}

void ZoneEditor::rewrite_line(int index) {
    const Zedit* z = workspace().zones().selected_zedit();
    QTreeWidgetItem* item = item_of(index);
    if (!z || !item || index < 0 || index >= static_cast<int>(z->commands.size())) return;
    item->setText(0, text_of(command_line(workspace(), z->commands[static_cast<std::size_t>(index)],
                                          index, workspace().options().color_codes_in_trees != 0)));
}

void ZoneEditor::record_changed(const Change& change) {
    // An unloaded zone takes its selected command with it, shown or not: a
    // zone loaded again under its number starts with none.
    if (change.table == TableKind::Zone &&
        (change.kind == ChangeKind::Cleared ||
         (change.kind == ChangeKind::Removed && change.id == shown_zone_))) {
        selection_.clear();
        shown_zone_ = -1;
    }
    if (!shown()) return;
    switch (change.table) {
        case TableKind::Zone:
            // The pane's own typing is shown already.
            if (!made_here(change)) fill_zone();
            break;
        case TableKind::World:
            // The filter of the ZCmds tree is the map's selected room.
            if (change.kind == ChangeKind::Selection && !show_all_->isChecked()) fill_commands();
            break;
        case TableKind::Object:
        case TableKind::Mobile:
            if (change.kind != ChangeKind::Selection) schedule_names();
            break;
    }
}

void ZoneEditor::schedule_names() {
    if (names_pending_) return;
    names_pending_ = true;
    QTimer::singleShot(0, this, [this] {
        names_pending_ = false;
        if (!shown()) return;
        fill_prototypes();
        fill_commands();
    });
}

// --- Zone selection ------------------------------------------------------------

void ZoneEditor::select_zone_from_box() {
    // The box's leading decimal number; a number past any zone is not read
    // as another one.
    long long typed = leading_number(to_area_text(zone_box_->text()));
    Workspace& ws = workspace();
    int slot = zone_number_valid(typed) ? ws.zones().find_zedit(static_cast<int>(typed)) : -1;
    if (slot < 0) {
        ws.ui().show_status(strfmt("Zone with vnum %lld not found.", typed));
        return;
    }
    const int number = static_cast<int>(typed);
    one_zone_tree_ = false;
    ws.zones().select_slot(slot);
    refresh();
    ws.ui().show_status(strfmt("Zone %d selected.", number));
    ws.request_redraw(true);
}

void ZoneEditor::prototype_clicked(QTreeWidgetItem* item) {
    // Only the "Objs 30" and "Mobs 30" items name a zone: a prototype's
    // number is a vnum, never a zone number.
    auto kind = static_cast<PrototypeTreeItem::Kind>(item->data(0, kKindRole).toInt());
    if (kind != PrototypeTreeItem::Objects && kind != PrototypeTreeItem::Mobiles) return;
    int zone = item->data(0, kIdRole).toInt();
    int slot = workspace().zones().find_zedit(zone);
    if (slot < 0 || zone == selected_zone()) return;
    workspace().zones().select_slot(slot);
    fill_zone();
    workspace().ui().show_status(strfmt("Zone %d selected.", zone));
    workspace().request_redraw(true);
}

void ZoneEditor::open_new_zedit() {
    int zone = selected_zone();
    new_zedit_->zone_box()->setText(QString::number(zone >= 0 ? zone : 1));
    centre_dialog(new_zedit_);
    new_zedit_->open();
    // The suggestion is selected, so that typing a number replaces it.
    new_zedit_->zone_box()->setFocus();
    new_zedit_->zone_box()->selectAll();
}

void ZoneEditor::new_zedit_accepted() {
    if (!new_zedit_from_box(workspace(), to_area_text(new_zedit_->zone_box()->text()))) return;
    one_zone_tree_ = true;
    refresh();
}

// --- Typing -------------------------------------------------------------------

void ZoneEditor::zone_text_typed(ZoneField field, QLineEdit* box, QString& shown) {
    int zone = selected_zone();
    if (zone < 0) return;
    std::string typed = to_area_text(box->text());
    if (!zone_field_refusal(zone, field, typed).empty()) {
        store_zone_text(workspace(), zone, field, typed);  // says why
        int caret = box->cursorPosition() - int(box->text().size() - shown.size());
        box->setText(shown);
        box->setCursorPosition(std::max(0, caret));
        return;
    }
    shown = box->text();
    store_zone_text(workspace(), zone, field, typed,
                    edit_options(kAllFields, {TableKind::Zone, zone, int(field)}));
}

void ZoneEditor::zone_number_typed(ZoneField field, QLineEdit* box, QString& shown) {
    int zone = selected_zone();
    if (zone < 0) return;
    std::string typed = to_area_text(box->text());
    if (std::string why = zone_field_refusal(zone, field, typed); !why.empty()) {
        // Stored once the number is whole; the box goes back, saying why,
        // if typing ends before.
        if (zone_number_unfinished(zone, field, typed)) return;
        store_zone_number(workspace(), zone, field, typed);  // says why
        box->setText(shown);
        return;
    }
    shown = box->text();
    store_zone_number(workspace(), zone, field, typed,
                      edit_options(kAllFields, {TableKind::Zone, zone, int(field)}));
}

void ZoneEditor::command_clicked() {
    if (filling_) return;
    // The highlighted line, which a drag moves without moving the current
    // item.
    const QList<QTreeWidgetItem*> selected = commands_->selectedItems();
    if (selected.isEmpty()) {
        // A press on a room line, which cannot be selected, took the
        // highlight away: the selected command keeps it.
        const auto& ref = selection_.ref();
        if (ref && selection_.settle(workspace()))
            if (QTreeWidgetItem* item = item_of(ref->index)) {
                filling_ = true;
                item->setSelected(true);
                filling_ = false;
            }
        return;
    }
    int index = selected.front()->data(0, kIndexRole).toInt();
    if (index >= 0) select_command(index);
}

void ZoneEditor::select_command(int index) {
    int zone = selected_zone();
    if (zone < 0) return;
    selection_.select({zone, index});
    if (!selection_.settle(workspace())) return;
    if (QTreeWidgetItem* item = item_of(index);
        item && (commands_->currentItem() != item || !item->isSelected())) {
        filling_ = true;
        commands_->setCurrentItem(item);
        filling_ = false;
    }
    fill_command_fields();
}

void ZoneEditor::field_typed(int field) {
    if (filling_) return;
    const auto& ref = selection_.ref();
    if (!ref || !selection_.settle(workspace())) return;
    const int zone = ref->zone, index = ref->index;
    QLineEdit* box = fields_->field(field);
    QString& shown = shown_fields_[static_cast<std::size_t>(field)];
    std::string typed = to_area_text(box->text());
    const char letter = selection_.command(workspace())->command;
    if (!command_field_refusal(zone, index, letter, field, typed).empty()) {
        store_command_field(workspace(), zone, index, field, typed);  // says why
        box->setText(shown);
        return;
    }
    shown = box->text();
    MergeKey key{TableKind::Zone, zone, kCommandFieldKey + index * kCommandFields + field};
    if (store_command_field(workspace(), zone, index, field, typed, edit_options(kAllFields, key)))
        rewrite_line(index);
}

// --- New, Delete, Copy ------------------------------------------------------------

void ZoneEditor::open_new_command() {
    if (selected_zone() < 0) return;
    // The kind chosen last stays, its fields back at 0.
    if (new_command_->letter() != 'N') new_command_->choose(new_command_->letter());
    new_command_->fields().dependant()->setChecked(false);
    centre_dialog(new_command_);
    new_command_->open();
}

void ZoneEditor::add_new_command() {
    int zone = selected_zone();
    if (zone < 0) {
        new_command_->reject();
        return;
    }
    const auto& ref = selection_.ref();
    int position = ref && selection_.settle(workspace())
                       ? insertion_point(*workspace().zones().selected_zedit(), ref->index)
                       : -1;
    std::optional<int> room;
    if (const Room* r = workspace().world().selected_room()) room = r->vnum;
    int index = add_command(workspace(), zone, position, new_command_->command(), room);
    if (index < 0) return;  // refused: the dialog stays open, the status says why
    new_command_->accept();
    selection_.select({zone, index});
    fill_commands();
}

void ZoneEditor::delete_selected_command() {
    const auto& ref = selection_.ref();
    if (!ref || !selection_.settle(workspace())) return;
    const int zone = ref->zone, index = ref->index;
    if (!delete_command(workspace(), zone, index)) return;
    // The command that took its place, else the one before it.
    const Zedit* z = workspace().zones().selected_zedit();
    int left = z ? static_cast<int>(z->commands.size()) : 0;
    if (left == 0)
        selection_.clear();
    else
        selection_.select({zone, std::min(index, left - 1)});
    fill_commands();
}

void ZoneEditor::copy_selected_command() {
    const auto& ref = selection_.ref();
    if (!ref || !selection_.settle(workspace())) return;
    const int zone = ref->zone;
    int index = copy_command(workspace(), zone, ref->index);
    if (index < 0) return;
    selection_.select({zone, index});
    fill_commands();
}

}  // namespace zs
