// The properties of objects and mobiles: what each kind of field refuses,
// typing merged into one step and undone and redone exactly, the drink rule
// on edit, the lists' named steps, and the warnings of vnum fields.
#include "world/proto_fields.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "files/load_command.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/conversations.h"
#include "world/mobile_fields.h"
#include "world/object_fields.h"
#include "world/prototype_edits.h"
#include "world/room_text.h"
#include "world/workspace.h"

namespace zs {
namespace {

class PropFieldsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(load_area_file(ws, test::test_data("props/88.obj").string()));
        ASSERT_TRUE(load_area_file(ws, test::test_data("props/88.mob").string()));
    }
    // The id of the field of that name; fails the test when there is none.
    int id_of(TableKind kind, int vnum, std::string_view name) {
        for (const PropField& f : prop_fields(ws, kind, vnum))
            if (f.name == name) return f.id;
        ADD_FAILURE() << "no field " << name;
        return -1;
    }
    std::string box(TableKind kind, int vnum, std::string_view name) {
        return prop_box_text(ws, kind, vnum, id_of(kind, vnum, name)).value_or("(none)");
    }
    const ObjectPrototype& object(int vnum) { return *ws.objects().find_record(vnum); }
    const MobilePrototype& mobile(int vnum) { return *ws.mobiles().find_record(vnum); }

    test::FakeUi ui;
    Workspace ws{ui};
};

TEST_F(PropFieldsTest, EachKindOfFieldRefusesWhatItCannotHoldAndUndoesExactly) {
    int cases = 0;
    for (auto [line, col] : test::table_rows("props/refusals.tsv")) {
        col.resize(5);
        SCOPED_TRACE(line);
        ++cases;
        TableKind kind = col[0] == "obj" ? TableKind::Object : TableKind::Mobile;
        int vnum = std::stoi(col[1]);
        const ObjectPrototype object_before = object(8803);
        const MobilePrototype mobile_before = mobile(8800);
        const ObjectPrototype key_before = object(8801);
        PropResult r = store_prop_box(ws, kind, vnum, id_of(kind, vnum, col[2]), col[3]);
        if (col[4] == "stored") {
            EXPECT_TRUE(r.stored) << r.refusal;
            EXPECT_EQ(r.refusal, "");
            EXPECT_EQ(box(kind, vnum, col[2]), col[2] == "Flags" && col[3] == "4294967295"
                                                   ? "abcdefghijklmnopqrstuvwxyzABCDEF"
                                                   : col[3]);
            ASSERT_TRUE(ws.undo());
        } else {
            EXPECT_FALSE(r.stored);
            EXPECT_EQ(r.refusal, col[4] == "nothing" ? "" : col[4]);
            EXPECT_FALSE(ws.history().can_undo());
        }
        EXPECT_TRUE(object(8803) == object_before);
        EXPECT_TRUE(mobile(8800) == mobile_before);
        EXPECT_TRUE(object(8801) == key_before);
        EXPECT_FALSE(ws.modified().any());
    }
    EXPECT_GT(cases, 40);
}

