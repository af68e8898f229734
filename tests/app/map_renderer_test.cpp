// Map drawing, checked pixel by pixel: room boxes and numbers, exits, doors,
// up/down markers, the selection frame, lower floors, clipping, background.
#include "app/map_renderer.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "files/load_command.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/workspace.h"
#include "world/world_table.h"

namespace zs {
namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
}

constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0};
constexpr Rgb kDoor{80, 80, 0}, kFly{0, 200, 200}, kSelection{200, 0, 0};
constexpr Rgb kGreyFrame{128, 128, 128}, kFill0{192, 192, 192};

Rgb at(const QImage& image, int x, int y) {
    QRgb p = image.pixel(x, y);
    return {qRed(p), qGreen(p), qBlue(p)};
}

bool dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 100;
}

// Compares a window of the image, top-left (x, y), with a picture: '#' must
// be `colour`, '.' must not be, anything else is not checked.
void expect_picture(const QImage& image, int x, int y, const std::vector<std::string>& picture,
                    Rgb colour) {
    for (int row = 0; row < static_cast<int>(picture.size()); ++row) {
        for (int col = 0; col < static_cast<int>(picture[row].size()); ++col) {
            const int px = x + col, py = y + row;
            if (picture[row][col] == '#') {
                EXPECT_EQ(at(image, px, py), colour) << "at " << px << "," << py;
            } else if (picture[row][col] == '.') {
                EXPECT_NE(at(image, px, py), colour) << "at " << px << "," << py;
            }
        }
    }
}

class MapRendererTest : public testing::Test {
protected:
    int add_room(int vnum) {
        TableLoading(world).append(make_new_room(static_cast<Vnum>(vnum), zone_of(vnum)));
        return world.count() - 1;
    }
    void add_exit(int slot, int dir, int destination, std::uint16_t flags = 0) {
        world.edit(slot, [&](Room& r) {
            Exit e;
            e.destination = static_cast<Vnum>(destination);
            e.exit_flags = flags;
            r.exits[dir] = e;
        });
    }
    // Selects the room and puts its box at screen (100, 100) through a scroll
    // offset, so that world and screen differ.
    void select_at_100(int slot) {
        world.select_slot(slot);
        view.set_anchor(world.room(slot).vnum, 1100, 700);
        view.scroll_x = 1000;
        view.scroll_y = 600;
    }
    QImage draw(int width = 240, int height = 240) {
        return renderer.render(world, view, width, height);
    }

    WorldTable world;
    MapView view;
    MapRenderer renderer;
};

TEST_F(MapRendererTest, RoomBoxesUseTheirBitmapsAndUnknownColoursFallBackToTheFirst) {
    // A is selected and leads east to B, which has no exits of its own: B's
    // box stands alone at (120, 100).
    int a = add_room(8801);
    int b = add_room(8802);
    add_exit(a, kEast, 8802);
    select_at_100(a);
    struct Case {
        int colour;
        Rgb fill, frame;
    };
    const Case cases[] = {{0, {192, 192, 192}, kGreyFrame},
                          {3, {255, 184, 149}, kGreyFrame},
                          {4, {203, 203, 203}, {146, 146, 146}},
                          {7, {247, 247, 247}, {236, 236, 236}},
                          {9, {128, 0, 0}, kGreyFrame},
                          {23, {166, 202, 240}, kGreyFrame},
                          {33, {255, 251, 240}, kGreyFrame},
                          {34, kFill0, kGreyFrame},
                          {-1, kFill0, kGreyFrame}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colour);
        world.edit(b, [&](Room& r) { r.room_colour = c.colour; });
        QImage image = draw();
        // Two-pixel frame on every side, fill inside.
        for (int i : {0, 1, 16, 17}) {
            EXPECT_EQ(at(image, 120 + i, 100 + 5), c.frame);
            EXPECT_EQ(at(image, 120 + 5, 100 + i), c.frame);
        }
        EXPECT_EQ(at(image, 122, 102), c.fill);
        EXPECT_EQ(at(image, 135, 115), c.fill);
        EXPECT_EQ(at(image, 122, 115), c.fill);
        // Nothing outside the 18 by 18 box.
        EXPECT_EQ(at(image, 138, 105), kWhite);
        EXPECT_EQ(at(image, 125, 99), kWhite);
        EXPECT_EQ(at(image, 125, 118), kWhite);
    }
}

