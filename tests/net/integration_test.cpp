// The real client (Connection, its I/O thread and the disk store) against the
// reference server over loopback: a sound download, the program file and the
// update check, then one run per way the server misbehaves. Whatever the
// server does, no file may land outside the area directory, nothing partial
// may stay under a real name, and every run ends within its bound.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <set>

#include "link_fixture.h"
#include "net/connection.h"

namespace zs::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace zs::net;

// Short waits, so that a run against a server that stops answering ends
// in about a second.
Timeouts short_timeouts() {
    Timeouts t;
    t.connect = 2000ms;
    t.welcome = 1000ms;
    t.reply = 2000ms;
    t.idle = 1000ms;
    t.ayr = 2000ms;
    return t;
}

std::uint32_t zlib_crc(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

template <class T>
bool is(const Event& e) {
    return std::holds_alternative<T>(e);
}

struct Outcome {
    std::vector<Event> events;
    std::string log;     // what the server logged
    bool ended = false;  // the run ended within its bound
    std::vector<std::string> received() const {
        std::vector<std::string> names;
        for (const FileReceived& f : all_of<FileReceived>(events))
            names.push_back(f.name);
        std::sort(names.begin(), names.end());
        return names;
    }
    // The events and the server's log, for a failure message.
    std::string told() const {
        std::string s;
        for (const Event& e : events)
            std::visit(
                [&](const auto& v) {
                    using T = std::decay_t<decltype(v)>;
                    if constexpr (std::is_same_v<T, FileFailed>)
                        s += "FileFailed " + v.name + ": " + v.reason + "\n";
                    else if constexpr (std::is_same_v<T, FileReceived>)
                        s += "FileReceived " + v.name + "\n";
                    else if constexpr (std::is_same_v<T, StatusText>)
                        s += "StatusText " + v.text + "\n";
                    else if constexpr (std::is_same_v<T, Disconnected>)
                        s += "Disconnected " + v.reason + "\n";
                    else if constexpr (std::is_same_v<T, RequestEnded>)
                        s += "RequestEnded, " + std::to_string(v.missing.size()) + " missing\n";
                },
                e);
        return s + log;
    }
    bool status_seen(const std::string& text) const {
        for (const StatusText& s : all_of<StatusText>(events))
            if (s.text == text) return true;
        return false;
    }
};

constexpr const char* kAllFiles = "30 W M O Z 31 W Z ";
const std::vector<std::string> kAllNames = {"30.mob", "30.obj", "30.wld",
                                            "30.zon", "31.wld", "31.zon"};

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.add_area_file("30.wld", 10000);  // three data messages
        tree.add_area_file("30.mob", 4200);
        tree.add_area_file("30.obj", 3900);  // exactly one
        tree.add_area_file("30.zon", 700);
        tree.add_area_file("31.wld", 12000);
        tree.add_area_file("31.zon", 0);  // an empty file
    }

    // Logs in and downloads `list`, or, with another request, opens the
    // connection with it; waits until `done` or a bounded time.
    Outcome run(const std::vector<std::string>& modes, Request request = Request::login,
                std::string list = kAllFiles, std::function<bool(const Event&)> done = nullptr) {
        if (!done) done = [](const Event& e) { return is<RequestEnded>(e) || is<Disconnected>(e); };
        refserver::ServerProcess server(tree.server_args(modes), tree.server_log());
        EventLog events;
        Outcome result;
        {
            Connection link({"127.0.0.1", server.port()}, tree.places(), short_timeouts(),
                            [&](Event e) { events.push(std::move(e)); });
            link.open(request, LinkTree::kCredentials);
            if (request == Request::login &&
                events.wait([](const Event& e) { return is<LoginReply>(e) || is<Disconnected>(e); },
                            5s)) {
                auto replies = all_of<LoginReply>(events.events());
                if (!replies.empty() && replies.front().accepted)
                    link.post([list](ClientProtocol& p) {
                        p.send_download(LinkTree::kCredentials, list);
                    });
            }
            result.ended = events.wait(done, 10s);
            link.close();
        }
        server.wait_exit(3s);
        result.events = events.events();
        result.log = server.log();
        return result;
    }

    // Every file in the area directory is one the server has, byte for
    // byte, under its own name: nothing partial, nothing temporary.
    void expect_area_sound() const {
        for (const auto& entry : fs::recursive_directory_iterator(tree.area_dir())) {
            std::string name = entry.path().filename().string();
            fs::path original = tree.server_areas() / name;
            ASSERT_TRUE(entry.is_regular_file() && fs::exists(original))
                << "unexpected " << entry.path();
            EXPECT_EQ(read_bytes(entry.path()), read_bytes(original)) << name << " differs";
        }
    }

    // Nothing was written outside the area directory (the program's place
    // holds nothing either).
    void expect_nothing_outside() const {
        std::set<fs::path> allowed = {tree.server_log(), tree.root() / "server" / "accounts",
                                      tree.server_program()};
        for (const auto& entry : fs::recursive_directory_iterator(tree.root())) {
            if (!entry.is_regular_file()) continue;
            const fs::path& p = entry.path();
            bool in_area = p.parent_path() == tree.area_dir();
            bool server_file = p.parent_path() == tree.server_areas() || allowed.count(p) > 0;
            EXPECT_TRUE(in_area || server_file) << "written outside the area directory: " << p;
        }
    }

    LinkTree tree;
};

