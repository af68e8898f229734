// Changes of the files of an area directory that reach the disk whole or not
// at all. A change (a save of several zones or kinds, a renumbering, a
// generated map, a conversion, a download) writes each new file under a
// temporary name beside the file it replaces and flushes it. Then the
// journal, a file of a fixed name in the area directory that lists the
// renames and removals to do, is written under a temporary name of its own,
// flushed and renamed into place: from that moment the change is made. The
// renames and removals follow, the directories are flushed and the journal
// goes. A change cut off before its journal was in place leaves nothing but
// its temporary files; one cut off after it is finished by whoever opens the
// directory next (finish_interrupted_change), and finishing it again after
// another cut is harmless. A change of one file needs no journal: the rename
// alone makes it.
//
// Temporary files are named "<final name>.zs-<16 hex digits>.tmp", so that
// the files of a change that died can be told from every other file. A final
// name that is a symbolic link keeps its link: the file it names is
// replaced, with the temporary file beside that file. Changes of one
// directory, and the finishing of a journal, take turns through a lock on
// the directory; a change waits a few seconds at most for another one and
// otherwise fails, changing nothing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/area_io.h"

namespace zs {

// The journal's name in the area directory.
inline constexpr const char* kJournalName = "zonesmith.journal";

// Called before each step of a change with a few words for it ("create
// 30.wld", "journal", "commit", "rename 30.wld", "remove 30.zon", "finish").
// It returns 0 to let the step go on, or an errno value that the step then
// fails with. Tests use it to make a step fail or to end the process there.
using FileStepHook = std::function<int(std::string_view step)>;

// True for the name of a temporary file that a change makes.
bool is_change_temp_name(std::string_view file_name);

// What became of a change.
struct ChangeResult {
    // The change stands: it was carried out, or (when `error` names a step
    // that failed after the journal was in place) it is finished when the
    // directory is next opened.
    bool made = false;
    bool finished = false;  // made and carried out to the end
    SaveError error;        // why it was not made, or the step that failed after
    // The line finish_interrupted_change gave for an earlier change that
    // this one found and finished first; empty when there was none.
    std::string earlier;
};

class AreaChange {
public:
    explicit AreaChange(std::filesystem::path dir, FileStepHook hook = {});
    // A change that was not made removes the temporary files it holds.
    ~AreaChange();
    AreaChange(const AreaChange&) = delete;
    AreaChange& operator=(const AreaChange&) = delete;

    // Writes `bytes` to a new temporary file that takes `final_name` (a name
    // in the area directory) when the change is made, and starts its
    // write-back. False, with the cause in `error`, when it cannot be
    // written: the temporary file is gone again, and the change should not
    // be made.
    bool write(const std::string& final_name, std::string_view bytes, SaveError* error = nullptr);

    // For a caller that writes a file itself: a new temporary path for
    // `final_name`, in the directory where the file is replaced. The change
    // is made first: while it lives, no one clears away its temporary files.
    // Once the file is written and closed there, adopt() hands it to the
    // change, which removes it when the change is not made. A file under a
    // name of the caller's own is first renamed to such a temporary path;
    // false when that fails (the file is then left where it is).
    std::filesystem::path temporary_path(const std::string& final_name) const;
    bool adopt(const std::filesystem::path& temporary, const std::string& final_name);

    // `name`, a file of the area directory (a link itself, not the file it
    // names), goes when the change is made; a file missing then is no fault.
    void remove(const std::string& name);

    bool empty() const { return renames_.empty() && removals_.empty(); }

    // Makes the change: flushes the temporary files, puts the journal in
    // place, carries out the renames and removals and removes the journal.
    // Not made: every file is as it was and the temporary files are gone.
    ChangeResult commit();

private:
    struct Rename {
        std::filesystem::path temp, final_path;
        std::string final_name;  // as given, for messages and the step hook
    };
    int step(std::string_view what) const;
    std::uint64_t next_unique() const;
    // Takes the directory's shared lock once; false when another change kept
    // it too long.
    bool hold_lock() const;

    std::filesystem::path dir_;
    FileStepHook hook_;
    std::uint64_t seed_ = 0;
    mutable std::uint64_t files_named_ = 0;
    mutable int lock_fd_ = -1;
    mutable bool lock_taken_ = false;
    mutable bool lock_failed_ = false;
    std::vector<Rename> renames_;
    std::vector<std::string> removals_;
    bool done_ = false;  // committed (or given up): the destructor leaves the files
};

// Flushes a directory, so that renames and removals in it reach the disk.
void flush_directory(const std::filesystem::path& dir);
// The directory a file name stands in ("." for a bare name).
std::filesystem::path directory_of(const std::filesystem::path& file);
// Where a file named `path` is really written: a symbolic link is followed
// to the file it names, so that writing keeps the link.
std::filesystem::path link_target(const std::filesystem::path& path);

// Finishes a change that was cut off in `dir`: the renames and removals of a
// journal found there are carried out (again) and the journal goes; the
// temporary files of changes that died before their journal was in place are
// removed. Returns one line saying what was done, or "" when there was
// nothing to do. Touches no file that a change did not make.
std::string finish_interrupted_change(const std::filesystem::path& dir);

// Saves one file on its own: a change of that file alone.
bool save_file_atomically(const std::filesystem::path& dir, const std::string& final_name,
                          std::string_view bytes, SaveError* error = nullptr,
                          const FileStepHook& hook = {});

// A program that saves files ignores the signal for files past the size
// limit (ulimit -f): such a write then fails like one to a full disk and is
// reported, instead of ending the program with no word.
void ignore_file_size_signal();

}  // namespace zs
