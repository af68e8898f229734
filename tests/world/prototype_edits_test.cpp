// The object and mobile editors' core, run on both tables: stored texts and
// their refusals, the preview's painting, the selection tree, choosing and
// creating records by a typed vnum, and removal and unloading.
#include "world/prototype_edits.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "files/area_files.h"
#include "support/fake_ui.h"
#include "support/step.h"
#include "world/text.h"
#include "world/workspace.h"

namespace zs {
namespace {

constexpr TableKind kKinds[] = {TableKind::Object, TableKind::Mobile};

class PrototypeEditsTest : public ::testing::Test {
protected:
    // Loads records as a file would (not steps), the first one current.
    void load(TableKind kind, std::initializer_list<int> vnums) {
        for (int v : vnums) {
            if (kind == TableKind::Mobile)
                TableLoad(ws).mobiles().append(make_new_mobile(v, zone_of(v)));
            else
                TableLoad(ws).objects().append(make_new_object(static_cast<Vnum>(v), zone_of(v)));
        }
    }
    std::string text(TableKind kind, int vnum, ProtoField field) {
        const std::string* t = proto_text(ws, kind, vnum, field);
        return t ? *t : "(none)";
    }

    test::FakeUi ui;
    Workspace ws{ui};
};

TEST_F(PrototypeEditsTest, RefusesATildeAndTextsTheReaderCannotTakeBack) {
    struct Case {
        ProtoField field;
        std::size_t length;
        bool refused;
    };
    for (TableKind kind : kKinds)
        for (const Case& c : {Case{ProtoField::Keywords, kMaxTextLength, false},
                              Case{ProtoField::ShortDescription, kMaxTextLength + 1, true},
                              Case{ProtoField::LookDescription, kMaxTextLength, false},
                              Case{ProtoField::LookDescription, kMaxTextLength + 1, true},
                              // the kept line end counts
                              Case{ProtoField::LongDescription, kMaxTextLength - 2, false},
                              Case{ProtoField::LongDescription, kMaxTextLength - 1, true}})
            EXPECT_EQ(!proto_text_refusal(kind, c.field, std::string(c.length, 'a')).empty(),
                      c.refused)
                << c.length;
    EXPECT_EQ(proto_text_refusal(TableKind::Object, ProtoField::Keywords, "a~b"),
              "An object text cannot hold \"~\"; it ends texts in the area files.");
    load(TableKind::Object, {1200});
    EXPECT_FALSE(store_proto_text(ws, TableKind::Object, 1200, ProtoField::Keywords, "a~b", {}));
    // The line break a typed look description ends with counts too.
    EXPECT_FALSE(store_proto_text(ws, TableKind::Object, 1200, ProtoField::LookDescription,
                                  std::string(kMaxTextLength, 'a'), ""));
    EXPECT_FALSE(ws.history().can_undo());
}

TEST_F(PrototypeEditsTest, TypingIsOneStepPerFieldAndTheLongDescriptionKeepsItsLineEnd) {
    struct Case {
        ProtoField field;
        const char* typed;
        std::string stored;  // after typing into a fresh record
        const char* step;
    };
    load(TableKind::Object, {1200});
    load(TableKind::Mobile, {1200});
    for (TableKind kind : kKinds) {
        const bool mob = kind == TableKind::Mobile;
        for (const Case& c : {
                 Case{ProtoField::Keywords, "sword &Rred", "sword &Rred", "Keywords"},
                 Case{ProtoField::ShortDescription, "a red sword", "a red sword",
                      "Short Description"},
                 // a new mobile's long description ends in CR LF, an object's not
                 Case{ProtoField::LongDescription, "A sword.", mob ? "A sword.\r\n" : "A sword.",
                      "Long Description"},
                 // typed lines are kept, and end with a line break
                 Case{ProtoField::LookDescription, "it is sharp. very", "it is sharp. very\r\n",
                      mob ? "Description" : "Look Description"},
             }) {
            std::string before = text(kind, 1200, c.field);
            EditOptions typing{0, this, {kind, 1200, int(c.field)}};
            std::string typed = c.typed;
            for (std::size_t n = 1; n <= typed.size(); ++n)
                store_proto_text(ws, kind, 1200, c.field, typed.substr(0, n), before, typing);
            EXPECT_EQ(text(kind, 1200, c.field), c.stored);
            EXPECT_EQ(proto_field_text(c.field, text(kind, 1200, c.field)),
                      c.field == ProtoField::LookDescription ? c.stored : c.typed);
            EXPECT_EQ(ws.undo_text(), std::string("Undo Edit ") + c.step + " of " +
                                          proto_names(kind).title + " 1200");
            ASSERT_TRUE(ws.undo());  // the whole burst
            EXPECT_EQ(text(kind, 1200, c.field), before);
        }
        // An emptied field holds no text, line end and all; typed again, a
        // mobile's gets its line end back.
        store_proto_text(ws, kind, 1200, ProtoField::LongDescription, "", {});
        EXPECT_EQ(text(kind, 1200, ProtoField::LongDescription), "");
        store_proto_text(ws, kind, 1200, ProtoField::LongDescription, "B", {});
        EXPECT_EQ(text(kind, 1200, ProtoField::LongDescription), mob ? "B\r\n" : "B");
    }
    EXPECT_TRUE(ws.modified().is_set(TableKind::Object, 12));
    EXPECT_TRUE(ws.modified().is_set(TableKind::Mobile, 12));
}

TEST_F(PrototypeEditsTest, FormatAndClearAreOneStepEachOnTheLookDescription) {
    load(TableKind::Mobile, {3001});
    format_proto_look(ws, TableKind::Mobile, 3001, "a &Rbig. dog");
    EXPECT_EQ(ws.undo_text(), "Undo Format Description of Mobile 3001");
    EXPECT_EQ(text(TableKind::Mobile, 3001, ProtoField::LookDescription), "A &Rbig.  Dog\r\n");
    clear_proto_colours(ws, TableKind::Mobile, 3001, "A &Rbig.  Dog\r\n", "A &Rbig.  Dog\r\n");
    EXPECT_EQ(ws.undo_text(), "Undo Clear Colors of Mobile 3001");
    EXPECT_EQ(text(TableKind::Mobile, 3001, ProtoField::LookDescription), "A big.  Dog\r\n");
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(text(TableKind::Mobile, 3001, ProtoField::LookDescription), "A &Rbig.  Dog\r\n");
}

TEST_F(PrototypeEditsTest, PreviewClicksPaintTheTextOnTheirLine) {
    struct Case {
        PreviewPoint at;
        bool right;
        ProtoField field;
        const char* after;  // null: nothing changes
    };
    for (const Case& c : {
             Case{{true, 0, 1}, false, ProtoField::ShortDescription, "a&R sword"},
             Case{{false, 0, 2}, false, ProtoField::LongDescription, "A &Rsword lies here.\r\n"},
             Case{
                 {false, 1, 3}, false, ProtoField::LookDescription, "It &Ris &gsharp.\r\nOld.\r\n"},
             Case{
                 {false, 2, 0}, false, ProtoField::LookDescription, "It is &gsharp.\r\n&ROld.\r\n"},
             Case{{false, 2, 3}, true, ProtoField::LookDescription, "It is sharp.\r\nOld.\r\n"},
             Case{{false, 3, 0}, false, ProtoField::LookDescription, nullptr},  // past the text
             Case{{false, 0, 40}, false, ProtoField::LongDescription, nullptr},
         }) {
        NullUi quiet;
        Workspace w{quiet};
        MobilePrototype m = make_new_mobile(3001, 30);
        m.short_description = "a sword";
        m.long_description = "A sword lies here.\r\n";
        m.description = "It is &gsharp.\r\nOld.\r\n";
        if (c.right) m.description = "It is sharp.\r\nO&gld.\r\n";
        TableLoad(w).mobiles().append(m);
        std::string before = *proto_text(w, TableKind::Mobile, 3001, c.field);
        bool changed = paint_proto_preview(w, TableKind::Mobile, 3001, c.at, c.right, "&R");
        EXPECT_EQ(changed, c.after != nullptr) << c.at.line << ":" << c.at.column;
        EXPECT_EQ(*proto_text(w, TableKind::Mobile, 3001, c.field), c.after ? c.after : before);
    }
}

TEST_F(PrototypeEditsTest, APaintedCodeMayNotPassTheFilesLimit) {
    load(TableKind::Object, {1200});
    test::Step(ws).objects().edit(
        0, [](ObjectPrototype& o) { o.short_description = std::string(kMaxTextLength - 1, 'a'); });
    EXPECT_FALSE(paint_proto_preview(ws, TableKind::Object, 1200, {true, 0, 0}, false, "&R"));
    EXPECT_EQ(text(TableKind::Object, 1200, ProtoField::ShortDescription).size(),
              kMaxTextLength - 1);
}

TEST_F(PrototypeEditsTest, TheTreeGroupsZonesAndItsLabelsNameTheVnum) {
    load(TableKind::Object, {1200, 1201, 3001});
    test::Step(ws).objects().edit(
        0, [](ObjectPrototype& o) { o.short_description = "a &Rred&n sword"; });
    auto tree = proto_tree(ws, TableKind::Object);
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].zone, 12);
    EXPECT_EQ(tree[0].items[0].second, "1200 - a red sword");
    EXPECT_EQ(tree[1].items[0], std::make_pair(3001, std::string("3001 - an unfinished object")));
    ws.options().color_codes_in_trees = 1;
    EXPECT_EQ(proto_tree(ws, TableKind::Object)[0].items[0].second, "1200 - a &Rred&n sword");

