// The edit history: undo and redo restore the tables exactly, random edit
// sequences never drift from a replay, the modified state follows the
// history, typing merges, bounds hold, and loads drop what they invalidate.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <set>

#include "files/area_files.h"
#include "map/map_session.h"
#include "support/fake_ui.h"
#include "support/step.h"
#include "support/tables.h"
#include "support/test_files.h"
#include "world/edits.h"
#include "world/names.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs {
namespace {

using test::FakeUi;
using test::same_tables;
using test::ScratchDir;
using test::Tables;
using test::tables_of;

// Every file Save All writes for the workspace, by name.
std::map<std::string, std::string> saved_bytes(Workspace& ws) {
    ScratchDir dir;
    auto area = ws.area_dir();
    ws.set_area_dir(dir.path());
    save_everything(ws);
    ws.set_area_dir(area);
    std::map<std::string, std::string> files;
    for (const auto& f : std::filesystem::directory_iterator(dir.path()))
        files[f.path().filename().string()] = test::read_bytes(f.path());
    return files;
}

// A two-zone area: rooms, a zedit, objects and mobiles of zone 30, rooms of 31.
class HistoryTest : public ::testing::Test {
protected:
    // Writes the area with the program's own writers, so that the test does
    // not depend on the file layouts.
    void SetUp() override {
        FakeUi maker_ui;
        Workspace maker(maker_ui);
        maker.set_area_dir(dir.path());
        {
            Transaction tx(maker, "Build the area");
            WorldTable& w = tx.world();
            for (int v : {3000, 3001, 3002, 3100}) {
                w.create_room(static_cast<Vnum>(v), zone_of(v));
                w.edit(w.find_room(v), [v](Room& r) {
                    r.title = strfmt("Room %d", v);
                    r.description = strfmt("It is room %d.", v);
                });
            }
            auto link = [&](int from, int d, int to) {
                w.create_exit(w.find_room(from), static_cast<Vnum>(to), d);
            };
            link(3000, kEast, 3001);
            link(3001, kWest, 3000);
            link(3001, kEast, 3100);
            link(3100, kWest, 3001);
            tx.zones().create_zedit(30);
            tx.zones().insert_command(0, 0);
            tx.zones().edit_zedit(0, [](Zedit& z) {
                z.commands[0].command = 'M';
                z.commands[0].arg = {0, 3000, 1, 3000, 0, 0};
            });
            tx.objects().insert_sorted(make_new_object(3000, 30));
            tx.mobiles().insert_sorted(make_new_mobile(3000, 30));
            tx.commit();
        }
        ASSERT_TRUE(save_everything(maker));
        load(ws);
    }

    void load(Workspace& into) {
        into.set_area_dir(dir.path());
        attach_area_files(into);
        ASSERT_TRUE(load_all(into, 30)) << ui.message_texts().size();
        ASSERT_TRUE(load_area_file(into, dir.file("31.wld")));
        into.modified().clear_all();
    }