TEST_F(MapRendererTest, RoomNumberStartsSevenInForOneDigitAndFourInForTwo) {
    // Glyph shapes depend on the installed font, so the exact check compares
    // with the same text drawn by QPainter at the expected place; the column
    // checks hold for any font. Interior: x+2..x+15, y+2..y+15.
    struct Case {
        int vnum;
        const char* text;
        int first_column;  // relative to the box
    };
    for (Case c :
         {Case{8805, "5", 7}, Case{8842, "42", 4}, Case{12300, "0", 7}, Case{-5, "-5", 4}}) {
        SCOPED_TRACE(c.vnum);
        int slot = add_room(c.vnum);
        select_at_100(slot);
        QImage image = draw();
        auto dark_in = [&](int x0, int x1, int y0, int y1) {
            for (int x = x0; x <= x1; ++x)
                for (int y = y0; y <= y1; ++y)
                    if (dark(image, x, y)) return true;
            return false;
        };
        const int start = 100 + c.first_column;
        EXPECT_FALSE(dark_in(102, start - 1, 102, 115));
        EXPECT_TRUE(dark_in(start, start + 2, 103, 115));
        EXPECT_FALSE(dark_in(102, 115, 102, 102));  // text top is y+3
        EXPECT_TRUE(dark_in(102, 115, 103, 108));

        QImage reference(240, 240, QImage::Format_RGB32);
        reference.fill(qRgb(192, 192, 192));
        {
            QPainter p(&reference);
            p.setFont(renderer.map_font());
            p.setPen(Qt::black);
            p.drawText(start, 103 + QFontMetrics(renderer.map_font()).ascent(), c.text);
        }
        for (int y = 102; y <= 115; ++y)
            for (int x = 102; x <= 115; ++x)
                EXPECT_EQ(dark(image, x, y), dark(reference, x, y)) << "at " << x << "," << y;
    }
}

TEST_F(MapRendererTest, ExitStubsLeaveOutTheirEndAndTwoWayExitsJoinAcrossTheGap) {
    // Exits to rooms that are not loaded still draw their stubs.
    int a = add_room(8801);
    for (int dir : {kNorth, kEast, kSouth, kWest})
        add_exit(a, dir, 9900 + dir);
    select_at_100(a);
    QImage image = draw();
    // Centre (109, 109); each stub runs from 13 out to 7 in, the inner end
    // left out.
    for (int y = 96; y <= 101; ++y)
        EXPECT_EQ(at(image, 109, y), kBlack) << y;
    for (int y = 116; y <= 121; ++y)
        EXPECT_EQ(at(image, 109, y), kBlack) << y;
    for (int x = 116; x <= 121; ++x)
        EXPECT_EQ(at(image, x, 109), kBlack) << x;
    for (int x = 96; x <= 101; ++x)
        EXPECT_EQ(at(image, x, 109), kBlack) << x;
    EXPECT_EQ(at(image, 109, 95), kWhite);
    EXPECT_EQ(at(image, 109, 102), kFill0);
    EXPECT_EQ(at(image, 109, 122), kWhite);
    EXPECT_EQ(at(image, 109, 115), kFill0);
    EXPECT_EQ(at(image, 122, 109), kWhite);
    EXPECT_EQ(at(image, 115, 109), kFill0);
    EXPECT_EQ(at(image, 95, 109), kWhite);
    EXPECT_EQ(at(image, 102, 109), kFill0);
    // The stubs go over the selection frame's dots.
    EXPECT_EQ(at(image, 109, 99), kBlack);
    EXPECT_EQ(at(image, 99, 109), kBlack);

    // B north of A and back: B's box (drawn later) covers the outer end of
    // A's stub, and B's own stub repaints the same six pixels.
    int b = add_room(8802);
    add_exit(a, kNorth, 8802);
    add_exit(b, kSouth, 8801);
    image = draw();
    EXPECT_EQ(at(image, 109, 95), kFill0);  // inside B, just above its stub
    for (int y = 96; y <= 101; ++y)
        EXPECT_EQ(at(image, 109, y), kBlack) << y;
    EXPECT_EQ(at(image, 108, 98), kWhite);
    EXPECT_EQ(at(image, 110, 98), kWhite);

    // Only A's exit: the gap still shows A's stub, B's box hides the rest.
    world.edit(b, [](Room& r) { r.exits[kSouth].reset(); });
    image = draw();
    EXPECT_EQ(at(image, 109, 96), kGreyFrame);
    EXPECT_EQ(at(image, 109, 97), kGreyFrame);
    for (int y = 98; y <= 101; ++y)
        EXPECT_EQ(at(image, 109, y), kBlack) << y;
}