    struct Case {
        const char* label;
        std::optional<int> vnum;
    };
    for (const Case& c :
         {Case{"1200 - a sword", 1200}, Case{"Zone 12", std::nullopt}, Case{"", std::nullopt},
          Case{"99999 - odd", std::nullopt}, Case{"7 - x", 7}})
        EXPECT_EQ(tree_label_vnum(c.label), c.vnum) << c.label;
}

TEST_F(PrototypeEditsTest, SuggestedVnumIsTheLowestFreeOneOfTheCurrentZone) {
    EXPECT_EQ(suggested_proto_vnum(ws, TableKind::Object), 100);  // nothing loaded
    load(TableKind::Object, {1200, 1201, 1202, 1203, 1204});
    ws.objects().select_slot(ws.objects().find(1202));
    EXPECT_EQ(suggested_proto_vnum(ws, TableKind::Object), 1205);
    test::Step(ws).objects().remove_object(1203);
    EXPECT_EQ(suggested_proto_vnum(ws, TableKind::Object), 1203);
    for (int v = 1205; v <= 1299; ++v)
        TableLoad(ws).objects().append(make_new_object(static_cast<Vnum>(v), 12));
    TableLoad(ws).objects().append(make_new_object(1203, 12));
    EXPECT_EQ(suggested_proto_vnum(ws, TableKind::Object), std::nullopt);  // all used
}

