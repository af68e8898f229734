#include "editors/properties_pane.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "appkit/qt_ui.h"
#include "editors/editor_pane.h"
#include "world/mobile_fields.h"
#include "world/numbers.h"
#include "world/object_fields.h"
#include "world/prototype_edits.h"

namespace zs {

namespace {

constexpr const char* kGroupNames[] = {"Main",  "Values",        "Flags", "Affects",
                                       "Lists", "Other numbers", "Texts", "Blocks"};
constexpr int kGroupCount = 8;
constexpr int kFlagColumns = 8;
constexpr int kWidth = 420;  // the pane's own width beside the text pane
constexpr int kLeastWidth = 270;
constexpr int kHintWidth = 70;  // hints come and go without moving the boxes

QString box_text(const QWidget* box) {
    if (auto* line = qobject_cast<const QLineEdit*>(box)) return line->text();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(box)) return text->toPlainText();
    return {};
}

int triggers_id(TableKind kind) {
    return kind == TableKind::Mobile ? int(kMobTriggers) : int(kObjTriggers);
}

}  // namespace

PropertiesPane::PropertiesPane(EditorPane& editor, QWidget* parent)
    : QWidget(parent), editor_(editor), kind_(editor.table()) {
    setObjectName(QStringLiteral("properties pane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("properties tabs"));
    tabs_->setUsesScrollButtons(true);
    layout->addWidget(tabs_);
    connect(&editor_.workspace_signals(), &WorkspaceSignals::record_changed, this,
            [this](const Change& change) {
                if (change.table != kind_ || !editor_.shown()) return;
                if (change.kind == ChangeKind::Edited && change.id != vnum() &&
                    change.previous_id != vnum())
                    return;
                refresh();
            });
}

QSize PropertiesPane::sizeHint() const {
    return {kWidth, QWidget::sizeHint().height()};
}

QSize PropertiesPane::minimumSizeHint() const {
    return {kLeastWidth, QWidget::minimumSizeHint().height()};
}

int PropertiesPane::vnum() const {
    return current_proto(editor_.workspace(), kind_);
}

const PropertiesPane::Row* PropertiesPane::row(int id) const {
    for (const Row& r : rows_)
        if (r.field.id == id) return &r;
    return nullptr;
}

QWidget* PropertiesPane::box(int id) const {
    const Row* r = row(id);
    return r ? r->box : nullptr;
}

QLabel* PropertiesPane::label(int id) const {
    const Row* r = row(id);
    return r ? r->label : nullptr;
}

QLabel* PropertiesPane::hint(int id) const {
    const Row* r = row(id);
    return r ? r->hint : nullptr;
}

QCheckBox* PropertiesPane::flag_box(int id, int bit) const {
    const Row* r = row(id);
    return r && bit >= 0 && bit < 32 ? r->flags[bit] : nullptr;
}

void PropertiesPane::refresh() {
    const std::vector<PropField> fields = prop_fields(editor_.workspace(), kind_, vnum());
    std::vector<int> ids;
    for (const PropField& f : fields)
        ids.push_back(f.id);
    // With no record the boxes stay, empty and disabled.
    if (!fields.empty() && ids != built_ids_) build(fields);
    setEnabled(!fields.empty());
    fill(storing_);
}

void PropertiesPane::build(const std::vector<PropField>& fields) {
    filling_ = true;
    while (tabs_->count() > 0) {
        QWidget* page = tabs_->widget(0);
        tabs_->removeTab(0);
        delete page;
    }
    rows_.clear();
    trigger_box_ = skill_box_ = skill_value_box_ = nullptr;
    built_ids_.clear();

    std::array<QGridLayout*, kGroupCount> grids{};
    std::array<QWidget*, kGroupCount> pages{};
    std::array<QScrollArea*, kGroupCount> scrolls{};
    auto grid_of = [&](PropGroup group) {
        auto g = static_cast<std::size_t>(group);
        if (!grids[g]) {
            auto* scroll = scrolls[g] = new QScrollArea;
            scroll->setWidgetResizable(true);
            scroll->setFrameShape(QFrame::NoFrame);
            pages[g] = new QWidget;
            grids[g] = new QGridLayout(pages[g]);
            grids[g]->setContentsMargins(3, 3, 3, 3);
            grids[g]->setVerticalSpacing(2);
            grids[g]->setColumnStretch(1, 1);
            grids[g]->setColumnMinimumWidth(2, kHintWidth);
            scroll->setWidget(pages[g]);
            scroll->setObjectName(QString::fromLatin1(kGroupNames[g]) + QStringLiteral(" page"));
        }
        return std::pair{grids[g], pages[g]};
    };

    for (const PropField& field : fields) {
        built_ids_.push_back(field.id);
        auto [grid, page] = grid_of(field.group);
        const int at = grid->rowCount();
        const QString name = from_area_text(field.name);
        Row r{field};
        r.label = new QLabel(page);
        r.label->setObjectName(name + QStringLiteral(" label"));
        // A flag word's label stands by its first row of check boxes.
        grid->addWidget(r.label, at, 0,
                        field.kind == PropKind::Flags || field.kind == PropKind::Text
                            ? Qt::AlignTop
                            : Qt::AlignVCenter);
        const int id = field.id;
        if (field.kind == PropKind::Flags) {
            auto* bits = new QWidget(page);
            auto* bit_grid = new QGridLayout(bits);
            bit_grid->setContentsMargins(0, 0, 0, 0);
            bit_grid->setSpacing(1);
            for (int bit = 0; bit < 32; ++bit) {
                auto* check = new QCheckBox(QString(QLatin1Char(prop_flag_letter(bit))), bits);
                check->setObjectName(name + QLatin1Char(' ') + QLatin1Char(prop_flag_letter(bit)));
                bit_grid->addWidget(check, bit / kFlagColumns, bit % kFlagColumns);
                connect(check, &QCheckBox::clicked, this,
                        [this, id, bit](bool on) { flag_clicked(id, bit, on); });
                r.flags[bit] = check;
            }
            bit_grid->setColumnStretch(kFlagColumns, 1);  // the boxes stay together at the left
            grid->addWidget(bits, at, 1, 1, 2);
        } else {
            if (field.kind == PropKind::Text) {
                auto* text = new QPlainTextEdit(page);
                text->setFixedHeight(3 * text->fontMetrics().lineSpacing() + 10);
                connect(text, &QPlainTextEdit::textChanged, this, [this, id] { typed(id); });
                r.box = text;
            } else {
                auto* line = new QLineEdit(page);
                line->setMinimumWidth(40);
                connect(line, &QLineEdit::textEdited, this, [this, id] { typed(id); });
                r.box = line;
            }
            r.box->setObjectName(name + QStringLiteral(" box"));
            r.box->installEventFilter(this);
            grid->addWidget(r.box, at, 1);
            r.hint = new QLabel(page);
            r.hint->setObjectName(name + QStringLiteral(" hint"));
            grid->addWidget(r.hint, at, 2);
            if (field.kind == PropKind::List)
                if (QWidget* controls = add_list_controls(field, page))
                    grid->addWidget(controls, at + 1, 1, 1, 2);
        }
        rows_.push_back(r);
    }
    for (int g = 0; g < kGroupCount; ++g) {
        if (!grids[g]) continue;
        grids[g]->setRowStretch(grids[g]->rowCount(), 1);
        tabs_->addTab(scrolls[g], QString::fromLatin1(kGroupNames[g]));
    }
    filling_ = false;
}

QWidget* PropertiesPane::add_list_controls(const PropField& field, QWidget* page) {
    const bool triggers = field.id == triggers_id(kind_);
    const bool skills = kind_ == TableKind::Mobile && field.id == kMobSkills;
    if (!triggers && !skills) return nullptr;
    auto* controls = new QWidget(page);
    auto* row = new QHBoxLayout(controls);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    const QString name = from_area_text(field.name);
    auto box = [&](const QString& box_name, const QString& placeholder) {
        auto* b = new QLineEdit(controls);
        b->setObjectName(box_name);
        b->setPlaceholderText(placeholder);
        b->setMinimumWidth(40);
        row->addWidget(b, 1);
        return b;
    };
    auto button = [&](const QString& caption, auto on_click) {
        auto* b = new QPushButton(caption, controls);
        b->setObjectName(name + QLatin1Char(' ') + caption.toLower() + QStringLiteral(" button"));
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this, on_click);
    };
    if (triggers) {
        trigger_box_ = box(QStringLiteral("trigger vnum box"), QStringLiteral("Trigger vnum"));
        button(QStringLiteral("Add"), [this] { add_trigger(); });
        button(QStringLiteral("Remove"), [this] { remove_trigger(); });
        connect(trigger_box_, &QLineEdit::returnPressed, this, [this] { add_trigger(); });
    } else {
        skill_box_ = box(QStringLiteral("skill number box"), QStringLiteral("Skill"));
        skill_value_box_ = box(QStringLiteral("skill value box"), QStringLiteral("Value"));
        button(QStringLiteral("Set"), [this] { set_skill(); });
        button(QStringLiteral("Remove"), [this] { remove_skill(); });
        connect(skill_value_box_, &QLineEdit::returnPressed, this, [this] { set_skill(); });
    }
    return controls;
}

void PropertiesPane::fill(int skip) {
    const bool was_filling = filling_;
    filling_ = true;
    for (const Row& r : rows_)
        fill_row(r, r.field.id != skip);
    filling_ = was_filling;
}

void PropertiesPane::fill_row(const Row& r, bool with_box) {
    const Workspace& ws = editor_.workspace();
    const int v = vnum();
    const int id = r.field.id;
    const bool had = filling_;
    filling_ = true;
    const std::string label = prop_label(ws, kind_, v, id);
    r.label->setText(from_area_text(label.empty() ? r.field.name : label));
    if (r.hint) r.hint->setText(from_area_text(prop_hint(ws, kind_, v, id)));
    if (r.field.kind == PropKind::Flags) {
        const long long word = prop_number(ws, kind_, v, id).value_or(0);
        for (int bit = 0; bit < 32; ++bit)
            r.flags[bit]->setChecked((word >> bit) & 1);
    } else if (with_box) {
        const QString text = from_area_text(prop_box_text(ws, kind_, v, id).value_or(""));
        if (box_text(r.box) != text) {
            if (auto* line = qobject_cast<QLineEdit*>(r.box))
                line->setText(text);
            else if (auto* plain = qobject_cast<QPlainTextEdit*>(r.box))
                plain->setPlainText(text);
        }
    }
    filling_ = had;
}

void PropertiesPane::typed(int id) {
    const int v = vnum();
    const Row* r = row(id);
    if (filling_ || v < 0 || !r) return;
    Workspace& ws = editor_.workspace();
    storing_ = id;
    PropResult result =
        store_prop_box(ws, kind_, v, id, to_area_text(box_text(r->box)),
                       editor_.edit_options(prop_field_bit(id), prop_merge_key(kind_, v, id)));
    storing_ = -1;
    show_result(result);
}

void PropertiesPane::box_left(int id) {
    // The burst of typing ends with the box; a refused text gives way to the
    // stored value.
    editor_.workspace().end_typing_burst();
    if (const Row* r = row(id)) fill_row(*r, true);
}

void PropertiesPane::flag_clicked(int id, int bit, bool on) {
    const int v = vnum();
    if (filling_ || v < 0) return;
    show_result(set_prop_flag(editor_.workspace(), kind_, v, id, bit, on));
    if (const Row* r = row(id)) fill_row(*r, true);  // a refused bit is cleared again
}

void PropertiesPane::show_result(const PropResult& result) {
    const std::string& message = !result.refusal.empty()   ? result.refusal
                                 : !result.warning.empty() ? result.warning
                                                           : result.note;
    if (message.empty() && !said_) return;
    editor_.workspace().ui().show_status(message);
    said_ = !message.empty();
}

void PropertiesPane::add_trigger() {
    const int v = vnum();
    if (v < 0 || !trigger_box_) return;
    Workspace& ws = editor_.workspace();
    std::optional<long long> trigger =
        whole_number<long long>(to_area_text(trigger_box_->text().trimmed()));
    if (!trigger) {
        ws.ui().show_status("Type the vnum of a trigger to add.");
        return;
    }
    PropResult result = add_prop_trigger(ws, kind_, v, *trigger);
    show_result(result);
    if (result.stored) trigger_box_->clear();
}

void PropertiesPane::remove_trigger() {
    const int v = vnum();
    if (v < 0 || !trigger_box_) return;
    Workspace& ws = editor_.workspace();
    // The trigger typed, or else the last of the list.
    std::vector<long long> held;
    const int id = triggers_id(kind_);
    std::string why;
    if (auto list = read_number_list("Triggers", prop_box_text(ws, kind_, v, id).value_or(""),
                                     {0, kVnumMax}, why))
        held = *list;
    const QString typed = trigger_box_->text().trimmed();
    int index = static_cast<int>(held.size()) - 1;
    if (!typed.isEmpty()) {
        std::optional<long long> trigger = whole_number<long long>(to_area_text(typed));
        auto it = trigger ? std::find(held.begin(), held.end(), *trigger) : held.end();
        if (it == held.end()) {
            ws.ui().show_status("Trigger " + to_area_text(typed) + " is not on the list.");
            return;
        }
        index = static_cast<int>(it - held.begin());
    }
    if (index < 0) return;
    PropResult result = remove_prop_trigger(ws, kind_, v, index);
    show_result(result);
    if (result.stored) trigger_box_->clear();
}

void PropertiesPane::set_skill() {
    const int v = vnum();
    if (v < 0 || !skill_box_) return;
    Workspace& ws = editor_.workspace();
    std::optional<long long> skill =
        whole_number<long long>(to_area_text(skill_box_->text().trimmed()));
    std::optional<long long> value =
        whole_number<long long>(to_area_text(skill_value_box_->text().trimmed()));
    if (!skill || !value) {
        ws.ui().show_status("Type a skill number and its value.");
        return;
    }
    show_result(set_mobile_skill(ws, v, *skill, *value));
}

void PropertiesPane::remove_skill() {
    const int v = vnum();
    if (v < 0 || !skill_box_) return;
    Workspace& ws = editor_.workspace();
    std::optional<long long> skill =
        whole_number<long long>(to_area_text(skill_box_->text().trimmed()));
    if (!skill) {
        ws.ui().show_status("Type the number of the skill to remove.");
        return;
    }
    show_result(remove_mobile_skill(ws, v, *skill));
}

bool PropertiesPane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            for (const Row& r : rows_)
                if (r.box == watched) {
                    box_left(r.field.id);
                    break;
                }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zs
