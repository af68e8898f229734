// Installing a downloaded program: the checks, the quoting, and the script
// replacing a program in a scratch folder and starting it again.
#include "net/updater.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "net/protocol.h"
#include "support/test_files.h"

namespace zs::net {
namespace {

using test::ScratchDir;

TEST(Updater, QuotesEveryWordForTheShell) {
    EXPECT_EQ(shell_quote("plain"), "'plain'");
    EXPECT_EQ(shell_quote("with blank"), "'with blank'");
    EXPECT_EQ(shell_quote("it's $HOME `x`"), "'it'\\''s $HOME `x`'");
    EXPECT_EQ(shell_quote(""), "''");
}

TEST(Updater, VerifiesSizeAndCrc) {
    ScratchDir dir;
    std::filesystem::path part = dir.path() / "zonesmith.part";
    dir.write("zonesmith.part", "program bytes");
    std::uint32_t crc = crc32_of("program bytes");
    EXPECT_EQ(verify_download(part, 13, crc), "");
    EXPECT_NE(verify_download(part, 12, crc).find("13 bytes"), std::string::npos);
    EXPECT_NE(verify_download(part, 13, crc + 1).find("CRC-32"), std::string::npos);
    EXPECT_NE(verify_download(part, 13, std::nullopt), "");
    EXPECT_NE(verify_download(dir.path() / "missing", 13, crc), "");
}

// A program that records its arguments and working directory.
std::string recording_program(const std::string& version, const std::filesystem::path& log) {
    return "#!/bin/sh\necho " + version + " \"$@\" \"$(pwd)\" > " + shell_quote(log.string()) +
           "\n";
}

TEST(Updater, ScriptReplacesTheProgramAndStartsItAgain) {
    ScratchDir dir;
    // A folder and arguments with blanks and quotes, as a builder's may have.
    std::filesystem::path folder = dir.path() / "my tools's";
    std::filesystem::path work = dir.path() / "areas dir";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(work);
    std::filesystem::path program = folder / "zonesmith";
    std::filesystem::path part = folder / "zonesmith.part";
    std::filesystem::path log = dir.path() / "started.txt";
    {
        std::ofstream(program) << recording_program("old", log);
        std::ofstream(part) << recording_program("new", log);
    }
    chmod(program.c_str(), 0755);
    chmod(part.c_str(), 0644);

    // The old process: one that has ended already.
    pid_t old = fork();
    if (old == 0) _exit(0);
    waitpid(old, nullptr, 0);

    std::filesystem::path script = folder / kUpdateScriptName;
    std::ofstream(script) << update_script_text(program, part, old, {"--dir", "a b", "it's"}, work,
                                                2);
    ASSERT_EQ(std::system(("/bin/sh " + shell_quote(script.string())).c_str()), 0);

    EXPECT_FALSE(std::filesystem::exists(part));
    EXPECT_EQ(test::read_bytes(program), recording_program("new", log));
    EXPECT_EQ(std::filesystem::status(program).permissions() & std::filesystem::perms::owner_exec,
              std::filesystem::perms::owner_exec);
    EXPECT_EQ(test::read_bytes(log), "new --dir a b it's " + work.string() + "\n");

    // The next start removes the script.
    remove_leftover_script(program);
    EXPECT_FALSE(std::filesystem::exists(script));
}

TEST(Updater, ScriptGivesUpWhenTheProgramDoesNotQuit) {
    ScratchDir dir;
    std::filesystem::path program = dir.path() / "zonesmith";
    std::filesystem::path part = dir.path() / "zonesmith.part";
    dir.write("zonesmith", "old");
    dir.write("zonesmith.part", "new");
    dir.write("wait.sh", update_script_text(program, part, getpid(), {}, dir.path(), 0));
    EXPECT_NE(std::system(("/bin/sh " + shell_quote(dir.file("wait.sh"))).c_str()), 0);
    EXPECT_EQ(dir.read("zonesmith"), "old");
}

// Whatever stands at the script's name (a stale script, a symbolic or hard
// link to another file) is replaced, never written through or made
// executable.
TEST(Updater, TheScriptIsNeverWrittenThroughWhatStandsAtItsName) {
    enum class Planted { nothing, stale_script, symbolic_link, hard_link };
    for (Planted planted :
         {Planted::nothing, Planted::stale_script, Planted::symbolic_link, Planted::hard_link}) {
        SCOPED_TRACE(static_cast<int>(planted));
        ScratchDir dir;
        const std::filesystem::path program = dir.path() / "zonesmith";
        const std::filesystem::path script = dir.path() / kUpdateScriptName;
        const std::filesystem::path other = dir.path() / "notes.txt";
        dir.write("notes.txt", "the builder's notes\n");
        chmod(other.c_str(), 0644);
        switch (planted) {
            case Planted::nothing:
                break;
            case Planted::stale_script:
                dir.write(kUpdateScriptName, "exit 1\n");
                break;
            case Planted::symbolic_link:
                std::filesystem::create_symlink(other, script);
                break;
            case Planted::hard_link:
                std::filesystem::create_hard_link(other, script);
                break;
        }
        ASSERT_TRUE(write_update_script(program, dir.path() / "zonesmith.part", {}, dir.path()));
        EXPECT_EQ(dir.read("notes.txt"), "the builder's notes\n");
        EXPECT_EQ(std::filesystem::status(other).permissions() & std::filesystem::perms::owner_exec,
                  std::filesystem::perms::none);
        EXPECT_FALSE(std::filesystem::is_symlink(script));
        EXPECT_EQ(
            dir.read(kUpdateScriptName),
            update_script_text(program, dir.path() / "zonesmith.part", getpid(), {}, dir.path()));
        EXPECT_EQ(
            std::filesystem::status(script).permissions() & std::filesystem::perms::owner_exec,
            std::filesystem::perms::owner_exec);
    }
}

}  // namespace
}  // namespace zs::net
