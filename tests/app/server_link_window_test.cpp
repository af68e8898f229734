// The server link's dialogs and menu items in the editor window. The link's
// events are handed to it as the connection would post them; the only
// connection made is to a local socket that listens and never answers, so
// nothing leaves the machine and no reply comes unasked. One test goes the
// whole way against the reference server on loopback.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "app/main_window.h"
#include "app/map_widget.h"
#include "app/server_dialogs.h"
#include "launch.h"
#include "net/protocol.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::ScratchDir;
using State = net::LoginState;
using Status = net::UpdateStatus;

// A TCP port on 127.0.0.1 that accepts connections (the kernel's backlog
// does) and never says a word: a connection to it stays open, waiting.
class SilentServer {
public:
    SilentServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), len) != 0 ||
            ::listen(fd_, 8) != 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            ADD_FAILURE() << "no local socket to listen on";
        port_ = ntohs(a.sin_port);
    }
    ~SilentServer() {
        if (fd_ >= 0) ::close(fd_);
    }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// Runs `f` on the next modal widget of type T once it is up (looked for
// every 10 ms, for at most 3 s).
template <class T>
void when_up(std::function<void(T*)> f) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(300);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, f] {
        auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!w && --*tries > 0) return;
        timer->stop();
        timer->deleteLater();
        if (w)
            f(w);
        else
            ADD_FAILURE() << "the expected dialog did not come up";
    });
    timer->start(10);
}

QStringList label_texts(QWidget* w) {
    QStringList texts;
    for (auto* l : w->findChildren<QLabel*>())
        texts << l->text();
    return texts;
}

QList<QAbstractButton*> buttons(QWidget* w, const QString& caption) {
    QList<QAbstractButton*> found;
    for (auto* b : w->findChildren<QAbstractButton*>())
        if (b->text() == caption) found << b;
    return found;
}

void click(QWidget* w, const QString& caption, int which = 0) {
    auto found = buttons(w, caption);
    if (found.size() > which)
        QTest::mouseClick(found[which], Qt::LeftButton);
    else
        ADD_FAILURE() << "no button " << caption.toStdString();
}

class ServerLinkWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws.set_area_dir(dir.path());
        dir.write(net::kServerSettingsFileName,
                  "Host: 127.0.0.1\nPort: " + std::to_string(server.port()) + "\nCheck: 0\n");
        window = std::make_unique<MainWindow>(ws);
        window->set_program_path(dir.path() / "zonesmith");
        link().set_own_crc([] { return 5u; });
        window->show();
        // Shortcuts reach the active window only.
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->map()->setFocus();
        QApplication::processEvents();
    }
    net::ServerLink& link() { return window->link(); }
    // Shortcuts reach the active window; the offscreen platform gives it no
    // activation back after a dialog. Call it while no dialog is due.
    void activate() {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get())) ADD_FAILURE() << "the window is not active";
    }
    void ctrl_d() {
        window->map()->setFocus();
        QTest::keyPress(window->map(), Qt::Key_Control);
        QTest::keyClick(window->map(), Qt::Key_D, Qt::ControlModifier);
        QTest::keyRelease(window->map(), Qt::Key_Control);
    }
    // The menu bar's items after the Help menu.
    QStringList items_after_help() {
        QStringList after;
        bool past = false;
        for (QAction* a : window->menuBar()->actions()) {
            if (past) after << a->text();
            past = past || a->text() == "&Help";
        }
        return after;
    }

    SilentServer server;
    NullUi quiet;
    Workspace ws{quiet};
    ScratchDir dir;
    std::unique_ptr<MainWindow> window;
};

TEST(ServerFileWindowTest, AServerFileThatIsAFifoKeepsNoWindowFromShowing) {
    ScratchDir dir;
    NullUi quiet;
    Workspace ws{quiet};
    ws.set_area_dir(dir.path());
    const std::filesystem::path fifo = dir.path() / net::kServerSettingsFileName;
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::unique_ptr<MainWindow> window;
    EXPECT_FALSE(test::blocked_on_fifo(fifo, [&] { window = std::make_unique<MainWindow>(ws); }));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    // Once it is up, the window says why the file was not read.
    QString said;
    when_up<QMessageBox>([&](QMessageBox* box) {
        said = box->text();
        box->accept();
    });
    window->start("");
    EXPECT_EQ(said.toStdString(), fifo.string() + " is not a regular file; it was not read.");
}

