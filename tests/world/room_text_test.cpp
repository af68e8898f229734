// The room text pane's core: which texts are refused, and the steps that
// store, format and clear a room's texts.
#include <gtest/gtest.h>

#include <optional>

#include "support/fake_ui.h"
#include "world/room.h"
#include "world/room_text.h"
#include "world/text.h"

namespace zs {
namespace {

TEST(RoomText, RefusesATildeAndTextsLongerThanTheReaderTakes) {
    struct Case {
        std::string text;
        bool refused;
    };
    for (const Case& c : {Case{"A quiet road", false}, Case{"ends~here", true},
                          Case{std::string(kMaxTextLength, 'a'), false},
                          Case{std::string(kMaxTextLength + 1, 'a'), true}})
        EXPECT_EQ(!room_text_refusal(c.text).empty(), c.refused) << c.text.size();
}

TEST(RoomText, ClearRemovesEveryAmpersandAndItsLetter) {
    EXPECT_EQ(without_colour_codes("&RRed&n and && plain&"), "Red and  plain");
}

TEST(RoomText, TypingMergesAndFormatAndClearAreOneStepEach) {
    NullUi quiet;
    Workspace ws{quiet};
    TableLoad(ws).world().append(make_new_room(3001, 30));
    const Room& r = ws.world().room(0);
    const std::string fresh = r.description.str();
    int merge_field = int(RoomField::Description);
    EditOptions typing{0, nullptr, {TableKind::World, 3001, merge_field}};
    store_room_text(ws, 3001, RoomField::Description, "a", "", typing);
    store_room_text(ws, 3001, RoomField::Description, "ab &Rcd", "", typing);
    EXPECT_EQ(r.description, "ab &Rcd\r\n");  // as typed, with its line end
    EXPECT_EQ(ws.undo_text(), "Undo Edit Description of Room 3001");
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(r.description, fresh);  // both keystrokes at once
    ASSERT_TRUE(ws.redo());

    store_room_text(ws, 3001, RoomField::Title, "A Hall", {}, typing);
    EXPECT_EQ(r.title, "A Hall");  // as typed

    format_room_texts(ws, 3001, "one. two", "side text", typing);
    EXPECT_EQ(ws.undo_text(), "Undo Format Description of Room 3001");
    EXPECT_EQ(r.description, "   One.  Two\r\n");
    EXPECT_EQ(r.side_text, "Side text\r\n");
    clear_room_colours(ws, 3001, "ab &Rcd\r\n   two", "ab &Rcd\r\n", typing);
    EXPECT_EQ(ws.undo_text(), "Undo Clear Colors of Room 3001");
    EXPECT_EQ(r.description, "ab cd\r\n   two\r\n");  // codes go, lines stay
    ASSERT_TRUE(ws.undo());
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(r.description, "ab &Rcd\r\n");

    // A double-clicked colour button: codes go in front, "&n" at the end.
    colour_room_description(ws, 3001, "ab", "&R", typing);
    EXPECT_EQ(ws.undo_text(), "Undo Color Description of Room 3001");
    EXPECT_EQ(r.description, "&R   Ab\r\n");
    colour_room_description(ws, 3001, "ab", "&n", typing);
    EXPECT_EQ(r.description, "   Ab&n\r\n");
}

TEST(RoomText, PreviewPointsFollowTheDrawnGrid) {
    struct Case {
        int x, y;  // with the split line at 100
        std::optional<PreviewPoint> at;
    };
    for (const Case& c :
         {Case{2, 101, std::nullopt}, Case{1, 110, std::nullopt},
          Case{2, 102, PreviewPoint{true, 0, 0}}, Case{25, 116, PreviewPoint{true, 0, 2}},
          Case{9, 117, PreviewPoint{false, 0, 0}}, Case{10, 132, PreviewPoint{false, 1, 1}}}) {
        auto at = preview_point(100, c.x, c.y);
        ASSERT_EQ(at.has_value(), c.at.has_value()) << c.x << "," << c.y;
        if (!at) continue;
        EXPECT_EQ(at->title, c.at->title) << c.x << "," << c.y;
        EXPECT_EQ(at->line, c.at->line) << c.x << "," << c.y;
        EXPECT_EQ(at->column, c.at->column) << c.x << "," << c.y;
    }
}

TEST(RoomText, PreviewClicksPaintAndRemoveCodesAsOneStepEach) {
    struct Case {
        PreviewPoint at;
        bool right;
        const char* paint;
        const char* title;
        const char* description;  // after the click; null: nothing changes
    };
    const char* kTitle = "A &groad";
    const char* kText = "ab &gcd\r\nef&&g";
    for (const Case& c : {
             // a code right before the character is replaced
             Case{{false, 0, 3}, false, "&R", kTitle, "ab &Rcd\r\nef&&g"},
             Case{{false, 0, 1}, false, "&R", kTitle, "a&Rb &gcd\r\nef&&g"},
             // the nearest code before the click goes, across lines
             Case{{false, 1, 1}, true, "", kTitle, "ab cd\r\nef&&g"},
             // "&&" is one character
             Case{{false, 1, 3}, false, "&B", kTitle, "ab &gcd\r\nef&&&Bg"},
             Case{{true, 0, 2}, false, "&Y", "A &Yroad", kText},
             // no paint colour, past the line's end, no code before
             Case{{false, 0, 3}, false, "", kTitle, nullptr},
             Case{{false, 0, 5}, false, "&R", kTitle, nullptr},
             Case{{false, 2, 0}, false, "&R", kTitle, nullptr},
             Case{{false, 0, 1}, true, "", kTitle, nullptr},
         }) {
        NullUi quiet;
        Workspace ws{quiet};
        Room room = make_new_room(3001, 30);
        room.title = kTitle;
        room.description = kText;
        TableLoad(ws).world().append(room);
        bool changed = paint_room_preview(ws, 3001, c.at, c.right, c.paint);
        const Room& r = ws.world().room(0);
        EXPECT_EQ(changed, c.description != nullptr) << c.at.line << ":" << c.at.column;
        EXPECT_EQ(r.title, c.title);
        EXPECT_EQ(r.description, c.description ? c.description : kText);
        EXPECT_EQ(ws.history().can_undo(), changed);
    }
}

TEST(RoomText, APaintedCodeMayNotPassTheFilesLimit) {
    test::FakeUi ui;
    Workspace ws{ui};
    Room room = make_new_room(3001, 30);
    room.description = std::string(kMaxTextLength - 1, 'a');
    TableLoad(ws).world().append(room);
    EXPECT_FALSE(paint_room_preview(ws, 3001, {false, 0, 0}, false, "&R"));
    EXPECT_EQ(ws.world().room(0).description.size(), kMaxTextLength - 1);
    EXPECT_NE(ui.last_status().find("longer than"), std::string::npos);
}

}  // namespace
}  // namespace zs
