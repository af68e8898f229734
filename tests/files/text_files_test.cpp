// The text files read besides the area files (a vocabulary file, the
// settings file, the server file) are read only when they are regular files
// within their limits; any other path is refused with a message naming it,
// never read without end or waited on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "files/area_files.h"
#include "generators/vocabulary.h"
#include "net/server_link.h"
#include "support/fake_ui.h"
#include "support/test_files.h"

namespace zs {
namespace {

namespace fs = std::filesystem;
using Said = std::vector<std::string>;

// Each reader checks that it took nothing of the file.
Said read_vocabulary_in(const fs::path& dir) {
    test::FakeUi ui;
    RunMessages messages(ui);
    Vocabulary vocabulary;
    EXPECT_FALSE(read_vocabulary_file(vocabulary, dir / "forest.txt", "&g", messages));
    EXPECT_TRUE(vocabulary.titles().empty());
    return ui.message_texts();
}

Said read_settings_in(const fs::path& dir) {
    test::FakeUi ui;
    Workspace ws(ui);
    ws.set_area_dir(dir);
    read_settings(ws);
    EXPECT_EQ(ws.options(), Options{});
    return ui.message_texts();
}

Said read_server_file_in(const fs::path& dir) {
    std::string problem = "stale";
    EXPECT_EQ(net::read_link_settings(dir, &problem).endpoint.port, net::kDefaultPort);
    return problem.empty() ? Said{} : Said{problem};
}

TEST(TextFiles, HostilePathsAreRefusedWithAMessageNamingThem) {
    const struct {
        const char* name;
        std::size_t limit;
        std::string too_large, not_found;  // message ends; no not_found: no message
        std::function<Said(const fs::path&)> read;
    } files[] = {
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
    using Make = std::function<void(const fs::path&, std::size_t limit)>;
    const std::string not_regular = " is not a regular file; it was not read.";
    const struct {
        const char* name;
        Make make;
        std::string said;  // after the path; "too large" and "not found": the file's own
    } paths[] = {
        {"a directory", [](const fs::path& p, std::size_t) { fs::create_directory(p); },
         not_regular},
        {"a FIFO", [](const fs::path& p, std::size_t) { ::mkfifo(p.c_str(), 0600); }, not_regular},
        {"/dev/zero", [](const fs::path& p, std::size_t) { fs::create_symlink("/dev/zero", p); },
         not_regular},
        {"a file over the limit",
         [](const fs::path& p, std::size_t limit) {
             std::ofstream{p};
             fs::resize_file(p, limit + 1);  // sparse
         },
         "too large"},
        {"an unreadable file",
         [](const fs::path& p, std::size_t) {
             // A line for each reader: whoever reads it takes something.
             std::ofstream(p) << "title: Unread\nExits: 5\nPort: 1\n";
             fs::permissions(p, fs::perms::none);
         },
         " could not be read: Permission denied."},
        {"a missing file", [](const fs::path&, std::size_t) {}, "not found"},
    };
    for (const auto& file : files)
        for (const auto& p : paths) {
            SCOPED_TRACE(std::string(file.name) + " as " + p.name);
            test::ScratchDir dir;
            const fs::path path = dir.path() / file.name;
            p.make(path, file.limit);
            Said said;
            EXPECT_FALSE(test::blocked_on_fifo(path, [&] {
                test::without_file_privileges([&] { said = file.read(dir.path()); });
            }));
            Said expected = {path.string() + p.said};
            if (p.said == "too large") expected = {path.string() + file.too_large};
            if (p.said == "not found")
                expected = file.not_found.empty() ? Said{} : Said{file.not_found};
            EXPECT_EQ(said, expected);
        }
}

}  // namespace
}  // namespace zs