    ScratchDir dir;
    FakeUi ui;
    Workspace ws{ui};
};

// The edits a builder can make today, each one step, with a parameter that
// picks what it works on; the same edit with the same parameter on the same
// tables does the same. `run` says whether the history moved; `merge_key`
// names the field of the record an edit that merges (typing, colouring) works on.
struct Edit {
    const char* name;
    bool (*run)(Workspace& ws, unsigned p);
    int (*merge_key)(const Workspace& ws, unsigned p);
};

const Room* nth_room(const Workspace& ws, unsigned p) {
    return ws.world().empty() ? nullptr
                              : &ws.world().room(static_cast<int>(p % ws.world().count()));
}

int no_merge(const Workspace&, unsigned) {
    return -1;
}

// Runs a map action with the room `p` picks selected; true when it made a step.
template <class Fn>
bool on_map(Workspace& ws, unsigned p, Fn fn) {
    if (ws.world().empty()) return false;
    MapSession map(ws.options());
    map.select_room(ws, static_cast<int>(p % ws.world().count()));
    long long before = ws.history().position();
    fn(map);
    return ws.history().position() != before;
}

const Edit kEdits[] = {
    {"right-click a new room",
     [](Workspace& ws, unsigned p) {
         return on_map(ws, p, [&](MapSession& map) {
             map.create_room_in_direction(ws, static_cast<int>(p / 7 % kNumDirections));
         });
     },
     no_merge},
    {"link two rooms",
     [](Workspace& ws, unsigned p) {
         const Room* a = nth_room(ws, p);
         const Room* b = nth_room(ws, p / 3);
         long long before = ws.history().position();
         if (a && b) link_rooms(ws, a->vnum, b->vnum, static_cast<int>(p / 7 % kNumDirections));
         return ws.history().position() != before;  // none when the exits were there
     },
     no_merge},
    {"paste attributes",
     [](Workspace& ws, unsigned p) {
         return on_map(ws, p, [&](MapSession& map) {
             if (p % 3 == 0) map.copy_sector_climate_flags(ws);
             if (p % 3 == 1) map.copy_title_colour(ws);
             if (p % 3 == 2) map.copy_room_colour(ws);
             map.select_room(ws, static_cast<int>(p / 5 % ws.world().count()));
             map.paste(ws);
         });
     },
     no_merge},
    {"delete a room",
     [](Workspace& ws, unsigned p) {
         const Room* r = nth_room(ws, p);
         return r && delete_room(ws, r->vnum);
     },
     no_merge},
    {"type into a title",
     [](Workspace& ws, unsigned p) {
         const Room* r = nth_room(ws, p / 3);
         if (!r) return false;
         char c = static_cast<char>('a' + p % 26);
         EditOptions typing;
         typing.merge = {TableKind::World, r->vnum, static_cast<int>(RoomField::Title)};
         return edit_room(
             ws, r->vnum, "Typing", [c](Room& room) { room.title = room.title.str() + c; }, typing);
     },
     [](const Workspace& ws, unsigned p) {
         const Room* r = nth_room(ws, p / 3);
         return r ? r->vnum * 16 + static_cast<int>(RoomField::Title) : -1;
     }},
    {"colour a room with Shift and the wheel",
     [](Workspace& ws, unsigned p) {
         on_map(ws, p, [&](MapSession& map) { map.wheel(ws, p % 2 ? 120 : -120, true); });
         return !ws.world().empty();  // a step, or merged into the last one
     },
     [](const Workspace& ws, unsigned p) {
         const Room* r = nth_room(ws, p);
         return r ? r->vnum * 16 + static_cast<int>(RoomField::Colour) : -1;
     }},
    {"add a reset command",
     [](Workspace& ws, unsigned p) {
         int slot = ws.zones().find_zedit(30);
         if (slot < 0) return false;
         Transaction tx(ws, "New Zcmd");
         int at = static_cast<int>(p % (ws.zones().zedit(slot).commands.size() + 1));
         tx.zones().insert_command(slot, at);
         tx.zones().edit_zedit(slot, [at, p](Zedit& z) {
             z.commands[at].command = 'M';
             z.commands[at].arg[0] = static_cast<int>(p % 90);
         });
         tx.commit();
         return true;
     },
     no_merge},
    {"create or remove an object",
     [](Workspace& ws, unsigned p) {
         int vnum = 3000 + static_cast<int>(p % 4);
         Transaction tx(ws, "Object");
         if (ws.objects().find(vnum) >= 0)
             tx.objects().remove(vnum);
         else
             tx.objects().insert_sorted(make_new_object(static_cast<Vnum>(vnum), 30));
         tx.commit();
         return true;
     },
     no_merge},
    {"create or remove a mobile",
     [](Workspace& ws, unsigned p) {
         int vnum = 3000 + static_cast<int>(p % 3);
         Transaction tx(ws, "Mobile");
         if (ws.mobiles().find(vnum) >= 0)
             tx.mobiles().remove(vnum);
         else
             tx.mobiles().insert_sorted(make_new_mobile(vnum, 30));
         tx.commit();
         return true;
     },
     no_merge},
    {"create or delete a zedit",
     [](Workspace& ws, unsigned p) {
         int zone = p % 2 ? 31 : 30;
         Transaction tx(ws, "Zedit");
         if (ws.zones().find_zedit(zone) >= 0)
             tx.zones().delete_zedit(zone);
         else
             tx.zones().create_zedit(zone);
         tx.commit();
         return true;
     },
     no_merge},
};

TEST_F(HistoryTest, UndoAllAndRedoAllGiveBackTheTablesAndTheSavedBytes) {
    Tables start = tables_of(ws);
    auto start_bytes = saved_bytes(ws);
    std::mt19937 rng(7);
    int steps = 0;
    for (int i = 0; i < 60; ++i) {
        const Edit& e = kEdits[i % std::size(kEdits)];
        steps += e.run(ws, rng()) ? 1 : 0;
    }
    ASSERT_GT(ws.history().step_count(), 20u);
    Tables end = tables_of(ws);
    auto end_bytes = saved_bytes(ws);

    while (ws.undo()) {
    }
    EXPECT_TRUE(same_tables(tables_of(ws), start));
    auto undone_bytes = saved_bytes(ws);
    for (const auto& [name, bytes] : start_bytes)
        EXPECT_EQ(undone_bytes[name], bytes) << name;

    while (ws.redo()) {
    }
    EXPECT_TRUE(same_tables(tables_of(ws), end));
    EXPECT_EQ(saved_bytes(ws), end_bytes);
}

// Random edits interleaved with random undo and redo, checked after every
// action against a fresh workspace that replays the steps undo has not taken
// back.
TEST_F(HistoryTest, RandomEditsUndosAndRedosNeverDriftFromAReplay) {
    struct Step {
        int merge_key = -1;
        std::vector<std::pair<const Edit*, unsigned>> edits;
    };
    std::vector<Step> steps;
    std::size_t cursor = 0;
    const Edit* last = nullptr;
    unsigned last_p = 0;
    int merges = 0;
    std::mt19937 rng(2024);
    for (int action = 0; action < 300; ++action) {
        unsigned roll = rng() % 10;
        if (roll < 2) {
            if (ws.undo()) --cursor;
        } else if (roll < 4) {
            if (ws.redo()) ++cursor;
        } else {
            // Now and then the same edit again, as typing in one box does.
            bool again = last && rng() % 2 == 0;
            const Edit& e = again ? *last : kEdits[rng() % std::size(kEdits)];
            unsigned p = again ? last_p : rng();
            last = &e;
            last_p = p;
            std::size_t before = ws.history().step_count();
            int key = e.merge_key(ws, p);
            if (!e.run(ws, p)) continue;
            steps.resize(cursor);
            if (key >= 0 && cursor > 0 && steps[cursor - 1].merge_key == key) {
                steps[cursor - 1].edits.push_back({&e, p});
                ++merges;
                EXPECT_EQ(ws.history().step_count(), before);
            } else {
                steps.push_back({key, {{&e, p}}});
                ++cursor;
            }
        }
        FakeUi replay_ui;
        Workspace replay(replay_ui);
        load(replay);
        for (std::size_t s = 0; s < cursor; ++s)
            for (const auto& [edit, p] : steps[s].edits)
                edit->run(replay, p);
        ASSERT_TRUE(same_tables(tables_of(ws), tables_of(replay))) << "after action " << action;
    }
    EXPECT_GT(merges, 3);
}

TEST_F(HistoryTest, ModifiedFollowsTheSavedPoint) {
    auto title = [&](const char* t) {
        edit_room(ws, 3000, "Title", [t](Room& r) { r.title = t; });
    };
    EXPECT_FALSE(ws.modified().any());
    title("one");
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 30));
    EXPECT_FALSE(ws.modified().is_set(TableKind::World, 31));
    ws.undo();
    EXPECT_FALSE(ws.modified().any()) << "undone back to the loaded state";
    ws.redo();
    ws.modified().clear(TableKind::World, 30);  // saved
    title("two");
    ws.undo();
    EXPECT_FALSE(ws.modified().is_set(TableKind::World, 30)) << "back at the saved point";
    ws.undo();
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 30)) << "before the saved point";
    // A new edit now drops the branch that held the saved point.
    title("three");
    ws.undo();
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 30)) << "the saved state is out of reach";
    // An edit an observer makes while a step is being undone cannot be a
    // step of its own: its zone stays modified until saved.
    struct EditsOnUndo : WorkspaceObserver {
        Workspace* ws = nullptr;
        bool done = false;
        void workspace_changed(const Change& c) override {
            if (c.origin != ChangeOrigin::Undo || done) return;
            done = true;
            Transaction tx(*ws, "Sector");
            tx.world().edit(ws->world().find_room(3100), [](Room& r) { r.sector = 2; });
            tx.commit();
        }
    } observer;
    observer.ws = &ws;
    ws.add_observer(&observer);
    title("four");
    ws.modified().clear_all();
    ASSERT_TRUE(ws.undo());
    ws.remove_observer(&observer);
    EXPECT_TRUE(observer.done);
    EXPECT_EQ(ws.world().find_room_record(3100)->sector, 2);
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 31));
}

