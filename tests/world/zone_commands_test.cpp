// The zone reset editor's core: the one-line display of every letter (names
// looked up, placeholders for indexes past the name tables), the ZCmds tree
// in both modes, the field table, the named steps with undo, where new and
// copied commands go, the selected command after edits, undo and unload,
// the numbers each field holds and every refusal.
#include "world/zone_commands.h"

#include <gtest/gtest.h>

#include "files/file_zone.h"
#include "support/fake_ui.h"
#include "support/tables.h"
#include "support/test_files.h"

namespace zs {
namespace {

using test::FakeUi;

Zcmd cmd(char letter, std::array<std::int32_t, 6> args, int if_flag = 0, std::string s1 = {},
         std::string s2 = {}) {
    Zcmd c;
    c.command = letter;
    c.arg = args;
    c.if_flag = if_flag;
    c.sarg1 = std::move(s1);
    c.sarg2 = std::move(s2);
    return c;
}

class ZoneCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ObjectPrototype sword = make_new_object(3020, 30);
        sword.short_description = "a &Rlong&n sword";
        TableLoad(ws).objects().append(sword);
        ObjectPrototype bag = make_new_object(3032, 30);
        bag.short_description = "a bag";
        TableLoad(ws).objects().append(bag);
        MobilePrototype guard = make_new_mobile(3060, 30);
        guard.short_description = "the cityguard";
        TableLoad(ws).mobiles().append(guard);
        Zedit z = make_new_zedit(30);
        z.commands = {
            cmd('G', {3020, 5, 0, 0, 0, 0}),        // 0: before any room
            cmd('M', {3060, 10, 3001, 0, 2, 0}),    // 1
            cmd('E', {3020, 99, 16, 0, 0, 0}, 1),   // 2
            cmd('M', {3060, 10, 3002, 0, 1, 1}),    // 3
            cmd('G', {3032, 5, 0, 0, 0, 0}, 1),     // 4
            cmd('D', {3001, 0, 1, 0, 0, 0}),        // 5
            cmd('O', {3032, 1, 3001, 25, 1, 0}),    // 6
            cmd('P', {3020, 1, 3032, 0, 0, 0}, 1),  // 7
        };
        TableLoad(ws).zones().append(z);
        ws.clear_history();
    }
    const Zedit& zone30() const { return ws.zones().zedit(ws.zones().find_zedit(30)); }
    std::string line(const Zcmd& c, int n = 4, bool colour = true) {
        return command_line(ws, c, n, colour);
    }

    FakeUi ui;
    Workspace ws{ui};
};

