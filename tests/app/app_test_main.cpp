// Entry point of the editor tests: fonts, text drawing and widgets need the
// application object, made before any test runs (a QApplication, so that
// window tests can share this main). Without a platform named in the
// environment, as when the build lists the tests, the offscreen one is used.
//
// No one answers a box in a test run: a modal box that a test did not expect
// would wait for ever. A watchdog closes any such box and fails the test
// that opened it, naming its text.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A box that tests open and close themselves is gone within a tick; one
    // still open at two ticks in a row was left for no one.
    QTimer watchdog;
    QPointer<QWidget> seen;
    QObject::connect(&watchdog, &QTimer::timeout, [&seen] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal != seen) {
            seen = modal;
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(modal);
        ADD_FAILURE() << "an unexpected modal box was left open: "
                      << (box ? box->text() : modal->windowTitle()).toStdString();
        if (box)
            box->done(QMessageBox::No);
        else
            modal->close();
    });
    watchdog.start(1500);
    return RUN_ALL_TESTS();
}