TEST_F(HistoryTest, TypingMergesUntilAnotherFieldRecordSaveBurstEndOrUndo) {
    auto type = [&](int vnum, int field, char c) {
        EditOptions o;
        o.merge = {TableKind::World, vnum, field};
        edit_room(
            ws, vnum, "Typing", [c](Room& r) { r.title = r.title.str() + c; }, o);
    };
    type(3000, 1, 'a');
    type(3000, 1, 'b');
    type(3000, 1, 'c');
    EXPECT_EQ(ws.history().step_count(), 1u);
    type(3000, 2, 'd');
    type(3001, 2, 'e');
    EXPECT_EQ(ws.history().step_count(), 3u);
    ws.modified().clear_all();
    type(3001, 2, 'f');
    EXPECT_EQ(ws.history().step_count(), 4u) << "a save stands between";
    ws.end_typing_burst();  // the box lost the focus
    type(3001, 2, 'g');
    EXPECT_EQ(ws.history().step_count(), 5u) << "a burst ended";
    ASSERT_TRUE(ws.undo());
    type(3001, 2, 'h');
    EXPECT_EQ(ws.history().step_count(), 5u) << "the undone step gave way, nothing merged";
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(ws.world().find_room_record(3001)->title.str(), "Room 3001ef");
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(ws.undo_text(), "Undo Typing");
    for (int i = 0; i < 2; ++i)
        ws.undo();
    EXPECT_EQ(ws.world().find_room_record(3000)->title.str(), "Room 3000abc");
    ws.undo();
    EXPECT_EQ(ws.world().find_room_record(3000)->title.str(), "Room 3000");
}

