// The room pane's core: the number boxes' rules, the offered materials, the
// flag list and its guard, the field steps and deleting an exit with its
// return exit.
#include "world/room_fields.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/fake_ui.h"
#include "support/tables.h"
#include "world/names.h"

namespace zs {
namespace {

using test::room_with_exits;

TEST(RoomFields, BoxReadersApplyEachBoxRule) {
    struct Case {
        const char* text;
        int number, mine, fly, height;
    };
    for (const Case& c : {
             Case{"", 0, 0, -1, 0},
             Case{"abc", 0, 0, -1, 0},
             Case{"42", 42, 42, 42, 42},
             Case{" 17xyz", 17, 17, 17, 17},
             Case{"0", 0, 0, -1, 0},
             Case{"1", 1, 1, 1, 1},
             Case{"-5", -5, 0, -1, 0},
             Case{"-", 0, 0, -1, 0},
             Case{"2147483647", INT_MAX, INT_MAX, INT_MAX, INT_MAX},
             Case{"99999999999999999999", INT_MAX, INT_MAX, INT_MAX, INT_MAX},
             Case{"-99999999999999999999", INT_MIN, 0, -1, 0},
         }) {
        EXPECT_EQ(box_int(c.text), c.number) << c.text;
        EXPECT_EQ(mine_number_from_box(c.text), c.mine) << c.text;
        EXPECT_EQ(fly_room_from_box(c.text), c.fly) << c.text;
        EXPECT_EQ(height_from_box(c.text), c.height) << c.text;
    }
}

TEST(RoomFields, OfferedMaterialsSkipRowsNumberedZeroAndKeepTableIndexes) {
    EXPECT_TRUE(offered_materials(0).empty());
    EXPECT_TRUE(offered_materials(7).empty());
    auto metals = offered_materials(1);
    EXPECT_EQ(metals.size(), 12u);  // bronze, steel, brass and pewter are not offered
    EXPECT_EQ(metals[2].index, 3);  // iron, after bronze
    EXPECT_EQ(metals[2].name, "iron");
    EXPECT_EQ(offered_materials(2).size(), 15u);
    EXPECT_EQ(offered_materials(3).size(), 28u);
}

TEST(RoomFields, FlagListNamesSetFlagsEachFollowedByASpace) {
    EXPECT_EQ(room_flag_list(0), "");
    EXPECT_EQ(room_flag_list((1u << 0) | (1u << 3) | (1u << 25)), "PITCHBLACK INDOORS DARK ");
    EXPECT_EQ(room_flag_list((1u << 26) | (1u << 31)), "");  // set, but nameless
}

class RoomFieldsEdit : public ::testing::Test {
protected:
    void SetUp() override {
        TableLoad(ws).world().append(room_with_exits(3001, {}));
        TableLoad(ws).world().append(room_with_exits(3002, {}));
    }
    const Room& room(int vnum) { return *ws.world().find_room_record(vnum); }