// No server file, one that names the placeholder host (what earlier versions
// wrote), or one without a host: no server is set up, and the start-up check
// connects nowhere and leaves the menu bar without an update item.
TEST(ServerFileWindowTest, WithNoServerSetUpNothingConnectsAtStart) {
    const char* files[] = {nullptr, "Host: quor.example.net\nPort: 9987\nCheck: 1\n",
                           "Host:\nCheck: 1\n"};
    for (const char* file : files) {
        SCOPED_TRACE(file ? file : "no file");
        ScratchDir dir;
        if (file) dir.write(net::kServerSettingsFileName, file);
        NullUi quiet;
        Workspace ws{quiet};
        ws.set_area_dir(dir.path());
        MainWindow window(ws);
        window.show();
        window.start("");
        window.link().start_update_check(5);
        QApplication::processEvents();
        EXPECT_FALSE(window.link().connected());
        EXPECT_EQ(window.update_status_item(), nullptr);
        EXPECT_EQ(window.link().update_status(), Status::unknown);
    }
}

// Login without a server set up offers Server Settings; the dialog keeps what
// was typed when a value is refused, writes the server file on OK, and the
// login goes on to the server just set.
TEST(ServerFileWindowTest, LoginOffersServerSettingsWhichWriteTheFile) {
    ScratchDir dir;
    SilentServer server;
    NullUi quiet;
    Workspace ws{quiet};
    ws.set_area_dir(dir.path());
    MainWindow window(ws);
    window.show();
    QString asked, refused;
    bool stayed_open = false;
    when_up<LoginDialog>([&](LoginDialog* login) {
        login->name_box()->setText("builder");
        login->password_box()->setText("secret");
        when_up<QMessageBox>([&](QMessageBox* question) {
            asked = question->text();
            when_up<ServerSettingsDialog>([&](ServerSettingsDialog* d) {
                d->host_box()->setText("127.0.0.1");
                d->port_box()->setText("abc");
                d->check_box()->setChecked(false);
                d->timeout_box()->setText("7");
                d->accept();
                refused = d->status_label()->text();
                stayed_open = d->isVisible() && d->host_box()->text() == "127.0.0.1";
                d->port_box()->setText(QString::number(server.port()));
                d->accept();
            });
            question->button(QMessageBox::Yes)->click();
        });
        click(login, "Login");
        EXPECT_EQ(window.link().login_state(), State::logging_in);
        login->reject();
    });
    window.action("&Download Area Files...")->trigger();
    EXPECT_EQ(asked.toStdString(), "No game server is set up.  Set one up now?");
    EXPECT_EQ(refused.toStdString(), "Port: \"abc\" is not a number.");
    EXPECT_TRUE(stayed_open);
    EXPECT_EQ(
        dir.read(net::kServerSettingsFileName),
        "Host: 127.0.0.1\nPort: " + std::to_string(server.port()) + "\nCheck: 0\nTimeout: 7\n");
    EXPECT_TRUE(window.link().settings().configured());
    EXPECT_EQ(window.link().settings().endpoint.port, server.port());
}

TEST_F(ServerLinkWindowTest, CtrlDFollowsTheLoginState) {
    struct Case {
        const char* name;
        std::function<void(net::ServerLink&)> into;
        QString opens;  // the caption of what comes up
        QString text;   // a message box's text
    } cases[] = {
        {"logged out", [](net::ServerLink&) {}, "Login", {}},
        {"logged in", [](net::ServerLink& l) { l.handle(net::LoginReply{true}); }, "Download", {}},
        {"logging in",
         [](net::ServerLink& l) {
             l.login({"builder", "secret"});
         },
         "Zonesmith", "Login still in progress.  Please wait for completion."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        activate();
        c.into(link());
        QString opened, text;
        when_up<QDialog>([&](QDialog* d) {
            opened = d->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(d)) text = box->text();
            d->reject();
        });
        ctrl_d();
        EXPECT_EQ(opened, c.opens);
        EXPECT_EQ(text, c.text);
        link().disconnect();
    }
}