TEST_F(HistoryTest, BoundsDropTheOldestStepsAndKeepTheirZonesModified) {
    ws.set_history_limits({5, std::size_t{64} << 20});
    for (int i = 0; i < 8; ++i)
        edit_room(ws, 3100, "Sector", [i](Room& r) { r.sector = i; });
    EXPECT_EQ(ws.history().step_count(), 5u);
    while (ws.undo()) {
    }
    EXPECT_EQ(ws.world().find_room_record(3100)->sector, 2);
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 31));

    // The memory bound: each description is about 4 KB.
    ws.set_history_limits({1000, 3 * 8192});
    for (int i = 0; i < 6; ++i)
        edit_room(ws, 3000, "Description",
                  [i](Room& r) { r.description = std::string(4000, char('a' + i)); });
    EXPECT_LE(ws.history().bytes(), 3u * 8192);
    EXPECT_GE(ws.history().step_count(), 1u);
}

TEST_F(HistoryTest, LoadingOrUnloadingAZoneDropsTheStepsThatTouchedIt) {
    edit_room(ws, 3000, "A", [](Room& r) { r.sector = 1; });  // zone 30
    edit_room(ws, 3100, "B", [](Room& r) { r.sector = 1; });  // zone 31
    edit_room(ws, 3001, "C", [](Room& r) { r.sector = 1; });  // zone 30
    edit_room(ws, 3002, "D", [](Room& r) { r.sector = 1; });  // zone 30
    ws.undo();                                                // D can be redone
    ASSERT_TRUE(unload_zone(ws, "31"));
    EXPECT_EQ(ws.undo_text(), "Undo C");
    EXPECT_EQ(ws.redo_text(), "Redo D");
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(ws.undo_text(), "Undo A") << "zone 30's steps outlive zone 31";
    ASSERT_TRUE(ws.undo());
    EXPECT_EQ(ws.world().find_room_record(3000)->sector, 0);
    EXPECT_FALSE(ws.modified().is_set(TableKind::World, 30)) << "back at the loaded state";
    ASSERT_TRUE(ws.redo());
    EXPECT_TRUE(ws.modified().is_set(TableKind::World, 30));
    EXPECT_FALSE(ws.modified().is_set(TableKind::World, 31));
    ASSERT_TRUE(ws.redo());
    ASSERT_TRUE(ws.redo());
    EXPECT_EQ(ws.world().find_room_record(3002)->sector, 1);
    ws.undo();
    ws.undo();

    // Loading the zone again forgets nothing more; loading a zone with a
    // pending redo step drops that step.
    ASSERT_TRUE(load_area_file(ws, dir.file("31.wld")));
    EXPECT_TRUE(ws.history().can_redo());
    TableLoad(ws).world().unload(30);
    EXPECT_FALSE(ws.history().can_redo());
    EXPECT_FALSE(ws.history().can_undo());
}