TEST_F(MapRendererTest, DoorBarsLieThreeDeepAlongTheBoxEdge) {
    int a = add_room(8801);
    for (int dir : {kNorth, kEast, kSouth, kWest})
        add_exit(a, dir, 9900 + dir, kExitIsDoor);
    select_at_100(a);
    QImage image = draw();
    for (int i = 0; i < 18; ++i) {
        SCOPED_TRACE(i);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(at(image, 100 + i, 100 + k), kDoor);  // north
            EXPECT_EQ(at(image, 100 + i, 117 - k), kDoor);  // south
            EXPECT_EQ(at(image, 117 - k, 100 + i), kDoor);  // east
            EXPECT_EQ(at(image, 100 + k, 100 + i), kDoor);  // west
        }
    }
    // One past each bar's end is untouched, the row or column inside it is fill.
    EXPECT_EQ(at(image, 110, 118), kWhite);
    EXPECT_EQ(at(image, 118, 110), kWhite);
    EXPECT_EQ(at(image, 104, 103), kFill0);
    EXPECT_EQ(at(image, 104, 114), kFill0);
    EXPECT_EQ(at(image, 103, 112), kFill0);
    EXPECT_EQ(at(image, 114, 104), kFill0);
    // The stubs still run across the gap, outside the bars.
    EXPECT_EQ(at(image, 109, 99), kBlack);
    EXPECT_EQ(at(image, 109, 118), kBlack);

    // A plain exit has no bar.
    world.edit(a, [](Room& r) { r.exits[kNorth]->exit_flags = kExitClosed; });
    image = draw();
    EXPECT_EQ(at(image, 104, 100), kGreyFrame);
    EXPECT_EQ(at(image, 104, 102), kFill0);
}

TEST_F(MapRendererTest, UpDownAndFlyMarkersAreDoubleHeadedArrowsInTheCorners) {
    int a = add_room(8801);
    add_exit(a, kUp, 9901);
    add_exit(a, kDown, 9902);
    world.edit(a, [](Room& r) {
        r.fly_up_room = 9903;
        r.fly_down_room = 9904;
    });
    select_at_100(a);
    QImage image = draw();
    // Windows are 5 wide, from x0-2; the up arrow's rows from y0-6, the down
    // arrow's from y0-5.
    const std::vector<std::string> up = {
        ".....", "..#..", ".###.", "#####", "#####", ".###.",
        ".###.", ".###.", ".###.", ".###.", ".....",
    };
    const std::vector<std::string> down = {
        ".....", ".###.", ".###.", ".###.", ".###.", ".###.",
        ".###.", "#####", "#####", ".###.", "..#..", ".....",
    };
    expect_picture(image, 101 - 2, 103 - 6, up, kBlack);    // up exit, top left
    expect_picture(image, 116 - 2, 114 - 5, down, kBlack);  // down exit, bottom right
    expect_picture(image, 116 - 2, 103 - 6, up, kFly);      // fly up, top right
    expect_picture(image, 101 - 2, 114 - 5, down, kFly);    // fly down, bottom left

    // Without the records, no markers.
    world.edit(a, [](Room& r) {
        r.exits[kUp].reset();
        r.fly_down_room = 0;
    });
    image = draw();
    EXPECT_EQ(at(image, 101, 98), kWhite);  // tips
    EXPECT_EQ(at(image, 101, 119), kWhite);
    EXPECT_EQ(at(image, 102, 104), kFill0);  // shafts
    EXPECT_EQ(at(image, 102, 112), kFill0);
    EXPECT_EQ(at(image, 116, 103), kFly);
    EXPECT_EQ(at(image, 116, 114), kBlack);
}

