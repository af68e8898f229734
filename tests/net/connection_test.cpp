// The connection against a small server on the loopback interface, which the
// test itself plays: the welcome and login bytes, a file written to disk,
// closes from either side, and a refused connect; and the bounded queue that
// hands its events on.
#include "net/connection.h"
#include "net/event_queue.h"
#include "support/test_files.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

namespace zs::net {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

// A listening socket on 127.0.0.1 that serves one client.
class LoopbackServer {
public:
    LoopbackServer() {
        listen_fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listen_fd_, 1);
        socklen_t len = sizeof a;
        ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~LoopbackServer() {
        close_client();
        if (listen_fd_ >= 0) ::close(listen_fd_);
    }
    int port() const { return port_; }
    bool accept() {
        pollfd p{listen_fd_, POLLIN, 0};
        if (::poll(&p, 1, 5000) != 1) return false;
        client_ = ::accept(listen_fd_, nullptr, nullptr);
        return client_ >= 0;
    }
    void send(const std::string& bytes) {
        ASSERT_EQ(::send(client_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    // Reads until `count` end bytes have arrived or the peer closes.
    std::string read_messages(int count) {
        std::string got;
        char c;
        while (count > 0) {
            pollfd p{client_, POLLIN, 0};
            if (::poll(&p, 1, 5000) != 1 || ::recv(client_, &c, 1, 0) != 1) break;
            got += c;
            if (c == '\x03') --count;
        }
        return got;
    }
    bool peer_closed() {
        pollfd p{client_, POLLIN, 0};
        char c;
        return ::poll(&p, 1, 5000) == 1 && ::recv(client_, &c, 1, 0) == 0;
    }
    void close_client() {
        if (client_ >= 0) ::close(client_);
        client_ = -1;
    }

private:
    int listen_fd_ = -1, client_ = -1, port_ = 0;
};

// The connection's events as texts, waited for across threads.
class Events {
public:
    void add(const Event& e) {
        std::string text = std::visit(
            [](const auto& v) -> std::string {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, Welcomed>) return "welcomed";
                if constexpr (std::is_same_v<T, StatusText>) return "status: " + v.text;
                if constexpr (std::is_same_v<T, FileReceived>) return "received " + v.name;
                if constexpr (std::is_same_v<T, LoginReply>) return "login";
                if constexpr (std::is_same_v<T, Disconnected>) return "disconnected: " + v.reason;
                return "other";
            },
            e);
        if (text == "other") return;
        std::lock_guard lock(mutex_);
        texts_.push_back(text);
        changed_.notify_all();
    }
    // Waits until the last event starts with `prefix`.
    bool wait_for(const std::string& prefix) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] {
            return !texts_.empty() && texts_.back().rfind(prefix, 0) == 0;
        });
    }
    std::vector<std::string> texts() {
        std::lock_guard lock(mutex_);
        return texts_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> texts_;
};

// The names in a directory, sorted.
std::vector<std::string> entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Link {
    Events events;
    // A directory of this test's own: ctest runs tests side by side.
    test::ScratchDir scratch;
    fs::path dir = scratch.path();
    Connection connection;
    explicit Link(int port, Timeouts timeouts = {})
        : connection({"127.0.0.1", port}, {dir, dir / "zs"}, timeouts,
                     [this](Event e) { events.add(e); }) {}
};

TEST(Connection, LogsInAndEndsWhenTheServerCloses) {
    LoopbackServer server;
    Link link(server.port());
    link.connection.open(Request::login, {"user", "pass"});
    ASSERT_TRUE(server.accept());
    server.send("WLC7\x03");
    EXPECT_EQ(server.read_messages(1), "LGN7 user pass\x03");
    server.send("LNS7 1\x03");
    ASSERT_TRUE(link.events.wait_for("login"));
    server.close_client();
    ASSERT_TRUE(link.events.wait_for("disconnected"));
    EXPECT_EQ(link.events.texts(),
              (std::vector<std::string>{"welcomed", "login",
                                        "disconnected: The server closed the connection."}));
    EXPECT_FALSE(link.connection.is_open());
}

TEST(Connection, WritesAFileBesideItsPlaceThenRenamesIt) {
    LoopbackServer server;
    Link link(server.port());
    link.connection.open(Request::none, {});
    ASSERT_TRUE(server.accept());
    server.send("WLC7\x03");
    ASSERT_TRUE(link.events.wait_for("welcomed"));
    link.connection.post([](ClientProtocol& p) { p.send_download({"user", "pass"}, "30 W O "); });
    EXPECT_EQ(server.read_messages(1), "RDL7 user pass #30 W O \x03");
    server.send("DAT1 6] 30.wld\0"s);
    EXPECT_EQ(server.read_messages(1), "ACK7 1 15\x03");
    server.send("DAT2 6] ab\x03");
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    server.send("\0efDAT3 0] "s);
    EXPECT_EQ(server.read_messages(3),
              "ACK7 1 14\x03"
              "ACK7 1 0\x03"
              "ACK7 1 8\x03");
    ASSERT_TRUE(link.events.wait_for("received 30.wld"));
    std::ifstream in(link.dir / "30.wld", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "ab\x03\0ef"s);
    EXPECT_EQ(entries(link.dir), std::vector<std::string>{"30.wld"});

    // A file cut short leaves nothing behind.
    server.send("DAT1 6] 30.obj\0DAT2 3] abc"s);
    EXPECT_EQ(server.read_messages(2),
              "ACK7 3 15\x03"
              "ACK7 3 11\x03");
    std::vector<std::string> during = entries(link.dir);
    ASSERT_EQ(during.size(), 2u);
    EXPECT_TRUE(during[0].starts_with("30.obj.") && during[0].ends_with(".download")) << during[0];
    server.close_client();
    ASSERT_TRUE(link.events.wait_for("disconnected"));
    EXPECT_EQ(entries(link.dir), std::vector<std::string>{"30.wld"});
}

TEST(Connection, ClosingFromThisSide) {
    LoopbackServer server;
    Link link(server.port());
    link.connection.open(Request::none, {});
    ASSERT_TRUE(server.accept());
    server.send("WLC7\x03");
    ASSERT_TRUE(link.events.wait_for("welcomed"));
    EXPECT_TRUE(link.connection.is_open());
    link.connection.close();
    ASSERT_TRUE(link.events.wait_for("disconnected: "));
    EXPECT_EQ(link.events.texts().back(), "disconnected: ");
    EXPECT_TRUE(server.peer_closed());
}

TEST(Connection, BrokenStreamClosesTheSocket) {
    LoopbackServer server;
    Link link(server.port());
    link.connection.open(Request::none, {});
    ASSERT_TRUE(server.accept());
    server.send(
        "WLC7\x03"
        "DAT1 6] 30.wld\0"s);
    ASSERT_TRUE(link.events.wait_for("disconnected: Download of \"30.wld\" refused"));
    EXPECT_TRUE(server.peer_closed());
}

TEST(Connection, RefusedConnectSaysSo) {
    int port = 0;
    {
        LoopbackServer nobody;  // a port that was free a moment ago
        port = nobody.port();
    }
    Link link(port);
    link.connection.open(Request::login, {"user", "pass"});
    ASSERT_TRUE(link.events.wait_for("disconnected: Could not connect to 127.0.0.1:"));
    EXPECT_EQ(link.events.texts().front(), "status: Failed to connect to server.");
}

TEST(Connection, UnknownHostSaysSoWithinTheConnectWait) {
    Events events;
    Timeouts timeouts;
    timeouts.connect = std::chrono::seconds(2);
    Connection connection({"no-such-host.invalid", kDefaultPort}, {}, timeouts,
                          [&](Event e) { events.add(e); });
    connection.open(Request::login, {"user", "pass"});
    ASSERT_TRUE(events.wait_for("disconnected: The server's address no-such-host.invalid"));
    EXPECT_EQ(events.texts().front(), "status: Updater: Failed to connect to server.");
}

TEST(Connection, WelcomeWaitIsBounded) {
    LoopbackServer server;
    Timeouts timeouts;
    timeouts.welcome = std::chrono::milliseconds(100);
    Link link(server.port(), timeouts);
    link.connection.open(Request::login, {"user", "pass"});
    ASSERT_TRUE(server.accept());
    ASSERT_TRUE(link.events.wait_for("disconnected: No welcome from the server within 100 ms."));
}

TEST(EventQueue, APushWaitsWhileItIsFullAndCloseEndsTheWait) {
    using Pushed = EventQueue::Pushed;
    EventQueue queue(2);
    std::atomic<int> pushed{0};
    std::vector<Pushed> results;
    std::thread io([&] {
        for (int i = 0; i < 4; ++i, ++pushed)
            results.push_back(queue.push(StatusText{std::to_string(i)}));
    });
    // Waits (long, on a busy machine) until `count` pushes are through, then
    // a while more: none beyond them may come.
    auto settled_at = [&](int count) {
        for (int i = 0; i < 1000 && pushed < count; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return pushed.load();
    };
    EXPECT_EQ(settled_at(2), 2) << "the third waits for room";
    EXPECT_EQ(std::get<StatusText>(*queue.pop()).text, "0");
    EXPECT_EQ(settled_at(3), 3);
    queue.close();  // the fourth waits no more
    io.join();
    EXPECT_EQ(results, (std::vector<Pushed>{Pushed::first, Pushed::queued, Pushed::queued,
                                            Pushed::dropped}));
    EXPECT_FALSE(queue.pop());

    // The taker is told once for what it takes together.
    EventQueue taken;
    EXPECT_EQ(taken.push(Welcomed{}), Pushed::first);
    EXPECT_EQ(taken.push(Welcomed{}), Pushed::queued);
    EXPECT_EQ(taken.take().size(), 2u);
    EXPECT_EQ(taken.push(Welcomed{}), Pushed::first);
}

}  // namespace
}  // namespace zs::net
