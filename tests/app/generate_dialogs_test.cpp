// Generate Descriptions driven through its rows: the files read in order, the
// run one undoable step, and the room text pane showing the new description
// without storing it again.
#include "app/generate_dialogs.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTimer>
#include <fstream>

#include "app/demo_window.h"
#include "generators/random.h"
#include "world/world_table.h"

namespace zs {
namespace {

using GenerateDialogsTest = test::DemoWindowTest;

TEST_F(GenerateDialogsTest, GenerateDescribesTheTitledRoomsAsOneStep) {
    const std::string file = (dir.path() / "crossroads.txt").string();
    std::ofstream(file) << "title: The Millbrook Crossroads\r\n"
                           "noun: crossroads\r\nadj:\r\ndusty;quiet~\r\nend_verb:\r\nwaits~\r\n"
                           "noun: milestone\r\ntype: sight\r\nadj:\r\nweathered~\r\n"
                           "noun: tracks\r\ntype: sight\r\nsp: plural countable\r\n"
                           "noun: ruts\r\ntype: sight\r\nsp: plural\r\n"
                           "noun: creaking\r\ntype: sound\r\n"
                           "noun: bread\r\ntype: smell\r\nadj:\r\nwarm~\r\n"
                           "noun: breeze\r\ntype: temp\r\nadj:\r\ncool~\r\n";
    const std::string other = room(8801).description.str();
    Random random(7);
    GenerateDescsDialog dialog(ws, random, window.get());
    dialog.show();
    dialog.path_box(1)->setText(QString::fromStdString(file));  // an empty row is passed over
    dialog.colour_box(1)->setText(QStringLiteral("&g"));
    test::click_button(&dialog, "Generate");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(room(8800).description.view().starts_with("&g   "));
    EXPECT_EQ(room(8801).description, other);  // another title
    EXPECT_EQ(ws.history().step_count(), 1u);  // the box's refresh stored nothing more
    EXPECT_EQ(ws.undo_text(), "Undo Generate Descriptions");
    EXPECT_EQ(window->description_box()->toPlainText(),
              QString::fromLatin1(room(8800).description.c_str()).replace("\r\n", "\n"));
}

// The rows are there again at the next run, and in the next session: the
// settings file keeps them.
TEST_F(GenerateDialogsTest, GenerateDescsKeepsItsRowsBetweenRuns) {
    Random random(7);
    const QString path = QStringLiteral("/home/anna/vocabulary files/forest.txt");
    {
        GenerateDescsDialog dialog(ws, random, window.get());
        dialog.show();
        dialog.path_box(2)->setText(path);
        dialog.colour_box(2)->setText(QStringLiteral("&g"));
        test::click_button(&dialog, "Cancel");
    }
    GenerateDescsDialog again(ws, random, window.get());
    EXPECT_EQ(again.path_box(2)->text(), path);
    EXPECT_EQ(again.colour_box(2)->text(), "&g");
    EXPECT_EQ(again.path_box(0)->text(), "");
    NullUi quiet_too;
    Workspace next_session{quiet_too};
    next_session.set_area_dir(dir.path());
    read_settings(next_session);
    EXPECT_EQ(next_session.options().vocabulary_rows[2], (VocabularyRow{path.toStdString(), "&g"}));
}

TEST_F(GenerateDialogsTest, GenerateMapWalksAwayFromTheWindowAndAddsOneStep) {
    QTimer::singleShot(10, [] {
        auto* dialog = qobject_cast<GenerateMapDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->rooms_box()->setText(QStringLiteral("30"));
        dialog->zone_box()->setText(QStringLiteral("40"));
        dialog->title_box()->setText(QStringLiteral("A Dark Tunnel"));
        dialog->accept();
    });
    auto rooms_in_40 = [&] {
        int n = 0;
        for (int s = 0; s < ws.world().count(); ++s)
            n += ws.world().room(s).zone == 40;
        return n;
    };
    {
        // Another step is open when the walk ends: the rooms wait for it.
        Transaction other(ws, "Other Step");
        window->action("&Generate Map...")->trigger();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                auto* progress = window->findChild<QWidget*>(QStringLiteral("map progress"));
                return !progress || !progress->isVisible();
            },
            5000));
        QTest::qWait(50);
        EXPECT_EQ(rooms_in_40(), 0);
    }
    // They come as soon as the window's code has returned from that step.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(rooms_in_40(), 30);
    EXPECT_EQ(ws.undo_text(), "Undo Generate Map of 30 Rooms at Zone 40");
    EXPECT_EQ(ws.world().selected_room()->vnum, 4000);
    EXPECT_EQ(ws.world().selected_room()->title, "A Dark Tunnel");
    QApplication::processEvents();
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("map progress")), nullptr);
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(rooms_in_40(), 0);
}

