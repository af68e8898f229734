#include "editors/room_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "appkit/qt_ui.h"
#include "world/names.h"
#include "world/room_flags.h"
#include "world/workspace.h"

namespace zs {

namespace {

QString room_caption(int vnum) {
    return QStringLiteral("Room %1").arg(vnum);
}

}  // namespace

RoomFlagsDialog::RoomFlagsDialog(Workspace& ws, int vnum, QWidget* parent)
    : QDialog(parent), ws_(ws), vnum_(vnum) {
    setWindowTitle(QStringLiteral("Room Flags"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(room_caption(vnum), this));
    int slot = ws.world().find_room(vnum);
    std::uint32_t flags = slot >= 0 ? ws.world().room(slot).room_flags : 0;
    // Three columns, filled down first, in bit order.
    auto* grid = new QGridLayout;
    constexpr int kRows = 7;
    int n = 0;
    for (int bit = 0; bit < int(kRoomFlagNames.size()); ++bit) {
        if (!room_flag_has_box(bit)) continue;
        auto* box =
            new QCheckBox(QString::fromLatin1(kRoomFlagNames[std::size_t(bit)].data(),
                                              qsizetype(kRoomFlagNames[std::size_t(bit)].size())),
                          this);
        box->setObjectName(QStringLiteral("flag %1").arg(bit));
        box->setChecked((flags >> bit) & 1u);
        boxes_[std::size_t(bit)] = box;
        grid->addWidget(box, n % kRows, n / kRows);
        ++n;
    }
    layout->addLayout(grid);
    layout->addWidget(ok_cancel(this));
    adjustSize();
    centre_dialog(this);
}

void RoomFlagsDialog::accept() {
    std::uint32_t ticked = 0;
    for (int bit = 0; bit < 32; ++bit)
        if (boxes_[std::size_t(bit)] && boxes_[std::size_t(bit)]->isChecked())
            ticked |= std::uint32_t{1} << bit;
    set_room_flag_boxes(ws_, vnum_, ticked);
    QDialog::accept();
}

ExtraDescsDialog::ExtraDescsDialog(Workspace& ws, int vnum, QWidget* parent, TableKind kind)
    : QDialog(parent),
      status_line_(new QLabel(this)),
      status_(std::make_unique<DialogStatus>(ws, status_line_)),
      session_(ws, vnum, kind) {
    setWindowTitle(QStringLiteral("Extra Descriptions"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* room =
        new QLabel(session_.kind() == TableKind::Object ? QStringLiteral("Object %1").arg(vnum)
                                                        : room_caption(vnum),
                   this);
    room->setObjectName(QStringLiteral("room label"));
    position_ = new QLabel(this);
    position_->setObjectName(QStringLiteral("position label"));
    top->addWidget(room);
    top->addStretch(1);
    top->addWidget(position_);
    layout->addLayout(top);

    // Game text is laid out in a fixed font, as players see it.
    QFont fixed(QStringLiteral("DejaVu Sans Mono"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setPixelSize(12);
    layout->addWidget(new QLabel(QStringLiteral("Keywords (separated by spaces):"), this));
    keywords_ = new QLineEdit(this);
    keywords_->setObjectName(QStringLiteral("keywords box"));
    layout->addWidget(keywords_);
    layout->addWidget(new QLabel(QStringLiteral("Extra Description:"), this));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("text box"));
    text_->setFont(fixed);
    // Room for a game text line of 80 columns.
    text_->setMinimumSize(QFontMetrics(fixed).horizontalAdvance(QLatin1Char('M')) * 82, 240);
    layout->addWidget(text_, 1);

    auto* moves = new QHBoxLayout;
    auto add_button = [&](const char* caption, auto fn) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, fn);
        moves->addWidget(b);
    };
    add_button("Format", [this] {
        text_->setPlainText(
            from_area_text(ExtraDescSession::format(to_area_text(text_->toPlainText()))));
    });
    moves->addStretch(1);
    add_button("<- Previous", [this] { move(&ExtraDescSession::previous); });
    add_button("Next ->", [this] { move(&ExtraDescSession::next); });
    add_button("First", [this] { move(&ExtraDescSession::first); });
    add_button("Last", [this] { move(&ExtraDescSession::last); });
    layout->addLayout(moves);
    layout->addWidget(status_line_);
    layout->addWidget(ok_cancel(this));

    show_entry();
    adjustSize();
    centre_dialog(this);
}

void ExtraDescsDialog::show_entry() {
    const ExtraDescription& e = session_.shown();
    keywords_->setText(from_area_text(e.keyword));
    text_->setPlainText(from_area_text(e.description));
    position_->setText(QStringLiteral("%1/%2").arg(session_.position() + 1).arg(session_.count()));
}

std::pair<std::string, std::string> ExtraDescsDialog::boxes() const {
    // A box still showing the entry's text gives its bytes back as they are
    // (line ends included), so that an untouched entry stays unchanged.
    const ExtraDescription& e = session_.shown();
    return {box_bytes(keywords_->text(), e.keyword),
            box_bytes(text_->toPlainText(), e.description)};
}

void ExtraDescsDialog::move(bool (ExtraDescSession::*step)(std::string_view, std::string_view)) {
    auto [keywords, text] = boxes();
    if (!(session_.*step)(keywords, text)) return;
    status_->clear();
    show_entry();
}

void ExtraDescsDialog::accept() {
    if (closed_) return QDialog::accept();
    auto [keywords, text] = boxes();
    const int shown = session_.position();
    if (!session_.ok(keywords, text)) {
        // The status line says why; the entry to mend is shown, or the boxes
        // stay as typed.
        if (session_.position() != shown) show_entry();
        return;
    }
    closed_ = true;
    QDialog::accept();
}

void ExtraDescsDialog::reject() {
    if (!closed_) {
        // Cancel would drop an entry stored with only one of its parts: not
        // without a Yes.
        if (int i = session_.first_incomplete(); i >= 0) {
            const std::string missing = session_.what_is_missing(i);
            if (!status_->ask_yes_no(missing + "\r\nCancel drops it.  Drop it and close?", {})) {
                status_->show_status(missing);
                return;
            }
        }
        session_.cancel();
    }
    closed_ = true;
    QDialog::reject();
}

void open_room_flags_dialog(Workspace& ws, int room_vnum, QWidget* parent) {
    RoomFlagsDialog dialog(ws, room_vnum, parent);
    dialog.exec();
}

void open_extra_descs_dialog(Workspace& ws, int room_vnum, QWidget* parent) {
    ExtraDescsDialog dialog(ws, room_vnum, parent);
    dialog.exec();
}

void open_object_extra_descs_dialog(Workspace& ws, int object_vnum, QWidget* parent) {
    if (!ws.objects().find_record(object_vnum)) return;
    ExtraDescsDialog dialog(ws, object_vnum, parent, TableKind::Object);
    dialog.exec();
}

}  // namespace zs
