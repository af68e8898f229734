// Changes of an area directory are all or nothing: a save, a renumbering or a
// generated map killed at any step leaves, once the directory is opened
// again, either the old files or the new ones, byte for byte; opening it
// finishes a journal it finds and clears away only what changes made.
#include "files/area_change.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>

#include "files/area_files.h"
#include "files/check.h"
#include "generators/map_generator.h"
#include "generators/random.h"
#include "support/fake_ui.h"
#include "support/step.h"
#include "support/test_files.h"
#include "world/workspace.h"
#include "world/zone_ops.h"

namespace zs {
namespace {

namespace fs = std::filesystem;
using test::FakeUi;
using test::ScratchDir;

// Every file under `root` (but the settings file, which Save All writes in
// a change of its own): its path from there, and its bytes or the link.
using Listing = std::map<std::string, std::string>;
Listing listing(const fs::path& root) {
    Listing out;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        std::string name = fs::relative(e.path(), root).string();
        if (e.is_symlink())
            out[name] = "-> " + fs::read_symlink(e.path()).string();
        else if (e.is_regular_file() && name != kSettingsFileName)
            out[name] = test::read_bytes(e.path());
    }
    return out;
}

void restore(const fs::path& dir, const Listing& files) {
    for (const auto& e : fs::directory_iterator(dir))
        fs::remove_all(e.path());
    for (const auto& [name, bytes] : files)
        test::write_bytes(dir / name, bytes);
}

// How a child that runs a change ended.
enum Ending { kKilledBefore = 10, kKilledAfter = 11, kFinished = 12, kFailed = 13 };

// Runs `change` on a workspace of `dir` in a child process that ends itself
// at its saves' step number `kill_at` (from 0; -1 for none), saying whether
// a journal had been put in place by then.
int run_killed_at(const fs::path& dir, const std::function<bool(Workspace&)>& change, int kill_at) {
    pid_t pid = ::fork();
    if (pid == 0) {
        FakeUi ui;
        Workspace ws(ui);
        ws.set_area_dir(dir);
        int at = 0;
        bool made = false;
        ws.set_file_step_hook([&](std::string_view step) {
            if (at++ == kill_at) ::_exit(made ? kKilledAfter : kKilledBefore);
            made = made || step == "commit";
            return 0;
        });
        ::_exit(change(ws) ? kFinished : kFailed);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Listing files_of(std::initializer_list<const char*> names) {
    Listing out;
    for (const char* name : names)
        out[fs::path(name).filename().string()] = test::test_data_bytes(name);
    return out;
}

TEST(AreaChange, AChangeKilledAtAnyStepLeavesTheOldFilesOrTheNewOnes) {
    const Listing kZones30And31 = files_of({"zone30/30.wld", "zone30/30.wld_zs", "zone30/30.obj",
                                            "zone30/30.mob", "zone30/30.zon", "zone31/31.wld"});
    struct Case {
        const char* what;
        std::function<bool(Workspace&)> change;
    };
    const Case cases[] = {
        {"zonesmith-cli renumber 30 34: every zone loaded, moved, saved",
         [](Workspace& ws) {
             RecordOrigins origins;
             load_zones_for_check(ws, zones_in_area_dir(ws), origins);
             return renumber_zone(ws, 30, 34, true).done && save_changed_zones(ws);
         }},
        {"Save All across zones: two edited, one new, one kind emptied",
         [](Workspace& ws) {
             load_all(ws, 30);
             load_all(ws, 31);
             for (int vnum : {3000, 3100})
                 test::Step(ws).world().edit(ws.world().find_room(vnum),
                                             [](Room& r) { r.title = "Changed"; });
             test::Step(ws).world().create_room(3250, 32);
             test::Step(ws).objects().remove(3000);
             return save_all(ws);
         }},
        {"zonesmith-cli generate-map 34 150",
         [](Workspace& ws) {
             MapRequest request;
             request.zone = 34;
             request.rooms = 150;
             Random random(5);
             return generate_map(ws, request, random) == MapResult::Added &&
                    save_zone_files(ws, TableKind::World, map_zones(request));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        restore(dir.path(), kZones30And31);
        ASSERT_EQ(run_killed_at(dir.path(), c.change, -1), kFinished);
        const Listing after = listing(dir.path());
        ASSERT_NE(after, kZones30And31);
        std::map<int, int> endings;
        for (int step = 0;; ++step) {
            restore(dir.path(), kZones30And31);
            int ending = run_killed_at(dir.path(), c.change, step);
            if (ending == kFinished) break;
            ASSERT_TRUE(ending == kKilledBefore || ending == kKilledAfter) << ending;
            ++endings[ending];
            finish_interrupted_change(dir.path());
            EXPECT_EQ(listing(dir.path()), ending == kKilledBefore ? kZones30And31 : after)
                << "killed at step " << step;
        }
        EXPECT_GT(endings[kKilledBefore], 1);
        EXPECT_GT(endings[kKilledAfter], 1);
    }
}

// A journal names the files of its own directory by their bare names, however
// the directory was given ("area/" too): moved or copied elsewhere before it
// is opened again, the directory is finished where it now stands.
TEST(AreaChange, AJournalIsFinishedWhereItsDirectoryWasMoved) {
    const Listing kZone30 = files_of(
        {"zone30/30.wld", "zone30/30.wld_zs", "zone30/30.obj", "zone30/30.mob", "zone30/30.zon"});
    auto renumber = [](Workspace& ws) {
        RecordOrigins origins;
        load_zones_for_check(ws, zones_in_area_dir(ws), origins);
        return renumber_zone(ws, 30, 34, true).done && save_changed_zones(ws);
    };
    ScratchDir scratch;
    const fs::path area = scratch.path() / "area", moved = scratch.path() / "moved";
    fs::create_directory(area);
    restore(area, kZone30);
    ASSERT_EQ(run_killed_at(area.string() + "/", renumber, -1), kFinished);
    const Listing after = listing(area);
    int step = 0;
    for (;; ++step) {
        restore(area, kZone30);
        int ending = run_killed_at(area.string() + "/", renumber, step);
        ASSERT_NE(ending, kFinished) << "no step after the commit point";
        if (ending == kKilledAfter) break;
    }
    fs::rename(area, moved);
    EXPECT_NE(finish_interrupted_change(moved), "");
    EXPECT_EQ(listing(moved), after) << "killed at step " << step;
}

// A journal brought in from elsewhere (in an archive, a shared directory)
// renames nothing outside the area directory but what a link of the
// directory names.
TEST(AreaChange, AJournalTouchesNoFileOutsideTheDirectoryButALinksTarget) {
    ScratchDir scratch;
    const fs::path area = scratch.path() / "area", outside = scratch.path() / "outside";
    fs::create_directories(area);
    fs::create_directories(outside);
    const std::string temp_name = "victim.zs-0123456789abcdef.tmp";
    test::write_bytes(outside / "victim", "precious");
    test::write_bytes(outside / temp_name, "planted");
    test::write_bytes(area / kJournalName, "zonesmith journal 1\nrename " +
                                               (outside / temp_name).string() + " " +
                                               (outside / "victim").string() + "\nend\n");
    EXPECT_NE(finish_interrupted_change(area), "");  // named and left alone
    EXPECT_EQ(test::read_bytes(outside / "victim"), "precious");
    EXPECT_TRUE(fs::exists(area / kJournalName));
    // With a link of the directory naming that file, the journal is the
    // directory's own: it is finished.
    fs::create_symlink(outside / "victim", area / "victim");
    finish_interrupted_change(area);
    EXPECT_EQ(test::read_bytes(outside / "victim"), "planted");
    EXPECT_FALSE(fs::exists(area / kJournalName));
}

TEST(AreaChange, OpeningTheDirectoryFinishesAJournalAndClearsAwayOnlyWhatChangesMade) {
    const std::string kLeftAlone =
        "is not a journal Zonesmith can read; it was left as it is, and the area files there "
        "may be partly changed.";
    const std::string kFinished = "Finished a change that was cut off in ";
    const Listing kNew = {{"area/30.wld", "new 30\r\n"}, {"area/31.wld", "new 31\r\n"}};
    struct Case {
        const char* fixture;                            // tests/data/journal/...
        std::function<void(const fs::path& area)> cut;  // what was done before the cut
        std::string said;  // in it, "DIR" stands for the area directory
        std::function<Listing(const Listing& fixture)> left;
    };
    auto same = [](const Listing& fixture) { return fixture; };
    const Case cases[] = {
        {"committed",
         {},
         kFinished + "DIR: 2 files put in place and 1 removed.",
         [&](const Listing&) { return kNew; }},
        {"committed",
         [](const fs::path& area) {  // killed while the journal was carried out
             fs::rename(area / "30.wld.zs-00000000000000a1.tmp", area / "30.wld");
             fs::remove(area / "29.zon");
         },
         kFinished + "DIR: 2 files put in place and 1 removed.",
         [&](const Listing&) { return kNew; }},
        {"committed",
         [](const fs::path& area) {  // and another change died before its journal
             test::write_bytes(area / "32.wld.zs-00000000000000d4.tmp", "x");
         },
         kFinished +
             "DIR: 2 files put in place and 1 removed. 1 temporary file of a change cut off "
             "before it was made was removed; its files are as they were before.",
         [&](const Listing&) { return kNew; }},
        {"cut_before",
         {},
         "2 temporary files of a change cut off before it was made were removed; its files are "
         "as they were before.",
         [](const Listing& fixture) {
             Listing kept = fixture;
             kept.erase("area/30.wld.zs-00000000000000a1.tmp");
             kept.erase("area/zonesmith.journal.zs-00000000000000c3.tmp");
             return kept;
         }},
        {"cut_before",
         [](const fs::path& area) {  // a temporary file beside a link's target
             fs::create_directory(area.parent_path() / "shared");
             test::write_bytes(area.parent_path() / "shared/32.wld", "old 32\r\n");
             test::write_bytes(area.parent_path() / "shared/32.wld.zs-00000000000000e5.tmp",
                               "new 32\r\n");
             fs::create_symlink("../shared/32.wld", area / "32.wld");
         },
         "3 temporary files of a change cut off before it was made were removed; its files are "
         "as they were before.",
         [](const Listing& fixture) {
             Listing kept = fixture;
             kept.erase("area/30.wld.zs-00000000000000a1.tmp");
             kept.erase("area/zonesmith.journal.zs-00000000000000c3.tmp");
             kept.erase("shared/32.wld.zs-00000000000000e5.tmp");
             return kept;
         }},
        {"damaged", {}, "DIR/zonesmith.journal " + kLeftAlone, same},
        {"foreign", {}, "DIR/zonesmith.journal " + kLeftAlone, same},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        ScratchDir root;
        fs::path area = root.path() / "area";
        fs::copy(test::test_data(std::string("journal/") + c.fixture), area,
                 fs::copy_options::recursive);
        if (c.cut) c.cut(area);
        const Listing fixture = listing(root.path());
        std::string said = c.said;
        if (std::size_t at = said.find("DIR"); at != std::string::npos)
            said.replace(at, 3, area.string());
        EXPECT_EQ(finish_interrupted_change(area), said);
        const Listing left = c.left(fixture);
        EXPECT_EQ(listing(root.path()), left);
        // Opening it again changes nothing more; a journal left alone is
        // told of again.
        EXPECT_EQ(finish_interrupted_change(area), left == fixture ? said : "");
        EXPECT_EQ(listing(root.path()), left);
    }
}

TEST(AreaChange, AChangeBeingMadeKeepsItsFilesWhenTheDirectoryIsOpened) {
    ScratchDir dir;
    dir.write("30.wld", "old 30\r\n");
    dir.write("31.wld.part", "new 31\r\n");  // written by a download under its own name
    {
        AreaChange change(dir.path());
        ASSERT_TRUE(change.write("30.wld", "new 30\r\n"));
        ASSERT_TRUE(change.adopt(dir.path() / "31.wld.part", "31.wld"));
        EXPECT_EQ(finish_interrupted_change(dir.path()), "");
        EXPECT_EQ(listing(dir.path()).size(), 3u);
        ChangeResult made = change.commit();
        EXPECT_TRUE(made.made && made.finished);
    }
    EXPECT_EQ(listing(dir.path()), (Listing{{"30.wld", "new 30\r\n"}, {"31.wld", "new 31\r\n"}}));
    {
        AreaChange abandoned(dir.path());
        ASSERT_TRUE(abandoned.write("30.wld", "newer 30\r\n"));
    }
    EXPECT_EQ(listing(dir.path()), (Listing{{"30.wld", "new 30\r\n"}, {"31.wld", "new 31\r\n"}}));
}

TEST(AreaChange, AStepThatFailsOnceTheChangeIsMadeIsFinishedLater) {
    FakeUi ui;
    Workspace ws(ui);
    ScratchDir dir;
    ws.set_area_dir(dir.path());
    restore(dir.path(), files_of({"zone30/30.wld", "zone31/31.wld"}));
    ASSERT_TRUE(load_area_file(ws, dir.file("30.wld")) && load_area_file(ws, dir.file("31.wld")));
    for (int vnum : {3000, 3100})
        test::Step(ws).world().edit(ws.world().find_room(vnum),
                                    [](Room& r) { r.title = "Changed"; });
    ws.set_file_step_hook(test::fail_step("rename 31.wld", EIO));
    ui.clear();
    EXPECT_FALSE(save_every_zone(ws, TableKind::World));
    EXPECT_EQ(ui.message_texts(),
              std::vector<std::string>{"The save was made, but could not rename 31.wld: "
                                       "Input/output error.\r\nZonesmith finishes it when the "
                                       "area directory is next opened."});
    EXPECT_FALSE(ws.modified().any());  // the journal stands for the files
    EXPECT_TRUE(dir.exists(kJournalName));

    // The next save finishes it first, and says so.
    ws.set_file_step_hook({});
    test::Step(ws).world().edit(ws.world().find_room(3000), [](Room& r) { r.title = "Again"; });
    ui.clear();
    EXPECT_TRUE(save_every_zone(ws, TableKind::World));
    ASSERT_FALSE(ui.statuses.empty());
    EXPECT_TRUE(ui.statuses.front().starts_with("Finished a change that was cut off in "));
    EXPECT_NE(dir.read("31.wld").find("Changed~"), std::string::npos);
    EXPECT_NE(dir.read("30.wld").find("Again~"), std::string::npos);
    EXPECT_EQ(listing(dir.path()).size(), 2u);
}

}  // namespace
}  // namespace zs
