// The messages of the server link: client message texts, the frame decoder,
// the checks on downloaded file names, the request list and its names, the
// escaping of what the server sent, and the CRC-32.
#include "net/protocol.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>

#include "files/area_files.h"
#include "world/numbers.h"

namespace zs::net {

namespace {

// A data header's "]" must come within this many bytes of its "DAT".
constexpr std::size_t kMaxDataHeader = 64;

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// A signed decimal at `pos` (an optional sign, 1 to 18 digits); advances pos.
std::optional<long long> read_signed(std::string_view s, std::size_t& pos) {
    std::size_t p = pos;
    bool negative = false;
    if (p < s.size() && (s[p] == '-' || s[p] == '+')) negative = s[p++] == '-';
    std::size_t digits = 0;
    long long value = 0;
    while (p < s.size() && is_digit(s[p])) {
        if (++digits > 18) return std::nullopt;
        value = value * 10 + (s[p++] - '0');
    }
    if (digits == 0) return std::nullopt;
    pos = p;
    return negative ? -value : value;
}

bool printable_ascii(char c) {
    return c >= 0x20 && c < 0x7f;
}

// A name as it may be shown in a status text: at most 40 characters,
// escaped.
std::string shown(std::string_view name) {
    std::string out = escape_unprintable(name.substr(0, 40));
    if (name.size() > 40) out += "...";
    return out;
}

}  // namespace

FileKind kind_of_name(std::string_view name) {
    if (name.empty()) return FileKind::program;
    switch (name.back()) {
        case 'd':
            return FileKind::world;
        case 'b':
            return FileKind::mobile;
        case 'j':
            return FileKind::object;
        case 'n':
            return FileKind::zone;
        default:
            return FileKind::program;
    }
}

std::string frame(std::string_view text) {
    std::string out(text);
    out += kEndOfText;
    return out;
}

std::string rcc_text(int connection) {
    return "RCC" + std::to_string(connection) + " 0";
}

std::string lgn_text(int connection, std::string_view user, std::string_view password) {
    std::string out = "LGN" + std::to_string(connection);
    out += ' ';
    out += user;
    out += ' ';
    out += password;
    return out;
}

std::string rdl_text(int connection, std::string_view user, std::string_view password,
                     std::string_view request_list) {
    std::string out = "RDL" + std::to_string(connection);
    out += ' ';
    out += user;
    out += ' ';
    out += password;
    out += " #";
    out += request_list;
    return out;
}

std::string dlw_text(int connection) {
    return "DLW" + std::to_string(connection);
}

std::string ack_text(int connection, int kind, long long bytes) {
    return "ACK" + std::to_string(connection) + ' ' + std::to_string(kind) + ' ' +
           std::to_string(bytes);
}

void FrameDecoder::feed(std::string_view bytes) {
    if (spent_) return;
    if (start_ > 0) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    buffer_.append(bytes);
}

std::size_t FrameDecoder::buffered() const {
    return buffer_.size() - start_;
}

std::size_t FrameDecoder::pending_data() const {
    if (spent_) return 0;
    std::string_view rest = std::string_view(buffer_).substr(start_);
    const std::size_t head = rest.find_first_not_of('\0');
    if (head == std::string_view::npos) return 0;
    rest.remove_prefix(head);
    return rest.starts_with("DAT") ? rest.size() : 0;
}

std::optional<Message> FrameDecoder::next(bool name, Repeats repeats, bool more_may_come) {
    if (spent_) return std::nullopt;
    while (start_ < buffer_.size() && buffer_[start_] == '\0')
        ++start_;
    std::string_view rest = std::string_view(buffer_).substr(start_);
    if (rest.empty()) return std::nullopt;

    const bool data = rest.substr(0, 3) == "DAT";
    auto malformed = [this, data](std::string error) {
        spent_ = true;
        Message m;
        m.type = Message::Type::malformed;
        m.code = data ? "DAT" : "";
        m.error = std::move(error);
        buffer_.clear();
        start_ = 0;
        return m;
    };

    if (!data) {
        // A few bytes that may still become "DAT": wait for the rest.
        if (rest.size() < 3 && std::string_view("DAT").substr(0, rest.size()) == rest) {
            return std::nullopt;
        }
        std::size_t end = rest.find(kEndOfText);
        if (end == std::string_view::npos) {
            if (rest.size() > kMaxTextLength) {
                return malformed("a message of more than " + std::to_string(kMaxTextLength) +
                                 " bytes without an end byte");
            }
            return std::nullopt;
        }
        if (end > kMaxTextLength) {
            return malformed("a message of more than " + std::to_string(kMaxTextLength) + " bytes");
        }
        Message m;
        m.type = Message::Type::text;
        m.text = std::string(rest.substr(0, end));
        m.code = m.text.substr(0, 3);
        m.wire_bytes = end + 1;
        start_ += end + 1;
        return m;
    }

    // "DAT<seq> <length>]" and one more byte, then the payload or the name.
    std::size_t bracket = rest.substr(0, kMaxDataHeader).find(']');
    if (bracket == std::string_view::npos) {
        if (rest.size() >= kMaxDataHeader) {
            return malformed("a data message header without \"]\" within " +
                             std::to_string(kMaxDataHeader) + " bytes");
        }
        return std::nullopt;
    }
    const std::size_t header = bracket + 2;
    if (rest.size() < header) return std::nullopt;
    std::string_view fields = rest.substr(3, bracket - 3);
    std::size_t pos = 0;
    while (pos < fields.size() && fields[pos] == ' ')
        ++pos;
    auto sequence = read_signed(fields, pos);
    std::size_t blanks = pos;
    while (pos < fields.size() && fields[pos] == ' ')
        ++pos;
    std::optional<long long> length;
    if (sequence && pos > blanks) length = read_signed(fields, pos);
    while (pos < fields.size() && fields[pos] == ' ')
        ++pos;
    if (!sequence || !length || pos != fields.size()) {
        return malformed("a data message header that is not \"DAT<block> <length>]\"");
    }
    if (!name && repeats.name_sequence && *sequence == *repeats.name_sequence) name = true;
    if (name && repeats.end_sequence && *sequence == *repeats.end_sequence && *length == 0)
        name = false;
    const long long limit = name ? kMaxFileSize : kMaxDataLength;
    if (*length < 0 || *length > limit) {
        return malformed(std::string(name ? "a file size" : "a block length") + " of " +
                         std::to_string(*length) + " bytes (at most " + std::to_string(limit) +
                         " allowed)");
    }

    Message m;
    m.type = Message::Type::data;
    m.code = "DAT";
    m.sequence = *sequence;
    m.length = *length;
    if (name) {
        std::string_view after = rest.substr(header);
        if (after.empty()) return std::nullopt;
        std::size_t end = 0;
        while (end < after.size() && after[end] != '\0' && after[end] != kEndOfText)
            ++end;
        if (end > kMaxNameLength) {
            return malformed("a file name of more than " + std::to_string(kMaxNameLength) +
                             " characters");
        }
        if (end == after.size() && more_may_come) return std::nullopt;
        m.payload = std::string(after.substr(0, end));
        const std::size_t used = header + end + (end < after.size() ? 1 : 0);
        m.wire_bytes = used;
        start_ += used;
        return m;
    }
    const auto total = header + static_cast<std::size_t>(*length);
    if (rest.size() < total) return std::nullopt;
    m.payload = std::string(rest.substr(header, static_cast<std::size_t>(*length)));
    m.wire_bytes = total;
    start_ += total;
    return m;
}

namespace {

// The zone field's number: 1 to 3 digits, above 0.
std::optional<int> zone_number(std::string_view text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), is_digit)) return std::nullopt;
    int value = whole_number<int>(text).value_or(0);
    if (value <= 0) return std::nullopt;
    return value;
}

}  // namespace

