#include "files/area_change.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>

#include "world/strfmt.h"

namespace zs {

namespace fs = std::filesystem;

void flush_directory(const fs::path& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

fs::path directory_of(const fs::path& file) {
    fs::path dir = file.parent_path();
    return dir.empty() ? fs::path(".") : dir;
}

fs::path link_target(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    fs::path target = fs::weakly_canonical(path, ec);
    return ec ? path : target;
}

namespace {

constexpr std::string_view kTempTag = ".zs-";
constexpr std::string_view kTempEnd = ".tmp";
constexpr std::size_t kTempDigits = 16;
constexpr std::string_view kJournalHeader = "zonesmith journal 1";
constexpr std::string_view kJournalEnd = "end";
// How long a change waits for another change of the same directory.
constexpr std::chrono::seconds kLockWait{10};

// A number no other temporary file is likely to carry: the change's random
// seed and the file's count within the change, mixed (splitmix64).
std::uint64_t unique_number(std::uint64_t seed, std::uint64_t count) {
    std::uint64_t z = seed + (count + 1) * 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

std::string temp_name_for(const std::string& final_file_name, std::uint64_t unique) {
    return strfmt("%s%.*s%016llx%.*s", final_file_name.c_str(), static_cast<int>(kTempTag.size()),
                  kTempTag.data(), static_cast<unsigned long long>(unique),
                  static_cast<int>(kTempEnd.size()), kTempEnd.data());
}

SaveError failure(SaveError::Step step, int err, std::string file) {
    return {step, std::strerror(err), std::move(file)};
}

bool write_all(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Creates a file that must not exist yet (never through a link), writes it
// and starts its write-back; with `flush`, waits until it is on disk. A file
// that failed is removed again. `name` names the file in the error.
SaveError write_new_file(const fs::path& path, std::string_view bytes, bool flush,
                         const std::string& name) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return failure(SaveError::Step::Create, errno, name);
    SaveError error;
    if (!write_all(fd, bytes)) {
        error = failure(SaveError::Step::Write, errno, name);
    } else if (flush) {
        if (::fsync(fd) != 0) error = failure(SaveError::Step::Flush, errno, name);
    } else {
        // Let the disk start on it while the other files are written.
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    if (::close(fd) != 0 && !error) error = failure(SaveError::Step::Write, errno, name);
    if (error) ::unlink(path.c_str());
    return error;
}

// Waits until a written file is on disk.
SaveError flush_file(const fs::path& path, const std::string& name) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return failure(SaveError::Step::Flush, errno, name);
    SaveError error;
    if (::fsync(fd) != 0) error = failure(SaveError::Step::Flush, errno, name);
    ::close(fd);
    return error;
}

bool exists_at(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool is_directory_at(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

fs::path final_target(const fs::path& dir, const std::string& name) {
    return link_target(dir / name);
}

// --- The lock --------------------------------------------------------------

int open_directory(const fs::path& dir) {
    return ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// Takes (or turns) the lock on an open directory, waiting at most `wait` for
// other holders; false when they kept it that long. A file system without
// locks lets every change go on.
bool take_lock(int fd, int how, std::chrono::milliseconds wait, bool holds_shared = false) {
    if (fd < 0) return true;
    auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, how | LOCK_NB) == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return true;
        // A shared lock that failed to turn exclusive is gone: it is taken
        // again, so that no one clears away this change's files meanwhile.
        if (holds_shared) ::flock(fd, LOCK_SH | LOCK_NB);
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

SaveError lock_failure(const fs::path& dir) {
    return {SaveError::Step::Lock, "another change of its files is under way", dir.string()};
}

// --- The journal -----------------------------------------------------------

// Bytes that would break a line of the journal apart, and "%", go as %XX.
std::string encode(std::string_view s) {
    std::string out;
    for (char c : s) {
        auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7f || c == '%')
            out += strfmt("%%%02X", u);
        else
            out.push_back(c);
    }
    return out;
}

bool decode(std::string_view s, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out.push_back(s[i]);
            continue;
        }
        if (i + 2 >= s.size()) return false;
        auto hex = [](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            return -1;
        };
        int hi = hex(s[i + 1]), lo = hex(s[i + 2]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
    }
    return !out.empty();
}

// A file name of the area directory itself: no directory part.
bool plain_name(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

struct Journal {
    struct Rename {
        fs::path temp, final_path;
    };
    std::vector<Rename> renames;
    std::vector<std::string> removals;  // names in the area directory
};

// A path as the journal holds it: the bare name for a file of the area
// directory, which a journal read elsewhere then finds; any other absolute.
std::string journal_path(const fs::path& dir, const fs::path& path) {
    std::error_code ec;
    if (fs::equivalent(directory_of(path), dir, ec) && !ec) return encode(path.filename().string());
    fs::path absolute = fs::absolute(path, ec);
    return encode((ec ? path : absolute).string());
}

std::string journal_text(const fs::path& dir, const Journal& j) {
    std::string text(kJournalHeader);
    text += '\n';
    for (const auto& r : j.renames)
        text +=
            "rename " + journal_path(dir, r.temp) + ' ' + journal_path(dir, r.final_path) + '\n';
    for (const auto& name : j.removals)
        text += "remove " + encode(name) + '\n';
    text += kJournalEnd;
    text += '\n';
    return text;
}

// True when `temp` is a temporary file of a change made for `final_path`:
// beside it, and named after it.
bool temp_of(const fs::path& temp, const fs::path& final_path) {
    std::string name = temp.filename().string();
    return temp.parent_path() == final_path.parent_path() && is_change_temp_name(name) &&
           name.starts_with(final_path.filename().string() + std::string(kTempTag));
}

// Reads a journal; false when the text is not a whole journal of this form.
// A rename's source must be a temporary file of a change made for its
// target, a removal a file of the area directory: a damaged journal never
// moves or removes another file.
bool parse_journal(const fs::path& dir, std::string_view text, Journal& j) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        if (nl == std::string_view::npos) return false;  // every line ends
        lines.push_back(text.substr(0, nl));
        text.remove_prefix(nl + 1);
    }
    if (lines.size() < 2 || lines.front() != kJournalHeader || lines.back() != kJournalEnd)
        return false;
    // A file outside the area directory is only ever one that a symbolic
    // link of the directory names: a journal from elsewhere touches nothing
    // else.
    std::vector<fs::path> linked;
    std::error_code walk_error;
    for (const auto& entry : fs::directory_iterator(dir, walk_error)) {
        std::error_code ec;
        if (!entry.is_symlink(ec)) continue;
        fs::path target = fs::weakly_canonical(entry.path(), ec);
        if (!ec) linked.push_back(target);
    }
    auto path_of = [&](std::string_view field, fs::path& out) {
        std::string s;
        if (!decode(field, s)) return false;
        fs::path p(s);
        if (p.is_absolute()) {
            out = p;
            return true;
        }
        if (!plain_name(s)) return false;
        out = dir / p;
        return true;
    };
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        std::string_view line = lines[i];
        std::size_t space = line.find(' ');
        if (space == std::string_view::npos) return false;
        std::string_view word = line.substr(0, space), rest = line.substr(space + 1);
        if (word == "rename") {
            std::size_t second = rest.find(' ');
            if (second == std::string_view::npos) return false;
            Journal::Rename r;
            if (!path_of(rest.substr(0, second), r.temp) ||
                !path_of(rest.substr(second + 1), r.final_path) || !temp_of(r.temp, r.final_path))
                return false;
            if (r.final_path.is_absolute() && r.final_path.parent_path() != dir &&
                std::find(linked.begin(), linked.end(), r.final_path) == linked.end())
                return false;
            j.renames.push_back(std::move(r));
        } else if (word == "remove") {
            std::string name;
            if (!decode(rest, name) || !plain_name(name) || name == kJournalName) return false;
            j.removals.push_back(std::move(name));
        } else {
            return false;
        }
    }
    return true;
}

int run_hook(const FileStepHook& hook, std::string_view what) {
    return hook ? hook(what) : 0;
}

// Carries out a journal's renames and removals, flushes the directories and
// removes the journal. Each step may already have been done by a run that
// was cut off: a temporary file that is gone was renamed, a file that is
// gone was removed.
SaveError carry_out(const fs::path& dir, const Journal& j, const FileStepHook& hook,
                    const std::vector<std::string>& names = {}) {
    std::vector<fs::path> dirs{dir};
    for (std::size_t i = 0; i < j.renames.size(); ++i) {
        const auto& r = j.renames[i];
        std::string name = i < names.size() ? names[i] : r.final_path.filename().string();
        if (int err = run_hook(hook, "rename " + name))
            return failure(SaveError::Step::Rename, err, name);
        if (std::rename(r.temp.c_str(), r.final_path.c_str()) != 0) {
            int err = errno;
            // Renamed by a run that was cut off: the file is in its place.
            // With neither file there, the journal speaks of other files
            // (it was moved with its directory): nothing more is done.
            if (err != ENOENT || exists_at(r.temp) || !exists_at(r.final_path))
                return failure(SaveError::Step::Rename, err, name);
        }
        fs::path d = directory_of(r.final_path);
        if (std::find(dirs.begin(), dirs.end(), d) == dirs.end()) dirs.push_back(d);
    }
    for (const std::string& name : j.removals) {
        if (int err = run_hook(hook, "remove " + name))
            return failure(SaveError::Step::Remove, err, name);
        fs::path p = dir / name;
        if (::unlink(p.c_str()) != 0 && errno != ENOENT)
            return failure(SaveError::Step::Remove, errno, name);
    }
    for (const fs::path& d : dirs)
        flush_directory(d);
    if (int err = run_hook(hook, "finish"))
        return failure(SaveError::Step::Remove, err, kJournalName);
    fs::path journal = dir / kJournalName;
    if (::unlink(journal.c_str()) != 0 && errno != ENOENT)
        return failure(SaveError::Step::Remove, errno, kJournalName);
    flush_directory(dir);
    return {};
}

std::string counted(int n, const char* one, const char* many) {
    return strfmt("%d %s", n, n == 1 ? one : many);
}

// Finishes the journal in `dir`, when there is one. `line` says what was
// done, or why the journal could not be read or finished (it then stays, and
// the error tells the step).
SaveError finish_journal(const fs::path& dir, std::string& line) {
    line.clear();
    fs::path path = dir / kJournalName;
    if (!exists_at(path)) return {};
    std::optional<std::string> text = read_file_bytes(path);
    Journal j;
    if (!text || !parse_journal(dir, *text, j)) {
        line = strfmt(
            "%s is not a journal Zonesmith can read; it was left as it is, and the area files "
            "there may be partly changed.",
            path.string().c_str());
        return {SaveError::Step::Journal, "it is not a journal Zonesmith can read", path.string()};
    }
    if (SaveError e = carry_out(dir, j, {})) {
        line = strfmt(
            "A change cut off in %s could not be finished (%s); it is tried again when the "
            "directory is next opened.",
            dir.string().c_str(), save_error_text(e).c_str());
        return {SaveError::Step::Journal, save_error_text(e), path.string()};
    }
    line = strfmt("Finished a change that was cut off in %s: %s put in place and %d removed.",
                  dir.string().c_str(),
                  counted(static_cast<int>(j.renames.size()), "file", "files").c_str(),
                  static_cast<int>(j.removals.size()));
    return {};
}

// Removes the temporary files of changes that died before their journal was
// in place: those in the area directory, and those beside the files its
// links name. Returns how many went.
int remove_stray_temps(const fs::path& dir) {
    std::vector<fs::path> stray;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        std::string name = entry.path().filename().string();
        fs::file_status st = entry.symlink_status(ec);
        if (is_change_temp_name(name)) {
            if (!fs::is_directory(st)) stray.push_back(entry.path());
            continue;
        }
        if (!fs::is_symlink(st)) continue;
        fs::path target = fs::weakly_canonical(entry.path(), ec);
        if (ec) continue;
        std::string prefix = target.filename().string() + std::string(kTempTag);
        std::error_code ec2;
        for (const auto& beside : fs::directory_iterator(directory_of(target), ec2)) {
            std::string other = beside.path().filename().string();
            if (other.starts_with(prefix) && is_change_temp_name(other) &&
                !fs::is_directory(beside.symlink_status(ec2)))
                stray.push_back(beside.path());
        }
    }
    std::sort(stray.begin(), stray.end());
    stray.erase(std::unique(stray.begin(), stray.end()), stray.end());
    int removed = 0;
    for (const fs::path& p : stray)
        removed += ::unlink(p.c_str()) == 0;
    return removed;
}

}  // namespace

bool is_change_temp_name(std::string_view name) {
    const std::size_t tail = kTempTag.size() + kTempDigits + kTempEnd.size();
    if (name.size() <= tail || !name.ends_with(kTempEnd)) return false;
    std::string_view middle = name.substr(name.size() - tail, tail - kTempEnd.size());
    if (!middle.starts_with(kTempTag)) return false;
    middle.remove_prefix(kTempTag.size());
    return std::all_of(middle.begin(), middle.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

AreaChange::AreaChange(fs::path dir, FileStepHook hook)
    : dir_(std::move(dir)), hook_(std::move(hook)) {
    std::random_device random;
    seed_ = (std::uint64_t{random()} << 32) ^ random();
    // Other changes may write their files meanwhile; no one finishes a
    // journal or clears away temporary files while this change holds some.
}

bool AreaChange::hold_lock() const {
    // Taken with the first file, so that a change that asks the builder
    // questions first holds up no other change meanwhile.
    if (!lock_taken_) {
        lock_taken_ = true;
        lock_fd_ = open_directory(dir_);
        lock_failed_ = !take_lock(lock_fd_, LOCK_SH, kLockWait);
    }
    return !lock_failed_;
}

AreaChange::~AreaChange() {
    if (!done_)
        for (const auto& r : renames_)
            ::unlink(r.temp.c_str());
    if (lock_fd_ >= 0) ::close(lock_fd_);
}

int AreaChange::step(std::string_view what) const {
    return run_hook(hook_, what);
}

fs::path AreaChange::temporary_path(const std::string& final_name) const {
    hold_lock();
    fs::path target = final_target(dir_, final_name);
    return directory_of(target) / temp_name_for(target.filename().string(), next_unique());
}

std::uint64_t AreaChange::next_unique() const {
    return unique_number(seed_, files_named_++);
}

bool AreaChange::write(const std::string& final_name, std::string_view bytes, SaveError* error) {
    SaveError e;
    fs::path target = final_target(dir_, final_name);
    fs::path temp = directory_of(target) / temp_name_for(target.filename().string(), next_unique());
    if (!hold_lock())
        e = lock_failure(dir_);
    else if (int err = step("create " + final_name))
        e = failure(SaveError::Step::Create, err, final_name);
    else
        e = write_new_file(temp, bytes, false, final_name);
    if (!e) renames_.push_back({temp, target, final_name});
    if (error) *error = e;
    return !e;
}

bool AreaChange::adopt(const fs::path& temporary, const std::string& final_name) {
    hold_lock();
    fs::path temp = temporary;
    if (!is_change_temp_name(temp.filename().string())) {
        // Only files of this form are ever renamed when a journal is
        // finished, or cleared away when a change died.
        temp = temporary_path(final_name);
        if (std::rename(temporary.c_str(), temp.c_str()) != 0) return false;
    }
    renames_.push_back({temp, final_target(dir_, final_name), final_name});
    return true;
}

void AreaChange::remove(const std::string& name) {
    removals_.push_back(name);
}

ChangeResult AreaChange::commit() {
    ChangeResult result;
    auto not_made = [&](SaveError e) {
        result.error = std::move(e);
        for (const auto& r : renames_)
            ::unlink(r.temp.c_str());
        done_ = true;
        return result;
    };
    if (done_) return result;
    if (empty()) {
        done_ = true;
        result.made = result.finished = true;
        return result;
    }
    if (!hold_lock() || !take_lock(lock_fd_, LOCK_EX, kLockWait, true))
        return not_made(lock_failure(dir_));

    // A journal of an earlier change that was cut off is finished first;
    // this change's own would otherwise take its place.
    if (SaveError e = finish_journal(dir_, result.earlier)) return not_made(e);

    std::vector<fs::path> temp_dirs;
    for (const auto& r : renames_) {
        if (SaveError e = flush_file(r.temp, r.final_name)) return not_made(e);
        fs::path d = directory_of(r.temp);
        if (std::find(temp_dirs.begin(), temp_dirs.end(), d) == temp_dirs.end())
            temp_dirs.push_back(d);
    }
    // The temporary files' names on disk too, before the journal names them.
    for (const fs::path& d : temp_dirs)
        flush_directory(d);
    // A directory where a file is to go or to be removed would stop the
    // change half way: it is refused while nothing has changed.
    for (const auto& r : renames_)
        if (is_directory_at(r.final_path))
            return not_made(failure(SaveError::Step::Rename, EISDIR, r.final_name));
    for (const auto& name : removals_)
        if (is_directory_at(dir_ / name))
            return not_made(failure(SaveError::Step::Remove, EISDIR, name));

    if (renames_.size() == 1 && removals_.empty()) {
        // One rename is all or nothing by itself.
        const Rename& r = renames_.front();
        if (int err = step("rename " + r.final_name))
            return not_made(failure(SaveError::Step::Rename, err, r.final_name));
        if (std::rename(r.temp.c_str(), r.final_path.c_str()) != 0)
            return not_made(failure(SaveError::Step::Rename, errno, r.final_name));
        done_ = true;
        flush_directory(directory_of(r.final_path));
        result.made = result.finished = true;
        return result;
    }

    Journal j;
    std::vector<std::string> names;
    for (const auto& r : renames_) {
        j.renames.push_back({r.temp, r.final_path});
        names.push_back(r.final_name);
    }
    j.removals = removals_;
    fs::path journal_temp = dir_ / temp_name_for(kJournalName, next_unique());
    if (int err = step("journal"))
        return not_made(failure(SaveError::Step::Create, err, kJournalName));
    if (SaveError e = write_new_file(journal_temp, journal_text(dir_, j), true, kJournalName))
        return not_made(e);
    if (int err = step("commit")) {
        ::unlink(journal_temp.c_str());
        return not_made(failure(SaveError::Step::Rename, err, kJournalName));
    }
    fs::path journal = dir_ / kJournalName;
    if (std::rename(journal_temp.c_str(), journal.c_str()) != 0) {
        int err = errno;
        ::unlink(journal_temp.c_str());
        return not_made(failure(SaveError::Step::Rename, err, kJournalName));
    }
    flush_directory(dir_);
    // The change is made: from here on its files belong to the journal.
    done_ = true;
    result.made = true;
    result.error = carry_out(dir_, j, hook_, names);
    result.finished = !result.error;
    return result;
}

std::string finish_interrupted_change(const fs::path& dir) {
    int fd = open_directory(dir);
    if (fd < 0) return "";
    // Alone in the directory, the temporary files of changes that died go
    // too; beside another change that is writing its files, only a journal
    // is finished (that change waits for the lock to make its own).
    bool alone = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
    if (!alone && !take_lock(fd, LOCK_SH, kLockWait)) {
        ::close(fd);
        return strfmt("Another program is changing the files of %s; they were not looked over.",
                      dir.string().c_str());
    }
    std::string journal_line;
    bool finished = !finish_journal(dir, journal_line);
    int removed = finished && alone ? remove_stray_temps(dir) : 0;
    ::close(fd);
    if (removed == 0) return journal_line;
    std::string temps = strfmt(
        "%s of a change cut off before it was made %s removed; its files are as they were before.",
        counted(removed, "temporary file", "temporary files").c_str(),
        removed == 1 ? "was" : "were");
    if (journal_line.empty()) return temps;
    return journal_line + " " + temps;
}

bool save_file_atomically(const fs::path& dir, const std::string& final_name,
                          std::string_view bytes, SaveError* error, const FileStepHook& hook) {
    AreaChange change(dir, hook);
    if (!change.write(final_name, bytes, error)) return false;
    ChangeResult r = change.commit();
    if (error) *error = r.error;
    return r.made;
}

void ignore_file_size_signal() {
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace zs
