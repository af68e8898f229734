#include "files/area_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "world/alloc.h"
#include "world/numbers.h"

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

namespace {

// The builder's words for a failed read; `too_large` says why a file over
// its limit was not read.
std::string failure_text(ReadFailure why, int system_error, const std::string& name,
                         std::string_view too_large, std::string_view not_found) {
    switch (why) {
        case ReadFailure::None:
        case ReadFailure::NotFound:
            break;
        case ReadFailure::NotRegularFile:
            return name + " is not a regular file; it was not read.";
        case ReadFailure::TooLarge:
            return name + " is larger than " + std::string(too_large) + "; it was not read.";
        case ReadFailure::ReadError:
            if (system_error == 0) return name + " could not be read.";
            return name + " could not be read: " + std::strerror(system_error) + ".";
    }
    return std::string(not_found);
}

}  // namespace

std::string read_failure_text(ReadFailure why, const std::filesystem::path& path,
                              std::string_view not_found) {
    return failure_text(
        why, 0, path.string(),
        std::to_string(kMaxAreaFileBytes >> 20) + " MiB, far too large for an area file",
        not_found);
}

std::string text_file_failure_text(ReadFailure why, int system_error,
                                   const std::filesystem::path& path, const TextFileKind& kind,
                                   std::string_view not_found) {
    return failure_text(
        why, system_error, path.string(),
        std::to_string(kind.max_bytes) + " bytes, far too large for " + std::string(kind.name),
        not_found);
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
    // Read the way atoi does (optional sign, then digits), keeping at most
    // seven significant digits.
    std::size_t i = std::min(stem.find_first_not_of(" \t"), stem.size());
    std::string number = i < stem.size() && stem[i] == '-' ? "-" : "";
    if (i < stem.size() && (stem[i] == '+' || stem[i] == '-')) ++i;
    while (i < stem.size() && stem[i] == '0')
        ++i;
    std::size_t n = 0;
    while (i + n < stem.size() && n < 7 && stem[i + n] >= '0' && stem[i + n] <= '9')
        ++n;
    number += stem.substr(i, n);
    return static_cast<int>(read_leading(number, 9'999'999));
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

std::string save_error_text(const SaveError& error) {
    // Indexed by SaveError::Step.
    static constexpr const char* kStepWords[] = {
        "could not save",   "could not create", "could not write", "could not write to disk",
        "could not rename", "could not remove", "could not lock",  "could not finish"};
    return std::string(kStepWords[static_cast<int>(error.step)]) + " " + error.file + ": " +
           error.reason;
}

}  // namespace zs
