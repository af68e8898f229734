// Shared plumbing of the area-file readers and writers: reading a whole file
// safely (an area file, or another text file within its kind's limit), the
// zone number a file name gives, building CR LF text in memory, and what a
// failed save reports. Writing files to disk is area_change.h's.
#pragma once

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zs {

// Largest file the readers take. Real area files are a few hundred kilobytes
// at most; anything bigger is not one, and would only eat memory.
constexpr std::size_t kMaxAreaFileBytes = std::size_t{64} << 20;

// Why a file could not be read.
enum class ReadFailure { None, NotFound, NotRegularFile, TooLarge, ReadError };

// The whole file, or nothing when it cannot be opened or read; `why` (when
// given) then says why. Only regular files of at most kMaxAreaFileBytes are
// read: a device or a pipe could feed the reader without end.
std::optional<std::string> read_file_bytes(const std::filesystem::path& path,
                                           ReadFailure* why = nullptr);

// The message for a file that could not be read: `not_found` for a missing
// file, otherwise a sentence naming the file and the cause.
std::string read_failure_text(ReadFailure why, const std::filesystem::path& path,
                              std::string_view not_found);

// A text file the program reads besides the area files (a vocabulary file,
// the settings files): what its messages call it and the most bytes it may
// have, far more than a real one needs.
struct TextFileKind {
    std::string_view name;  // "a vocabulary file"
    std::size_t max_bytes;
};

// Reads a text file the way read_file_bytes reads an area file (a regular
// file only, opened without blocking), up to `kind.max_bytes`. `system_error`
// (when given) gets the system's error number of a failed open or read.
std::optional<std::string> read_text_file(const std::filesystem::path& path,
                                          const TextFileKind& kind, ReadFailure* why = nullptr,
                                          int* system_error = nullptr);

// The message for a text file that could not be read: `not_found` for a
// missing file, otherwise a sentence naming the file and the cause (the limit
// for one that is too large, the system's reason for one that could not be
// read).
std::string text_file_failure_text(ReadFailure why, int system_error,
                                   const std::filesystem::path& path, const TextFileKind& kind,
                                   std::string_view not_found);

// The lines that start with "#" (after a byte-order mark): the records a
// file of rooms, objects or mobiles holds.
int record_lines(std::string_view bytes);

// The number the file name gives before its extension (".wld" and the like):
// the characters before the last four, back to the last "/" or "\", read as a
// decimal number; 0 when they do not start with one.
int zone_number_from_path(std::string_view path);

// Builds a file in memory. Every line end goes out as CR LF.
class AreaWriter {
public:
    AreaWriter() { out_.reserve(1 << 16); }
    std::string& bytes() { return out_; }

    AreaWriter& raw(std::string_view s) {
        out_.append(s);
        return *this;
    }
    AreaWriter& ch(char c) {
        out_.push_back(c);
        return *this;
    }
    AreaWriter& nl() {
        out_.append("\r\n", 2);
        return *this;
    }
    AreaWriter& num(long long v) {
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        out_.append(buf, r.ptr);
        return *this;
    }
    // A space, then the number.
    AreaWriter& sp(long long v) { return ch(' ').num(v); }
    // A text whose line breaks (CR LF, or a bare LF) are written as CR LF.
    AreaWriter& text(std::string_view s);
    // A text with every CR removed and cut to `limit` characters first.
    AreaWriter& text_no_cr(std::string_view s, std::size_t limit);

private:
    std::string out_;
};

// Why a file could not be saved: the step that failed and the system's
// reason ("No space left on device", "Permission denied", ...).
struct SaveError {
    enum class Step { None, Create, Write, Flush, Rename, Remove, Lock, Journal } step = Step::None;
    std::string reason;
    std::string file;  // the name of the file the step worked on
    explicit operator bool() const { return step != Step::None; }
};

// "could not write 30.wld: No space left on device".
std::string save_error_text(const SaveError& error);

}  // namespace zs