TEST_F(PrototypeEditsTest, NewRefusesTextsThatAreNoVnumAndExistingVnums) {
    load(TableKind::Object, {1200});
    load(TableKind::Mobile, {1200});
    struct Case {
        TableKind kind;
        const char* box;
        const char* status;  // null: nothing said
    };
    for (const Case& c : {
             Case{TableKind::Object, "", nullptr},
             Case{TableKind::Object, "abc",
                  "Error: \"abc\" is not an object vnum; vnums run from 0 to 32767."},
             Case{TableKind::Object, "-5",
                  "Error: \"-5\" is not an object vnum; vnums run from 0 to 32767."},
             Case{TableKind::Mobile, "65736",  // 200 once wrapped to 16 bits
                  "Error: \"65736\" is not a mobile vnum; vnums run from 0 to 32767."},
             Case{TableKind::Object, "1200", "Error: obj 1200 already exists."},
             Case{TableKind::Mobile, " 1200 ", "Error: mob 1200 already exists."},
         }) {
        ui.clear();
        EXPECT_FALSE(create_proto_from_box(ws, c.kind, c.box)) << c.box;
        EXPECT_EQ(ui.last_status(), c.status ? c.status : "") << c.box;
    }
    EXPECT_EQ(ws.objects().count(), 1);
    EXPECT_EQ(ws.mobiles().count(), 1);
    EXPECT_FALSE(ws.history().can_undo());
}

TEST_F(PrototypeEditsTest, NewMakesTheRecordCurrentAsOneStep) {
    for (TableKind kind : kKinds) {
        ASSERT_TRUE(create_proto_from_box(ws, kind, "1205"));
        EXPECT_EQ(ui.last_status(),
                  std::string("New ") + proto_names(kind).noun + " 1205 created.");
        EXPECT_EQ(current_proto(ws, kind), 1205);
        EXPECT_EQ(ws.undo_text(), std::string("Undo Create ") + proto_names(kind).title + " 1205");
        EXPECT_TRUE(ws.modified().is_set(kind, 12));
        ASSERT_TRUE(ws.undo());
        EXPECT_FALSE(proto_text(ws, kind, 1205, ProtoField::Keywords));
    }
}

TEST_F(PrototypeEditsTest, SelectByTypedVnum) {
    load(TableKind::Mobile, {3001, 3002});
    struct Case {
        const char* box;
        const char* status;
        int current;
    };
    for (const Case& c :
         {Case{"3002", "Mobile 3002 selected.", 3002},
          Case{"3005", "Mobile with vnum 3005 not found.", 3002},
          Case{"x", "Error: \"x\" is not a mobile vnum; vnums run from 0 to 32767.", 3002}}) {
        select_proto_from_box(ws, TableKind::Mobile, c.box);
        EXPECT_EQ(ui.last_status(), c.status);
        EXPECT_EQ(current_proto(ws, TableKind::Mobile), c.current);
    }
}

TEST_F(PrototypeEditsTest, RemovingTheCurrentSelectsAnotherOfItsZone) {
    load(TableKind::Object, {3001, 1200, 1201});
    ws.objects().select_slot(ws.objects().find(1200));
    test::Step(ws).objects().remove_object(1200);
    EXPECT_EQ(current_proto(ws, TableKind::Object), 1201);
    test::Step(ws).objects().remove_object(1201);  // none of its zone left: the first
    EXPECT_EQ(current_proto(ws, TableKind::Object), 3001);
}

TEST_F(PrototypeEditsTest, UnloadAllLeavesNoneWhateverTheZoneOrder) {
    for (TableKind kind : kKinds)
        load(kind, {3001, 1200, 3002, 1201});
    unload_all(ws);
    EXPECT_TRUE(ws.objects().empty());
    EXPECT_TRUE(ws.mobiles().empty());
    EXPECT_EQ(current_proto(ws, TableKind::Object), -1);
    for (const char* said : {"All objects unloaded.", "All mobiles unloaded."})
        EXPECT_NE(std::find(ui.statuses.begin(), ui.statuses.end(), said), ui.statuses.end());
}

}  // namespace
}  // namespace zs