TEST_F(ZoneCommandsTest, OneLineDisplayOfEveryLetter) {
    struct Case {
        Zcmd c;
        const char* line;
    };
    const Case cases[] = {
        {cmd('M', {3060, 10, 3001, 5, 2, 0}),
         "4 - Load mob the cityguard [3060], Max : 10   Max per room : 2   % 5"},
        {cmd('M', {9999, 10, 3001, 5, 2, 1}, 1),
         "4 -  then Load mob [9999], Max : 10   Max per room : 2   % 5 (once)"},
        {cmd('O', {3032, 1, 3001, 25, 1, 0}),
         "4 - Load obj a bag [3032], Max : 1   Max per room : 1   % 25"},
        {cmd('E', {3032, 99, 16, 0, 0, 0}), "4 - Equip with a bag [3032], Wielded, Max : 99   % 0"},
        {cmd('E', {3032, 99, 32, 0, 0, 0}),
         "4 - Equip with a bag [3032], Worn as insignia, Max : 99   % 0"},
        {cmd('E', {3032, 99, 40, 0, 0, 0}),
         "4 - Equip with a bag [3032], <unknown position 40>, Max : 99   % 0"},
        {cmd('E', {3032, 99, -1, 0, 0, 0}),
         "4 - Equip with a bag [3032], <unknown position -1>, Max : 99   % 0"},
        {cmd('G', {3032, 5, 0, 7, 0, 0}), "4 - Give it a bag [3032], Max : 5   % 7"},
        {cmd('P', {3032, 1, 3032, 0, 0, 0}), "4 - Put a bag [3032] in a bag [3032], Max : 1   % 0"},
        {cmd('R', {3001, 3032, 0, 0, 0, 0}), "4 - Remove a bag [3032] from room."},
        {cmd('D', {3001, 0, 2, 0, 0, 0}), "4 - Set door north as locked."},
        {cmd('D', {3001, 5, 5, 0, 0, 0}), "4 - Set door down as open and hidden."},
        {cmd('D', {3001, 6, 9, 0, 0, 0}),
         "4 - Set door <unknown direction 6> as <unknown door state 9>."},
        {cmd('T', {2, 3005, 0, 0, 0, 0}), "4 - Attach trigger [3005] to room"},
        {cmd('T', {7, 3005, 0, 0, 0, 0}), "4 - Attach trigger [3005] to ????"},
        {cmd('V', {0, 3, 3001, 0, 0, 0}, 0, "gold", "100"),
         "4 - Assign global gold:3 to mobile = 100"},
        {cmd('V', {7, 3, 3001, 0, 0, 0}, 0, "gold", "100"),
         "4 - Assign global gold:3 to ???? = 100"},
        {cmd('N', {}), "<Unknown Command>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(line(c.c), c.line);
    // The values themselves stay as they are.
    EXPECT_EQ(cases[5].c.arg[2], 40);
}

TEST_F(ZoneCommandsTest, ColourCodesLeaveTheLineWhenTheOptionIsOff) {
    Zcmd c = cmd('G', {3020, 5, 0, 0, 0, 0});
    EXPECT_EQ(line(c, 1, true), "1 - Give it a &Rlong&n sword [3020], Max : 5   % 0");
    EXPECT_EQ(line(c, 1, false), "1 - Give it a long sword [3020], Max : 5   % 0");
}

TEST_F(ZoneCommandsTest, FieldLabelsAndEnablingFollowTheLetter) {
    struct Case {
        char letter;
        const char* enabled;  // one mark per field
    };
    for (const Case& c : {Case{'M', "XX-XXX--"}, Case{'O', "XX-XXX--"}, Case{'E', "XXXX-X--"},
                          Case{'G', "XX-X----"}, Case{'P', "XXXX-X--"}, Case{'R', "-X------"},
                          Case{'D', "-XX-----"}, Case{'T', "XX------"}, Case{'V', "XX----XX"},
                          Case{'N', "--------"}, Case{'*', "--------"}}) {
        std::string got;
        for (int f = 0; f < kCommandFields; ++f)
            got += field_enabled(c.letter, f) ? 'X' : '-';
        EXPECT_EQ(got, c.enabled) << c.letter;
    }
    EXPECT_EQ(command_kind('T')->labels[0], "Trig type:");
    EXPECT_EQ(command_kind('T')->labels[1], "Attach trig vnum:");
}

// Item texts shortened to their first word (the index) or "Room N".
std::vector<std::string> shape(const std::vector<ZcmdTreeItem>& items) {
    std::vector<std::string> out;
    for (const auto& i : items) {
        std::string s = i.index < 0 ? i.text : std::to_string(i.index);
        if (!i.children.empty()) {
            s += " {";
            for (const auto& c : i.children)
                s += " " + std::to_string(c.index);
            s += " }";
        }
        out.push_back(s);
    }
    return out;
}

TEST_F(ZoneCommandsTest, ZcmdTreeInBothModes) {
    using V = std::vector<std::string>;
    // Show all: the leading G stands at the top level, then one item per run
    // of commands in a room; E, G and P follow the command before them.
    EXPECT_EQ(shape(zcmd_tree(ws, zone30(), true, std::nullopt)),
              (V{"0", "Room 3001 { 1 2 }", "Room 3002 { 3 4 }", "Room 3001 { 5 6 7 }"}));
    // Filtered: the G after the M of room 3002 is not listed for room 3001.
    EXPECT_EQ(shape(zcmd_tree(ws, zone30(), false, 3001)), (V{"1", "2", "5", "6", "7"}));
    EXPECT_EQ(shape(zcmd_tree(ws, zone30(), false, 3002)), (V{"3", "4"}));
    EXPECT_TRUE(zcmd_tree(ws, zone30(), false, std::nullopt).empty());
    EXPECT_TRUE(zcmd_tree(ws, make_new_zedit(31), true, std::nullopt).empty());
    EXPECT_EQ(zcmd_tree(ws, zone30(), true, std::nullopt)[1].children[0].text,
              "1 - Load mob the cityguard [3060], Max : 10   Max per room : 2   % 0");
    // Room 0 is a room: its commands get their heading, and the room-less
    // G before them is not one of its commands.
    Zedit zero = make_new_zedit(0);
    zero.commands = {cmd('G', {3020, 5, 0, 0, 0, 0}), cmd('M', {3060, 1, 0, 0, 1, 0})};
    EXPECT_EQ(shape(zcmd_tree(ws, zero, true, std::nullopt)), (V{"0", "Room 0 { 1 }"}));
    EXPECT_EQ(shape(zcmd_tree(ws, zero, false, 0)), (V{"1"}));
}

// "header: child, child" per top-level item.
std::vector<std::string> shape(const std::vector<PrototypeTreeItem>& items) {
    std::vector<std::string> out;
    for (const auto& i : items) {
        std::string s = i.text + ":";
        for (const auto& c : i.children)
            s += " " + c.text + ",";
        out.push_back(s);
    }
    return out;
}

TEST_F(ZoneCommandsTest, PrototypeTreeForOneZoneAndForAll) {
    using V = std::vector<std::string>;
    MobilePrototype wolf = make_new_mobile(1201, 12);
    wolf.short_description = "a wolf";
    TableLoad(ws).mobiles().append(wolf);
    EXPECT_EQ(shape(prototype_tree(ws, 30, false)),
              (V{"Objs 30: 3020 - a long sword, 3032 - a bag,", "Mobs 30: 3060 - the cityguard,"}));
    EXPECT_EQ(shape(prototype_tree(ws, 12, true)),
              (V{"Objs 12: No objects found in this zone,", "Mobs 12: 1201 - a wolf,"}));
    EXPECT_EQ(shape(prototype_tree(ws, std::nullopt, true)),
              (V{"Objs 30: 3020 - a &Rlong&n sword, 3032 - a bag,",
                 "Mobs 30: 3060 - the cityguard,", "Mobs 12: 1201 - a wolf,"}));
    // Items say what they show: the zone of a header, the vnum of a prototype.
    auto all = prototype_tree(ws, std::nullopt, true);
    EXPECT_EQ(all[2].kind, PrototypeTreeItem::Mobiles);
    EXPECT_EQ(all[2].id, 12);
    EXPECT_EQ(all[2].children[0].kind, PrototypeTreeItem::Mobile);
    EXPECT_EQ(all[2].children[0].id, 1201);
    Workspace empty(ui);
    EXPECT_EQ(shape(prototype_tree(empty, std::nullopt, true)),
              (V{"No objects or mobiles found:"}));
}

TEST_F(ZoneCommandsTest, AddDeleteAndCopyAreStepsThatUndo) {
    const test::Tables before = test::tables_of(ws);
    // A Load Obj after command 2 takes the selected room; a Give has none.
    EXPECT_EQ(add_command(ws, 30, 3, cmd('O', {3020, 1, 0, 0, 0, 0}), 3005), 3);
    EXPECT_EQ(ws.undo_text(), "Undo Add Load Obj to Zone 30");
    EXPECT_EQ(zone30().commands[3].arg[2], 3005);
    EXPECT_EQ(zone30().commands[3].line, 0);
    EXPECT_TRUE(ws.modified().is_set(TableKind::Zone, 30));
    EXPECT_EQ(add_command(ws, 30, -1, cmd('G', {3020, 1, 0, 0, 0, 0}), std::nullopt), 9);
    // The copy of a mobile comes after the sword it is equipped with: the
    // sword stays with the mobile it was for.
    EXPECT_EQ(copy_command(ws, 30, 1), 3);
    EXPECT_EQ(ws.undo_text(), "Undo Copy Command 1 of Zone 30");
    EXPECT_EQ(zone30().commands[3].arg, zone30().commands[1].arg);
    EXPECT_EQ(zone30().commands[2].command, 'E');
    EXPECT_TRUE(delete_command(ws, 30, 0));
    EXPECT_EQ(ws.undo_text(), "Undo Delete Command 0 of Zone 30");
    EXPECT_EQ(zone30().commands.size(), 10u);
    EXPECT_EQ(zone30().commands[0].command, 'M');
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(ws.undo());
    EXPECT_TRUE(test::same_tables(test::tables_of(ws), before));
    EXPECT_FALSE(ws.modified().any());
}

TEST_F(ZoneCommandsTest, FieldEditsAreMergedStepsThatMarkTheZone) {
    const MergeKey key{TableKind::Zone, 30, 1000};
    EditOptions typing{kAllFields, nullptr, key};
    EXPECT_TRUE(store_command_field(ws, 30, 1, 0, "3", typing));
    EXPECT_TRUE(store_command_field(ws, 30, 1, 0, "30x", typing));  // leading integer
    EXPECT_EQ(zone30().commands[1].arg[0], 30);
    EXPECT_TRUE(ws.modified().is_set(TableKind::Zone, 30));
    EXPECT_EQ(ws.history().step_count(), 1u);
    EXPECT_EQ(ws.undo_text(), "Undo Edit Command 1 of Zone 30");
    EXPECT_TRUE(store_command_dependent(ws, 30, 1, true));
    EXPECT_EQ(zone30().commands[1].if_flag, 1);
    EXPECT_TRUE(store_zone_text(ws, 30, ZoneField::Name, "Midgaard"));
    EXPECT_EQ(ws.undo_text(), "Undo Edit Name of Zone 30");
    EXPECT_TRUE(store_zone_text(ws, 30, ZoneField::Name, ""));
    EXPECT_EQ(zone30().name, "");
    EXPECT_TRUE(store_zone_number(ws, 30, ZoneField::Top, "3099"));
    EXPECT_TRUE(store_zone_number(ws, 30, ZoneField::Lifespan, " 15 "));
    EXPECT_EQ(zone30().top, 3099);
    EXPECT_EQ(zone30().lifespan, 15);
    while (ws.undo()) {
    }
    EXPECT_EQ(zone30().commands[1].arg[0], 3060);
    EXPECT_FALSE(ws.modified().any());
}

TEST_F(ZoneCommandsTest, RefusalsChangeNothingAndSaySo) {
    Zedit z = zone30();
    z.number = 31;
    z.commands = {cmd('V', {0, 0, 3001, 0, 0, 0}, 0, "gold", "100"),
                  cmd('R', {3001, 1, 0, 0, 0, 0})};
    TableLoad(ws).zones().append(z);
    ws.clear_history();
    const test::Tables before = test::tables_of(ws);
    struct Case {
        std::function<bool()> act;
        const char* status;  // a part of the status text
    };
    const Case cases[] = {
        {[&] { return store_command_field(ws, 31, 0, 6, ""); }, "must be one word"},
        {[&] { return store_command_field(ws, 31, 0, 7, "1~0"); }, "must be one word"},
        {[&] { return store_command_field(ws, 31, 0, 7, "two words"); }, "must be one word"},
        {[&] { return store_command_field(ws, 31, 0, 0, "99999999999"); }, "from 0 to 2"},
        {[&] { return store_command_field(ws, 31, 1, 0, "5"); }, nullptr},  // R: arg1 disabled
        {[&] { return store_command_field(ws, 31, 9, 1, "5"); }, nullptr},  // no command 9
        {[&] { return store_zone_text(ws, 31, ZoneField::Name, "a~b"); }, "cannot hold"},
        {[&] { return store_zone_text(ws, 31, ZoneField::RoleplayName, "*x"); }, "comment"},
        {[&] { return store_zone_text(ws, 31, ZoneField::Name, "a\nb"); }, "one line"},
        {[&] { return store_zone_number(ws, 31, ZoneField::Top, "40000"); }, "3100 to 3199"},
        {[&] { return store_zone_number(ws, 31, ZoneField::Lifespan, "-1"); }, "whole number"},
        {[&] { return store_zone_number(ws, 31, ZoneField::ResetMode, "x"); }, "whole number"},
        {[&] { return add_command(ws, 31, 0, cmd('N', {}), 3001) >= 0; }, "Choose the kind"},
        {[&] { return add_command(ws, 31, 0, cmd('V', {}, 0, "x", ""), 3001) >= 0; },
         "Set Global Var"},
        {[&] { return add_command(ws, 31, 0, cmd('M', {}), std::nullopt) >= 0; },
         "acts in a room of zone 31; select one on the map"},
        {[&] {
             return add_command(ws, 31, 0, cmd('M', {3060, 1, 0, 0, 0, 0}), 3005) >= 0;
         },
         "the map's selected room 3005 is in zone 30; select a room of zone 31"},
        {[&] {
             return add_command(ws, 31, 0, cmd('M', {99999, 1, 0, 0, 0, 0}), 3105) >= 0;
         },
         "Zone 31, the new Load Mob: \"Load mob vnum\" must be a number from 0 to 32767; no "
         "command was added."},
        {[&] { return new_zedit_from_box(ws, "abc").has_value(); }, "is not a zone number"},
        {[&] { return new_zedit_from_box(ws, "-3").has_value(); }, "is not a zone number"},
        {[&] { return new_zedit_from_box(ws, "70000").has_value(); }, "is not a zone number"},
        {[&] { return new_zedit_from_box(ws, "30").has_value(); },
         "Error: zedit for zone 30 already exists."},
        {[&] { return new_zedit_from_box(ws, "  ").has_value(); }, nullptr},
    };
    for (const Case& c : cases) {
        ui.clear();
        EXPECT_FALSE(c.act());
        if (c.status)
            EXPECT_NE(ui.last_status().find(c.status), std::string::npos) << ui.last_status();
        else
            EXPECT_TRUE(ui.statuses.empty()) << ui.last_status();
        EXPECT_TRUE(test::same_tables(test::tables_of(ws), before));
        EXPECT_FALSE(ws.history().can_undo());
    }
}

TEST_F(ZoneCommandsTest, ANewCommandGoesAfterTheCommandsThatDependOnTheSelectedOne) {
    // The file says what each of its commands depends on.
    ReadResult<Zedit> read = read_zone(test::test_data_bytes("dependants.zon"), "30.zon");
    ASSERT_TRUE(read.ok);
    const Zedit& z = read.records.at(0);
    struct Case {
        int selected, place;
    };
    for (Case c : {Case{0, 4}, Case{1, 4}, Case{4, 7}, Case{5, 7}, Case{7, 9}, Case{9, 13},
                   Case{10, 13}, Case{13, 17}, Case{-1, 17}})
        EXPECT_EQ(insertion_point(z, c.selected), c.place) << "selected " << c.selected;
    // A copy keeps what its original depends on: the copy of 14 would go
    // past mobile 15 to its insertion point, and goes right after 14.
    for (Case c : {Case{2, 4}, Case{9, 13}, Case{11, 13}, Case{14, 15}, Case{5, 7}})
        EXPECT_EQ(copy_point(z, c.selected), c.place) << "copied " << c.selected;
}

TEST_F(ZoneCommandsTest, FieldsHoldOnlyNumbersTheGameCanUse) {
    TableLoad(ws).zones().append(make_new_zedit(5));
    TableLoad(ws).zones().append(make_new_zedit(327));
    Zedit z = zone30();
    z.number = 31;
    z.commands = {cmd('T', {0, 3005, 0, 0, 0, 0}), cmd('V', {0, 0, 3101, 0, 0, 0}, 0, "a", "b")};
    TableLoad(ws).zones().append(z);
    struct Case {
        std::function<bool(std::string_view)> store;
        std::string_view typed;
        const char* refused;  // a part of the status, or null when stored
    };
    auto zone_number = [&](int zone, ZoneField f) {
        return
            [&ws = ws, zone, f](std::string_view t) { return store_zone_number(ws, zone, f, t); };
    };
    auto zone_text = [&](ZoneField f) {
        return [&ws = ws, f](std::string_view t) { return store_zone_text(ws, 5, f, t); };
    };
    auto field = [&](int zone, int index, int f) {
        return [&ws = ws, zone, index, f](std::string_view t) {
            return store_command_field(ws, zone, index, f, t);
        };
    };
    const std::string longest(kMaxZoneTextLength, 'x'), too_long = longest + "x";
    const Case cases[] = {
        {zone_number(5, ZoneField::Top), "7000",
         "Zone 5's Top must be a whole number from 500 to 599."},
        {zone_number(5, ZoneField::Top), "599", nullptr},
        {zone_number(327, ZoneField::Top), "32768", "from 32700 to 32767"},
        {zone_number(327, ZoneField::Top), "32767", nullptr},
        {zone_number(5, ZoneField::ResetMode), "9", "from 0 to 2"},
        {zone_text(ZoneField::Name), too_long, "at most 252 characters"},
        {zone_text(ZoneField::Name), longest, nullptr},
        {field(30, 1, 0), "99999",
         "Zone 30, command 1: \"Load mob vnum\" must be a number from 0 to 32767."},
        {field(30, 1, 0), "32767", nullptr},
        {field(30, 1, 1), "-1", "\"Max in MUD\" must be a number from 0 to 2147483647"},
        {field(30, 1, 3), "501", "\"Chance to not load\" must be a number from 0 to 100"},
        {field(30, 1, 3), "100", nullptr},
        {field(30, 1, 5), "2", "\"Once per boot\" must be a number from 0 to 1"},
        {field(30, 2, 2), "33", "\"Equip in position\" must be a number from 0 to 32"},
        {field(30, 2, 2), "32", nullptr},
        {field(30, 7, 2), "40000", "\"Into obj vnum\" must be a number from 0 to 32767"},
        {field(30, 5, 1), "6", "\"Door direction\" must be a number from 0 to 5"},
        {field(30, 5, 2), "6", "\"Door state\" must be a number from 0 to 5"},
        {field(31, 0, 0), "3", "\"Trig type\" must be a number from 0 to 2"},
        {field(31, 0, 1), "32768", "\"Attach trig vnum\" must be a number from 0 to 32767"},
        {field(31, 1, 0), "3", "\"Type\" must be a number from 0 to 2"},
        {field(31, 1, 1), "-5", nullptr},  // a context is any number
    };
    for (const Case& c : cases) {
        ui.clear();
        EXPECT_EQ(c.store(c.typed), c.refused == nullptr) << c.typed;
        if (c.refused) {
            EXPECT_NE(ui.last_status().find(c.refused), std::string::npos) << ui.last_status();
        }
    }
}

TEST_F(ZoneCommandsTest, ATopIsUnfinishedWhileMoreDigitsCanMakeItOneOfTheZone) {
    struct Case {
        int zone;
        const char* typed;
        bool unfinished;
    };
    for (Case c :
         {Case{30, "3", true}, Case{30, "30", true}, Case{30, "309", true}, Case{30, "31", false},
          Case{30, "4", false}, Case{30, "3100", false}, Case{30, "-3", false},
          Case{327, "3276", true}, Case{327, "3277", false}, Case{0, "5", false},
          Case{30, "00", false}, Case{30, "9223372036854775807", false}})
        EXPECT_EQ(zone_number_unfinished(c.zone, ZoneField::Top, c.typed), c.unfinished)
            << c.zone << " " << c.typed;
}

TEST_F(ZoneCommandsTest, NewCommandsLoadAndTakeOnlyARoomOfTheirZone) {
    for (const CommandKind& k : kCommandKinds) {
        Zcmd c = new_command(k.letter);
        // A max of 0 would never load.
        EXPECT_EQ(c.arg[1], std::string_view("MOEGP").find(k.letter) != std::string_view::npos)
            << k.letter;
        EXPECT_EQ(command_refusal(30, k.letter == 'V' ? cmd('V', {}, 0, "a", "b") : c), "");
    }
    // A room of another zone is no room of zone 30's commands: a Give, which
    // has none, is added; a Load Mob is refused (see RefusalsChangeNothing).
    EXPECT_EQ(add_command(ws, 30, -1, new_command('G'), 3105), 8);
    EXPECT_EQ(add_command(ws, 30, -1, new_command('M'), 3005), 9);
    EXPECT_EQ(zone30().commands[9].arg[2], 3005);
}

TEST_F(ZoneCommandsTest, NewZeditStartsAsAStockZoneAndUndoes) {
    EXPECT_EQ(new_zedit_from_box(ws, " 12 "), 12);
    EXPECT_EQ(ui.last_status(), "New zedit for zone 12 created.");
    const Zedit* z = ws.zones().selected_zedit();
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(z->number, 12);
    EXPECT_EQ(z->name, "A New Zone");
    EXPECT_EQ(z->roleplay_name, "an unknown area");
    EXPECT_EQ(z->top, 1299);
    EXPECT_EQ(z->lifespan, 30);
    EXPECT_EQ(z->reset_mode, 2);
    EXPECT_TRUE(z->commands.empty());
    EXPECT_EQ(ws.undo_text(), "Undo New Zedit 12");
    ASSERT_TRUE(ws.undo());
    EXPECT_LT(ws.zones().find_zedit(12), 0);
    ASSERT_EQ(new_zedit_from_box(ws, "327"), 327);  // the last zone ends at 32767
    EXPECT_EQ(ws.zones().selected_zedit()->top, 32767);
}

TEST_F(ZoneCommandsTest, SelectionNeverDanglesAfterRemovalUndoOrUnload) {
    CommandSelection sel;
    sel.select({30, 7});
    ASSERT_NE(sel.command(ws), nullptr);
    EXPECT_EQ(sel.command(ws)->command, 'P');
    // A new command at the end, then undone: index 7 still names the P.
    add_command(ws, 30, -1, cmd('G', {}), std::nullopt);
    sel.select({30, 8});
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(sel.command(ws), nullptr);
    EXPECT_FALSE(sel.ref());
    // The last command deleted: the selection past the end is cleared.
    sel.select({30, 7});
    delete_command(ws, 30, 7);
    EXPECT_FALSE(sel.settle(ws));
    // Another zone selected, or the zone unloaded.
    sel.select({30, 0});
    TableLoad(ws).zones().append(make_new_zedit(31));
    EXPECT_EQ(sel.command(ws), nullptr);
    ws.zones().select_slot(ws.zones().find_zedit(30));
    sel.select({30, 0});
    TableLoad(ws).zones().unload(30);
    EXPECT_EQ(sel.command(ws), nullptr);
}

}  // namespace
}  // namespace zs
