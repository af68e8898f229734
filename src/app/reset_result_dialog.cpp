#include "app/reset_result_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

#include "appkit/qt_ui.h"
#include "world/names.h"
#include "world/reset_result.h"
#include "world/room_text.h"
#include "world/workspace.h"
#include "world/zone_commands.h"

namespace zs {

namespace {

// " - the short description" of a loaded record, or nothing.
template <class Table>
QString name_of(const Table& table, int vnum) {
    const auto* p = table.find_record(vnum);
    if (!p) return QString();
    return QStringLiteral(" - ") + from_area_text(without_colour_codes(p->short_description));
}

QString row_text(const Workspace& ws, const Zedit& z, const ResetRow& row) {
    auto object = [&](const char* what) {
        return QStringLiteral("%1 %2%3")
            .arg(QString::fromLatin1(what))
            .arg(row.vnum)
            .arg(name_of(ws.objects(), row.vnum));
    };
    switch (row.what) {
        case ResetWhat::Mob:
            return QStringLiteral("Mobile %1%2").arg(row.vnum).arg(name_of(ws.mobiles(), row.vnum));
        case ResetWhat::Obj:
            return object("Object");
        case ResetWhat::Give:
            return object("Carries");
        case ResetWhat::Equip: {
            // Only a position in the table equips.
            int position = z.commands[static_cast<std::size_t>(row.index)].arg[2];
            return object("Wears") + QStringLiteral(" (%1)").arg(QString::fromLatin1(
                                         kWearPositionNames[static_cast<std::size_t>(position)]));
        }
        case ResetWhat::Put:
            return object("Holds");
        case ResetWhat::Door:
            return QStringLiteral("Door %1 set %2")
                .arg(QString::fromLatin1(kDirectionWords[static_cast<std::size_t>(row.vnum)]))
                .arg(QString::fromLatin1(kDoorStateNames[static_cast<std::size_t>(row.in)]));
        case ResetWhat::Remove:
            return QStringLiteral("Removes %1%2")
                .arg(row.vnum)
                .arg(name_of(ws.objects(), row.vnum));
        case ResetWhat::Skip:
            break;
    }
    return QStringLiteral("Skipped: %1 (%2)")
        .arg(from_area_text(row.text), QString::fromLatin1(skip_reason_text(row.why)));
}

}  // namespace

std::optional<int> reset_result_zone(const Workspace& ws) {
    if (const Zedit* z = ws.zones().selected_zedit()) return z->number;
    if (const Room* r = ws.world().selected_room(); r && ws.zones().find_zedit(r->zone) >= 0)
        return r->zone;
    return std::nullopt;
}

ResetResultDialog::ResetResultDialog(const Workspace& ws, int zone, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Reset Result of Zone %1").arg(zone));
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    layout->addWidget(summary_);
    tree_ = new QTreeWidget(this);
    tree_->setHeaderHidden(true);
    layout->addWidget(tree_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(560, 480);

    std::vector<ResetRow> rows = simulate_reset(ws, zone);
    int slot = ws.zones().find_zedit(zone);
    std::map<int, QTreeWidgetItem*> rooms;
    std::vector<QTreeWidgetItem*> items(rows.size(), nullptr);
    int mobiles = 0, objects = 0, skipped = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ResetRow& row = rows[i];
        QTreeWidgetItem* under = nullptr;
        if (row.parent >= 0) {
            under = items[static_cast<std::size_t>(row.parent)];
        } else {
            QTreeWidgetItem*& room = rooms[row.room];
            if (!room) {
                QString title = QStringLiteral("Room %1").arg(row.room);
                if (row.room < 0) title = QStringLiteral("No room");
                if (const Room* r = ws.world().find_room_record(row.room))
                    title += QStringLiteral(" - ") +
                             from_area_text(without_colour_codes(r->title.view()));
                room = new QTreeWidgetItem(tree_, {title});
            }
            under = room;
        }
        auto* item = new QTreeWidgetItem(under, {row_text(ws, ws.zones().zedit(slot), row)});
        item->setData(0, Qt::UserRole, row.index);
        items[i] = item;
        mobiles += row.what == ResetWhat::Mob;
        objects += row.what == ResetWhat::Obj || row.what == ResetWhat::Give ||
                   row.what == ResetWhat::Equip || row.what == ResetWhat::Put;
        if (row.what == ResetWhat::Skip) {
            ++skipped;
            item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
        }
    }
    tree_->expandAll();
    summary_->setText(
        rows.empty() ? QStringLiteral("One reset of zone %1 loads nothing.").arg(zone)
                     : QStringLiteral("One reset of zone %1: mobiles loaded %2, objects loaded %3, "
                                      "commands that do not fire %4.")
                           .arg(zone)
                           .arg(mobiles)
                           .arg(objects)
                           .arg(skipped));
}

}  // namespace zs