TEST_F(LinkTest, LoginAndDownloadOfTwoZones) {
    Outcome r = run({});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.received(), kAllNames);
    auto ended = all_of<RequestEnded>(r.events);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_TRUE(ended[0].missing.empty());
    for (const FileReceived& f : all_of<FileReceived>(r.events)) {
        EXPECT_EQ(f.path, tree.area_dir() / f.name);
        EXPECT_EQ(f.size, static_cast<long long>(fs::file_size(tree.server_areas() / f.name)));
    }
    expect_area_sound();
    EXPECT_EQ(r.log.find("client fault"), std::string::npos) << r.told();
}

TEST_F(LinkTest, MissingFilesAreNamedWhenTheRequestEnds) {
    Outcome r = run({}, Request::login, "30 W 32 W Z ");
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.received(), std::vector<std::string>{"30.wld"});
    auto ended = all_of<RequestEnded>(r.events);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].missing, (std::vector<std::string>{"32.wld", "32.zon"}));
    expect_area_sound();
}

TEST_F(LinkTest, ProgramDownloadArrivesWholeBesideTheProgram) {
    Outcome r = run({}, Request::program_download, "",
                    [](const Event& e) { return is<InstallUpdate>(e) || is<Disconnected>(e); });
    ASSERT_TRUE(r.ended);
    auto install = all_of<InstallUpdate>(r.events);
    ASSERT_EQ(install.size(), 1u) << r.told();
    fs::path part = tree.root() / "prog" / "Zonesmith.exe.part";
    EXPECT_EQ(install[0].part_path, part);
    std::string sent = read_bytes(tree.server_program());
    EXPECT_EQ(install[0].size, static_cast<long long>(sent.size()));
    ASSERT_TRUE(fs::exists(part));
    EXPECT_EQ(fs::file_size(part), sent.size());
    EXPECT_EQ(zlib_crc(read_bytes(part)), zlib_crc(sent));
    EXPECT_EQ(r.log.find("client fault"), std::string::npos) << r.told();
}

TEST_F(LinkTest, UpdateCheckReadsTheServersCrc) {
    std::uint32_t crc = zlib_crc(read_bytes(tree.server_program()));
    for (auto [mode, expected] :
         {std::pair<std::string, std::uint32_t>{"", crc}, {"wrong-crc", crc + 1}}) {
        SCOPED_TRACE(mode);
        Outcome r = run(mode.empty() ? std::vector<std::string>{} : std::vector<std::string>{mode},
                        Request::update_check, "",
                        [](const Event& e) { return is<CrcReply>(e) || is<Disconnected>(e); });
        auto replies = all_of<CrcReply>(r.events);
        ASSERT_EQ(replies.size(), 1u) << r.told();
        EXPECT_FALSE(replies[0].unsupported);
        EXPECT_EQ(replies[0].crc, expected);
    }
}

