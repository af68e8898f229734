// The login, download and update flows as the window sees them, driven by
// the connection's events without a server.
#include "net/server_link.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>

#include "support/fake_ui.h"
#include "support/step.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs::net {
namespace {

using test::FakeUi;
using test::ScratchDir;

struct Recorder : LinkObserver {
    std::vector<std::string> seen;
    void login_state_changed(LoginState state, const std::string& text) override {
        seen.push_back("login " + std::to_string(static_cast<int>(state)) + " " + text);
    }
    void open_download_dialog() override { seen.push_back("open download"); }
    void download_progress(const FileProgress& p) override {
        seen.push_back("progress " + p.name + " " + std::to_string(p.percent));
    }
    void download_result(const std::string& line) override { seen.push_back("result " + line); }
    void download_finished(const std::string& summary, bool complete) override {
        seen.push_back((complete ? "complete " : "incomplete ") + summary);
    }
    void update_status_changed(UpdateStatus s) override {
        seen.push_back("status " + std::to_string(static_cast<int>(s)));
    }
    void update_progress(int percent) override {
        seen.push_back("update " + std::to_string(percent));
    }
    void update_failed(const std::string& reason) override { seen.push_back("failed " + reason); }
    void install_update(const InstallUpdate& u) override {
        seen.push_back("install " + u.part_path.filename().string());
    }
};

class ServerLinkTest : public ::testing::Test {
protected:
    ServerLinkTest() {
        ws.set_area_dir(dir.path());
        link.set_observer(&recorder);
        link.set_program_path(dir.path() / "zonesmith");
    }
    // Nothing listens on port 1: a connection fails at once.
    static LinkSettings nowhere() {
        LinkSettings s;
        s.endpoint = {"127.0.0.1", 1};
        return s;
    }
    // Runs what the connection posted, as the window's event loop would,
    // until `done` holds (at most 5 s).
    template <class Done>
    void run_until(Done done) {
        for (int i = 0; i < 500 && !done(); ++i) {
            std::vector<std::function<void()>> now;
            {
                std::lock_guard lock(mutex);
                now.swap(queue);
            }
            for (auto& f : now)
                f();
            if (!done()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    FakeUi ui;
    Workspace ws{ui};
    ScratchDir dir;
    std::mutex mutex;
    std::vector<std::function<void()>> queue;
    ServerLink link{ws, nowhere(), [this](std::function<void()> f) {
                        std::lock_guard lock(mutex);
                        queue.push_back(std::move(f));
                    }};
    Recorder recorder;
};

TEST(LinkTexts, StatesStatusesAndBars) {
    using S = LoginState;
    struct Row {
        S state, from;
        const char* dialog;
        const char* status;
    } rows[] = {
        {S::logged_out, S::logging_in, "Login timed out.", "Login timed out."},
        {S::logged_out, S::logged_in, "Logged out.", "Logged out of Quor server."},
        {S::logging_in, S::logged_out, "Logging in...", "Logging in to Quor server..."},
        {S::logged_in, S::logging_in, "Login succeeded.", "Logged in to Quor server."},
        {S::failed, S::logging_in, "Authentication failed.", "Authentication failed."},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(login_dialog_text(r.state, r.from), r.dialog);
        EXPECT_EQ(login_status_text(r.state, r.from), r.status);
    }
    EXPECT_EQ(update_status_text(UpdateStatus::up_to_date), "");
    EXPECT_EQ(update_status_text(UpdateStatus::not_up_to_date), "    Zonesmith is not up to date.");
    EXPECT_EQ(update_status_text(UpdateStatus::unknown), "    Zonesmith update status is unknown.");
    EXPECT_EQ(update_status_text(UpdateStatus::checking), "    Checking for updates...");

    std::vector<std::string> fields{"030", "30", "31", ""};
    struct Bar {
        const char* name;
        int row, column;
    } bars[] = {{"30.mob", 1, 1},   {"30.wld", 1, 0},   {"31.zon", 2, 3}, {"31.obj", 2, 2},
                {"32.wld", -1, -1}, {"30.txt", -1, -1}, {"", -1, -1}};
    for (const Bar& b : bars) {
        BarPlace place = bar_for(b.name, fields);
        EXPECT_EQ(place.row, b.row) << b.name;
        EXPECT_EQ(place.column, b.column) << b.name;
    }
    EXPECT_EQ(download_status_text(42), "Status: 42% complete.");
    EXPECT_EQ(receiving_text("30.wld", 42), "Receiving: 30.wld");
    EXPECT_EQ(receiving_text("30.wld", 100), "30.wld received");
}

TEST(LinkSettingsFile, ReadsItsKeysAndTheCheckSwitch) {
    ScratchDir dir;
    dir.write("ZonesmithServer.txt", "Host: game.example.org\nPort: 4000\nCheck: 0\nTimeout: 5\n");
    unsetenv("ZONESMITH_UPDATE_CHECK");
    LinkSettings s = read_link_settings(dir.path());
    EXPECT_EQ(s.endpoint.host, "game.example.org");
    EXPECT_EQ(s.endpoint.port, 4000);
    EXPECT_FALSE(s.check_at_start);
    EXPECT_EQ(s.timeouts.idle, std::chrono::milliseconds(5000));

    // Bad values keep the defaults; the environment turns the check off.
    dir.write("ZonesmithServer.txt", "Port: 70000\nTimeout: x\nHost:\n");
    s = read_link_settings(dir.path());
    EXPECT_EQ(s.endpoint.port, kDefaultPort);
    EXPECT_TRUE(s.check_at_start);
    EXPECT_EQ(s.timeouts.idle, std::chrono::milliseconds(30000));
    setenv("ZONESMITH_UPDATE_CHECK", "0", 1);
    EXPECT_FALSE(read_link_settings(dir.path()).check_at_start);
}

TEST(LinkSettingsFile, WrittenSettingsReadBackTheSame) {
    struct Case {
        const char* host;
        int port;
        bool check;
        int timeout;  // 0: none written
        const char* text;
    } cases[] = {
        {"127.0.0.1", 4000, false, 5, "Host: 127.0.0.1\nPort: 4000\nCheck: 0\nTimeout: 5\n"},
        {"game.example.org", kDefaultPort, true, 0,
         "Host: game.example.org\nPort: 9987\nCheck: 1\n"},
    };
    unsetenv("ZONESMITH_UPDATE_CHECK");
    for (const Case& c : cases) {
        ScratchDir dir;
        LinkSettings s;
        s.endpoint = {c.host, c.port};
        s.check_at_start = c.check;
        set_timeout(s, c.timeout);
        std::string problem = "unset";
        ASSERT_TRUE(write_link_settings(dir.path(), s, &problem)) << problem;
        EXPECT_EQ(dir.read(kServerSettingsFileName), c.text);
        LinkSettings back = read_link_settings_file(dir.path());
        EXPECT_EQ(back.endpoint.host, c.host);
        EXPECT_EQ(back.endpoint.port, c.port);
        EXPECT_EQ(back.check_at_start, c.check);
        EXPECT_EQ(back.timeout_seconds, c.timeout);
        EXPECT_EQ(back.timeouts.connect, s.timeouts.connect);
        EXPECT_EQ(link_settings_text(back), c.text);
    }
    // The environment's switch is no value of the file: what is written back
    // keeps the file's check.
    setenv("ZONESMITH_UPDATE_CHECK", "0", 1);
    ScratchDir dir;
    dir.write(kServerSettingsFileName, "Host: h\nCheck: 1\n");
    EXPECT_FALSE(read_link_settings(dir.path()).check_at_start);
    EXPECT_TRUE(read_link_settings_file(dir.path()).check_at_start);
}

TEST(LinkSettingsFile, NoHostOrThePlaceholderMeansNoServer) {
    struct Case {
        const char* file;  // null: no file
        bool configured;
    } cases[] = {
        {nullptr, false},
        {"Host: quor.example.net\nPort: 9987\nCheck: 1\nTimeout: 30\n", false},
        {"Host:\nPort: 4000\n", false},
        {"Port: 4000\nCheck: 1\n", false},
        {"Host: game.example.org\n", true},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        if (c.file) dir.write(kServerSettingsFileName, c.file);
        EXPECT_EQ(read_link_settings(dir.path()).configured(), c.configured)
            << (c.file ? c.file : "no file");
    }
}

TEST_F(ServerLinkTest, WithoutAServerNothingConnects) {
    link.set_settings(LinkSettings{});
    link.start_update_check(5);
    EXPECT_FALSE(link.connected());
    EXPECT_FALSE(link.login({"builder", "secret"}));
    EXPECT_FALSE(link.connected());
    EXPECT_EQ(link.login_state(), LoginState::logged_out);
    link.start_update();
    EXPECT_FALSE(link.connected());
    EXPECT_EQ(recorder.seen, std::vector<std::string>{"failed " + ui.last_status()});
    EXPECT_EQ(ui.last_status(), "No game server is set up (File > Server Settings...).");
}

TEST_F(ServerLinkTest, DownloadCommandFollowsTheLoginState) {
    EXPECT_EQ(link.download_command(), ServerLink::DownloadCommand::open_login);
    // Logging in: the connection fails, and the login times out.
    ASSERT_TRUE(link.login({"builder", "secret"}));
    EXPECT_EQ(link.login_state(), LoginState::logging_in);
    EXPECT_EQ(link.download_command(), ServerLink::DownloadCommand::busy);
    EXPECT_EQ(link.download({{"30", true}}), ServerLink::DownloadStart::logging_in);
    run_until([&] { return link.login_state() == LoginState::logged_out; });
    EXPECT_EQ(ui.last_status(), "Login timed out.");
    EXPECT_EQ(recorder.seen.back(), "login 0 Login timed out.");
    EXPECT_EQ(link.download({{"30", true}}), ServerLink::DownloadStart::logged_out);

    // An accepted reply logs in and opens the Download dialog the menu asked for.
    recorder.seen.clear();
    link.handle(LoginReply{true});
    EXPECT_EQ(recorder.seen,
              (std::vector<std::string>{"login 2 Login succeeded.", "open download"}));
    EXPECT_EQ(link.download_command(), ServerLink::DownloadCommand::open_download);
}

TEST_F(ServerLinkTest, RefusedCredentialsAndLoginsAreReported) {
    for (const char* bad : {"two words", "has#hash", "end\x03", ""}) {
        EXPECT_FALSE(link.login({bad, "pw"})) << bad;
        EXPECT_EQ(link.login_state(), LoginState::logged_out);
    }
    EXPECT_FALSE(link.connected());
    // A rejected login reads "Authentication failed." and is stored as logged out.
    link.handle(LoginReply{false});
    EXPECT_EQ(link.login_state(), LoginState::logged_out);
    EXPECT_EQ(ui.last_status(), "Authentication failed.");
    EXPECT_EQ(recorder.seen.back(), "login 3 Authentication failed.");
}

TEST_F(ServerLinkTest, UpdateCheckJudgesTheServersReply) {
    struct Row {
        std::uint32_t own, server;
        UpdateStatus status;
    } rows[] = {
        {0x8000'0001u, 0x8000'0001u, UpdateStatus::up_to_date},  // 2^31 and more as 32 bits
        {7, 8, UpdateStatus::not_up_to_date},
        {7, 0, UpdateStatus::unknown},
        {0, 7, UpdateStatus::not_up_to_date},
    };
    for (const Row& r : rows) {
        link.set_own_crc([own = r.own] { return own; });
        link.handle(CrcReply{false, r.server});
        EXPECT_EQ(link.update_status(), r.status) << r.own << " " << r.server;
    }
    // An unsupported file leaves the status as it was.
    link.handle(CrcReply{true, 5});
    EXPECT_EQ(link.update_status(), UpdateStatus::not_up_to_date);
    EXPECT_EQ(ui.last_status(), "Updater: File type not yet supported.");

    dir.write("zonesmith", "12345");
    link.handle(SizeReply{false, 5});
    EXPECT_EQ(link.update_status(), UpdateStatus::up_to_date);
    link.handle(SizeReply{false, 0});
    EXPECT_EQ(link.update_status(), UpdateStatus::unknown);
    link.handle(SizeReply{false, 6});
    EXPECT_EQ(link.update_status(), UpdateStatus::not_up_to_date);
}

TEST_F(ServerLinkTest, StartUpCheckWithoutOwnCrcOrServer) {
    link.start_update_check(0);
    EXPECT_EQ(ui.message_texts(), (std::vector<std::string>{"CRC Error, please report this"}));
    EXPECT_EQ(link.update_status(), UpdateStatus::unknown);
    EXPECT_FALSE(link.connected());

    link.start_update_check(1234);
    EXPECT_EQ(link.update_status(), UpdateStatus::checking);
    run_until([&] { return link.update_status() != UpdateStatus::checking; });
    EXPECT_EQ(link.update_status(), UpdateStatus::unknown);
    EXPECT_EQ(ui.last_status(), "Failed to connect to server.");
}

TEST_F(ServerLinkTest, DownloadedFilesAreLoadedButUnsavedWorkIsAsked) {
    std::string wld = test::read_bytes(std::filesystem::path(ZS_SOURCE_DIR) / "demo" / "88.wld");
    auto arrive = [&] {
        dir.write("88.wld", wld);
        link.handle(FileReceived{"88.wld", FileKind::world, dir.path() / "88.wld",
                                 static_cast<long long>(wld.size())});
    };
    arrive();
    ASSERT_TRUE(ws.has_zone(TableKind::World, 88));
    int rooms = ws.world().count();
    EXPECT_TRUE(ui.questions.empty());

    // Loaded and unchanged: replaced without a question.
    arrive();
    EXPECT_EQ(ws.world().count(), rooms);
    EXPECT_TRUE(ui.questions.empty());

    // Unsaved changes: No keeps them, Yes replaces them.
    test::Step(ws).world().create_room(8899, 88);
    ws.modified().mark(TableKind::World, 88);
    ui.answer({false, true});
    arrive();
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ws.world().count(), rooms + 1);
    arrive();
    EXPECT_EQ(ws.world().count(), rooms);
    EXPECT_FALSE(ws.modified().is_set(TableKind::World, 88));
}

TEST_F(ServerLinkTest, InstallsOnlyWhatTheServerAnnounced) {
    std::filesystem::path part = dir.path() / "zonesmith.part";
    struct Row {
        const char* bytes;
        long long size;
        std::uint32_t crc;  // 0: the right one
        bool installed;
    } rows[] = {
        {"new program", 11, 0, true}, {"new program", 12, 0, false}, {"new program", 11, 1, false}};
    for (const Row& r : rows) {
        recorder.seen.clear();
        dir.write("zonesmith.part", r.bytes);
        std::uint32_t right = crc32_of(r.bytes);
        link.set_own_crc([] { return 1u; });
        link.start_update();  // no CRC known yet: the link asks for it first
        link.handle(CrcReply{false, r.crc ? right + r.crc : right});
        link.handle(InstallUpdate{part, r.size});
        ASSERT_FALSE(recorder.seen.empty());
        EXPECT_EQ(recorder.seen.back().rfind(r.installed ? "install" : "failed", 0), 0u)
            << recorder.seen.back();
        EXPECT_EQ(std::filesystem::exists(part), r.installed);
        link.cancel_update();
    }
}

TEST_F(ServerLinkTest, EventsDuringABoxWaitForTheOneBeingHandled) {
    // A box opened while handling an event runs the event loop, which
    // delivers the next events: they are handled after the first is done,
    // and after the others taken from the queue with it.
    struct Nesting : LinkObserver {
        ServerLink* link = nullptr;
        std::vector<std::string> order;
        void download_progress(const FileProgress& p) override {
            order.push_back(p.name + " begins");
            if (order.size() == 1) link->handle_all({FileProgress{"31.zon", FileKind::zone, 5}});
            order.push_back(p.name + " ends");
        }
    } nesting;
    nesting.link = &link;
    link.set_observer(&nesting);
    link.handle_all(
        {FileProgress{"30.wld", FileKind::world, 0}, FileProgress{"30.obj", FileKind::object, 0}});
    EXPECT_EQ(nesting.order,
              (std::vector<std::string>{"30.wld begins", "30.wld ends", "30.obj begins",
                                        "30.obj ends", "31.zon begins", "31.zon ends"}));
}

// What became of each file, in the words both the command line and the
// Download dialog use, and the summary once the request is over.
TEST(DownloadReport, LinesAndSummary) {
    struct Case {
        const char* name;
        std::string list;
        std::vector<Event> events;
        std::vector<std::string> lines;
        std::string summary;
        bool complete;
    };
    const FileReceived wld{"30.wld", FileKind::world, "a/30.wld", 10};
    const FileReceived zon{"30.zon", FileKind::zone, "a/30.zon", 7};
    const std::vector<Case> cases = {
        {"all came",
         "30 W Z ",
         {wld, zon, RequestEnded{}},
         {"30.wld: received, 10 bytes", "30.zon: received, 7 bytes"},
         "Download complete: 2 files received.",
         true},
        {"one missing",
         "30 W Z ",
         {wld, RequestEnded{{"30.zon"}}},
         {"30.wld: received, 10 bytes", "30.zon: failed: the server did not send it"},
         "1 of 2 files did not arrive.",
         false},
        {"an unasked file refused after the request was whole",
         "30 W ",
         {wld,
          FileFailed{"\x9b"
                     "30.zon",
                     "it was not requested", true},
          Disconnected{"Download of \"\\x9b30.zon\" refused: it was not requested."}},
         {"30.wld: received, 10 bytes", "\\x9b30.zon: refused: it was not requested"},
         "1 file from the server was refused (Download of \"\\x9b30.zon\" refused: it was "
         "not requested).",
         false},
        {"a second copy refused, the rest lost",
         "30 W Z ",
         {wld, FileFailed{"30.wld", "it was sent a second time", true}, Disconnected{}},
         {"30.wld: received, 10 bytes", "30.wld: refused: it was sent a second time",
          "30.zon: failed: the connection ended first"},
         "1 of 2 files did not arrive; 1 file from the server was refused (the server closed "
         "the connection).",
         false},
    };
    for (const Case& c : cases) {
        DownloadReport report(c.list);
        std::vector<std::string> lines;
        for (const Event& e : c.events)
            for (std::string& line : report.take(e))
                lines.push_back(std::move(line));
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_TRUE(report.finished()) << c.name;
        EXPECT_EQ(report.summary(), c.summary) << c.name;
        EXPECT_EQ(report.complete(), c.complete) << c.name;
    }
}

TEST_F(ServerLinkTest, AnUpdateTheServerNeverSendsFails) {
    link.start_update();
    link.handle(CrcReply{false, 5});
    link.handle(RequestEnded{{"zonesmith"}});
    EXPECT_EQ(recorder.seen.back(), "failed The server did not send the new program.");
    EXPECT_FALSE(link.connected());
}

TEST_F(ServerLinkTest, AnUpdateWithTheServerDownSaysWhy) {
    link.start_update();
    run_until(
        [&] { return !recorder.seen.empty() && recorder.seen.back().rfind("failed ", 0) == 0; });
    EXPECT_EQ(recorder.seen.back(), "failed Could not connect to 127.0.0.1:1: Connection refused.");
}

TEST_F(ServerLinkTest, ConnectionEndsAreReported) {
    link.handle(LoginReply{true});
    ui.clear();
    link.handle(Disconnected{"The server closed the connection."});
    EXPECT_EQ(link.login_state(), LoginState::logged_out);
    EXPECT_EQ(ui.last_status(), "Logged out of Quor server.");
}

}  // namespace
}  // namespace zs::net