std::string request_list(const std::vector<DownloadRow>& rows) {
    std::string out;
    for (const DownloadRow& row : rows) {
        if (!zone_number(row.zone)) continue;
        if (!row.world && !row.mobile && !row.object && !row.zone_file) continue;
        out += row.zone + ' ';
        if (row.world) out += "W ";
        if (row.mobile) out += "M ";
        if (row.object) out += "O ";
        if (row.zone_file) out += "Z ";
    }
    return out;
}

std::vector<std::string> requested_names(std::string_view request_list) {
    std::vector<std::string> names;
    std::string_view zone;
    std::size_t pos = 0;
    while (pos < request_list.size()) {
        std::size_t end = request_list.find(' ', pos);
        if (end == std::string_view::npos) end = request_list.size();
        const std::string_view item = request_list.substr(pos, end - pos);
        pos = end + 1;
        const char* extension = item == "W"   ? ".wld"
                                : item == "M" ? ".mob"
                                : item == "O" ? ".obj"
                                : item == "Z" ? ".zon"
                                              : nullptr;
        if (!extension) {
            zone = zone_number(item) ? item : std::string_view();
            continue;
        }
        if (zone.empty()) continue;
        std::string name = std::string(zone) + extension;
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
    }
    return names;
}

std::string escape_unprintable(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (printable_ascii(c)) {
            out += c;
            continue;
        }
        const auto u = static_cast<unsigned char>(c);
        out += "\\x";
        out += kHex[u >> 4];
        out += kHex[u & 15];
    }
    return out;
}

