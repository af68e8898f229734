// Zone > Show Reset Result on the demo area: the message without a zedit,
// then, for the selected room's zone, the dialog's tree of what one reset loads, nested by carrier
// and container, with names and the commands that do not fire.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "app/demo_window.h"
#include "app/reset_result_dialog.h"

namespace zs {
namespace {

Zcmd cmd(char letter, std::array<std::int32_t, 6> args, int if_flag = 0) {
    Zcmd c;
    c.command = letter;
    c.arg = args;
    c.if_flag = if_flag;
    return c;
}

// The tree as lines, two blanks of indent per level.
void flatten(QTreeWidgetItem* item, int depth, QStringList& out) {
    out << QString(depth * 2, QLatin1Char(' ')) + item->text(0);
    for (int i = 0; i < item->childCount(); ++i)
        flatten(item->child(i), depth + 1, out);
}

using ResetResultDialogTest = test::DemoWindowTest;

TEST_F(ResetResultDialogTest, ListsWhatLoadsRoomByRoomWithCarriersAndSkips) {
    QAction* show = window->action(QStringLiteral("Show &Reset Result"));
    ASSERT_NE(show, nullptr);
    EXPECT_TRUE(show->isEnabled());
    show->trigger();
    EXPECT_TRUE(window->status_box()->text().startsWith("No zedit to show"));
    EXPECT_TRUE(window->findChildren<ResetResultDialog*>().isEmpty());

    ObjectPrototype lantern = make_new_object(8800, 88);
    lantern.short_description = "a &Ylantern&n";
    TableLoad(ws).objects().append(lantern);
    ObjectPrototype bag = make_new_object(8801, 88);
    bag.short_description = "a bag";
    TableLoad(ws).objects().append(bag);
    MobilePrototype guard = make_new_mobile(8800, 88);
    guard.short_description = "the guard";
    TableLoad(ws).mobiles().append(guard);
    Zedit z = make_new_zedit(88);
    z.commands = {cmd('M', {8800, 1, 8800, 0, 0, 0}), cmd('E', {8800, 5, 0, 0, 0, 0}, 1),
                  cmd('G', {8801, 5, 0, 0, 0, 0}, 1), cmd('P', {8800, 5, 8801, 0, 0, 0}),
                  cmd('D', {8800, 0, 1, 0, 0, 0}),    cmd('G', {8899, 5, 0, 0, 0, 0})};
    TableLoad(ws).zones().append(z);
    ws.zones().select_slot(-1);  // then the selected room's zone is shown
    show->trigger();
    auto dialogs = window->findChildren<ResetResultDialog*>();
    ASSERT_EQ(dialogs.size(), 1);
    ResetResultDialog* dialog = dialogs[0];
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());

    QStringList lines;
    for (int i = 0; i < dialog->tree()->topLevelItemCount(); ++i)
        flatten(dialog->tree()->topLevelItem(i), 0, lines);
    QString title = from_area_text(room(8800).title.view());
    EXPECT_EQ(lines, QStringList({
                         "Room 8800 - " + title,
                         "  Mobile 8800 - the guard",
                         "    Wears 8800 - a lantern (Used as light)",
                         "    Carries 8801 - a bag",
                         "      Holds 8800 - a lantern",
                         "  Door north set closed",
                         "  Skipped: 5 - Give it [8899], Max : 5   % 0 (a room, mobile or "
                         "object it names is not loaded)",
                     }))
        << lines.join('\n').toStdString();
    EXPECT_EQ(
        dialog->summary()->text(),
        "One reset of zone 88: mobiles loaded 1, objects loaded 3, commands that do not fire 1.");
    dialog->close();
}

}  // namespace
}  // namespace zs
