// The room text pane's core: which texts are refused, and the steps that
// store, format and clear a room's texts.
#include <gtest/gtest.h>

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
    ws.world().append(make_new_room(3001, 30));
    const Room& r = ws.world().room(0);
    const std::string fresh = r.description.str();
    int merge_field = int(RoomField::Description);
    EditOptions typing{0, nullptr, {TableKind::World, 3001, merge_field}};
    store_room_text(ws, 3001, RoomField::Description, "a", typing);
    store_room_text(ws, 3001, RoomField::Description, "ab &Rcd", typing);
    EXPECT_EQ(r.description, "   Ab &Rcd\r\n");  // stored formatted
    EXPECT_EQ(ws.undo_text(), "Undo Edit Description of Room 3001");
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(r.description, fresh);  // both keystrokes at once
    ASSERT_TRUE(ws.redo());

    store_room_text(ws, 3001, RoomField::Title, "A Hall", typing);
    EXPECT_EQ(r.title, "A Hall");  // as typed

    format_room_texts(ws, 3001, "one. two", "side text", typing);
    EXPECT_EQ(ws.undo_text(), "Undo Format Description of Room 3001");
    EXPECT_EQ(r.description, "   One.  Two\r\n");
    EXPECT_EQ(r.side_text, "Side text\r\n");
    clear_room_colours(ws, 3001, "ab &Rcd", typing);
    EXPECT_EQ(ws.undo_text(), "Undo Clear Colors of Room 3001");
    EXPECT_EQ(r.description, "   Ab cd\r\n");
    ASSERT_TRUE(ws.undo());
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(r.description, "   Ab &Rcd\r\n");

    // A double-clicked colour button: codes go in front, "&n" at the end.
    colour_room_description(ws, 3001, "ab", "&R", typing);
    EXPECT_EQ(ws.undo_text(), "Undo Color Description of Room 3001");
    EXPECT_EQ(r.description, "&R   Ab\r\n");
    colour_room_description(ws, 3001, "ab", "&n", typing);
    EXPECT_EQ(r.description, "   Ab&n\r\n");
}

}  // namespace
}  // namespace zs