TEST_F(ServerLinkWindowTest, LoginDialogShowsTheStatesAndOpensDownloadAfterwards) {
    QStringList labels, states;
    bool masked = false, focus_in_name = false, download_opened = false;
    when_up<LoginDialog>([&](LoginDialog* d) {
        labels = label_texts(d);
        labels.prepend(d->windowTitle());
        masked = d->password_box()->echoMode() == QLineEdit::Password;
        focus_in_name = d->focusWidget() == d->name_box();
        click(d, "Login");  // nothing typed: refused before any connection
        states << d->status_label()->text();
        EXPECT_FALSE(link().connected());
        d->name_box()->setText("builder");
        d->password_box()->setText("secret");
        click(d, "Login");  // connects to the silent server and waits
        states << d->status_label()->text();
        link().handle(net::LoginReply{false});
        states << d->status_label()->text();
        EXPECT_TRUE(d->isVisible());  // the builder may try again
        link().handle(net::LoginReply{true});
        states << d->status_label()->text();
        when_up<DownloadDialog>([&](DownloadDialog* dd) {
            download_opened = true;
            dd->reject();
        });
    });
    window->action("&Download Area Files...")->trigger();
    EXPECT_EQ(labels, QStringList({"Login", "Enter Quor Username and Password:", "Name:",
                                   "Password:", "Not logged in."}));
    EXPECT_TRUE(masked);
    EXPECT_TRUE(focus_in_name);
    EXPECT_EQ(states.join('|'),
              "The user name is empty.|Logging in...|Authentication failed.|Login succeeded.");
    EXPECT_EQ(link().credentials().user, "builder");
    EXPECT_TRUE(download_opened);
    EXPECT_EQ(window->login_dialog(), nullptr);
    EXPECT_EQ(window->status_box()->text(), "Logged in to Quor server.");
}

TEST_F(ServerLinkWindowTest, DownloadDialogBuildsTheRequestFromItsRows) {
    DownloadDialog d([] {}, window.get());
    EXPECT_EQ(d.windowTitle(), "Download");
    EXPECT_EQ(label_texts(&d).join('|'),
              "Select Area Files to Download:|Wld:|Mob:|Obj:|Zon:|Zone #:|Zone #:|Zone #:|Zone "
              "#:|Status: Inactive|Receiving: None");
    EXPECT_EQ(buttons(&d, "All").size(), 4);
    EXPECT_EQ(buttons(&d, "None").size(), 4);
    EXPECT_EQ(buttons(&d, "Download").size(), 1);
    EXPECT_EQ(buttons(&d, "Cancel").size(), 1);
    EXPECT_EQ(d.focusWidget(), d.zone_box(0));
    // Digits only, at most three.
    QTest::keyClicks(d.zone_box(0), "3a0x12");
    EXPECT_EQ(d.zone_box(0)->text(), "301");

    d.zone_box(0)->setText("30");
    click(&d, "All", 0);
    d.zone_box(1)->setText("31");
    click(&d, "All", 1);
    click(&d, "None", 1);
    d.file_box(1, 0)->setChecked(true);
    d.file_box(1, 3)->setChecked(true);
    d.zone_box(2)->setText("0");  // zone 0 and an empty field are left out
    click(&d, "All", 2);
    click(&d, "All", 3);
    EXPECT_EQ(net::request_list(d.rows()), "30 W M O Z 31 W Z ");
}

