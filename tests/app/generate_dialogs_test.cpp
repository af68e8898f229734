// Generate Descriptions driven through its rows: the files read in order, the
// run one undoable step, and the room text pane showing the new description
// without storing it again.
#include "app/generate_dialogs.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <fstream>

#include "app/demo_window.h"
#include "generators/random.h"

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

}  // namespace
}  // namespace zs
