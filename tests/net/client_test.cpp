// The client protocol driven directly: what it sends, the events, the files
// in an in-memory store, and every wait with a fake clock.
#include "net/client.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/memory_store.h"
#include "support/test_files.h"

namespace zs::net {
namespace {

using namespace std::string_literals;
using std::chrono::seconds;

std::string describe(const Event& event) {
    struct Visitor {
        std::string operator()(const Welcomed& e) {
            return "welcomed " + std::to_string(e.connection);
        }
        std::string operator()(const LoginReply& e) {
            return e.accepted ? "login accepted" : "login refused";
        }
        std::string operator()(const CrcReply& e) {
            return "crc " + std::to_string(e.unsupported) + " " + std::to_string(e.crc);
        }
        std::string operator()(const SizeReply& e) {
            return "size " + std::to_string(e.unsupported) + " " + std::to_string(e.size);
        }
        std::string operator()(const StatusText& e) { return "status: " + e.text; }
        std::string operator()(const FileProgress& e) {
            return "progress " + e.name + " " + std::to_string(e.percent);
        }
        std::string operator()(const FileReceived& e) {
            return "received " + e.name + " " + e.path.generic_string() + " " +
                   std::to_string(e.size);
        }
        std::string operator()(const FileFailed& e) { return "failed " + e.name + ": " + e.reason; }
        std::string operator()(const InstallUpdate& e) {
            return "install " + e.part_path.generic_string() + " " + std::to_string(e.size);
        }
        std::string operator()(const RequestEnded& e) {
            std::string out = "ended";
            for (const auto& m : e.missing)
                out += " " + m;
            return out;
        }
        std::string operator()(const Disconnected& e) { return "disconnected: " + e.reason; }
    };
    return std::visit(Visitor{}, event);
}

using Strings = std::vector<std::string>;

struct Client {
    MemoryStore store;
    Strings sent;
    Strings events;
    std::chrono::steady_clock::time_point t0 =
        std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    ClientProtocol protocol{store, Places{"areas", "bin/zs"}, Timeouts{},
                            [this](std::string framed) { sent.push_back(std::move(framed)); },
                            [this](Event e) { events.push_back(describe(e)); }};