TEST_F(MapRendererTest, SelectionFrameIsDottedOnePixelOutsideTheBox) {
    int a = add_room(8801);
    select_at_100(a);
    QImage image = draw();
    // Frame lines run from 99 to 118 with their end left out, each starting
    // with a dot; the corner at (118, 118) belongs to no line.
    const std::string lead = "#.#.#.#.#.#.#.#.#.##";
    const std::string trail = "#.#.#.#.#.#.#.#.#.#.";
    expect_picture(image, 99, 99, {lead}, kSelection);    // top
    expect_picture(image, 99, 118, {trail}, kSelection);  // bottom
    std::vector<std::string> left, right;
    for (int i = 0; i < 20; ++i) {
        left.push_back(std::string(1, lead[i]));
        right.push_back(std::string(1, trail[i]));
    }
    expect_picture(image, 99, 99, left, kSelection);
    expect_picture(image, 118, 99, right, kSelection);
    // The gaps are left as they were.
    EXPECT_EQ(at(image, 100, 99), kWhite);
    EXPECT_EQ(at(image, 118, 118), kWhite);
    EXPECT_EQ(at(image, 98, 105), kWhite);
    EXPECT_EQ(at(image, 119, 105), kWhite);
}

TEST_F(MapRendererTest, LowerFloorsAreShiftedShadesWithoutNumbersOrExits) {
    int a = add_room(8801);
    add_exit(a, kNorth, 9900);
    add_exit(a, kUp, 9901);
    select_at_100(a);
    struct Case {
        int offset, shift;
        Rgb fill, frame;
    };
    const Case cases[] = {{1, 7, {220, 220, 220}, {178, 178, 178}},
                          {2, 14, {236, 236, 236}, {212, 212, 212}},
                          {3, 21, {247, 247, 247}, {236, 236, 236}},
                          {5, 35, {247, 247, 247}, {236, 236, 236}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        view.floor_offset = c.offset;
        QImage image = draw();
        const int x = 100 + c.shift, y = 100 + c.shift;
        EXPECT_EQ(at(image, x, y), c.frame);
        EXPECT_EQ(at(image, x + 17, y + 17), c.frame);
        EXPECT_EQ(at(image, x + 2, y + 2), c.fill);
        EXPECT_EQ(at(image, x - 1, y + 4), kWhite);
        // No number, no up marker inside, no north stub above.
        for (int i = 2; i < 16; ++i)
            for (int j = 2; j < 16; ++j)
                EXPECT_EQ(at(image, x + i, y + j), c.fill);
        EXPECT_EQ(at(image, x + 9, y - 3), kWhite);
        // The selection frame goes round the shifted box.
        EXPECT_EQ(at(image, x - 1, y - 1), kSelection);
        EXPECT_EQ(at(image, x + 18, y + 1), kSelection);
        EXPECT_EQ(at(image, 100, 100), kWhite);
    }

    // Looking below the selected room's floor shows nothing of it.
    view.floor_offset = -1;
    QImage image = draw();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(at(image, x, y), kWhite) << x << "," << y;
}

TEST_F(MapRendererTest, RoomsReachingBelowTheSplitLineAndMapsWithoutSelectionDrawNothing) {
    int a = add_room(8801);
    select_at_100(a);
    auto any_drawn_above = [](const QImage& image, int limit) {
        for (int y = 0; y < limit; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (at(image, x, y) != kWhite) return true;
        return false;
    };
    // The box's bottom edge is y = 118: a split line there keeps it, one
    // pixel higher drops it (and its selection frame) altogether.
    view.split_line = 118;
    QImage image = draw();
    EXPECT_EQ(at(image, 100, 117), kGreyFrame);
    EXPECT_EQ(at(image, 101, 118), kSelection);  // a dot over the black band
    EXPECT_EQ(at(image, 102, 118), kBlack);
    view.split_line = 117;
    image = draw();
    EXPECT_FALSE(any_drawn_above(image, 117));
    EXPECT_EQ(at(image, 100, 117), kBlack);

    // No selected room: white all over, no black band either.
    view.split_line = 118;
    world.select_slot(-1);
    image = draw();
    EXPECT_FALSE(any_drawn_above(image, image.height()));
}

TEST_F(MapRendererTest, BackgroundFillStopsAtTheBottomAndDrawingLeavesItAlone) {
    const QRgb blue = qRgb(0, 0, 255);
    QImage image(50, 40, QImage::Format_RGB32);
    image.fill(blue);
    MapRenderer::fill_background(image, 10, 30, true);
    EXPECT_EQ(at(image, 0, 9), kWhite);
    EXPECT_EQ(at(image, 49, 10), kBlack);
    EXPECT_EQ(at(image, 0, 29), kBlack);
    EXPECT_EQ(at(image, 0, 30), (Rgb{0, 0, 255}));

    image.fill(blue);
    MapRenderer::fill_background(image, 10, 30, false);
    EXPECT_EQ(at(image, 49, 10), kWhite);
    EXPECT_EQ(at(image, 0, 29), kWhite);
    EXPECT_EQ(at(image, 0, 30), (Rgb{0, 0, 255}));

    // draw_map paints rooms only.
    int a = add_room(8801);
    select_at_100(a);
    QImage canvas(240, 240, QImage::Format_RGB32);
    canvas.fill(blue);
    renderer.draw_map(canvas, world, lay_out_map(world, view), view);
    EXPECT_EQ(at(canvas, 100, 100), kGreyFrame);
    EXPECT_EQ(at(canvas, 100, 99), (Rgb{0, 0, 255}));
    EXPECT_EQ(at(canvas, 5, 5), (Rgb{0, 0, 255}));
}

TEST_F(MapRendererTest, AtEveryZoomBoxesFramesStubsAndBarsScaleTogether) {
    // A, selected at (100, 100), leads east to B and has a door north; B,
    // one cell east, has only an up exit. Sizes: box, cell, bitmap frame,
    // door bar depth, pen.
    int a = add_room(8801);
    int b = add_room(8802);
    add_exit(a, kEast, 8802);
    add_exit(a, kNorth, 9900, kExitIsDoor);
    add_exit(b, kUp, 9901);
    struct Case {
        int zoom, box, cell, frame, door, pen;
    };
    for (Case c :
         {Case{2, 9, 10, 1, 2, 1}, Case{3, 14, 15, 2, 2, 1}, Case{4, 18, 20, 2, 3, 1},
          Case{8, 36, 40, 4, 6, 2}, Case{12, 54, 60, 6, 9, 3}, Case{16, 72, 80, 8, 12, 4}}) {
        SCOPED_TRACE(c.zoom);
        view.zoom = c.zoom;
        select_at_100(a);
        QImage image = draw(300, 300);
        const int bx = 100 + c.cell, last = c.box - 1;
        // B: the bitmap's frame on its edges, fill inside, nothing beyond.
        for (auto [x, y] :
             {std::pair{bx + last, 100}, {bx, 100 + last}, {bx + c.frame - 1, 100 + last - 1}})
            EXPECT_EQ(at(image, x, y), kGreyFrame) << x << "," << y;
        EXPECT_EQ(at(image, bx + c.frame, 100 + last - c.frame), kFill0);
        EXPECT_EQ(at(image, bx + last - c.frame, 100 + last - c.frame), kFill0);
        EXPECT_EQ(at(image, bx + c.box, 100 + c.frame), kWhite);
        EXPECT_EQ(at(image, bx + c.frame, 100 + c.box), kWhite);
        // A's door bar lies `door` deep along its top edge.
        EXPECT_EQ(at(image, 100 + c.box / 2 + c.pen, 100 + c.door - 1), kDoor);
        EXPECT_NE(at(image, 100 + c.box / 2 + c.pen, 100 + c.door), kDoor);
        // The east stub crosses the gap, `pen` rows thick around the centre row.
        const int cy = 100 + c.box / 2;
        for (int x = 100 + c.box; x < bx; ++x) {
            EXPECT_EQ(at(image, x, cy - c.pen / 2), kBlack) << x;
            EXPECT_EQ(at(image, x, cy - c.pen / 2 + c.pen - 1), kBlack) << x;
            EXPECT_NE(at(image, x, cy - c.pen / 2 + c.pen), kBlack) << x;
        }
        // The selection frame: `pen` wide, one pen outside the box, dashes
        // as long as the pen from its corner.
        EXPECT_EQ(at(image, 100 - c.pen, 100 - c.pen), kSelection);
        EXPECT_EQ(at(image, 100 - 1, 100 - c.pen), kSelection);
        EXPECT_NE(at(image, 100 - c.pen + c.pen, 100 - c.pen), kSelection);
        EXPECT_EQ(at(image, 100 - c.pen - 1, 100 + 3), kWhite);
        // B's up marker's tip: pen rows above the arrow's top.
        const int tip_x = bx + (c.zoom + 2) / 4,
                  tip_y = 100 + (3 * c.zoom + 2) / 4 - (4 * c.zoom + 2) / 4 - c.pen;
        EXPECT_EQ(at(image, tip_x, tip_y), kBlack);
        EXPECT_NE(at(image, tip_x, tip_y - 1), kBlack);
    }
}

TEST_F(MapRendererTest, ZoomedFarInABoxShowsTheWholeVnumAndTheTitlesStart) {
    int a = add_room(8842);
    world.edit(a, [](Room& r) { r.title = "&RA long and winding road&n"; });
    view.zoom = 16;
    select_at_100(a);
    QImage image = draw(300, 300);
    // Text in the box's upper half (the vnum) and lower half (the title),
    // none on the frame.
    auto dark_rows = [&](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 108; x < 164; ++x)
                n += dark(image, x, y) ? 1 : 0;
        return n;
    };
    EXPECT_GT(dark_rows(108, 126), 20);
    EXPECT_GT(dark_rows(128, 164), 20);
    EXPECT_EQ(at(image, 100, 130), kGreyFrame);
    EXPECT_EQ(at(image, 171, 130), kGreyFrame);
}

// The selected room and a room the walk puts on its cell: the selected room
// is drawn over it, number and all, and the hidden room's markers, which
// reach out past the box, are left out.
TEST_F(MapRendererTest, TheSelectedRoomIsDrawnOverTheRoomsOfItsCell) {
    // 8801 north of 8800, and 8804 there too by the path east, north, west;
    // 8804 is later in the table and has an up exit.
    int r0 = add_room(8800);
    int r1 = add_room(8801);
    int r2 = add_room(8802);
    int r3 = add_room(8803);
    int r4 = add_room(8804);
    add_exit(r0, kNorth, 8801);
    add_exit(r0, kEast, 8802);
    add_exit(r1, kSouth, 8800);
    add_exit(r2, kNorth, 8803);
    add_exit(r3, kWest, 8804);
    add_exit(r4, kUp, 9999);
    select_at_100(r1);
    QImage image = draw();
    QImage alone = [&] {
        WorldTable only;
        TableLoading(only).append(world.room(r1));
        only.select_slot(0);
        return renderer.render(only, view, 240, 240);
    }();
    // The box and its frame as if the room were alone, but for the stub of
    // 8803's west exit, which reaches into it from the right.
    for (int y = 98; y <= 119; ++y)
        for (int x = 98; x <= 119; ++x)
            if (y != 109 || x < 116) {
                EXPECT_EQ(at(image, x, y), at(alone, x, y)) << "at " << x << "," << y;
            }
}

TEST_F(MapRendererTest, InTheStockWorldTheSelectedRoomShowsItsOwnNumber) {
    ZS_REQUIRE_CORPUS();
    // Midgaard alone, where 3000's cell holds another room later in the
    // table, and every zone, where 3014's does.
    struct Case {
        std::vector<std::filesystem::path> files;
        int vnum;
    };
    const std::vector<std::filesystem::path> every = test::corpus_files("wld");
    const std::filesystem::path midgaard = test::corpus_dir() / "wld" / "30.wld";
    for (const Case& c : {Case{{midgaard}, 3000}, Case{every, 3014}}) {
        SCOPED_TRACE(c.vnum);
        test::FakeUi ui;
        ui.always_yes();
        Workspace ws(ui);
        test::ScratchDir dir;
        ws.set_area_dir(dir.path());
        for (const std::filesystem::path& f : c.files)
            ASSERT_TRUE(load_area_file(ws, f.string())) << f;
        const WorldTable& stock = ws.world();
        stock.select_slot(stock.find_room(c.vnum));
        view.set_anchor(c.vnum, 1100, 700);
        view.scroll_x = 1000;
        view.scroll_y = 600;
        QImage image = renderer.render(stock, view, 240, 240);
        // Inside the box, away from exits and markers, only its own number.
        QImage own(240, 240, QImage::Format_RGB32);
        own.fill(qRgb(192, 192, 192));
        {
            QPainter p(&own);
            p.setFont(renderer.map_font());
            p.setPen(Qt::black);
            const QString number = QString::number(c.vnum % 100);
            p.drawText(number.size() == 1 ? 107 : 104,
                       103 + QFontMetrics(renderer.map_font()).ascent(), number);
        }
        for (int y = 103; y <= 113; ++y)
            for (int x = 103; x <= 114; ++x)
                EXPECT_EQ(dark(image, x, y), dark(own, x, y)) << "at " << x << "," << y;
    }
}

}  // namespace
}  // namespace zs
