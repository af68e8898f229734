// Replacing the running program with a downloaded one: the CRC of the running
// program, the check that a downloaded file is what the server announced, and
// the shell script "Update_Zonesmith.sh" that waits for this process to end,
// moves "<program>.part" over the program and starts it again with the same
// arguments in the same working directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zs::net {

inline constexpr const char* kUpdateScriptName = "Update_Zonesmith.sh";

// The running program's file (/proc/self/exe) and its CRC-32 (0 when it
// cannot be read).
std::filesystem::path running_program();
std::uint32_t running_program_crc();

// Empty when the ".part" file has exactly `size` bytes and the server's
// CRC-32; otherwise why not (the caller deletes the file). Without a CRC from
// the server nothing is installed.
std::string verify_download(const std::filesystem::path& part, long long size,
                            std::optional<std::uint32_t> server_crc);

// A word quoted for the shell: every byte kept, "'" written as '\''.
std::string shell_quote(const std::string& word);

// The script's text. It waits (at most `wait_seconds`) for `pid` to end,
// makes `part` executable and renames it over `program`, and starts
// `program` with `arguments` in `working_dir`, detached.
std::string update_script_text(const std::filesystem::path& program,
                               const std::filesystem::path& part, long pid,
                               const std::vector<std::string>& arguments,
                               const std::filesystem::path& working_dir, int wait_seconds = 30);

// Writes the script beside the program, executable; false when it cannot.
bool write_update_script(const std::filesystem::path& program, const std::filesystem::path& part,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& working_dir);
// Writes the script and starts it detached (its own session, no terminal);
// false when it cannot be written or started (the script is then deleted).
bool run_update_script(const std::filesystem::path& program, const std::filesystem::path& part,
                       const std::vector<std::string>& arguments,
                       const std::filesystem::path& working_dir);
// Start-up: removes a script left beside the program.
void remove_leftover_script(const std::filesystem::path& program);

}  // namespace zs::net
