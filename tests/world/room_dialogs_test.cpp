// The room editor's dialogs in the core: the Room Flags boxes leave the bits
// without a box alone, and the Extra Descriptions session moves, stores,
// refuses, drops incomplete entries and commits one step at close.
#include <gtest/gtest.h>

#include <bit>

#include "support/fake_ui.h"
#include "world/extra_desc_session.h"
#include "world/object.h"
#include "world/room_flags.h"
#include "world/text.h"

namespace zs {
namespace {

class RoomDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Room r = make_new_room(3001, 30);
        r.extra_descriptions = {{"sign", "A sign.\r\n"}, {"well", "A deep well.\r\n"}};
        TableLoad(ws).world().append(std::move(r));
    }
    const Room& room() const { return ws.world().room(0); }

    test::FakeUi ui;
    Workspace ws{ui};
};

TEST_F(RoomDialogsTest, FlagBoxesSetTheirBitsAndKeepTheOthers) {
    EXPECT_EQ(std::popcount(kRoomFlagBoxBits), 21);
    struct Case {
        std::uint32_t before, ticked, after;
    };
    const std::uint32_t unboxed = ~kRoomFlagBoxBits;  // 12, 14, 15, 17, 18, 26-31
    for (const Case& c :
         {Case{0xFFFFFFFF, 0, unboxed}, Case{0, 0xFFFFFFFF, kRoomFlagBoxBits},
          Case{1u << 12 | 1u << 3, 1u << 0 | 1u << 25, 1u << 12 | 1u << 0 | 1u << 25},
          Case{1u << 31 | 1u << 13, 1u << 14, 1u << 31}}) {
        TableLoad(ws).world().edit_loaded(0, [&](Room& r) { r.room_flags = c.before; });
        ASSERT_TRUE(set_room_flag_boxes(ws, 3001, c.ticked));
        EXPECT_EQ(room().room_flags, c.after) << std::hex << c.before << " " << c.ticked;
    }
    EXPECT_EQ(ws.undo_text(), "Undo Edit Flags of Room 3001");
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(room().room_flags, (1u << 31 | 1u << 13));
    EXPECT_FALSE(set_room_flag_boxes(ws, 3002, 1));
}

TEST_F(RoomDialogsTest, NextPastTheLastShowsABlankEntryThatCloseDrops) {
    ExtraDescSession s(ws, 3001);
    ASSERT_TRUE(s.last("sign", "A sign.\r\n"));
    EXPECT_EQ(s.position(), 1);
    ASSERT_TRUE(s.next("well", "A deep well.\r\n"));
    EXPECT_EQ(s.position() + 1, 3);
    EXPECT_EQ(s.count(), 3);
    EXPECT_EQ(s.shown(), ExtraDescription{});
    ASSERT_TRUE(s.ok("", ""));
    EXPECT_EQ(room().extra_descriptions.size(), 2u);
    EXPECT_EQ(ws.undo_text(), "Undo");  // nothing changed, no step
}

TEST_F(RoomDialogsTest, EntriesStoredWhileMovingAreOneStepThatUndoTakesBack) {
    const auto before = room().extra_descriptions;
    ExtraDescSession s(ws, 3001);
    EXPECT_FALSE(s.previous("ignored", "ignored"));  // at the first: nothing
    EXPECT_EQ(s.position(), 0);
    EXPECT_EQ(s.shown().keyword, "sign");
    ASSERT_TRUE(s.next("sign  board", "a sign. it reads"));
    ASSERT_TRUE(s.next("well", ""));                           // incomplete: dropped at close
    ASSERT_TRUE(s.first("", ""));                              // leaves the blank third entry blank
    EXPECT_EQ(s.shown().description, "a sign. it reads\r\n");  // as typed
    s.cancel();  // the boxes are not stored, the moves' stores stay
    ASSERT_EQ(room().extra_descriptions.size(), 1u);
    EXPECT_EQ(room().extra_descriptions[0],
              (ExtraDescription{"sign  board", "a sign. it reads\r\n"}));
    EXPECT_EQ(ws.undo_text(), "Undo Edit Extra Descriptions of Room 3001");
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(room().extra_descriptions, before);
    EXPECT_EQ(ws.undo_text(), "Undo");
}