TEST_F(ServerLinkWindowTest, ProgressMovesTheBarOfItsZoneAndFile) {
    struct Case {
        const char* file;
        int percent;
        int row, column;  // the bar that moves; -1 none
        const char* receiving;
    } cases[] = {
        {"30.mob", 40, 1, 1, "Receiving: 30.mob"},  // "30", not "030"
        {"30.wld", 100, 1, 0, "30.wld received"},
        {"030.zon", 7, 0, 3, "Receiving: 030.zon"},
        {"31.obj", 55, 2, 2, "Receiving: 31.obj"},
        {"32.zon", 60, -1, -1, "Receiving: 32.zon"},  // no row reads 32
    };
    link().handle(net::LoginReply{true});
    when_up<DownloadDialog>([&](DownloadDialog* d) {
        const char* const fields[] = {"030", "30", "31"};
        for (int row = 0; row < 3; ++row)
            d->zone_box(row)->setText(fields[row]);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.file);
            d->clear_bars();
            link().handle(net::FileProgress{c.file, net::kind_of_name(c.file), c.percent});
            EXPECT_EQ(d->status_label()->text(),
                      QStringLiteral("Status: %1% complete.").arg(c.percent));
            EXPECT_EQ(d->receiving_label()->text(), c.receiving);
            for (int r = 0; r < DownloadDialog::kRows; ++r)
                for (int col = 0; col < DownloadDialog::kColumns; ++col)
                    EXPECT_EQ(d->bar(r, col)->value(),
                              r == c.row && col == c.column ? c.percent : 0)
                        << r << "," << col;
        }
        d->reject();
    });
    ctrl_d();
}

TEST_F(ServerLinkWindowTest, DownloadWhileLoggedOutAsksForTheLoginOnly) {
    link().handle(net::LoginReply{true});
    int bar = -1;
    bool login_opened = false;
    QString back_on_top;
    qsizetype download_dialogs = 0;
    when_up<DownloadDialog>([&](DownloadDialog* d) {
        d->bar(0, 0)->setValue(50);
        link().handle(net::Disconnected{});  // the connection ended: logged out
        when_up<LoginDialog>([&](LoginDialog*) {
            login_opened = true;
            link().handle(net::LoginReply{true});  // closes it; no second Download
            QTimer::singleShot(50, [&, d] {
                if (QWidget* w = QApplication::activeModalWidget()) back_on_top = w->windowTitle();
                download_dialogs = window->findChildren<DownloadDialog*>().size();
                d->reject();
            });
        });
        click(d, "Download");
        bar = d->bar(0, 0)->value();
    });
    ctrl_d();
    EXPECT_TRUE(login_opened);
    EXPECT_EQ(bar, 50);  // nothing else was done
    EXPECT_EQ(back_on_top, "Download");
    EXPECT_EQ(download_dialogs, 1);
}

TEST_F(ServerLinkWindowTest, UpdateStatusItemFollowsTheCheck) {
    EXPECT_TRUE(items_after_help().isEmpty());
    struct Case {
        std::uint32_t server_crc;
        QString item;
    } cases[] = {
        {6, "    Zonesmith is not up to date."},
        {0, "    Zonesmith update status is unknown."},
        {5, {}},  // up to date: no item
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server_crc);
        link().handle(net::CrcReply{false, c.server_crc});
        QStringList expected;
        if (!c.item.isEmpty()) expected << c.item;
        EXPECT_EQ(items_after_help(), expected);
        if (QAction* item = window->update_status_item()) {
            EXPECT_EQ(item->isEnabled(), c.server_crc == 6);
        }
    }
    link().start_update_check(5);
    EXPECT_EQ(items_after_help(), QStringList{"    Checking for updates..."});
    EXPECT_FALSE(window->update_status_item()->isEnabled());

    // "Not up to date" asks what "&Update..." asks.
    link().handle(net::CrcReply{false, 6});
    QString asked;
    when_up<QMessageBox>([&](QMessageBox* box) {
        asked = box->text();
        box->done(QMessageBox::No);
    });
    window->update_status_item()->trigger();
    EXPECT_EQ(asked,
              "Run Zonesmith Update?  This will close the program and all\nunsaved data will be "
              "lost.  Are you sure you want to do this?");
    EXPECT_EQ(window->update_dialog(), nullptr);
}