// OK with a value the generator cannot take names the box and why, keeps
// what was typed and leaves the dialog open; a zone that exists is said in a
// message box.
TEST_F(GenerateDialogsTest, GenerateMapNamesARefusedBoxAndStaysOpen) {
    struct Case {
        const char *rooms, *zone, *floors;
        const char* status;   // the dialog's status line
        const char* message;  // the start of a message box's text
    } cases[] = {
        {"abc", "40", "", "Number of Rooms: \"abc\" is not a number.", ""},
        {"", "40", "", "Number of Rooms: no number is typed.", ""},
        {"30", "4x", "", "Starting Zone: \"4x\" is not a number.", ""},
        {"30", "40", "two", "Max Floors: \"two\" is not a number.", ""},
        {"0", "40", "", "Number of Rooms is 0; at least 1 room is needed.", ""},
        {"30", "40", "-1", "Max Floors is -1; it must be 0 (no limit) or more.", ""},
        {"30", "88", "", "", "Zone already exists! Zone 88 holds"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.rooms) + " / " + c.zone + " / " + c.floors);
        GenerateMapDialog dialog(ws, window.get());
        dialog.show();
        dialog.rooms_box()->setText(QString::fromLatin1(c.rooms));
        dialog.zone_box()->setText(QString::fromLatin1(c.zone));
        dialog.floors_box()->setText(QString::fromLatin1(c.floors));
        dialog.title_box()->setText(QStringLiteral("A Dark Tunnel"));
        QString message;
        QTimer::singleShot(10, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                message = box->text();
                box->accept();
            }
        });
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.status_label()->text().toStdString(), c.status);
        EXPECT_EQ(message.left(int(strlen(c.message))).toStdString(), c.message);
        EXPECT_EQ(dialog.rooms_box()->text(), QString::fromLatin1(c.rooms));
        EXPECT_EQ(dialog.title_box()->text(), "A Dark Tunnel");
    }
    EXPECT_EQ(ws.world().find_room(4000), -1);
}

TEST_F(GenerateDialogsTest, CancelledMapGenerationChangesNothing) {
    QTimer::singleShot(10, [] {
        auto* dialog = qobject_cast<GenerateMapDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->rooms_box()->setText(QStringLiteral("30"));
        dialog->zone_box()->setText(QStringLiteral("40"));
        dialog->title_box()->setText(QStringLiteral("A Dark Tunnel"));
        dialog->accept();
    });
    const std::size_t steps = ws.history().step_count();
    window->action("&Generate Map...")->trigger();
    // The walk's end reaches the window through its event loop, which has
    // not run yet: the walk is still the window's.
    window->action("&Generate Map...")->trigger();
    EXPECT_EQ(window->status_box()->text(), "A map is being generated; wait for it or cancel it.");
    auto* progress = window->findChild<QProgressDialog*>(QStringLiteral("map progress"));
    ASSERT_NE(progress, nullptr);
    test::click_button(progress, "Cancel");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return window->status_box()->text() == "Map generation cancelled; nothing was changed.";
        },
        5000));
    EXPECT_EQ(ws.history().step_count(), steps);
    EXPECT_EQ(ws.world().find_room(4000), -1);
}

}  // namespace
}  // namespace zs
