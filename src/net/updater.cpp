// Installing a downloaded program: checks, the script, and starting it
// detached from this process.
#include "net/updater.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "net/protocol.h"
#include "world/strfmt.h"

namespace zs::net {

std::filesystem::path running_program() {
    std::error_code ec;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : path;
}

std::uint32_t running_program_crc() {
    std::filesystem::path program = running_program();
    return program.empty() ? 0 : crc32_of_file(program);
}

std::string verify_download(const std::filesystem::path& part, long long size,
                            std::optional<std::uint32_t> server_crc) {
    std::error_code ec;
    auto actual = std::filesystem::file_size(part, ec);
    if (ec) return "Something sucked and Zonesmith download failed.  Re-try download.";
    if (static_cast<long long>(actual) != size || size <= 0)
        return strfmt(
            "The downloaded program has %lld bytes where the server announced %lld; "
            "the update was not installed.",
            static_cast<long long>(actual), size);
    if (!server_crc)
        return "The server gave no CRC-32 for its program; the update was not installed.";
    std::uint32_t crc = crc32_of_file(part);
    if (crc != *server_crc)
        return strfmt(
            "The downloaded program's CRC-32 is %u where the server announced %u; the "
            "update was not installed.",
            crc, *server_crc);
    return {};
}

std::string shell_quote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string update_script_text(const std::filesystem::path& program,
                               const std::filesystem::path& part, long pid,
                               const std::vector<std::string>& arguments,
                               const std::filesystem::path& working_dir, int wait_seconds) {
    std::string start = "exec " + shell_quote(program.string());
    for (const std::string& a : arguments)
        start += " " + shell_quote(a);
    // Waits for the old program to quit (a tenth of a second at a time, for
    // a bounded time), then puts the new one in its place and starts it.
    return strfmt(
               "#!/bin/sh\n"
               "# Installs a downloaded Zonesmith; the next start deletes this file.\n"
               "pid=%ld\n"
               "tries=0\n"
               "while kill -0 \"$pid\" 2>/dev/null; do\n"
               "    tries=$((tries + 1))\n"
               "    [ \"$tries\" -gt %d ] && exit 1\n"
               "    sleep 0.1\n"
               "done\n",
               pid, wait_seconds * 10) +
           "chmod 0755 " + shell_quote(part.string()) + " || exit 1\n" + "mv -f " +
           shell_quote(part.string()) + " " + shell_quote(program.string()) + " || exit 1\n" +
           "cd " + shell_quote(working_dir.string()) + " || exit 1\n" + start + "\n";
}

namespace {

std::filesystem::path script_path(const std::filesystem::path& program) {
    return program.parent_path() / kUpdateScriptName;
}

// Starts `sh script` in a new session with no terminal and stdio on
// /dev/null, in a grandchild so that it outlives this process unowned.
// True when the shell was started.
bool start_detached(const std::filesystem::path& script) {
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return false;
    pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
        int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
        }
        execl("/bin/sh", "sh", script.c_str(), static_cast<char*>(nullptr));
        int error = errno;
        (void)!write(report[1], &error, sizeof error);
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    waitpid(child, &status, 0);
    int error = 0;
    ssize_t got;
    do {
        got = read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    // Nothing read: the pipe closed on a successful exec.
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

}  // namespace

bool write_update_script(const std::filesystem::path& program, const std::filesystem::path& part,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& working_dir) {
    const std::filesystem::path script = script_path(program);
    const std::string text =
        update_script_text(program, part, static_cast<long>(getpid()), arguments, working_dir);
    // Created exclusively under a name of its own (as saves and downloads
    // are), then renamed over the script's name: a file or link standing
    // there is replaced, never written through or made executable.
    std::string temp =
        (script.parent_path() / ("." + std::string(kUpdateScriptName) + ".XXXXXX")).string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0755) == 0;
    for (std::string_view left = text; ok && !left.empty();) {
        const ssize_t n = ::write(fd, left.data(), left.size());
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) left.remove_prefix(static_cast<std::size_t>(n));
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), script.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    if (const int dir = ::open(script.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool run_update_script(const std::filesystem::path& program, const std::filesystem::path& part,
                       const std::vector<std::string>& arguments,
                       const std::filesystem::path& working_dir) {
    if (!write_update_script(program, part, arguments, working_dir)) return false;
    std::filesystem::path script = script_path(program);
    if (start_detached(script)) return true;
    std::error_code ec;
    std::filesystem::remove(script, ec);
    return false;
}

void remove_leftover_script(const std::filesystem::path& program) {
    if (program.empty()) return;
    std::error_code ec;
    std::filesystem::remove(script_path(program), ec);
}

}  // namespace zs::net