TEST_F(RoomDialogsTest, OkKeepsAnEntryWithOnlyOneOfItsPartsAndSaysWhatIsMissing) {
    struct Case {
        std::string keywords, text, said;
    };
    for (const Case& c : {Case{"", "A plaque.", "has text but no keywords"},
                          Case{"plaque", "", "has keywords but no text"}}) {
        ui.clear();
        ExtraDescSession s(ws, 3001);
        ASSERT_TRUE(s.last("sign", "A sign.\r\n"));
        ASSERT_TRUE(s.next("well", "A deep well.\r\n"));
        ASSERT_TRUE(s.next(c.keywords, c.text));  // stored while moving on
        EXPECT_FALSE(s.ok("", ""));
        EXPECT_EQ(s.position(), 2);  // the incomplete entry is shown again
        EXPECT_EQ(s.shown().keyword, c.keywords);
        ASSERT_EQ(ui.statuses.size(), 1u);
        EXPECT_EQ(ui.statuses[0],
                  "Extra description 3 of 4 " + c.said +
                      (c.keywords.empty() ? ": type its keywords, or empty its text to drop it."
                                          : ": type its text, or empty its keywords to drop it."));
        EXPECT_EQ(ws.undo_text(), "Undo");  // nothing committed
        ASSERT_TRUE(s.ok("plaque", "A plaque.\r\n"));
        EXPECT_EQ(room().extra_descriptions.size(), 3u);
        ASSERT_TRUE(ws.undo());
    }
}

TEST_F(RoomDialogsTest, TextsTheAreaFilesCannotHoldAreRefusedAndKept) {
    struct Case {
        std::string keywords, text;
    };
    for (const Case& c : {Case{"sign~", "A sign."}, Case{"sign", "A ~ sign."},
                          Case{"sign", std::string(kMaxTextLength / 2, 'a') + " " +
                                           std::string(kMaxTextLength / 2, 'b')}}) {
        ui.clear();
        ExtraDescSession s(ws, 3001);
        EXPECT_FALSE(s.next(c.keywords, c.text));
        EXPECT_FALSE(s.ok(c.keywords, c.text));
        EXPECT_EQ(s.position(), 0);
        EXPECT_EQ(s.shown().keyword, "sign");
        EXPECT_EQ(ui.statuses.size(), 2u);
    }
    EXPECT_EQ(ws.undo_text(), "Undo");
}

TEST_F(RoomDialogsTest, AnObjectsSessionStoresIntoTheObjectAsOneStep) {
    ObjectPrototype o = make_new_object(3022, 30);
    o.extra_descriptions = {{"blade", "Sharp.\r\n"}};
    TableLoad(ws).objects().append(std::move(o));
    const auto room_before = room().extra_descriptions;
    auto object = [&] { return ws.objects().find_record(3022)->extra_descriptions; };
    ExtraDescSession s(ws, 3022, TableKind::Object);
    EXPECT_EQ(s.shown().keyword, "blade");
    ASSERT_TRUE(s.next("blade", "Sharp.\r\n"));
    ASSERT_TRUE(s.ok("hilt", "Worn leather."));
    EXPECT_EQ(object(), (std::vector<ExtraDescription>{{"blade", "Sharp.\r\n"},
                                                       {"hilt", "Worn leather.\r\n"}}));
    EXPECT_EQ(room().extra_descriptions, room_before);  // room 3001 is not touched
    EXPECT_EQ(ws.undo_text(), "Undo Edit Extra Descriptions of Object 3022");
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(object().size(), 1u);
    // An object that is not loaded starts blank and stores nothing.
    ExtraDescSession missing(ws, 3099, TableKind::Object);
    EXPECT_EQ(missing.count(), 1);
    EXPECT_TRUE(missing.ok("x", "y"));
    EXPECT_EQ(ws.undo_text(), "Undo");
}

}  // namespace
}  // namespace zs