TEST_F(ServerLinkWindowTest, UpdateDialogShowsProgressAndCancelStopsTheDownload) {
    EXPECT_TRUE(window->action("&Update...")->isEnabled());
    link().handle(net::CrcReply{false, 6});
    QStringList seen;
    when_up<QMessageBox>([&](QMessageBox* box) {
        when_up<UpdateDialog>([&](UpdateDialog* d) {
            seen << d->windowTitle() << d->status_label()->text();
            EXPECT_TRUE(link().connected());
            link().handle(net::FileProgress{"zonesmith", net::FileKind::program, 40});
            seen << d->status_label()->text() << QString::number(d->bar()->value());
            click(d, "Cancel");
        });
        box->done(QMessageBox::Yes);
    });
    window->action("&Update...")->trigger();
    EXPECT_EQ(seen, QStringList({"Update Zonesmith", "Status:", "Status: 40% complete.", "40"}));
    EXPECT_FALSE(link().connected());
    EXPECT_EQ(window->update_dialog(), nullptr);
}

TEST_F(ServerLinkWindowTest, ArrivedUpdateWaitsForUnsavedWork) {
    // The whole way: asked, downloaded, checked by the link, then installed
    // only after the question about unsaved work, which says Cancel.
    const std::string program_bytes = "new program";
    link().handle(net::CrcReply{false, net::crc32_of(program_bytes)});
    ws.modified().mark(TableKind::World, 88);
    QString asked_about;
    window->set_unsaved_question([&](const QString& doing) {
        asked_about = doing;
        return MainWindow::UnsavedChoice::Cancel;
    });
    std::string part = dir.write("zonesmith.part", program_bytes);
    when_up<QMessageBox>([&](QMessageBox* box) {
        when_up<UpdateDialog>([&](UpdateDialog*) {
            link().handle(net::InstallUpdate{part, static_cast<long long>(program_bytes.size())});
        });
        box->done(QMessageBox::Yes);
    });
    window->action("&Update...")->trigger();
    EXPECT_EQ(asked_about, "installing the update");
    EXPECT_TRUE(dir.exists("zonesmith.part"));
    EXPECT_FALSE(dir.exists("Update_Zonesmith.sh"));
    EXPECT_EQ(window->status_box()->text(),
              QStringLiteral("The update was not installed; the new program is kept as %1.")
                  .arg(QString::fromStdString(part)));
}

TEST_F(ServerLinkWindowTest, AScriptThatCannotRunGivesTheLongMessage) {
    window->set_program_path(dir.path() / "missing" / "zonesmith");
    QString shown;
    when_up<QMessageBox>([&](QMessageBox* box) {
        shown = box->text();
        box->done(QMessageBox::Ok);
    });
    window->install_update({dir.path() / "missing" / "zonesmith.part", 10});
    // Queued: it runs from the event loop.
    for (int i = 0; i < 100 && shown.isEmpty(); ++i)
        QTest::qWait(10);
    EXPECT_EQ(shown,
              "Error running Zonesmith Update.  You can't execute batch files or something.\n"
              "The file zonesmith.part should be in the same folder as zonesmith.\n"
              "Just delete zonesmith, and remove the .part portion of the first file, and\n"
              "it should work.  If it doesn't, you are boned.");
}