    test::FakeUi ui;
    Workspace ws{ui};
};

TEST_F(RoomFieldsEdit, EachFieldIsANamedStepThatUndoes) {
    struct Case {
        RoomField field;
        int value;
        std::int32_t Room::*member;
        const char* step;
    };
    for (const Case& c : {
             Case{RoomField::Sector, 4, &Room::sector, "Undo Edit Sector of Room 3001"},
             Case{RoomField::Climate, 2, &Room::climate, "Undo Edit Climate of Room 3001"},
             Case{RoomField::MineKind, 2, &Room::mine_kind, "Undo Edit Mine Type of Room 3001"},
             Case{RoomField::MineMaterial, 5, &Room::mine_resource,
                  "Undo Edit Mine Material of Room 3001"},
             Case{RoomField::MineAmount, 9, &Room::mine_amount,
                  "Undo Edit Mine Amount of Room 3001"},
             Case{RoomField::MineReset, 7, &Room::mine_reset, "Undo Edit Mine Reset of Room 3001"},
             Case{RoomField::FlyUp, 3002, &Room::fly_up_room, "Undo Edit Fly Up Room of Room 3001"},
             Case{RoomField::FlyDown, 3002, &Room::fly_down_room,
                  "Undo Edit Fly Down Room of Room 3001"},
             Case{RoomField::Fall, 3002, &Room::fall_room, "Undo Edit Fall Room of Room 3001"},
             Case{RoomField::Height, 3, &Room::height, "Undo Edit Height of Room 3001"},
             Case{RoomField::Nation, 1, &Room::nation, "Undo Edit Nation of Room 3001"},
         }) {
        const std::int32_t before = room(3001).*c.member;
        ASSERT_TRUE(set_room_field(ws, 3001, c.field, c.value)) << c.step;
        EXPECT_EQ(room(3001).*c.member, c.value);
        EXPECT_EQ(ws.undo_text(), c.step);
        EXPECT_FALSE(set_room_field(ws, 3001, c.field, c.value)) << "no step for the same value";
        ASSERT_TRUE(ws.undo());
        EXPECT_EQ(room(3001).*c.member, before) << c.step;
    }
    EXPECT_FALSE(ws.modified().any());
}

TEST_F(RoomFieldsEdit, TypingInABoxIsOneStepPerField) {
    EditOptions typing{0, nullptr, {TableKind::World, 3001, int(RoomField::FlyUp)}};
    for (const char* text : {"3", "30", "300", "3002"})
        store_room_box(ws, 3001, RoomField::FlyUp, text, typing);
    EXPECT_EQ(room(3001).fly_up_room, 3002);
    store_room_box(ws, 3001, RoomField::Height, "12",
                   {0, nullptr, {TableKind::World, 3001, int(RoomField::Height)}});
    EXPECT_EQ(ws.history().step_count(), 2u);
    ASSERT_TRUE(ws.undo());
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(room(3001).fly_up_room, -1);
}

TEST_F(RoomFieldsEdit, AHeightBeyondItsFieldIsRefusedWithTheRange) {
    ASSERT_TRUE(store_room_box(ws, 3001, RoomField::Height, "2147483647", {}));
    EXPECT_FALSE(store_room_box(ws, 3001, RoomField::Height, "2147483648", {}));
    EXPECT_EQ(ui.last_status(),
              "Error: Height 2147483648 is out of range (0 to 2147483647); the height of room "
              "3001 is unchanged.");
    EXPECT_EQ(room(3001).height, INT_MAX);
}

TEST_F(RoomFieldsEdit, ChangingTheMineKindOrChoosingNoneResetsTheMaterial) {
    struct Case {
        int kind;
        int material_after;
    };
    set_room_field(ws, 3001, RoomField::MineKind, 1);
    for (const Case& c : {Case{1, 6}, Case{2, 0}, Case{0, 0}}) {
        set_room_field(ws, 3001, RoomField::MineMaterial, 6);
        set_room_field(ws, 3001, RoomField::MineKind, c.kind);
        EXPECT_EQ(room(3001).mine_kind, c.kind);
        EXPECT_EQ(room(3001).mine_resource, c.material_after) << c.kind;
    }
    ASSERT_TRUE(ws.undo());  // the material comes back with the kind
    EXPECT_EQ(room(3001).mine_kind, 2);
    EXPECT_EQ(room(3001).mine_resource, 6);
}

TEST_F(RoomFieldsEdit, DeleteExitTakesTheReturnExitOnlyWhenItLeadsBack) {
    struct Case {
        std::vector<Room> rooms;
        bool return_kept;
    };
    Case cases[] = {
        {{room_with_exits(3001, {{kNorth, 3002}}), room_with_exits(3002, {{kSouth, 3001}})}, false},
        {{room_with_exits(3001, {{kNorth, 3002}}), room_with_exits(3002, {{kSouth, 3003}}),
          room_with_exits(3003, {})},
         true},
        {{room_with_exits(3001, {{kNorth, 3002}})}, true},  // the target is not loaded
    };
    for (const Case& c : cases) {
        Workspace w{ui};
        for (const Room& r : c.rooms)
            TableLoad(w).world().append(r);
        const test::Tables before = test::tables_of(w);
        ASSERT_TRUE(delete_exit(w, 3001, kNorth));
        EXPECT_EQ(w.undo_text(), "Undo Delete North Exit of Room 3001");
        EXPECT_FALSE(w.world().find_room_record(3001)->exits[kNorth]);
        if (const Room* target = w.world().find_room_record(3002)) {
            EXPECT_EQ(target->exits[kSouth].has_value(), c.return_kept);
        }
        EXPECT_FALSE(delete_exit(w, 3001, kNorth));  // no exit left to delete
        ASSERT_TRUE(w.undo());
        EXPECT_TRUE(test::same_tables(test::tables_of(w), before));
    }
}

TEST_F(RoomFieldsEdit, FlagGuardClearsBitsBelow31OnceWithTheMessage) {
    const std::uint32_t damaged = ((1u << 26) - 1) | (1u << 31);  // bits 0..25 and 31
    TableLoad(ws).world().edit_loaded(ws.world().find_room(3001),
                                      [&](Room& r) { r.room_flags = damaged; });
    TableLoad(ws).world().edit_loaded(ws.world().find_room(3002),
                                      [&](Room& r) { r.room_flags = (1u << 25) - 1; });
    EXPECT_FALSE(guard_room_flags(ws, 3002));  // 25 bits are still a flag mask
    EXPECT_TRUE(guard_room_flags(ws, 3001));
    EXPECT_FALSE(guard_room_flags(ws, 3001));
    EXPECT_EQ(room(3001).room_flags, 1u << 31);
    EXPECT_EQ(room(3002).room_flags, (1u << 25) - 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kFlagBugMessage);
    EXPECT_EQ(ws.undo_text(), "Undo Clear Flags of Room 3001");
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(room(3001).room_flags, damaged);
}

}  // namespace
}  // namespace zs
