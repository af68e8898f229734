// The window's flows against the reference server: a builder logs in,
// downloads a zone and finds it loaded; an update arrives and is installed
// only when it is the program the server announced.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "link_fixture.h"
#include "net/server_link.h"
#include "support/fake_ui.h"
#include "world/workspace.h"

namespace zs::net {
namespace {

namespace fs = std::filesystem;

struct Seen : LinkObserver {
    std::vector<int> update_percents;
    std::vector<std::string> download;
    std::string failed;
    std::optional<InstallUpdate> install;
    void download_progress(const FileProgress& p) override {
        download.push_back(p.name + " " + std::to_string(p.percent));
    }
    void update_progress(int percent) override { update_percents.push_back(percent); }
    void update_failed(const std::string& reason) override { failed = reason; }
    void install_update(const InstallUpdate& update) override { install = update; }
};

class ServerLinkFlowTest : public ::testing::Test {
protected:
    void start(const std::vector<std::string>& modes) {
        server.emplace(tree.server_args(modes), tree.server_log());
        LinkSettings settings;
        settings.endpoint = {"127.0.0.1", server->port()};
        settings.timeouts.idle = settings.timeouts.reply = std::chrono::milliseconds(3000);
        ws.set_area_dir(tree.area_dir());
        link.emplace(ws, settings, [this](std::function<void()> f) {
            std::lock_guard lock(mutex);
            queue.push_back(std::move(f));
        });
        link->set_observer(&seen);
        link->set_program_path(tree.places().program_path);
        link->set_own_crc([] { return 1u; });
    }
    // The window's event loop, until `done` holds (at most 10 s).
    template <class Done>
    bool run_until(Done done) {
        for (int i = 0; i < 1000; ++i) {
            std::vector<std::function<void()>> now;
            {
                std::lock_guard lock(mutex);
                now.swap(queue);
            }
            for (auto& f : now)
                f();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    test::LinkTree tree;
    std::optional<refserver::ServerProcess> server;
    test::FakeUi ui;
    Workspace ws{ui};
    std::mutex mutex;
    std::vector<std::function<void()>> queue;
    Seen seen;
    std::optional<ServerLink> link;
};

TEST_F(ServerLinkFlowTest, LoginDownloadAndTheZoneIsLoaded) {
    fs::copy_file(fs::path(ZS_SOURCE_DIR) / "demo" / "88.wld", tree.server_areas() / "88.wld");
    start({});
    ASSERT_TRUE(link->login(test::LinkTree::kCredentials));
    ASSERT_TRUE(run_until([&] { return link->login_state() == LoginState::logged_in; }));
    EXPECT_EQ(ui.last_status(), "Logged in to Quor server.");

    ASSERT_EQ(link->download({{"88", true, false, false, false}}), ServerLink::DownloadStart::sent);
    ASSERT_TRUE(run_until([&] { return ws.has_zone(TableKind::World, 88); }));
    EXPECT_EQ(seen.download.back(), "88.wld 100");
    EXPECT_GT(ws.world().count(), 0);
    EXPECT_FALSE(fs::exists(tree.area_dir() / "88.wld.download"));
    link->disconnect();
    EXPECT_EQ(ui.last_status(), "Logged out of Quor server.");
}

TEST_F(ServerLinkFlowTest, CancelledUpdateKeepsTheLogin) {
    fs::copy_file(fs::path(ZS_SOURCE_DIR) / "demo" / "88.wld", tree.server_areas() / "88.wld");
    start({});
    ASSERT_TRUE(link->login(test::LinkTree::kCredentials));
    ASSERT_TRUE(run_until([&] { return link->login_state() == LoginState::logged_in; }));
    link->start_update();
    ASSERT_TRUE(run_until([&] { return !seen.update_percents.empty(); }));
    link->cancel_update();

    // Still logged in on the same connection, and a download goes through.
    ASSERT_EQ(link->download({{"88", true, false, false, false}}), ServerLink::DownloadStart::sent);
    ASSERT_TRUE(run_until([&] { return ws.has_zone(TableKind::World, 88); }));
    EXPECT_EQ(link->login_state(), LoginState::logged_in);
    fs::path part = tree.places().program_path;
    part += ".part";
    // A program that was whole before the cancel reached the connection is
    // deleted when it is announced, a second later.
    EXPECT_TRUE(run_until([&] { return !fs::exists(part); }));
    EXPECT_FALSE(fs::exists(part.string() + ".download"));
    EXPECT_FALSE(seen.install);
}

TEST_F(ServerLinkFlowTest, UpdateIsInstalledOnlyWhenItsCrcIsTheServers) {
    for (bool wrong : {false, true}) {
        SCOPED_TRACE(wrong ? "wrong CRC" : "right CRC");
        seen = {};
        start(wrong ? std::vector<std::string>{"wrong-crc"} : std::vector<std::string>{});
        link->start_update();
        ASSERT_TRUE(run_until([&] { return seen.install || !seen.failed.empty(); }));
        fs::path part = tree.places().program_path;
        part += ".part";
        if (!wrong) {
            ASSERT_TRUE(seen.install);
            EXPECT_EQ(test::read_bytes(part), test::read_bytes(tree.server_program()));
            EXPECT_EQ(seen.update_percents.back(), 100);
        } else {
            EXPECT_NE(seen.failed.find("CRC-32"), std::string::npos) << seen.failed;
            EXPECT_FALSE(fs::exists(part));
        }
        link.reset();
        queue.clear();  // the window goes with its link, and its queue with it
        server.reset();
        fs::remove(part);
    }
}

}  // namespace
}  // namespace zs::net
