#include "files/area_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "world/alloc.h"

namespace zs {

namespace {

// A whole regular file of at most `max_bytes`, opened without blocking: a
// device or a pipe could feed the reader without end, or never answer.
std::optional<std::string> read_regular_file(const std::filesystem::path& path,
                                             std::size_t max_bytes, ReadFailure* why,
                                             int* system_error) {
    auto fail = [why](ReadFailure reason) -> std::optional<std::string> {
        if (why) *why = reason;
        return std::nullopt;
    };
    if (system_error) *system_error = 0;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (system_error) *system_error = errno;
        return fail(errno == ENOENT || errno == ENOTDIR ? ReadFailure::NotFound
                                                        : ReadFailure::ReadError);
    }
    // The checks look at what was opened, not at the name, which could have
    // been pointed elsewhere in between.
    struct stat st {};
    ReadFailure reason = ReadFailure::None;
    if (::fstat(fd, &st) != 0) {
        reason = ReadFailure::ReadError;
        if (system_error) *system_error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        reason = ReadFailure::NotRegularFile;
    } else if (static_cast<std::uint64_t>(st.st_size) > max_bytes) {
        reason = ReadFailure::TooLarge;
    }
    std::string data;
    if (reason == ReadFailure::None) {
        // Read straight into the result. One byte more than the size asks for
        // the end, and catches a file that grew meanwhile.
        std::size_t want = static_cast<std::size_t>(st.st_size) + 1;
        std::size_t have = 0;
        for (;;) {
            if (have == want) {
                if (want > max_bytes) {
                    reason = ReadFailure::TooLarge;
                    break;
                }
                want = std::min(want * 2, max_bytes + 1);
            }
            data.resize(want);
            ssize_t n = ::read(fd, data.data() + have, want - have);
            if (n < 0) {
                if (errno == EINTR) continue;
                reason = ReadFailure::ReadError;
                if (system_error) *system_error = errno;
                break;
            }
            if (n == 0) break;
            have += static_cast<std::size_t>(n);
        }
        data.resize(have);
    }
    ::close(fd);
    if (reason != ReadFailure::None) return fail(reason);
    if (why) *why = ReadFailure::None;
    return data;
}

}  // namespace

std::optional<std::string> read_file_bytes(const std::filesystem::path& path, ReadFailure* why) {
    // What is read here is about to be loaded into the heap.
    advise_heap_growth();
    return read_regular_file(path, kMaxAreaFileBytes, why, nullptr);
}

std::optional<std::string> read_text_file(const std::filesystem::path& path,
                                          const TextFileKind& kind, ReadFailure* why,
                                          int* system_error) {
    return read_regular_file(path, kind.max_bytes, why, system_error);
}

std::string read_failure_text(ReadFailure why, const std::filesystem::path& path,
                              std::string_view not_found) {
    const std::string name = path.string();
    switch (why) {
        case ReadFailure::None:
        case ReadFailure::NotFound:
            break;
        case ReadFailure::NotRegularFile:
            return name + " is not a regular file; it was not read.";
        case ReadFailure::TooLarge:
            return name + " is larger than " + std::to_string(kMaxAreaFileBytes >> 20) + " MiB" +
                   ", far too large for an area file; it was not read.";
        case ReadFailure::ReadError:
            return name + " could not be read.";
    }
    return std::string(not_found);
}

std::string text_file_failure_text(ReadFailure why, int system_error,
                                   const std::filesystem::path& path, const TextFileKind& kind,
                                   std::string_view not_found) {
    const std::string name = path.string();
    switch (why) {
        case ReadFailure::None:
        case ReadFailure::NotFound:
            break;
        case ReadFailure::NotRegularFile:
            return name + " is not a regular file; it was not read.";
        case ReadFailure::TooLarge:
            return name + " is larger than " + std::to_string(kind.max_bytes) + " bytes, " +
                   "far too large for " + std::string(kind.name) + "; it was not read.";
        case ReadFailure::ReadError:
            if (system_error == 0) return name + " could not be read.";
            return name + " could not be read: " + std::strerror(system_error) + ".";
    }
    return std::string(not_found);
}

int record_lines(std::string_view bytes) {
    int count = 0;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    if (bytes.starts_with("\xEF\xBB\xBF")) p += 3;
    while (p < end) {
        if (*p == '#') ++count;
        const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (!nl) break;
        p = static_cast<const char*>(nl) + 1;
    }
    return count;
}