TEST_F(HistoryTest, UndoAndRedoSelectWhatTheStepChangedAndNameIt) {
    EXPECT_EQ(ws.undo_text(), "Undo");
    EXPECT_EQ(ws.redo_text(), "Redo");
    ASSERT_TRUE(delete_room(ws, 3001));
    EXPECT_EQ(ws.undo_text(), "Undo Delete Room 3001");
    ws.world().select_slot(ws.world().find_room(3100));
    ws.undo();
    EXPECT_EQ(ws.world().selected_room()->vnum, 3001);
    EXPECT_EQ(ws.redo_text(), "Redo Delete Room 3001");
    EXPECT_TRUE(ws.world().find_room_record(3100)->exits[kWest]) << "the exit into it came back";
    // A right-click creation selects the new room on redo, the room it was
    // made from on undo.
    MapSession map(ws.options());
    map.select_room(ws, ws.world().find_room(3002));
    map.create_room_in_direction(ws, kSouth);
    ASSERT_EQ(ws.undo_text(), "Undo Create Room 3003");
    ws.undo();
    EXPECT_EQ(ws.world().selected_room()->vnum, 3002);
    ws.redo();
    EXPECT_EQ(ws.world().selected_room()->vnum, 3003);
    edit_zedit(ws, 30, "Zone Name", [](Zedit& z) { z.name = "x"; });
    ws.objects().select_slot(-1);
    edit_object(ws, 3000, "Object", [](ObjectPrototype& o) { o.cost = 4; });
    ws.objects().select_slot(-1);
    ws.undo();
    EXPECT_EQ(ws.objects().selected()->vnum, 3000);
}

TEST_F(HistoryTest, AStepEndedByAnExceptionIsRolledBack) {
    Tables start = tables_of(ws);
    EXPECT_THROW(
        {
            Transaction tx(ws, "Fails");
            tx.world().create_room(3050, 30);
            delete_room(ws, 3000);  // joins the open step
            throw std::runtime_error("midway");
        },
        std::runtime_error);
    EXPECT_TRUE(same_tables(tables_of(ws), start));
    EXPECT_FALSE(ws.history().can_undo());
    EXPECT_FALSE(ws.modified().any());
}

