// The text files read besides the area files (a vocabulary file, the
// settings file, the server file) are read only when they are regular files
// within their limits; any other path is refused with a message naming it,
// never read without end or waited on.
#include <gtest/gtest.h>

#include <functional>

#include "files/area_files.h"
#include "generators/vocabulary.h"
#include "net/server_link.h"
#include "support/fake_ui.h"
#include "support/test_files.h"
#include "world/workspace.h"

namespace zs {
namespace {

namespace fs = std::filesystem;
using test::Hostile;

struct TextFile {
    const char* file_name;
    std::size_t limit;
    std::string too_large;  // the end of the message for a file over the limit
    std::string not_found;  // the message for a missing file; empty: none
    // Reads dir/file_name and returns what it said; checks that nothing of
    // the file was taken.
    std::function<std::vector<std::string>(const fs::path& dir)> read;
};

std::vector<std::string> read_vocabulary_in(const fs::path& dir) {
    test::FakeUi ui;
    RunMessages messages(ui);
    Vocabulary vocabulary;
    EXPECT_FALSE(read_vocabulary_file(vocabulary, dir / "forest.txt", "&g", messages));
    EXPECT_TRUE(vocabulary.titles().empty());
    return ui.message_texts();
}

std::vector<std::string> read_settings_in(const fs::path& dir) {
    test::FakeUi ui;
    Workspace ws(ui);
    ws.set_area_dir(dir);
    read_settings(ws);
    EXPECT_EQ(ws.options(), Options{});
    return ui.message_texts();
}

std::vector<std::string> read_server_file_in(const fs::path& dir) {
    std::string problem = "stale";
    net::LinkSettings settings = net::read_link_settings(dir, &problem);
    EXPECT_EQ(settings.endpoint.port, net::kDefaultPort);
    if (problem.empty()) return {};
    return {problem};
}

TEST(TextFiles, HostilePathsAreRefusedWithAMessageNamingThem) {
    const TextFile files[] = {
        {"forest.txt", kVocabularyFile.max_bytes,
         " is larger than 4194304 bytes, far too large for a vocabulary file; it was not read.",
         "File not found.", read_vocabulary_in},
        {"ZonesmithSettings.txt", kSettingsFile.max_bytes,
         " is larger than 1048576 bytes, far too large for a settings file; it was not read.", "",
         read_settings_in},
        {"ZonesmithServer.txt", net::kServerSettingsFile.max_bytes,
         " is larger than 65536 bytes, far too large for a server settings file; it was not read.",
         "", read_server_file_in},
    };
    const char* const not_regular = " is not a regular file; it was not read.";
    const struct {
        Hostile kind;
        std::string message_end;  // after the path; empty: the file's own
    } paths[] = {
        {Hostile::Directory, not_regular},
        {Hostile::Fifo, not_regular},
        {Hostile::DevZero, not_regular},
        {Hostile::OverLimit, ""},
        {Hostile::Unreadable, " could not be read: Permission denied."},
        {Hostile::Missing, ""},
    };
    for (const TextFile& file : files)
        for (const auto& p : paths) {
            SCOPED_TRACE(std::string(file.file_name) + " as " + test::hostile_name(p.kind));
            test::ScratchDir dir;
            const fs::path path = dir.path() / file.file_name;
            test::make_hostile_path(p.kind, path, file.limit);
            std::vector<std::string> said;
            bool blocked = test::blocked_on_fifo(path, [&] {
                test::without_file_privileges([&] { said = file.read(dir.path()); });
            });
            EXPECT_FALSE(blocked);
            std::vector<std::string> expected;
            if (p.kind == Hostile::Missing) {
                if (!file.not_found.empty()) expected = {file.not_found};
            } else {
                expected = {path.string() +
                            (p.kind == Hostile::OverLimit ? file.too_large : p.message_end)};
            }
            EXPECT_EQ(said, expected);
        }
}

}  // namespace
}  // namespace zs