int zone_number_from_path(std::string_view path) {
    if (path.size() < 4) return 0;
    std::string_view stem = path.substr(0, path.size() - 4);
    std::size_t slash = stem.find_last_of("/\\");
    if (slash != std::string_view::npos) stem.remove_prefix(slash + 1);
    // Read the way atoi does: optional sign, then digits.
    std::size_t i = 0;
    while (i < stem.size() && (stem[i] == ' ' || stem[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < stem.size() && (stem[i] == '+' || stem[i] == '-')) negative = stem[i++] == '-';
    long long v = 0;
    while (i < stem.size() && stem[i] >= '0' && stem[i] <= '9' && v < 1000000)
        v = v * 10 + (stem[i++] - '0');
    return static_cast<int>(negative ? -v : v);
}

AreaWriter& AreaWriter::text(std::string_view s) {
    // Copy runs between bare LFs; CR LF pairs go out as they are.
    const char* p = s.data();
    const char* end = p + s.size();
    while (p < end) {
        const char* nl =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!nl) {
            out_.append(p, end);
            break;
        }
        out_.append(p, nl);
        if (nl == s.data() || nl[-1] != '\r') out_.push_back('\r');
        out_.push_back('\n');
        p = nl + 1;
    }
    return *this;
}

AreaWriter& AreaWriter::text_no_cr(std::string_view s, std::size_t limit) {
    std::size_t taken = 0;
    for (char c : s) {
        if (c == '\r') continue;
        if (taken == limit) break;
        if (c == '\n')
            out_.append("\r\n", 2);
        else
            out_.push_back(c);
        ++taken;
    }
    return *this;
}

namespace {

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

SaveError failure(SaveError::Step step, int err, const std::filesystem::path& file) {
    return {step, std::strerror(err), file.filename().string()};
}

// Where a file named `name` in `dir` is really written: a symbolic link is
// followed to the file it names, so that saving keeps the link.
std::filesystem::path final_target(const std::filesystem::path& dir, const std::string& name) {
    std::filesystem::path path = dir / name;
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) return path;
    std::filesystem::path target = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : target;
}

// Creates the temporary file anew (removing whatever stands at its name, a
// link included, never writing through it), writes it and starts its
// write-back; with `flush`, waits until it is on disk.
SaveError write_temp(const std::filesystem::path& path, std::string_view bytes, bool flush) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return failure(SaveError::Step::Create, errno, path);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return failure(SaveError::Step::Create, errno, path);
    SaveError error;
    if (!write_all(fd, bytes)) {
        error = failure(SaveError::Step::Write, errno, path);
    } else if (flush) {
        if (::fsync(fd) != 0) error = failure(SaveError::Step::Flush, errno, path);
    } else {
        // Let the disk start on it while the other files are written.
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    if (::close(fd) != 0 && !error) error = failure(SaveError::Step::Write, errno, path);
    if (error) ::unlink(path.c_str());
    return error;
}

// Waits until a written file is on disk.
SaveError flush_file(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return failure(SaveError::Step::Flush, errno, path);
    SaveError error;
    if (::fsync(fd) != 0) error = failure(SaveError::Step::Flush, errno, path);
    ::close(fd);
    return error;
}

SaveError rename_over(const std::filesystem::path& temp, const std::filesystem::path& target) {
    if (std::rename(temp.c_str(), target.c_str()) == 0) return {};
    SaveError error = failure(SaveError::Step::Rename, errno, temp);
    ::unlink(temp.c_str());
    return error;
}

// Flushes a directory, so that renames in it reach the disk too.
void flush_directory(const std::filesystem::path& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::filesystem::path directory_of(const std::filesystem::path& file) {
    std::filesystem::path dir = file.parent_path();
    return dir.empty() ? std::filesystem::path(".") : dir;
}

}  // namespace

bool save_file_atomically(const std::filesystem::path& dir, const std::string& temp_name,
                          const std::string& final_name, std::string_view bytes, SaveError* error) {
    std::filesystem::path target = final_target(dir, final_name);
    std::filesystem::path temp = directory_of(target) / temp_name;
    SaveError e = write_temp(temp, bytes, true);
    if (!e) e = rename_over(temp, target);
    if (!e) flush_directory(directory_of(target));
    if (error) *error = e;
    return !e;
}

SaveBatch::~SaveBatch() {
    if (committed_) return;
    for (const auto& e : entries_)
        if (!e.error) ::unlink(e.temp.c_str());
}

int SaveBatch::add(const std::string& temp_name, const std::string& final_name,
                   std::string_view bytes, int after) {
    Entry e;
    e.final_path = final_target(dir_, final_name);
    e.temp = directory_of(e.final_path) / temp_name;
    e.after = after;
    e.error = write_temp(e.temp, bytes, false);
    entries_.push_back(std::move(e));
    return static_cast<int>(entries_.size()) - 1;
}

void SaveBatch::commit() {
    committed_ = true;
    // Every file on disk first, then the renames: a failure part way leaves
    // each old file whole.
    for (auto& e : entries_)
        if (!e.error) {
            e.error = flush_file(e.temp);
            if (e.error) ::unlink(e.temp.c_str());
        }
    std::vector<std::filesystem::path> dirs;
    for (auto& e : entries_) {
        if (e.error) continue;
        if (e.after >= 0 && !entries_[static_cast<std::size_t>(e.after)].saved) {
            ::unlink(e.temp.c_str());
            e.error = entries_[static_cast<std::size_t>(e.after)].error;
            continue;
        }
        e.error = rename_over(e.temp, e.final_path);
        e.saved = !e.error;
        std::filesystem::path dir = directory_of(e.final_path);
        if (e.saved && std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(dir);
    }
    for (const auto& dir : dirs)
        flush_directory(dir);
}

bool remove_file_if_present(const std::filesystem::path& dir, const std::string& name) {
    std::filesystem::path p = dir / name;
    return ::unlink(p.c_str()) == 0 || errno == ENOENT;
}

}  // namespace zs