// The editor against the reference server on loopback: zone 88's world file
// (and no zone file) on the server, builder s3cret's account, an area
// directory whose settings point at the server and bound its waits to
// `timeout` seconds.
class EndToEnd {
public:
    explicit EndToEnd(const std::vector<std::string>& modes, int timeout = 5) {
        namespace fs = std::filesystem;
        fs::create_directories(server_areas);
        fs::create_directories(area);
        fs::copy_file(demo, server_areas / "88.wld");
        root.write("accounts", "builder s3cret\n");
        std::vector<std::string> args = {"--accounts",          root.file("accounts"), "--areas",
                                         server_areas.string(), "--connections",       "1"};
        for (const std::string& mode : modes)
            args.insert(args.end(), {"--misbehave", mode});
        server.emplace(args, root.path() / "server.log");
        ws.set_area_dir(area);
        std::ofstream(area / net::kServerSettingsFileName)
            << "Host: 127.0.0.1\nPort: " << server->port() << "\nCheck: 0\nTimeout: " << timeout
            << "\n";
        window.emplace(ws);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(&*window)) ADD_FAILURE() << "the window is not active";
    }
    // Logs in through the menu command's dialog, asks the Download dialog for
    // zone 88's files of the `boxes` checked, waits until `done` holds (at
    // most 1.4 s: the tests' watchdog takes a dialog open for 1.5 s as
    // forgotten), runs `inspect` on the dialog and closes it.
    void download(const std::vector<int>& boxes, const std::function<bool(DownloadDialog*)>& done,
                  const std::function<void(DownloadDialog*)>& inspect) {
        when_up<LoginDialog>([&](LoginDialog* login) {
            login->name_box()->setText("builder");
            login->password_box()->setText("s3cret");
            click(login, "Login");
            when_up<DownloadDialog>([&](DownloadDialog* d) {
                d->zone_box(0)->setText("88");
                for (int column : boxes)
                    d->file_box(0, column)->setChecked(true);
                click(d, "Download");
                for (int i = 0; i < 140 && !done(d); ++i)
                    QTest::qWait(10);
                inspect(d);
                d->reject();
            });
        });
        window->action("&Download Area Files...")->trigger();
    }

    const std::filesystem::path demo = std::filesystem::path(ZS_SOURCE_DIR) / "demo" / "88.wld";
    ScratchDir root;
    const std::filesystem::path server_areas = root.path() / "server", area = root.path() / "area";
    std::optional<refserver::ServerProcess> server;
    NullUi quiet;
    Workspace ws{quiet};
    std::optional<MainWindow> window;
};

// The whole way: the menu command, the login typed into its dialog, the
// Download dialog after it, zone 88's world file asked for, received with its
// bar full, and loaded into the editor.
TEST(ServerLinkEndToEnd, LoginDownloadAndTheFileLoaded) {
    EndToEnd e2e({});
    int bar = -1;
    QString receiving;
    e2e.download(
        {0}, [&](DownloadDialog*) { return e2e.ws.world().find_room(8800) >= 0; },
        [&](DownloadDialog* d) {
            bar = d->bar(0, 0)->value();
            receiving = d->receiving_label()->text();
        });
    EXPECT_GE(e2e.ws.world().find_room(8800), 0) << e2e.server->log();
    EXPECT_EQ(bar, 100);
    EXPECT_EQ(receiving, "88.wld received");
    EXPECT_EQ(test::read_bytes(e2e.area / "88.wld"), test::read_bytes(e2e.demo));
    EXPECT_EQ(e2e.server->log().find("client fault"), std::string::npos) << e2e.server->log();
}

// Every text the dialog shows: its labels and its lists' lines.
QStringList shown_texts(QWidget* w) {
    QStringList texts = label_texts(w);
    for (auto* list : w->findChildren<QListWidget*>())
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
    return texts;
}

// A file broken off, and a file the server lacks: the dialog shows what
// became of each file with the reason the command line gives, and never "100%
// complete" while a file is missing.
TEST(ServerLinkEndToEnd, TheDownloadDialogSaysWhatBecameOfEachFile) {
    struct Case {
        const char* mode;
        QStringList shown;
    } cases[] = {
        {"skip",
         {"88.wld: failed: the server skipped from block 2 to 4",
          "88.zon: failed: the connection ended first"}},
        {nullptr,
         {"88.wld: received, 4781 bytes", "88.zon: failed: the server did not send it",
          "Status: 1 of 2 files did not arrive."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode ? c.mode : "sound");
        // The missing file is known when the server has sent nothing for a
        // second.
        EndToEnd e2e(c.mode ? std::vector<std::string>{c.mode} : std::vector<std::string>{}, 1);
        QStringList texts;
        auto all_shown = [&](DownloadDialog* d) {
            QStringList now = shown_texts(d);
            return std::all_of(c.shown.begin(), c.shown.end(),
                               [&](const QString& t) { return now.contains(t); });
        };
        e2e.download({0, 3}, all_shown, [&](DownloadDialog* d) { texts = shown_texts(d); });
        for (const QString& t : c.shown)
            EXPECT_TRUE(texts.contains(t)) << t.toStdString() << "\n"
                                           << texts.join('\n').toStdString();
        EXPECT_FALSE(texts.contains("Status: 100% complete.")) << texts.join('\n').toStdString();
    }
}

}  // namespace
}  // namespace zs