NameCheck check_file_name(std::string_view name, const std::vector<std::string>& expected,
                          const std::vector<std::string>& received, bool program_expected,
                          const std::filesystem::path& area_dir,
                          const std::filesystem::path& program_path) {
    NameCheck check;
    auto refuse = [&](const std::string& why) {
        check.reason = why;
        check.refusal = "Download of \"" + shown(name) + "\" refused: " + why + ".";
        return check;
    };
    if (name.empty()) {
        check.reason = "the server sent no file name";
        check.refusal = "Download refused: the server sent no file name.";
        return check;
    }
    if (name.size() > kMaxNameLength) {
        return refuse("the name has " + std::to_string(name.size()) + " characters (at most " +
                      std::to_string(kMaxNameLength) + ")");
    }
    const bool plain =
        name != "." && name != ".." && std::all_of(name.begin(), name.end(), [](char c) {
            return printable_ascii(c) && c != '/' && c != '\\' && c != ':';
        });
    if (!plain) return refuse("it is not a plain file name");
    if (name == kSettingsFileName || name == kServerSettingsFileName) {
        return refuse("it would replace a settings file");
    }
    check.kind = kind_of_name(name);
    if (check.kind != FileKind::program) {
        // Exactly a name the request gave: "030.wld" is not "30.wld".
        auto listed = [name](const std::vector<std::string>& names) {
            return std::find(names.begin(), names.end(), name) != names.end();
        };
        if (!listed(expected)) {
            return refuse(listed(received) ? "it was sent a second time" : "it was not requested");
        }
        check.path = area_dir / std::string(name);
        check.ok = true;
        return check;
    }
    if (!program_expected) return refuse("no program download was requested");
    check.path = program_path;
    check.path += ".part";
    check.ok = true;
    return check;
}

std::uint32_t crc32_of(std::string_view bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    const auto* data = reinterpret_cast<const Bytef*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        const auto chunk = static_cast<uInt>(std::min<std::size_t>(left, 1u << 30));
        crc = crc32(crc, data, chunk);
        data += chunk;
        left -= chunk;
    }
    return static_cast<std::uint32_t>(crc);
}

std::uint32_t crc32_of_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return 0;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return 0;
    return crc32_of(bytes);
}

std::optional<std::uint32_t> parse_crc(std::string_view text) {
    std::size_t pos = 0;
    auto value = read_signed(text, pos);
    if (!value || pos != text.size()) return std::nullopt;
    if (*value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

}  // namespace zs::net