// A transaction ends without commit(): a refusal halfway through an operation
// made of several edits leaves the tables, the history and what is modified
// as they were; an inner one takes back just its own edits.
TEST_F(HistoryTest, AStepLeftUncommittedTakesBackItsEdits) {
    struct Case {
        const char* what;
        std::function<void(Workspace&)> run;
    };
    const Case cases[] = {
        {"several edits, then a refusal",
         [](Workspace& w) {
             Transaction tx(w, "Refused");
             tx.world().create_room(3050, 30);
             delete_room(w, 3000);  // joins the open step
             edit_zedit(w, 30, "Name", [](Zedit& z) { z.name = "x"; });
             tx.objects().remove(3000);
         }},
        {"an inner step left open inside a committed one",
         [](Workspace& w) {
             Transaction tx(w, "Outer");
             {
                 Transaction inner(w, "Inner");
                 inner.world().create_room(3050, 30);
                 edit_room(w, 3001, "Title", [](Room& r) { r.title = "gone"; });
             }
             tx.commit();
         }},
        {"a committed inner step inside a refused one",
         [](Workspace& w) {
             Transaction tx(w, "Outer");
             delete_room(w, 3001);
             edit_object(w, 3000, "Cost", [](ObjectPrototype& o) { o.cost = 9; });
         }},
    };
    edit_room(ws, 3002, "Earlier", [](Room& r) { r.height = 3; });
    for (const Case& c : cases) {
        const Tables start = tables_of(ws);
        const std::size_t steps = ws.history().step_count();
        const std::set<int> modified = ws.modified().zones(TableKind::World);
        c.run(ws);
        EXPECT_TRUE(same_tables(tables_of(ws), start)) << c.what;
        EXPECT_EQ(ws.history().step_count(), steps) << c.what;
        EXPECT_EQ(ws.undo_text(), "Undo Earlier") << c.what;
        EXPECT_EQ(ws.modified().zones(TableKind::World), modified) << c.what;
        EXPECT_EQ(ws.modified().is_set(TableKind::Object), false) << c.what;
        EXPECT_FALSE(ws.in_transaction()) << c.what;
    }
    ASSERT_TRUE(ws.undo());
    EXPECT_FALSE(ws.modified().any());
}

// Ids repeat in damaged files: undo finds the very record, and puts a
// removed one back at its own place.
TEST(HistoryDuplicates, UndoFindsTheRecordAndThePlaceAmongRepeatedVnums) {
    FakeUi ui;
    Workspace ws(ui);
    for (int v : {3001, 3002, 3001, 3003}) {
        Room r = make_new_room(static_cast<Vnum>(v), 30);
        r.title = strfmt("%d at %d", v, ws.world().count());
        TableLoad(ws).world().append(std::move(r));
    }
    auto order = [&] {
        std::string o;
        for (int s = 0; s < ws.world().count(); ++s)
            o += ws.world().room(s).title.str() + ";";
        return o;
    };
    const std::string start = order();
    ASSERT_TRUE(delete_room(ws, 3003));
    ws.undo();
    EXPECT_EQ(order(), start);
    {
        Transaction tx(ws, "Renumber");
        tx.world().edit(1, [](Room& r) { r.vnum = 3001; });  // now the second 3001
        tx.world().edit(2, [](Room& r) { r.title = "third"; });
        tx.commit();
    }
    ws.undo();
    EXPECT_EQ(order(), start);
    ws.redo();
    EXPECT_EQ(order(), "3001 at 0;3002 at 1;third;3003 at 3;");
}

TEST_F(HistoryTest, AnEditThatChangesNothingIsNoStep) {
    edit_room(ws, 3000, "Nothing", [](Room&) {});
    EXPECT_FALSE(ws.history().can_undo());
    EXPECT_FALSE(ws.modified().any());
}

// Observers that add or remove observers while they are told of a change.
TEST(WorkspaceObservers, MayComeAndGoDuringANotification) {
    struct Counter : WorkspaceObserver {
        int heard = 0;
        int histories = 0;
        void history_changed() override { ++histories; }
        std::function<void()> on_change;
        void workspace_changed(const Change&) override {
            ++heard;
            if (on_change) on_change();
        }
    };
    FakeUi ui;
    Workspace ws(ui);
    Counter first, second, late;
    ws.add_observer(&first);
    ws.add_observer(&second);
    first.on_change = [&] {
        ws.remove_observer(&first);
        ws.remove_observer(&second);
        ws.add_observer(&late);
    };
    test::Step(ws).world().create_room(100, 1);
    EXPECT_EQ(first.heard, 1);
    EXPECT_EQ(second.heard, 0) << "removed before its turn";
    EXPECT_EQ(late.heard, 0) << "added during the call";
    test::Step(ws).world().create_room(101, 1);
    EXPECT_EQ(late.heard, 1) << "hears the next event";

    // Unloading every room drops the steps on them, and says so.
    delete_room(ws, 100);
    int before = late.histories;
    TableLoad(ws).world().clear();
    EXPECT_FALSE(ws.history().can_undo());
    EXPECT_GT(late.histories, before);
}

}  // namespace
}  // namespace zs
