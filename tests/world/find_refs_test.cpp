// Find and references over the stock world: what a text or a vnum finds,
// case and colour codes aside, and what refers to a room, an object or a
// mobile, with the count line; the cases are tables under tests/data/find.
#include <gtest/gtest.h>

#include <memory>

#include "files/area_files.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/references.h"
#include "world/search.h"
#include "world/table_loading.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::FakeUi;

TableKind kind_named(const std::string& word) {
    if (word == "room") return TableKind::World;
    if (word == "obj") return TableKind::Object;
    if (word == "mob") return TableKind::Mobile;
    return TableKind::Zone;
}

// The whole stock world, loaded once for every test here.
class StockWorld : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (test::corpus_dir().empty()) return;
        ui_ = std::make_unique<FakeUi>();
        ui_->always_yes();
        ws_ = std::make_unique<Workspace>(*ui_);
        for (const char* kind : {"wld", "obj", "mob", "zon"})
            for (const auto& path : test::corpus_files(kind))
                ASSERT_TRUE(load_area_file(*ws_, path.string())) << path;
    }
    static void TearDownTestSuite() {
        ws_.reset();
        ui_.reset();
    }
    void SetUp() override { ZS_REQUIRE_CORPUS(); }
    static const Workspace& ws() { return *ws_; }

    static std::unique_ptr<FakeUi> ui_;
    static std::unique_ptr<Workspace> ws_;
};
std::unique_ptr<FakeUi> StockWorld::ui_;
std::unique_ptr<Workspace> StockWorld::ws_;

// Each row: a query and a hit it must give (kind, vnum, or a command's zone
// and index, and the start of where it matched), or "none" for a query that
// finds nothing.
TEST_F(StockWorld, FindGivesTheRecordsAndCommandsATextOrVnumNames) {
    int cases = 0;
    for (const auto& [line, col] : test::table_rows("find/find.tsv")) {
        SCOPED_TRACE(line);
        ++cases;
        std::vector<SearchHit> hits = find_in_world(ws(), col.at(0));
        if (col.at(1) == "none") {
            EXPECT_TRUE(hits.empty()) << hits.front().name;
            continue;
        }
        ASSERT_EQ(col.size(), 4u);
        TableKind kind = kind_named(col[1]);
        bool found = false;
        for (const SearchHit& h : hits) {
            std::string id = kind == TableKind::Zone
                                 ? std::to_string(h.vnum) + ":" + std::to_string(h.index)
                                 : std::to_string(h.vnum);
            if (h.table == kind && id == col[2]) {
                found = true;
                EXPECT_EQ(h.where.rfind(col[3], 0), 0u) << h.where;
            }
        }
        EXPECT_TRUE(found);
    }
    EXPECT_GT(cases, 8);
}

TEST_F(StockWorld, FindListsRoomsObjectsMobilesThenCommandsEachOnce) {
    std::vector<SearchHit> hits = find_in_world(ws(), "baker");
    ASSERT_FALSE(hits.empty());
    for (std::size_t i = 1; i < hits.size(); ++i) {
        const SearchHit& a = hits[i - 1];
        const SearchHit& b = hits[i];
        // Table order World, Zone, Object, Mobile: rooms, objects, mobiles, commands.
        auto rank = [](TableKind t) {
            return t == TableKind::World    ? 0
                   : t == TableKind::Object ? 1
                   : t == TableKind::Mobile ? 2
                                            : 3;
        };
        ASSERT_LE(rank(a.table), rank(b.table));
        if (a.table == b.table) {
            EXPECT_TRUE(a.vnum < b.vnum || (a.vnum == b.vnum && a.index < b.index))
                << a.name << " / " << b.name;
        }
    }
    EXPECT_TRUE(find_in_world(ws(), "   ").empty());
}

// Each row: a kind and vnum and a reference its list must hold (the text's
// start), or "count" and the whole count line.
TEST_F(StockWorld, ReferencesNameWhatRefersToARoomObjectOrMobile) {
    int cases = 0;
    for (const auto& [line, col] : test::table_rows("find/refs.tsv")) {
        SCOPED_TRACE(line);
        ASSERT_EQ(col.size(), 4u);
        ++cases;
        TableKind kind = kind_named(col[1]);
        int vnum = std::stoi(col[2]);
        if (col[0] == "count") {
            EXPECT_EQ(reference_count_line(ws(), kind, vnum, find_references(ws(), kind, vnum)),
                      col[3]);
            continue;
        }
        std::vector<Reference> refs = find_references(ws(), kind, vnum);
        bool found = false;
        for (const Reference& r : refs)
            found |= r.text.rfind(col[3], 0) == 0;
        EXPECT_EQ(found, col[0] == "has") << refs.size() << " references";
    }
    EXPECT_GT(cases, 8);
}

TEST_F(StockWorld, ACommandReferenceNamesItsZoneIndexLineAndRoom) {
    for (const Reference& r : find_references(ws(), TableKind::Mobile, 3001)) {
        ASSERT_EQ(r.table, TableKind::Zone);
        const Zedit& z = ws().zones().zedit(ws().zones().find_zedit(r.vnum));
        const Zcmd& c = z.commands.at(static_cast<std::size_t>(r.index));
        EXPECT_EQ(c.command, 'M');
        EXPECT_EQ(c.arg[0], 3001);
        EXPECT_EQ(r.line, c.line);
        EXPECT_EQ(r.room, c.arg[2]);
    }
}

// Colour codes and line breaks are read as the game shows them.
TEST(Find, ColourCodesAndLineBreaksDoNotHideAWord) {
    FakeUi ui;
    Workspace ws(ui);
    Room room = make_new_room(1200, 12);
    room.title = "The &Rred&n bak&ger's &&shop";
    room.description = "Flour dust\r\nhangs in the air.\r\n";
    TableLoad load(ws);
    ASSERT_TRUE(load.world().reserve(12));
    load.world().append(std::move(room));
    for (const char* query : {"red baker", "BAKER'S &SHOP", "dust hangs", "1200"})
        EXPECT_EQ(find_in_world(ws, query).size(), 1u) << query;
    EXPECT_TRUE(find_in_world(ws, "&R").empty());
    std::vector<SearchHit> hits = find_in_world(ws, "dust hangs");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].where, "description: Flour dust hangs in the air.");
    EXPECT_EQ(hits[0].name, "The red baker's &shop");
}

// The stock world has no fly or fall rooms: two rooms of their own.
TEST(References, FlyAndFallRoomsReferToTheRoomTheyName) {
    FakeUi ui;
    Workspace ws(ui);
    Room from = make_new_room(1200, 12);
    from.fly_up_room = 1201;
    from.fly_down_room = 1202;
    from.fall_room = 1201;
    TableLoad load(ws);
    ASSERT_TRUE(load.world().reserve(12));
    load.world().append(std::move(from));
    std::vector<std::string> texts;
    for (const Reference& r : find_references(ws, TableKind::World, 1201))
        texts.push_back(r.text);
    EXPECT_EQ(texts,
              (std::vector<std::string>{"room 1200: its fly up room", "room 1200: its fall room"}));
    EXPECT_EQ(reference_count_line(ws, TableKind::World, 1201,
                                   find_references(ws, TableKind::World, 1201)),
              "Room 1201: reached by 0 exits from 0 zones, 0 commands act in it");
}

}  // namespace
}  // namespace zs
