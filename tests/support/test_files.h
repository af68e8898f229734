// Helpers for tests that read and write area files: a scratch directory per
// test, file contents in and out, LF-to-CR LF conversion, hostile paths for
// the readers (a bound on a FIFO that would block, a file not even root can
// read), and the corpus.
#pragma once

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zs::test {

// A fresh directory under the system's temporary directory, removed again
// when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Writes a file; returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// Turns LF line ends into CR LF, as files on disk have them.
std::string crlf(const std::string& lf_text);

// A world file in the current layout: each room with its exits (direction,
// target), titled "Room <vnum>".
std::string world_file(
    std::initializer_list<std::pair<int, std::vector<std::pair<int, int>>>> rooms);

std::string read_bytes(const std::filesystem::path& path);
void write_bytes(const std::filesystem::path& path, const std::string& bytes);

// A file step hook (Workspace::set_file_step_hook) under which the step
// named `step` ("create 31.wld", "rename 30.zon", ...) fails with `error`.
std::function<int(std::string_view)> fail_step(std::string step, int error);

// A file of tests/data, the inputs the tests read (area files, texts).
std::filesystem::path test_data(const std::string& name);
// Its bytes.
std::string test_data_bytes(const std::string& name);

// The rows of a tab-separated table under tests/data: each line that is
// neither empty nor a '#' comment, with its cells.
struct TableRow {
    std::string line;
    std::vector<std::string> col;
};
std::vector<TableRow> table_rows(const std::string& name);

// Runs `read`, the way a reader of `path` must be tried when the path may be
// a FIFO: should `read` still wait in the FIFO after a while, the FIFO is
// opened for writing and closed again, which lets it go on (to an empty
// file). True when that was needed, that is, when the reader blocked. A path
// that is no FIFO is only read.
bool blocked_on_fifo(const std::filesystem::path& path, const std::function<void()>& read);

// Runs `fn` on a thread of its own that lacks the right to read past file
// permissions, so that a file of mode 000 cannot be read even by root.
void without_file_privileges(const std::function<void()>& fn);

// The stock corpus directory, or an empty path when it is missing. Outside CI
// a missing corpus skips the test; in CI it fails.
std::filesystem::path corpus_dir();
// Files of one kind in the stock corpus ("wld", "obj", ...), sorted.
std::vector<std::filesystem::path> corpus_files(const std::string& kind);

}  // namespace zs::test

// Skips (or, with CI=true, fails) a test when the corpus is not there.
#define ZS_REQUIRE_CORPUS()                                                          \
    do {                                                                             \
        if (::zs::test::corpus_dir().empty()) {                                      \
            if (const char* ci = std::getenv("CI"); ci && std::string(ci) == "true") \
                FAIL() << "stock corpus missing at " ZS_CORPUS_DIR;                  \
            else                                                                     \
                GTEST_SKIP() << "stock corpus missing at " ZS_CORPUS_DIR;            \
        }                                                                            \
    } while (0)