TEST_F(PropFieldsTest, TypingInOneBoxIsOneNamedStepThatUndoAndRedoReplayExactly) {
    const struct {
        TableKind kind;
        int vnum;
        const char* field;
        const char* typed;
        const char* step;
    } cases[] = {
        {TableKind::Object, 8803, "Weight", "1250", "Edit Weight of Object 8803"},
        {TableKind::Object, 8801, "Value 0", "400", "Edit Capacity of Object 8801"},
        {TableKind::Object, 8803, "Line 5 Position 3", "-77",
         "Edit Line 5 Position 3 of Object 8803"},
        {TableKind::Mobile, 8800, "Level", "45", "Edit Level of Mobile 8800"},
        {TableKind::Mobile, 8800, "Text 9", "a new text", "Edit Text 9 of Mobile 8800"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        int id = id_of(c.kind, c.vnum, c.field);
        EditOptions typing{0, this, prop_merge_key(c.kind, c.vnum, id)};
        std::string before = box(c.kind, c.vnum, c.field);
        const bool was_modified = ws.modified().is_set(c.kind, 88);
        std::string typed = c.typed;
        for (std::size_t n = 1; n <= typed.size(); ++n)
            store_prop_box(ws, c.kind, c.vnum, id, typed.substr(0, n), typing);
        EXPECT_EQ(box(c.kind, c.vnum, c.field), typed);
        EXPECT_EQ(ws.undo_text(), std::string("Undo ") + c.step);
        EXPECT_TRUE(ws.modified().is_set(c.kind, 88));
        ASSERT_TRUE(ws.undo());
        EXPECT_EQ(box(c.kind, c.vnum, c.field), before);
        EXPECT_EQ(ws.modified().is_set(c.kind, 88), was_modified);
        ASSERT_TRUE(ws.redo());
        EXPECT_EQ(box(c.kind, c.vnum, c.field), typed);
        ws.end_typing_burst();
    }
    // Each box was its own step.
    int steps = 0;
    while (ws.undo())
        ++steps;
    EXPECT_EQ(steps, 5);
}

TEST_F(PropFieldsTest, TheDrinkRuleRaisesTheWeightOnEditAndSaysSo) {
    const struct {
        int vnum;
        const char* field;
        const char* typed;
        int weight;  // afterwards
        bool note;
    } cases[] = {
        // the flask 8805: a drink container holding 8, weight 20
        {8805, "Weight", "3", 13, true},
        {8805, "Weight", "8", 8, false},
        {8805, "Value 1", "30", 35, true},
        // the chest 8801 (weight 30) becomes a fountain holding 5: no change
        {8801, "Type", "23", 30, false},
        // the iron key (weight 1): value 1 of a key is no amount held
        {8802, "Value 1", "40", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.typed);
        const int before = object(c.vnum).weight;
        PropResult r = store_prop_box(ws, TableKind::Object, c.vnum,
                                      id_of(TableKind::Object, c.vnum, c.field), c.typed);
        EXPECT_TRUE(r.stored);
        EXPECT_EQ(object(c.vnum).weight, c.weight);
        EXPECT_EQ(!r.note.empty(), c.note) << r.note;
        ASSERT_TRUE(ws.undo());  // the field and the weight go back together
        EXPECT_EQ(object(c.vnum).weight, before);
        ASSERT_TRUE(ws.redo());
        EXPECT_EQ(object(c.vnum).weight, c.weight);
    }
    // The box 8804 (a container of weight 5) holding 50 becomes a drink container.
    store_prop_box(ws, TableKind::Object, 8804, id_of(TableKind::Object, 8804, "Value 1"), "50");
    EXPECT_EQ(object(8804).weight, 5);
    PropResult r = store_prop_box(ws, TableKind::Object, 8804, kObjType, "17");
    EXPECT_EQ(object(8804).weight, 55);
    EXPECT_EQ(r.note,
              "The weight of Object 8804 is now 55: the game gives a drink container lighter "
              "than what it holds (value 1) that amount plus 5.");
    // A barrel holding the most a number holds cannot become a fountain.
    ASSERT_TRUE(load_area_file(ws, test::test_data("props/89.obj").string()));
    r = store_prop_box(ws, TableKind::Object, 8905, kObjType, "23");
    EXPECT_FALSE(r.stored);
    EXPECT_EQ(r.refusal,
              "Amount Held of a fountain must be a whole number from -2147483648 to 2147483642; "
              "2147483647 does not fit: the game weighs it that amount plus 5.");
    EXPECT_EQ(object(8905).type, kItemContainer);
}

TEST_F(PropFieldsTest, ListsChangeByNamedSteps) {
    using Step = std::function<PropResult()>;
    const struct {
        const char* step;  // the undo text's step; empty: refused
        Step run;
        const char* result;  // the refusal, or the list's box afterwards
    } cases[] = {
        {"Add Trigger 8860 to Object 8803",
         [&] { return add_prop_trigger(ws, TableKind::Object, 8803, 8860); }, "8850 8860"},
        {"Remove Trigger 8850 from Object 8803",
         [&] { return remove_prop_trigger(ws, TableKind::Object, 8803, 0); }, "8860"},
        {"", [&] { return remove_prop_trigger(ws, TableKind::Object, 8803, 5); },
         "Object 8803 has no trigger 6."},
        {"Add Skill 30 to Mobile 8800", [&] { return set_mobile_skill(ws, 8800, 30, 55); },
         "12:80 15:-3 30:55"},
        {"Edit Skill 12 of Mobile 8800", [&] { return set_mobile_skill(ws, 8800, 12, 81); },
         "12:81 15:-3 30:55"},
        {"Remove Skill 15 from Mobile 8800", [&] { return remove_mobile_skill(ws, 8800, 15); },
         "12:81 30:55"},
        {"", [&] { return set_mobile_skill(ws, 8800, 1513, 1); },
         "A skill number must be a whole number from 0 to 1512; 1513 does not fit."},
        {"", [&] { return set_mobile_skill(ws, 8800, 40, 0); },
         "A skill's value cannot be 0: a skill of value 0 is not set."},
        {"Add Affect 3 to Object 8803", [&] { return add_object_affect(ws, 8803, 13, 25); },
         "18 2 1 -1 13 25"},
        {"Edit Affect 1 of Object 8803", [&] { return change_object_affect(ws, 8803, 0, 19, 3); },
         "19 3 1 -1 13 25"},
        {"Remove Affect 2 from Object 8803", [&] { return remove_object_affect(ws, 8803, 1); },
         "19 3 13 25"},
        {"", [&] { return add_object_affect(ws, 8803, 256, 1); },
         "An affect's location must be a whole number from 0 to 255; 256 does not fit."},
        {"", [&] { return add_object_affect(ws, 8803, 1, 0); },
         "An affect's modifier cannot be 0: an affect of modifier 0 is empty."},
    };
    auto affects = [&] {
        std::string out;
        for (int slot = 0; slot < 6; ++slot)
            for (int part = 0; part < 2; ++part) {
                auto n = prop_box_text(ws, TableKind::Object, 8803, kObjAffect0 + 2 * slot + part);
                if (*n != "0") out += (out.empty() ? "" : " ") + *n;
            }
        return out;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        std::string undo_before = ws.undo_text();
        PropResult r = c.run();
        if (*c.step == '\0') {
            EXPECT_FALSE(r.stored);
            EXPECT_EQ(r.refusal, c.result);
            EXPECT_EQ(ws.undo_text(), undo_before);
            continue;
        }
        EXPECT_TRUE(r.stored) << r.refusal;
        EXPECT_EQ(ws.undo_text(), std::string("Undo ") + c.step);
        std::string now = std::string(c.step).find("Affect") != std::string::npos ? affects()
                          : std::string(c.step).find("Skill") != std::string::npos
                              ? box(TableKind::Mobile, 8800, "Skills")
                              : box(TableKind::Object, 8803, "Triggers");
        EXPECT_EQ(now, c.result);
    }
}

// A pane that skips its own edits still refreshes every box the step changed.
TEST_F(PropFieldsTest, AStepsFieldMaskNamesEveryFieldItChanged) {
    struct Masks : WorkspaceObserver {
        FieldMask fields = 0;
        void workspace_changed(const Change& c) override { fields |= c.fields; }
    } seen;
    ws.add_observer(&seen);
    auto bits_of = [&](TableKind kind, int vnum, std::string_view names) {
        FieldMask mask = 0;
        std::istringstream list{std::string(names)};
        for (std::string name; std::getline(list, name, ',');)
            mask |= prop_field_bit(id_of(kind, vnum, name));
        return mask;
    };
    int cases = 0;
    for (const auto& [line, col] : test::table_rows("props/masks.tsv")) {
        ASSERT_EQ(col.size(), 5u) << line;
        SCOPED_TRACE(line);
        ++cases;
        TableKind kind = col[0] == "obj" ? TableKind::Object : TableKind::Mobile;
        int vnum = std::stoi(col[1]);
        seen.fields = 0;
        ASSERT_TRUE(store_prop_box(ws, kind, vnum, id_of(kind, vnum, col[2]), col[3]).stored);
        EXPECT_EQ(seen.fields, bits_of(kind, vnum, col[4]));
        ASSERT_TRUE(ws.undo());
    }
    EXPECT_GT(cases, 5);
    // Removing an affect moves the ones after it up a slot.
    seen.fields = 0;
    ASSERT_TRUE(remove_object_affect(ws, 8803, 0).stored);
    EXPECT_EQ(seen.fields,
              bits_of(TableKind::Object, 8803,
                      "Affect 1 Location,Affect 1 Modifier,Affect 2 Location,Affect 2 Modifier"));
    ws.remove_observer(&seen);
}

// Storing what a box shows changes nothing, for a record just made as for
// one read from a file.
TEST_F(PropFieldsTest, StoringWhatEveryBoxShowsMakesNoStep) {
    ASSERT_TRUE(create_proto_from_box(ws, TableKind::Object, "8890"));
    ASSERT_TRUE(create_proto_from_box(ws, TableKind::Mobile, "8890"));
    ws.modified().clear_all();
    for (TableKind kind : {TableKind::Object, TableKind::Mobile})
        for (int vnum : {8890, kind == TableKind::Object ? 8803 : 8800})
            for (const PropField& f : prop_fields(ws, kind, vnum)) {
                SCOPED_TRACE(f.name + " of " + std::to_string(vnum));
                PropResult r = store_prop_box(ws, kind, vnum, f.id,
                                              prop_box_text(ws, kind, vnum, f.id).value());
                EXPECT_FALSE(r.stored);
                EXPECT_EQ(r.refusal + r.note, "");
            }
    EXPECT_EQ(ws.undo_text(), "Undo Create Mobile 8890");
    EXPECT_FALSE(ws.modified().any());
}

// The properties' texts, the display texts, the conversations and the room
// texts measure a text as the reader does: a bare LF takes the two bytes of
// CR LF.
TEST_F(PropFieldsTest, EveryTextBoxMeasuresALineEndAsTheFileHoldsIt) {
    int cases = 0;
    for (const auto& [line, col] : test::table_rows("props/lengths.tsv")) {
        ASSERT_EQ(col.size(), 3u) << line;
        SCOPED_TRACE(line);
        ++cases;
        std::string text(std::stoul(col[0]), 'a');
        text += col[1] == "LF" ? "\n" : col[1] == "CRLF" ? "\r\n" : "";
        const bool fits = col[2] == "fits";
        PropResult r = store_prop_box(ws, TableKind::Object, 8803,
                                      id_of(TableKind::Object, 8803, "Text 5"), text);
        EXPECT_EQ(r.refusal, fits ? "" : "Text 5 cannot be longer than 16383 bytes.");
        EXPECT_EQ(
            proto_text_refusal(TableKind::Object, ProtoField::LookDescription, text),
            fits ? "" : "The Look Description of an object cannot be longer than 16383 bytes.");
        EXPECT_EQ(
            conversation_text_refusal(8800, text),
            fits ? "" : "Mobile 8800: a conversation text cannot be longer than 16383 bytes.");
        EXPECT_EQ(room_text_refusal(text),
                  fits ? "" : "A room text cannot be longer than 16383 bytes.");
        if (r.stored) {
            ASSERT_TRUE(ws.undo());
        }
    }
    EXPECT_EQ(cases, 6);
}

// Rooms and zones have no properties here, even where a vnum of theirs is
// an object's or a mobile's.
TEST_F(PropFieldsTest, OnlyObjectsAndMobilesHaveProperties) {
    for (TableKind kind : {TableKind::World, TableKind::Zone})
        for (int vnum : {8803, 8800}) {
            SCOPED_TRACE(vnum);
            EXPECT_TRUE(prop_fields(ws, kind, vnum).empty());
            EXPECT_FALSE(prop_field(ws, kind, vnum, 0));
            EXPECT_FALSE(prop_box_text(ws, kind, vnum, 0));
            EXPECT_FALSE(prop_number(ws, kind, vnum, 0));
            EXPECT_EQ(prop_label(ws, kind, vnum, 0), "");
            PropResult r = store_prop_box(ws, kind, vnum, 0, "3");
            EXPECT_FALSE(r.stored);
            EXPECT_EQ(r.refusal, "");
            EXPECT_FALSE(add_prop_trigger(ws, kind, vnum, 8850).stored);
        }
    EXPECT_FALSE(ws.history().can_undo());
}

TEST_F(PropFieldsTest, ACheckBoxSetsOneFlagBitAndSaysWhenTheNumberSetIsNoLongerSaved) {
    const struct {
        TableKind kind;
        int vnum;
        int id;
        int bit;
        bool on;
        const char* flags;  // the box afterwards
        const char* note;
    } cases[] = {
        {TableKind::Object, 8803, kObjFlags, 1, true, "abn", ""},
        {TableKind::Object, 8803, kObjFlags, 0, false, "bn", ""},
        {TableKind::Object, 8803, kObjFlags, 31, true, "bnF", ""},
        // flag f of the second word keeps the number set in the file
        {TableKind::Mobile, 8800, kMobFlags + 1, 5, false, "0",
         "Mobile 8800's number set is saved only while its Flags 2 has flag f set."},
        {TableKind::Mobile, 8800, kMobFlags + 1, 5, true, "f", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        PropResult r = set_prop_flag(ws, c.kind, c.vnum, c.id, c.bit, c.on);
        EXPECT_TRUE(r.stored);
        EXPECT_EQ(r.note, c.note);
        EXPECT_EQ(prop_box_text(ws, c.kind, c.vnum, c.id), c.flags);
        EXPECT_EQ(ws.undo_text(), std::string("Undo Edit ") + (c.kind == TableKind::Object
                                                                   ? "Flags of Object 8803"
                                                                   : "Flags 2 of Mobile 8800"));
    }
}

TEST_F(PropFieldsTest, AVnumNoLoadedZoneHoldsIsStoredWithAWarning) {
    const struct {
        TableKind kind;
        int vnum;
        const char* field;
        const char* typed;
        const char* warning;
    } cases[] = {
        {TableKind::Object, 8801, "Value 2", "8899",
         "Object 8801: the container needs key 8899, which no loaded zone holds."},
        {TableKind::Object, 8801, "Value 2", "8805", ""},
        {TableKind::Object, 8801, "Value 2", "-1", ""},
        {TableKind::Object, 8801, "Value 2", "0", ""},
        // as the checker has it, only 0 and -1 stand for no key
        {TableKind::Object, 8801, "Value 2", "-5",
         "Object 8801: the container needs key -5, which no loaded zone holds."},
        {TableKind::Object, 8801, "Value 2", "99999",
         "Object 8801: the container needs key 99999, which is no vnum (vnums run from -99 to "
         "32767)."},
        // not a container: value 2 is no key
        {TableKind::Object, 8802, "Value 2", "8899", ""},
        {TableKind::Mobile, 8800, "Triggers", "8851 4000",
         "Trigger 4000 lies in zone 40, of which no file is loaded."},
        {TableKind::Mobile, 8800, "Triggers", "8851 8870", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        PropResult r = store_prop_box(ws, c.kind, c.vnum, id_of(c.kind, c.vnum, c.field), c.typed);
        EXPECT_TRUE(r.stored);
        EXPECT_EQ(r.warning, c.warning);
    }
}

}  // namespace
}  // namespace zs