    explicit Client(Request request = Request::none) {
        protocol.set_pending(request, {"user", "pass"});
        protocol.connected(t0);
    }
    void at(std::chrono::milliseconds since_start) { protocol.tick(t0 + since_start); }
    // Welcomed as connection 7 with "30 W O " asked for; what that sent and
    // emitted is cleared.
    void downloading() {
        protocol.receive("WLC7\x03");
        protocol.send_download({"user", "pass"}, "30 W O ");
        sent.clear();
        events.clear();
    }
    Strings take_sent() { return std::exchange(sent, {}); }
    Strings take_events() { return std::exchange(events, {}); }
};

TEST(ClientProtocol, WelcomeAnswersThePendingRequestOnce) {
    struct Case {
        Request request;
        Strings sent;
    };
    const std::vector<Case> cases = {
        {Request::none, {}},
        {Request::update_check, {"RCC7 0\x03"}},
        {Request::login, {"LGN7 user pass\x03"}},
        {Request::program_download, {"DLW7\x03"}},
    };
    for (const Case& c : cases) {
        Client client(c.request);
        client.protocol.receive("\0WLC7\x03WLC"s);
        client.protocol.receive("8\x03");
        EXPECT_EQ(client.sent, c.sent) << static_cast<int>(c.request);
        EXPECT_EQ(client.events, Strings{"welcomed 7"});
        EXPECT_EQ(client.protocol.connection(), 8);
    }
}

TEST(ClientProtocol, AyrWaitsForAConnectionNumberOfTwoOrMore) {
    Client client;
    client.protocol.receive("AYR 0\x03");
    client.at(seconds(1));
    client.protocol.receive("WLC1\x03");
    client.at(seconds(2));
    EXPECT_TRUE(client.sent.empty());
    client.protocol.receive("WLC7\x03");
    EXPECT_EQ(client.take_sent(), Strings{"ACK7 0 0\x03"});
    client.at(seconds(20));
    client.protocol.receive("AYR 0\x03");
    EXPECT_EQ(client.take_sent(), Strings{"ACK7 0 0\x03"});
    EXPECT_FALSE(client.protocol.broken());
}

TEST(ClientProtocol, RepliesAndUnknownCodes) {
    Client client(Request::login);
    client.protocol.receive(
        "WLC7\x03LNS5 1\x03"
        "CRC0 0 -5\x03"
        "CRC0 1 4294967291\x03SIZ0 0 123\x03LMD0 0 0\x03XYZ1\x03"
        "AB\x03");
    EXPECT_EQ(client.events,
              (Strings{"welcomed 7", "login accepted", "crc 0 4294967291", "crc 1 4294967291",
                       "size 0 123", "status: Updater: Invalid message code received."}));
}

TEST(ClientProtocol, FileTransferBytesOnTheWire) {
    Client client;
    client.downloading();
    client.protocol.receive("DAT1 6] 30.wld\0DAT2 3] a\x03"s);
    client.protocol.receive("\0DAT2 3] a\x03\0"s);  // a repeat: dropped, no ACK
    client.protocol.receive("DAT3 3] defDAT4 0] "s);
    EXPECT_EQ(client.take_sent(), (Strings{"ACK7 1 15\x03", "ACK7 1 11\x03", "ACK7 1 11\x03",
                                           "ACK7 1 0\x03", "ACK7 1 8\x03"}));
    EXPECT_EQ(client.store.files.at("areas/30.wld"), "a\x03\0def"s);
    EXPECT_EQ(client.take_events(),
              (Strings{"progress 30.wld 0", "progress 30.wld 50", "progress 30.wld 100",
                       "received 30.wld areas/30.wld 6"}));
    client.protocol.receive("DAT1 0] 30.obj\0DAT2 0] "s);
    EXPECT_EQ(client.take_events(),
              (Strings{"progress 30.obj 100", "received 30.obj areas/30.obj 0", "ended"}));
    EXPECT_EQ(client.take_sent(), (Strings{"ACK7 3 15\x03", "ACK7 3 0\x03", "ACK7 3 8\x03"}));
    client.protocol.receive("AYR 0\x03");
    EXPECT_EQ(client.take_sent(), Strings{"ACK7 3 0\x03"}) << "the last file's kind";
}

TEST(ClientProtocol, RepeatedNameAndEndMessagesAreDropped) {
    Client client;
    client.downloading();
    // The name message again in the middle of the file, the end message
    // again before the next file: both are repeats, dropped without an ACK.
    client.protocol.receive("DAT1 3] 30.wld\0DAT1 3] 30.wld\0DAT2 3] abcDAT3 0] "s);
    client.protocol.receive("DAT3 0] DAT1 2] 30.obj\0DAT2 2] xyDAT3 0] "s);
    EXPECT_EQ(client.store.files.at("areas/30.wld"), "abc");
    EXPECT_EQ(client.store.files.at("areas/30.obj"), "xy");
    EXPECT_FALSE(client.protocol.broken());
    EXPECT_EQ(client.sent.size(), 8u) << "one ACK per message, two per end, none for repeats";
    // The request has ended: its zone is no longer asked for.
    client.protocol.receive("DAT1 2] 30.mob\0"s);
    EXPECT_TRUE(client.protocol.broken());
}

TEST(ClientProtocol, ANameWaitsForItsEndOrAQuietMoment) {
    Client client;
    client.downloading();
    client.protocol.receive("DAT1 3] 30.w");  // its NUL comes in the next block
    client.at(std::chrono::milliseconds(50));
    client.protocol.receive("ld\0"s);
    EXPECT_EQ(client.take_sent(), Strings{"ACK7 1 15\x03"});
    client.protocol.receive("DAT2 3] abcDAT3 0] DAT1 0] 30.obj");  // no NUL at all
    EXPECT_EQ(client.take_sent().size(), 3u);
    client.at(std::chrono::milliseconds(200));
    EXPECT_EQ(client.take_sent(), Strings{"ACK7 3 14\x03"});
    EXPECT_EQ(client.store.files.at("areas/30.wld"), "abc");
}

TEST(ClientProtocol, AnAbandonedProgramIsReadPastAndWrittenNowhere) {
    // Cancelled in mid-file, and cancelled before the file began: either
    // way the messages are acknowledged, nothing is written, and the
    // connection stays usable.
    for (bool begun : {true, false}) {
        Client client;
        client.protocol.receive("WLC7\x03");
        client.protocol.send_program_download();
        if (begun) client.protocol.receive("DAT1 4] zs\0DAT2 2] ab"s);
        client.protocol.abandon_program();
        if (!begun) client.protocol.receive("DAT1 4] zs\0DAT2 2] ab"s);
        client.protocol.receive("DAT3 2] cdDAT4 0] LNS7 1\x03"s);
        client.at(seconds(2));
        EXPECT_TRUE(client.store.files.empty());
        EXPECT_FALSE(client.store.open);
        EXPECT_FALSE(client.protocol.broken());
        EXPECT_EQ(client.sent.size(), 6u) << "DLW, then ACKs: name, two blocks, the end twice";
        EXPECT_EQ(client.events.back(), "login accepted") << begun;
    }
}

TEST(ClientProtocol, ACancelledProgramIsNotReportedFailedWhenTheConnectionEnds) {
    // However the connection ends in mid-file, the program the builder
    // cancelled is no failed file: only why the connection ended is told.
    const struct {
        const char* name;
        std::function<void(Client&)> end;
    } cases[] = {
        {"a block skipped", [](Client& c) { c.protocol.receive("DAT4 2] ef"s); }},
        {"no login reply",
         [](Client& c) {
             c.protocol.send_login({"user", "pass"});
             c.at(seconds(16));
         }},
        {"closed", [](Client& c) { c.protocol.closed("gone"); }},
    };
    for (const auto& c : cases) {
        Client client;
        client.protocol.receive("WLC7\x03");
        client.protocol.send_program_download();
        client.protocol.receive("DAT1 4] zs\0DAT2 2] ab"s);
        client.protocol.abandon_program();
        c.end(client);
        EXPECT_TRUE(client.protocol.broken()) << c.name;
        EXPECT_TRUE(client.store.files.empty()) << c.name;
        for (const std::string& event : client.events)
            EXPECT_FALSE(event.starts_with("failed")) << c.name << ": " << event;
    }
}

TEST(DiskStore, LeftOverDownloadsAreLookedForOncePerRequest) {
    // A file cut off before the request does not count until the next one:
    // the directory was read when the request's first file began.
    test::ScratchDir dir;
    dir.write("30.wld.Ab12Cd.download", "half");
    std::unique_ptr<FileStore> store = make_disk_store();
    auto notice_for = [&](const char* name) {
        EXPECT_TRUE(store->begin(dir.path() / name, true)) << name;
        store->discard();
        return store->take_notice();
    };
    const std::string wld_notice =
        "1 file 30.wld.*.download, left by a download that was cut off, is left alone; delete "
        "it when no download runs.";
    store->new_request();
    EXPECT_EQ(notice_for("30.wld"), wld_notice);
    dir.write("30.obj.Ef34Gh.download", "half");
    dir.write("30.obj.Ij56Kl.download", "half");
    EXPECT_EQ(notice_for("30.obj"), "");
    store->new_request();
    EXPECT_EQ(notice_for("30.obj"),
              "2 files 30.obj.*.download, left by a download that was cut off, are left "
              "alone; delete them when no download runs.");
    EXPECT_EQ(notice_for("30.wld"), wld_notice);
}

TEST(ClientProtocol, RequestsBeforeTheWelcomeAreAllSent) {
    Client client(Request::update_check);
    client.protocol.send_login({"anna", "pw"});
    client.protocol.send_program_download();
    client.protocol.send_update_check();  // asked for already
    client.protocol.receive("WLC7\x03");
    EXPECT_EQ(client.sent, (Strings{"RCC7 0\x03", "LGN7 anna pw\x03", "DLW7\x03"}));
}

TEST(ClientProtocol, DataMessageAndLoginReplyInOneBlock) {
    Client client;
    client.downloading();
    client.protocol.receive("DAT1 3] 30.wld\0"s);
    client.protocol.receive("DAT2 3] abcLNS5 1\x03");
    EXPECT_EQ(client.events, (Strings{"progress 30.wld 0", "login accepted"}));
    EXPECT_EQ(client.sent.back(), "ACK7 1 11\x03");
}

TEST(ClientProtocol, BadTransfersStopAndLeaveNothing) {
    struct Case {
        std::string stream;  // after a welcome and a request for 30 W O
        bool begun;          // a temporary file was opened
        std::string reason;
    };
    const std::string head = "DAT1 6] 30.wld\0DAT2 3] abc"s;
    const std::vector<Case> cases = {
        {head + "DAT4 3] def", true,
         "Download of 30.wld stopped: the server skipped from block 2 to 4."},
        {head + "DAT3 4] defg", true,
         "Download of 30.wld stopped: block 3 runs past the announced 6 bytes."},
        {head + "DAT3 0] ", true, "Download of 30.wld stopped: it ended after 3 of 6 bytes."},
        {head + "DAT3 -1] ", true,
         "Download of 30.wld stopped: the server sent a block length of -1 bytes (at most "
         "4096 allowed)."},
        {head + "DAT3 3" + std::string(70, ' '), true,
         "Download of 30.wld stopped: the server sent a data message header without \"]\" "
         "within 64 bytes."},
        {"DAT1 6] ../x\0"s, false, "Download of \"../x\" refused: it is not a plain file name."},
        {"DAT1 6] 45.wld\0"s, false, "Download of \"45.wld\" refused: it was not requested."},
        {"DAT1 6] 030.wld\0"s, false, "Download of \"030.wld\" refused: it was not requested."},
        {"DAT1 6] 30.mob\0"s, false, "Download of \"30.mob\" refused: it was not requested."},
        {"DAT1 6] Zonesmith.exe\0"s, false,
         "Download of \"Zonesmith.exe\" refused: no program download was requested."},
        {"DAT1 999999999] 30.wld\0"s, false,
         "The server sent a file size of 999999999 bytes (at most 268435456 allowed); the "
         "connection cannot be read on."},
    };
    for (const Case& c : cases) {
        Client client;
        client.downloading();
        client.protocol.receive(c.stream);
        EXPECT_TRUE(client.store.files.empty()) << c.reason;
        EXPECT_FALSE(client.store.open) << c.reason;
        EXPECT_EQ(client.store.discarded, c.begun ? 1 : 0) << c.reason;
        ASSERT_TRUE(client.protocol.broken()) << c.reason;
        EXPECT_EQ(client.protocol.broken_reason(), c.reason);
        EXPECT_EQ(client.events.back(), "status: " + c.reason);
        client.protocol.receive("LNS5 1\x03");
        client.protocol.closed(client.protocol.broken_reason());
        EXPECT_EQ(client.events.back(), "disconnected: " + c.reason) << "nothing read after";
    }
}

TEST(ClientProtocol, DataWithoutARequestIsRefused) {
    Client client;
    client.protocol.receive(
        "WLC7\x03"
        "DAT1 6] 30.wld\0"s);
    EXPECT_TRUE(client.protocol.broken());
    EXPECT_EQ(client.protocol.broken_reason(),
              "Download of \"30.wld\" refused: it was not requested.");
}

TEST(ClientProtocol, AStoreFailureFailsThatFileOnly) {
    // The file is read to its end and written nowhere; the next one arrives.
    for (int step = 0; step < 3; ++step) {
        Client client;
        client.downloading();
        client.store.fail_begin = step == 0;
        client.store.fail_append = step == 1;
        client.store.fail_commit = step == 2;
        client.protocol.receive("DAT1 3] 30.wld\0DAT2 3] abcDAT3 0] "s);
        client.store.fail_begin = client.store.fail_append = client.store.fail_commit = false;
        client.protocol.receive("DAT1 2] 30.obj\0DAT2 2] xyDAT3 0] "s);
        EXPECT_FALSE(client.protocol.broken()) << step;
        EXPECT_EQ(client.store.files.size(), 1u) << step;
        EXPECT_EQ(client.store.files.at("areas/30.obj"), "xy") << step;
        EXPECT_EQ(client.events.back(), "ended") << step;
        const Strings failed = [&] {
            Strings out;
            for (const std::string& e : client.events)
                if (e.rfind("failed ", 0) == 0) out.push_back(e);
            return out;
        }();
        ASSERT_EQ(failed.size(), 1u) << step;
        EXPECT_EQ(failed[0].rfind("failed 30.wld: ", 0), 0u) << failed[0];
        EXPECT_EQ(client.sent.size(), 8u) << "every message acknowledged";
    }
}

// Only the transfer itself is progress: keep-alives and other messages do
// not hold a request open, and a file that comes slower than 1 KB a second
// over the idle timeout fails.
TEST(ClientProtocol, OnlyTheTransferIsProgress) {
    struct Case {
        std::string name;
        std::string file;            // the name message, or none
        std::string every_second;    // what arrives each second before `until`
        std::chrono::seconds until;  // when it is checked
        std::string last_event;      // empty: the connection goes on
    };
    const std::vector<Case> cases = {
        {"keep-alives", "", "AYR 0\x03", seconds(31), "ended 30.wld 30.obj"},
        {"other messages", "", "XYZ1\x03LMD0 0 0\x03", seconds(31), "ended 30.wld 30.obj"},
        {"keep-alives in a file", "DAT1 99999] 30.wld\0"s, "AYR 0\x03", seconds(31),
         "status: Download of 30.wld stopped: nothing of it arrived for 30 seconds."},
        {"a message a second", "DAT1 99999] 30.wld\0"s, "DAT%d 1] x", seconds(31),
         "status: Download of 30.wld stopped: it came slower than 1 KB/s (292 bytes in 30 "
         "seconds)."},
        {"a message a byte a second", "DAT1 99999] 30.wld\0DAT2 3000] "s, "x", seconds(31),
         "status: Download of 30.wld stopped: it came slower than 1 KB/s (41 bytes in 30 "
         "seconds)."},
        {"1100 bytes a second", "DAT1 99999] 30.wld\0"s, "DAT%d 1100] ", seconds(80), ""},
    };
    for (const Case& c : cases) {
        Client client;
        client.downloading();
        client.protocol.receive(c.file);
        for (int second = 1; second < c.until.count(); ++second) {
            client.at(seconds(second));
            std::string bytes = c.every_second;
            if (auto at = bytes.find("%d"); at != std::string::npos) {
                bytes.replace(at, 2, std::to_string(second + 1));
                if (bytes.ends_with("] ")) bytes += std::string(1100, 'x');
            }
            client.protocol.receive(bytes);
        }
        client.at(c.until);
        if (c.last_event.empty()) {
            EXPECT_FALSE(client.protocol.broken())
                << c.name << ": " << client.protocol.broken_reason();
        } else {
            ASSERT_FALSE(client.events.empty()) << c.name;
            EXPECT_EQ(client.events.back(), c.last_event) << c.name;
        }
    }
}

TEST(ClientProtocol, ALoginReplyBeforeTheWelcomeIsRefused) {
    Client client(Request::login);
    client.protocol.receive("LNS5 1\x03WLC7\x03");
    EXPECT_TRUE(client.protocol.broken());
    EXPECT_EQ(client.events, Strings{"status: The server sent a login reply before its welcome."});
    EXPECT_TRUE(client.sent.empty());
}

TEST(ClientProtocol, ProgramFileInstallsOneSecondLater) {
    Client client(Request::program_download);
    client.protocol.receive(
        "WLC7\x03"
        "DAT1 3] Zonesmith.exe\0DAT2 3] xyzDAT3 0] "s);
    EXPECT_EQ(client.store.files.at("bin/zs.part"), "xyz");
    EXPECT_EQ(client.sent.back(), "ACK7 0 8\x03");
    client.at(std::chrono::milliseconds(999));
    EXPECT_EQ(client.events.back(), "received Zonesmith.exe bin/zs.part 3");
    client.at(seconds(1));
    EXPECT_EQ(client.events.back(), "install bin/zs.part 3");

    Client closing(Request::program_download);
    closing.protocol.receive(
        "WLC7\x03"
        "DAT1 3] Zonesmith.exe\0DAT2 3] xyzDAT3 0] "s);
    closing.protocol.closed("The server closed the connection.");
    EXPECT_EQ(closing.events.end()[-2], "install bin/zs.part 3") << "the file is whole";
}

TEST(ClientProtocol, EveryWaitIsBounded) {
    struct Case {
        std::string name;
        Request request;
        std::string stream;
        std::chrono::milliseconds limit;
        std::string last_event;
        bool breaks;
    };
    const Timeouts t;
    const std::vector<Case> cases = {
        {"welcome", Request::none, "", t.welcome,
         "status: No welcome from the server within 10 seconds.", true},
        {"login", Request::login, "WLC7\x03", t.reply,
         "status: No reply from the server to the login within 15 seconds.", true},
        {"update check", Request::update_check, "WLC7\x03", t.reply,
         "status: No reply from the server to the update check within 15 seconds.", true},
        {"ayr", Request::none,
         "WLC1\x03"
         "AYR 0\x03",
         t.ayr,
         "status: The server asked whether this client is ready, but its welcome gave "
         "connection number 1, which cannot answer.",
         true},
        {"file", Request::none, "WLC7\x03", t.idle,
         "status: Download of 30.wld stopped: nothing of it arrived for 30 seconds.", true},
        {"request", Request::none, "WLC7\x03", t.idle, "ended 30.wld 30.obj", false},
        {"program", Request::program_download, "WLC7\x03", t.idle, "ended zs", false},
    };
    for (const Case& c : cases) {
        Client client(c.request);
        client.protocol.receive(c.stream);
        if (c.name == "request" || c.name == "file") {
            client.protocol.send_download({"user", "pass"}, "30 W O ");
        }
        if (c.name == "file") client.protocol.receive("DAT1 6] 30.wld\0"s);
        client.at(c.limit);
        EXPECT_FALSE(client.protocol.broken()) << c.name;
        const std::size_t before = client.events.size();
        client.at(c.limit + std::chrono::milliseconds(1));
        EXPECT_EQ(client.protocol.broken(), c.breaks) << c.name;
        ASSERT_GT(client.events.size(), before) << c.name;
        EXPECT_EQ(client.events.back(), c.last_event) << c.name;
        EXPECT_TRUE(client.store.files.empty());
        EXPECT_FALSE(client.store.open);
    }
}

TEST(ClientProtocol, ClosingDiscardsAnUnfinishedFile) {
    Client client;
    client.downloading();
    client.protocol.receive("DAT1 6] 30.wld\0DAT2 3] abc"s);
    client.protocol.closed("");
    EXPECT_EQ(client.store.discarded, 1);
    EXPECT_EQ(
        client.events,
        (Strings{"progress 30.wld 0", "failed 30.wld: the connection ended before it was complete",
                 "status: The connection ended before 30.wld was complete.", "disconnected: "}));
}

TEST(ClientProtocol, UnsendableCredentialsAreNeverSent) {
    const std::vector<Credentials> bad = {
        {"", "pass"},      {"user", ""},         {"us er", "pass"},
        {"user", "pa#ss"}, {"user", "pa\x03ss"}, {std::string(256, 'u'), "pass"},
    };
    for (const Credentials& c : bad) {
        EXPECT_FALSE(credentials_problem(c).empty()) << c.user << "/" << c.password;
        Client client;
        client.protocol.receive("WLC7\x03");
        client.protocol.send_login(c);
        client.protocol.send_download(c, "30 W ");
        EXPECT_TRUE(client.sent.empty());
    }
    EXPECT_EQ(credentials_problem({"user", "pass"}), "");
}

}  // namespace
}  // namespace zs::net
