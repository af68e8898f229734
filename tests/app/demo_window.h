// The editor window on the bundled demo area (zone 88, room 8800 selected):
// the fixture of the widget tests that drive panes and dialogs.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/main_window.h"
#include "files/area_files.h"
#include "files/file_wld.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs::test {

// Runs `answer` on the next modal dialog once it is up.
inline void answer_modal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        if (QWidget* w = QApplication::activeModalWidget())
            answer(w);
        else
            answer_modal(answer);
    });
}

// Clicks the button with the caption among `parent`'s children.
inline void click_button(QWidget* parent, const QString& caption) {
    for (auto* b : parent->findChildren<QAbstractButton*>())
        if (b->text() == caption) return QTest::mouseClick(b, Qt::LeftButton);
    ADD_FAILURE() << "no button " << caption.toStdString();
}

class DemoWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws.set_area_dir(dir.path());
        window = std::make_unique<MainWindow>(ws);
        window->show();
        // Shortcuts reach the active window only.
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(load_area_file(ws, std::string(ZS_SOURCE_DIR) + "/demo/88.wld"));
        QApplication::processEvents();
        ASSERT_EQ(ws.world().selected_room()->vnum, 8800);
    }
    const Room& room(int vnum) { return ws.world().room(ws.world().find_room(vnum)); }

    NullUi quiet;
    Workspace ws{quiet};
    ScratchDir dir;
    std::unique_ptr<MainWindow> window;
};

}  // namespace zs::test