TEST_F(LinkTest, RejectedLoginDownloadsNothing) {
    // The refusal is the end: no download is asked for, so nothing else comes.
    Outcome r = run({"reject-login"}, Request::login, kAllFiles, [](const Event& e) {
        const LoginReply* reply = std::get_if<LoginReply>(&e);
        return (reply && !reply->accepted) || is<Disconnected>(e);
    });
    ASSERT_TRUE(r.ended);
    auto replies = all_of<LoginReply>(r.events);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_FALSE(replies[0].accepted);
    EXPECT_TRUE(fs::is_empty(tree.area_dir()));
}

TEST_F(LinkTest, NoWelcomeEndsTheConnection) {
    auto start = std::chrono::steady_clock::now();
    Outcome r = run({"no-welcome"});
    ASSERT_TRUE(r.ended);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(all_of<Welcomed>(r.events).empty());
    auto gone = all_of<Disconnected>(r.events);
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_FALSE(gone[0].reason.empty());
}

// Misbehaviour a sound client rides out: every file arrives whole.
struct Tolerable {
    const char* mode;
    const char* status;  // a status text it must show, or ""
    const char* logged;  // what the server must have logged, or ""
};

void PrintTo(const Tolerable& t, std::ostream* os) {
    *os << t.mode;
}

class TolerableTest : public LinkTest, public ::testing::WithParamInterface<Tolerable> {};

TEST_P(TolerableTest, EveryFileArrivesWhole) {
    const Tolerable& t = GetParam();
    Outcome r = run({t.mode});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.received(), kAllNames) << r.told();
    EXPECT_TRUE(all_of<FileFailed>(r.events).empty());
    expect_area_sound();
    if (*t.status) {
        EXPECT_TRUE(r.status_seen(t.status)) << t.status;
    }
    if (*t.logged) {
        EXPECT_NE(r.log.find(t.logged), std::string::npos) << r.told();
    }
    EXPECT_EQ(r.log.find("client fault"), std::string::npos) << r.told();
}

INSTANTIATE_TEST_SUITE_P(Server, TolerableTest,
                         ::testing::Values(Tolerable{"split", "", ""}, Tolerable{"merge", "", ""},
                                           Tolerable{"duplicate", "", ""},
                                           Tolerable{"garbage-code",
                                                     "Updater: Invalid message code received.", ""},
                                           Tolerable{"ayr-first", "", "AYR acknowledged"}),
                         [](const auto& p) {
                             std::string name = p.param.mode;
                             std::erase(name, '-');
                             return name;
                         });

// Misbehaviour that ruins the first file (30.wld): it fails, nothing of it
// stays, and the run still ends.
class BrokenFileTest : public LinkTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BrokenFileTest, TheFileFailsAndNothingPartialStays) {
    Outcome r = run({GetParam()});
    ASSERT_TRUE(r.ended) << r.told();
    auto failed = all_of<FileFailed>(r.events);
    ASSERT_FALSE(failed.empty()) << r.told();
    EXPECT_EQ(failed[0].name, "30.wld");
    EXPECT_FALSE(failed[0].reason.empty());
    EXPECT_FALSE(fs::exists(tree.area_dir() / "30.wld"));
    expect_area_sound();
    expect_nothing_outside();
}

INSTANTIATE_TEST_SUITE_P(Server, BrokenFileTest,
                         ::testing::Values("overlong", "past-end", "negative-length", "no-bracket",
                                           "skip", "stall", "close-mid-file"),
                         [](const auto& p) {
                             std::string name = p.param;
                             std::erase(name, '-');
                             return name;
                         });

// A first file announced under a name the client must not write. The status
// box says why, naming the file when the name could be read whole.
struct Refused {
    const char* label;
    std::string name;
    bool named = true;  // the status text and FileFailed name it (a file fails either way)
};

void PrintTo(const Refused& t, std::ostream* os) {
    *os << t.label;
}

