// The pure readers on their own (bytes and a name in, records and what is to
// be told out) and the loader's adoption of a read, which shows each message
// with the records read before it already in the table.
#include <gtest/gtest.h>

#include <functional>

#include "files/area_files.h"
#include "files/file_mob.h"
#include "files/file_obj.h"
#include "files/file_wld.h"
#include "files/file_zone.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {

void PrintTo(const Diagnostic& d, std::ostream* os) {
    *os << static_cast<int>(d.kind) << " \"" << d.text << "\" \"" << d.caption << "\" line "
        << d.line << " after " << d.records_before;
}

namespace {

using test::crlf;
using Kind = Diagnostic::Kind;
constexpr int kAfterAll = Diagnostic::kAfterAll;

struct Outcome {
    bool ok;
    std::size_t records;
    Diagnostics diagnostics;
};

template <class Record>
Outcome outcome(const ReadResult<Record>& r) {
    return {r.ok, r.records.size(), r.diagnostics};
}

const std::string kRoom = "t~\nd~\ne~\ns~\n0 a 0 0 0 0 0 0 0 0\n0 0 0 -1 0\nS\n";

TEST(PureReaders, AFaultGivesItsMessagesInOrderWithTheRecordsReadBeforeIt) {
    const std::string long_title(kMaxTextLength + 1, 'x');
    struct Case {
        const char* name;
        std::function<Outcome()> read;
        Outcome expected;
    };
    const Case cases[] = {
        {"a room whose title is too long, then a damaged room",
         [&] {
             return outcome(read_world(crlf("#100\n" + kRoom + "#101\n" + long_title + "~\n" +
                                            "d~\ne~\ns~\n0 a 0 0 0 0 0 0 0 0\n0 0 0 -1 0\nS\n" +
                                            "#102\nt~\nd~\ne~\ns~\nnot numbers\n$\n"),
                                       "1.wld"));
         },
         {false,
          2,
          {{Kind::Message,
            "There was an error loading a string in the file.\r\n1.wld, line 10: room 101: "
            "the text is 16384 characters long; the game keeps 16383.",
            "String Error", 10, 1},
           {Kind::Message, "There was an error loading the world file.", "", 0, kAfterAll}}}},
        {"an object without keywords",
         [] { return outcome(read_objects(crlf("#1200\n~\n~\n~\n~\n~\n~\n~\n~\n$\n"), "12.obj")); },
         {false,
          0,
          {{Kind::Message, "There was an error loading the obj file.", "", 0, kAfterAll},
           {Kind::Status, "Error loading obj file.", "", 0, kAfterAll}}}},
        {"a mobile of an unknown type, numbered after the mobiles loaded",
         [] {
             std::string texts;
             for (int i = 0; i < 13; ++i)
                 texts += "k~\n";
             return outcome(
                 read_mobiles(crlf("#1200\n" + texts + "0 0 0 0 0 0 0 0 0 X\n$\n"), "12.mob", 5));
         },
         {false,
          0,
          {{Kind::Message,
            "There was an error loading the mob file.\r\nUnsupported mob type 'X' in mob #5.", "",
            0, 0},
           {Kind::Status, "Error loading mob file.", "", 0, 0}}}},
        {"a zone command line with too few numbers",
         [] {
             return outcome(
                 read_zone(crlf("#12\nname~\nrp~\nthird~\n0 0 0 0\nM 1 2\nS\n$\n"), "12.zon"));
         },
         {false,
          0,
          {{Kind::Message,
            "There was an error loading the zone file.\r\nFormat error in name, line 6: 'M 1 2'",
            "", 6, kAfterAll},
           {Kind::Status, "Error loading zone file.", "", 6, kAfterAll}}}},
    };
    for (const auto& c : cases) {
        Outcome got = c.read();
        EXPECT_EQ(got.ok, c.expected.ok) << c.name;
        EXPECT_EQ(got.records, c.expected.records) << c.name;
        EXPECT_EQ(got.diagnostics, c.expected.diagnostics) << c.name;
    }
}

// Records what was shown, and how many rooms the table held at each box.
class CountingUi : public test::FakeUi {
public:
    const Workspace* ws = nullptr;
    std::vector<int> rooms_at_box;
    void show_message(std::string_view text, std::string_view caption) override {
        rooms_at_box.push_back(ws->world().count());
        FakeUi::show_message(text, caption);
    }
};

TEST(PureReaders, TheLoaderShowsEachBoxWithTheRoomsReadBeforeItInTheTable) {
    test::ScratchDir dir;
    const std::string long_text(kMaxTextLength + 1, 'x');
    std::string path =
        dir.write("1.wld", crlf("#100\n" + kRoom + "#101\n" + long_text + "~\n" + "d~\ne~\ns~\n" +
                                "0 a 0 0 0 0 0 0 0 0\n0 0 0 -1 0\nS\n#102\n" + kRoom + "$\n"));
    CountingUi ui;
    Workspace ws(ui);
    ui.ws = &ws;
    ASSERT_TRUE(load_area_file(ws, path));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "String Error");
    EXPECT_EQ(ui.rooms_at_box, std::vector<int>{1});
    EXPECT_EQ(ws.world().count(), 3);
}

}  // namespace
}  // namespace zs
