// The messages of the server link: the texts the client sends, the frame
// decoder that cuts what the server sends into messages however TCP splits or
// joins them, the names a downloaded file may have, the request list of an
// area download and the file names it asks for, the escaping of what the
// server sent for display, and the CRC-32 that compares program files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zs::net {

inline constexpr char kEndOfText = '\x03';
inline constexpr int kDefaultPort = 9987;
// A data message carries at most this many payload bytes.
inline constexpr long long kMaxDataLength = 4096;
// A downloaded file is refused when it announces more than this.
inline constexpr long long kMaxFileSize = 256LL * 1024 * 1024;
// A file name in a first data message is at most this long.
inline constexpr std::size_t kMaxNameLength = 255;
// A text message (up to its 0x03) is at most this long; a longer one is
// malformed (the decoder cannot tell where it ends however it was split).
inline constexpr std::size_t kMaxTextLength = 4096;
// The server link's settings, beside the editor's in the area directory.
inline constexpr const char* kServerSettingsFileName = "ZonesmithServer.txt";

// What a downloaded file is, from the last letter of its name.
enum class FileKind { program = 0, world = 1, mobile = 2, object = 3, zone = 4 };
FileKind kind_of_name(std::string_view name);

// The framed bytes of a client message: the text, then 0x03.
std::string frame(std::string_view text);
// Client message texts, unframed.
std::string rcc_text(int connection);  // "RCC%d 0"
std::string lgn_text(int connection, std::string_view user, std::string_view password);
std::string rdl_text(int connection, std::string_view user, std::string_view password,
                     std::string_view request_list);              // "RDL%d %s %s #%s"
std::string dlw_text(int connection);                             // "DLW%d"
std::string ack_text(int connection, int kind, long long bytes);  // "ACK%d %d %lld"

// One message cut from the stream.
struct Message {
    enum class Type { text, data, malformed };
    Type type = Type::text;
    std::string code;  // the first three characters ("WLC", "DAT", ...)
    std::string text;  // a text message without its 0x03; empty for data
    // A data message: the header's two numbers and the payload (for the
    // first message of a file, the file name).
    long long sequence = 0;
    long long length = 0;
    std::string payload;
    // The bytes the message took on the wire (header, payload, terminator).
    std::size_t wire_bytes = 0;
    // For Type::malformed: why the stream cannot be read on (a data header
    // without "]", a length that is negative or too large, ...).
    std::string error;
};

// Cuts the received bytes into messages. A text message runs to 0x03; a data
// message is its header ("DAT%ld %d] ") and then exactly its length in bytes,
// where a 0x03 or NUL is data. The first data message of a file (`name` true)
// carries the file name instead: its length field is the file's size, and the
// name ends at a NUL, a 0x03 or the end of the bytes received so far. NUL bytes
// between messages are skipped. After a malformed message the decoder is
// spent: the stream's framing is lost.
class FrameDecoder {
public:
    void feed(std::string_view bytes);
    // What a repeat of an earlier data message looks like, so that it is
    // cut as what it is: the name message of the file in progress (read by
    // its sequence number while data is expected), or the empty end message
    // of the file that just ended (while a name is expected).
    struct Repeats {
        std::optional<long long> name_sequence;
        std::optional<long long> end_sequence;
    };
    // `more_may_come`: bytes arrived just now, so a name that runs to the
    // end of them waits for its NUL in the next block; once the line has
    // been quiet for a moment, the name ends where the bytes end.
    // The next complete message, or nothing until more bytes arrive.
    // `name`: a data message now would be the first of a file.
    std::optional<Message> next(bool name, Repeats repeats = {}, bool more_may_come = false);
    std::size_t buffered() const;
    // The bytes buffered of a data message that is not complete yet.
    std::size_t pending_data() const;

private:
    std::string buffer_;
    std::size_t start_ = 0;
    bool spent_ = false;
};

// One row of the Download dialog.
struct DownloadRow {
    std::string zone;  // the zone field's text (digits only, at most three)
    bool world = false, mobile = false, object = false, zone_file = false;
};
// "30 W M O Z 31 W Z ": rows whose zone field holds a number above 0 and
// that have a box checked; empty when there is none.
std::string request_list(const std::vector<DownloadRow>& rows);
// The file names the list asks for, in its order and each once: the zone's
// text as the list has it with the extension of each letter ("30 W Z 031 M "
// asks for 30.wld, 30.zon and 031.mob). Letters after a zone that is not 1 to
// 999 in at most three digits ask for nothing.
std::vector<std::string> requested_names(std::string_view request_list);

// Where a downloaded file goes, or why it is refused. An area file (a name
// ending in d, b, j or n) must be one of the `expected` names exactly; one in
// `received` (already arrived for the same request) is refused as sent a
// second time. A program file is accepted only when `program_expected`, is
// any plain name not ending in d, b, j or n, and goes to `program_path` +
// ".part". A plain name is printable ASCII without "/", "\" or ":".
struct NameCheck {
    bool ok = false;
    FileKind kind = FileKind::program;
    std::filesystem::path path;  // the final path (area dir / name, or the ".part")
    std::string reason;          // why it was refused ("it was not requested")
    std::string refusal;         // the status text, naming the file
};
NameCheck check_file_name(std::string_view name, const std::vector<std::string>& expected,
                          const std::vector<std::string>& received, bool program_expected,
                          const std::filesystem::path& area_dir,
                          const std::filesystem::path& program_path);

// What the server sent (a name, a text) as it may be shown: every byte that is
// not printable ASCII as "\xHH" (control bytes, C1 controls, and every byte of
// a UTF-8 sequence, so no text can move the cursor or turn the line around).
std::string escape_unprintable(std::string_view text);

// CRC-32 (zlib's) of bytes, and of a whole file; 0 when the file cannot be
// read whole.
std::uint32_t crc32_of(std::string_view bytes);
std::uint32_t crc32_of_file(const std::filesystem::path& path);

// Reads a decimal CRC as the server sends it ("-123" or "4294967173") as its
// 32 bits; nothing when it is not a number.
std::optional<std::uint32_t> parse_crc(std::string_view text);

}  // namespace zs::net