class RefusedNameTest : public LinkTest, public ::testing::WithParamInterface<Refused> {};

TEST_P(RefusedNameTest, TheFileIsRefusedAndNothingLandsOutside) {
    const Refused& t = GetParam();
    bool abs_existed = fs::exists("/tmp/abs.wld");
    Outcome r = run({"name=" + t.name});
    ASSERT_TRUE(r.ended) << r.told();
    auto statuses = all_of<StatusText>(r.events);
    ASSERT_FALSE(statuses.empty()) << r.told();
    auto failed = all_of<FileFailed>(r.events);
    ASSERT_FALSE(failed.empty()) << r.told();
    if (t.named) {
        EXPECT_NE(statuses[0].text.find(t.name), std::string::npos) << r.told();
        EXPECT_EQ(failed[0].name, t.name);
    }
    for (const FileReceived& f : all_of<FileReceived>(r.events))
        EXPECT_NE(f.name, t.name);
    expect_area_sound();
    expect_nothing_outside();
    if (!abs_existed) {
        EXPECT_FALSE(fs::exists("/tmp/abs.wld"));
    }
}

INSTANTIATE_TEST_SUITE_P(Server, RefusedNameTest,
                         ::testing::Values(Refused{"parent", "../x.wld"},
                                           Refused{"absolute", "/tmp/abs.wld"},
                                           Refused{"backslash", "a\\b.wld"},
                                           Refused{"long", std::string(296, '3') + ".wld", false},
                                           Refused{"unrequested", "99.wld"},
                                           Refused{"zeropadded", "030.wld"},
                                           Refused{"settings", "ZonesmithSettings.txt"}),
                         [](const auto& p) { return std::string(p.param.label); });

// Links planted in the area directory. A stale temporary file that is a hard
// link to a file elsewhere is left alone (and reported), never written
// through; a final name that is a symbolic link keeps its link, and the file
// it names gets the download, as a save does.
TEST_F(LinkTest, PlantedLinksAreNotWrittenThrough) {
    const fs::path outside = tree.root() / "outside.txt";
    const fs::path elsewhere = tree.root() / "elsewhere";
    fs::create_directories(elsewhere);
    std::ofstream(outside) << "precious";
    std::ofstream(elsewhere / "30.wld") << "old rooms";
    fs::create_hard_link(outside, tree.area_dir() / "30.mob.download");
    fs::create_symlink(elsewhere / "30.wld", tree.area_dir() / "30.wld");
    // A download cut off by a crash left its temporary file behind.
    std::ofstream(tree.area_dir() / "30.zon.Ab12Cd.download") << "half a zone";

    Outcome r = run({});
    ASSERT_TRUE(r.ended);
    EXPECT_EQ(r.received(), kAllNames) << r.told();
    EXPECT_TRUE(read_bytes(outside) == "precious");
    EXPECT_TRUE(read_bytes(tree.area_dir() / "30.mob") ==
                read_bytes(tree.server_areas() / "30.mob"));
    EXPECT_TRUE(fs::is_symlink(tree.area_dir() / "30.wld"));
    EXPECT_TRUE(read_bytes(elsewhere / "30.wld") == read_bytes(tree.server_areas() / "30.wld"));
    EXPECT_TRUE(
        r.status_seen("A stale 30.mob.download is left as it is: it is a hard link to "
                      "another file."))
        << r.told();
    EXPECT_TRUE(
        r.status_seen("1 file 30.zon.*.download, left by a download that was cut off, is "
                      "left alone; delete it when no download runs."))
        << r.told();
    for (const auto& entry : fs::directory_iterator(tree.area_dir())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(std::count(kAllNames.begin(), kAllNames.end(), name) == 1 ||
                    name == "30.mob.download" || name == "30.zon.Ab12Cd.download")
            << "left behind: " << name;
    }
    for (const auto& entry : fs::directory_iterator(elsewhere))
        EXPECT_EQ(entry.path().filename(), "30.wld") << "left behind";
}

}  // namespace
}  // namespace zs::test
