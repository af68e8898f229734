// zonesmith-refserver: a stand-in for the game server's side of the server
// link, written apart from the editor's client so that it catches the
// client's faults instead of sharing them. It serves logins, update checks,
// area downloads and the program file over loopback, one connection at a
// time, and can misbehave on purpose (split or merged writes, duplicate or
// skipped sequence numbers, hostile names, broken headers, stalls, early
// closes, files not asked for or sent twice, floods, keep-alives without
// files, a trickle of data, ...). Every message the client sends is checked against its exact
// format; a deviation is logged to stderr as "refserver: client fault: ...".
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char kEnd = '\x03';
constexpr std::size_t kChunk = 3900;

const char* const kModes[] = {
    "split",           "merge",        "duplicate",    "skip",           "overlong",  "past-end",
    "negative-length", "no-bracket",   "stall",        "close-mid-file", "wrong-crc", "ayr-first",
    "no-welcome",      "garbage-code", "reject-login", "extra-kind",     "resend",    "flood",
    "keep-alive",      "trickle",      "login-first"};

struct Options {
    int port = 0;
    fs::path accounts, areas, program;
    long connections = -1;  // -1: forever
    std::set<std::string> modes;
    std::optional<std::string> name;  // name=TEXT
    int ack_timeout_ms = 5000;
    int flood_seconds = 10;
    bool quiet = false;  // log only the client's faults and the server's own troubles
    unsigned seed = 1;
};

void log(const std::string& text) {
    std::cerr << "refserver: " << text << '\n' << std::flush;
}
void fault(const std::string& text) {
    log("client fault: " + text);
}

// What is printable of a message, for the log.
std::string shown(std::string_view text) {
    std::string s;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 32 && u < 127) {
            s += c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", u);
            s += buf;
        }
    }
    return s;
}

// A file's bytes, kept from one request to the next while the file's size
// and time stay (a benchmark asks for the same large file again and again).
const std::string* read_file(const fs::path& path) {
    struct Kept {
        std::uintmax_t size = 0;
        fs::file_time_type time;
        std::string bytes;
    };
    static std::map<fs::path, Kept> kept;
    std::error_code ec;
    std::uintmax_t size = fs::file_size(path, ec);
    fs::file_time_type time = fs::last_write_time(path, ec);
    if (ec || !fs::is_regular_file(path)) return nullptr;
    auto it = kept.find(path);
    if (it != kept.end() && it->second.size == size && it->second.time == time)
        return &it->second.bytes;
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    Kept k{size, time, std::string(size, '\0')};
    if (!in.read(k.bytes.data(), static_cast<std::streamsize>(size))) return nullptr;
    return &(kept[path] = std::move(k)).bytes;
}

std::map<std::string, std::string> read_accounts(const fs::path& path) {
    std::map<std::string, std::string> accounts;
    std::ifstream in(path);
    std::string user, password;
    while (in >> user >> password)
        accounts[user] = password;
    return accounts;
}

std::uint32_t crc_of(const std::string& bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
        uInt n = static_cast<uInt>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data() + done), n);
        done += n;
    }
    return static_cast<std::uint32_t>(crc);
}

// A data message's header.
std::string dat_header(long seq, long length) {
    return "DAT" + std::to_string(seq) + " " + std::to_string(length) + "] ";
}

// One message to send.
struct Outgoing {
    std::string head;          // the header (and a name message's name and NUL)
    std::string_view payload;  // the data bytes that follow it
    bool wait_ack = true;      // lock-step: wait for its acknowledgement
    long ack_bytes = -1;       // the byte count its ACK should carry (-1: any)
    long ack_bytes_alt = -1;
};

// A client message's fields after its code, split at blanks.
std::vector<std::string> fields_of(std::string_view rest) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : rest) {
        if (c == ' ') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

bool is_integer(const std::string& s) {
    if (s.empty()) return false;
    std::size_t i = s[0] == '-' ? 1 : 0;
    if (i == s.size() || s.size() - i > 18) return false;
    for (; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return std::to_string(std::stoll(s)) == s;  // no leading zeros or '+'
}

class Session {
public:
    Session(int fd, int number, const Options& opt)
        : fd_(fd), number_(number), opt_(opt), rng_(opt.seed + static_cast<unsigned>(number)) {
        accounts_ = read_accounts(opt.accounts);
    }

    void run() {
        if (has("login-first")) send_text("LNS" + std::to_string(number_) + " 1");
        if (has("ayr-first")) {
            send_text("AYR 0");
            ayr_outstanding_ = true;
        }
        if (!has("no-welcome")) send_text("WLC" + std::to_string(number_));
        if (has("garbage-code")) send_text("XYZ1");
        auto idle_limit = Clock::now() + std::chrono::seconds(120);
        while (!closed_ && !ended_) {
            std::optional<std::string> msg = next_message(idle_limit);
            if (!msg) break;
            idle_limit = Clock::now() + std::chrono::seconds(120);
            handle(*msg);
        }
        if (ayr_outstanding_) fault("the AYR was never acknowledged");
        log("connection " + std::to_string(number_) + " ended");
    }

private:
    bool has(const char* mode) const { return opt_.modes.count(mode) > 0; }

    // --- writing ---

    bool write_raw(std::string_view bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n < 0) {
                if (errno == EINTR) continue;
                log(std::string("send failed: ") + std::strerror(errno));
                closed_ = true;
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    // Writes one message (or several joined), in small random pieces when
    // splitting.
    bool write(const std::string& bytes) {
        if (!has("split")) return write_raw(bytes);
        std::uniform_int_distribution<int> piece(1, 7);
        std::size_t at = 0;
        while (at < bytes.size()) {
            std::size_t end = std::min(bytes.size(), at + static_cast<std::size_t>(piece(rng_)));
            if (!write_raw(std::string_view(bytes).substr(at, end - at))) return false;
            at = end;
            std::this_thread::sleep_for(std::chrono::microseconds(150));
        }
        return true;
    }

    bool send_text(const std::string& text) {
        if (!opt_.quiet) log("send " + shown(text));
        return write(text + kEnd);
    }

    // --- reading ---

    // Reads what is there within `deadline`; false on a timeout, an error
    // or the client's close (then closed_ is set).
    bool read_some(Clock::time_point deadline) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0) return false;
        pollfd p{fd_, POLLIN, 0};
        int r = ::poll(&p, 1, static_cast<int>(left.count()));
        if (r <= 0) return false;
        char buf[8192];
        ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) return true;
            closed_ = true;
            return false;
        }
        in_.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    // The next text message from the client (without its 0x03).
    std::optional<std::string> next_message(Clock::time_point deadline) {
        if (!queued_.empty()) {
            std::string m = queued_.front();
            queued_.pop_front();
            return m;
        }
        for (;;) {
            if (std::optional<std::string> m = take_message()) return m;
            if (closed_ || !read_some(deadline)) {
                if (in_.size() > in_at_ && closed_)
                    fault("unterminated bytes at the end: " + shown(in_.substr(in_at_)));
                return std::nullopt;
            }
        }
    }

    // Cuts the next complete message from what was read.
    std::optional<std::string> take_message() {
        std::size_t end = in_.find(kEnd, in_at_);
        if (end == std::string::npos) return std::nullopt;
        std::string m = in_.substr(in_at_, end - in_at_);
        in_at_ = end + 1;
        if (in_at_ == in_.size() || in_at_ > 65536) {
            in_.erase(0, in_at_);
            in_at_ = 0;
        }
        if (!opt_.quiet) log("recv " + shown(m));
        if (m.size() > 2048) fault("a message longer than 2048 characters");
        return m;
    }

    // Waits for the ACK of a message; other messages wait for later. `bytes`
    // is the count it should carry (or `alt`); -1 takes any.
    bool wait_ack(const std::string& what, int kind, long bytes, long alt = -1) {
        auto deadline = Clock::now() + std::chrono::milliseconds(opt_.ack_timeout_ms);
        for (;;) {
            std::optional<std::string> m = take_message();
            if (!m) {
                if (!closed_ && read_some(deadline)) continue;
                log("no ACK for " + what + (closed_ ? " (connection closed)" : " (timed out)"));
                return false;
            }
            if (m->compare(0, 3, "ACK") != 0) {
                queued_.push_back(*m);
                continue;
            }
            if (check_ack(*m, what, kind, bytes, alt)) return true;
        }
    }

    // True when the ACK is the transfer's; an AYR's answer is taken aside.
    bool check_ack(const std::string& m, const std::string& what, int kind, long bytes, long alt) {
        std::vector<std::string> f = fields_of(std::string_view(m).substr(3));
        if (f.size() != 3 || !is_integer(f[0]) || !is_integer(f[1]) || !is_integer(f[2])) {
            fault("malformed ACK \"" + shown(m) + "\"");
            return true;
        }
        if (std::stol(f[0]) != number_) fault("ACK with connection " + f[0]);
        long n = std::stol(f[2]);
        if (ayr_outstanding_ && n == 0 && bytes != 0) {
            ayr_outstanding_ = false;
            log("AYR acknowledged");
            return false;
        }
        if (std::stol(f[1]) != kind)
            fault("ACK for " + what + " names kind " + f[1] + ", not " + std::to_string(kind));
        if (bytes >= 0 && n != bytes && n != alt)
            fault("ACK for " + what + " counts " + f[2] + " bytes, not " + std::to_string(bytes));
        return true;
    }

    // --- the messages ---

    void handle(const std::string& m) {
        std::string code = m.substr(0, 3);
        std::vector<std::string> f = fields_of(m.size() > 3 ? m.substr(3) : "");
        auto conn_ok = [&](const std::string& text) {
            if (!is_integer(text) || std::stol(text) != number_)
                fault(code + " with connection \"" + shown(text) + "\"");
        };
        if (code == "ACK") {
            if (f.size() != 3 || !is_integer(f[0]) || !is_integer(f[1]) || !is_integer(f[2])) {
                fault("malformed ACK \"" + shown(m) + "\"");
            } else {
                conn_ok(f[0]);
                if (ayr_outstanding_ && f[2] == "0") {
                    ayr_outstanding_ = false;
                    log("AYR acknowledged");
                }
            }
        } else if (code == "RCC") {
            if (f.size() != 2 || f[1] != "0") fault("malformed RCC \"" + shown(m) + "\"");
            if (!f.empty()) conn_ok(f[0]);
            std::uint32_t crc = 0;
            if (const std::string* bytes = read_file(opt_.program)) crc = crc_of(*bytes);
            if (has("wrong-crc")) crc += 1;
            send_text("CRC0 0 " + std::to_string(crc));
        } else if (code == "LGN") {
            if (f.size() != 3) fault("malformed LGN \"" + shown(m) + "\"");
            if (!f.empty()) conn_ok(f[0]);
            bool ok = f.size() == 3 && credentials_ok(f[1], f[2]) && !has("reject-login");
            send_text("LNS" + std::to_string(number_) + " " + (ok ? "1" : "0"));
        } else if (code == "RDL") {
            download(m);
        } else if (code == "DLW") {
            if (f.size() != 1) fault("malformed DLW \"" + shown(m) + "\"");
            conn_ok(f[0]);
            if (const std::string* bytes = read_file(opt_.program))
                send_file(opt_.program.filename().string(), *bytes, 0);
            else
                log("no program file to send");
        } else {
            fault("unknown message \"" + shown(m) + "\"");
        }
    }

    bool credentials_ok(const std::string& user, const std::string& password) const {
        auto it = accounts_.find(user);
        return it != accounts_.end() && it->second == password;
    }

    // "RDL<conn> <user> <password> #<list>" where the list is "Z L L ... ".
    void download(const std::string& m) {
        std::size_t hash = m.find(" #");
        if (hash == std::string::npos) {
            fault("RDL without \" #\": \"" + shown(m) + "\"");
            return;
        }
        std::vector<std::string> f = fields_of(m.substr(3, hash - 3));
        if (f.size() != 3) {
            fault("malformed RDL \"" + shown(m) + "\"");
            return;
        }
        if (!is_integer(f[0]) || std::stol(f[0]) != number_) fault("RDL with connection " + f[0]);
        if (!credentials_ok(f[1], f[2])) {
            log("RDL with wrong credentials: nothing sent");
            return;
        }
        std::string list = m.substr(hash + 2);
        if (list.empty() || list.back() != ' ') fault("request list without its last blank");
        if (has("keep-alive")) return keep_alive();
        if (has("flood") && !flood()) return;
        std::vector<std::string> items = fields_of(list);
        if (!items.empty() && items.back().empty()) items.pop_back();
        static const std::map<std::string, std::pair<const char*, int>> kLetters = {
            {"W", {".wld", 1}}, {"M", {".mob", 2}}, {"O", {".obj", 3}}, {"Z", {".zon", 4}}};
        // The files asked for, in order.
        std::vector<std::pair<std::string, int>> files;
        std::string zone;
        for (const std::string& item : items) {
            auto letter = kLetters.find(item);
            if (letter == kLetters.end()) {
                if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos) {
                    fault("request list item \"" + shown(item) + "\"");
                    return;
                }
                zone = item;
                continue;
            }
            if (zone.empty()) {
                fault("a letter before any zone in the request list");
                return;
            }
            files.emplace_back(zone + letter->second.first, letter->second.second);
        }
        if (has("extra-kind") && !files.empty()) {
            // Before them, a file of the first zone that was not asked for:
            // the first kind the list left out that there is a file of.
            const std::string first_zone =
                files.front().first.substr(0, files.front().first.find('.'));
            for (const auto& [letter, file] : kLetters) {
                std::string name = first_zone + file.first;
                const std::string* bytes = read_file(opt_.areas / name);
                bool asked = std::any_of(files.begin(), files.end(),
                                         [&](const auto& wanted) { return wanted.first == name; });
                if (asked || !bytes) continue;
                log("sending " + name + ", which was not asked for");
                if (!send_file(name, *bytes, file.second)) return;
                break;
            }
        }
        bool resent = false;
        for (const auto& [name, kind] : files) {
            const std::string* bytes = read_file(opt_.areas / name);
            if (!bytes) {
                log("no " + name + " to send");
                continue;
            }
            if (!send_file(name, *bytes, kind)) return;
            if (has("resend") && !resent) {
                // The same file again at once, each byte changed: a client
                // that takes it replaces the first copy.
                resent = true;
                std::string changed = *bytes;
                for (char& c : changed)
                    c = c == 'Z' ? 'Y' : 'Z';
                log("sending " + name + " a second time");
                if (!send_file(name, changed, kind)) return;
            }
        }
    }

    // Text messages with an unknown code, as fast as the client takes them,
    // for --flood-seconds; false when the client went meanwhile.
    bool flood() {
        log("flooding for " + std::to_string(opt_.flood_seconds) + " s");
        std::string block;
        while (block.size() < 65536)
            block += std::string("XYZ0") + kEnd;
        const auto end = Clock::now() + std::chrono::seconds(opt_.flood_seconds);
        long long blocks = 0;
        while (Clock::now() < end) {
            if (!write_raw(block)) return false;
            ++blocks;
        }
        log("flooded " + std::to_string(blocks * static_cast<long long>(block.size() / 5)) +
            " messages");
        return true;
    }

    // An "AYR" every two seconds and never a file, until the client goes (at
    // most two minutes).
    void keep_alive() {
        const auto end = Clock::now() + std::chrono::seconds(120);
        while (!closed_ && Clock::now() < end) {
            if (!send_text("AYR 0")) break;
            ayr_outstanding_ = true;
            const auto next = Clock::now() + std::chrono::seconds(2);
            while (!closed_ && Clock::now() < next) {
                if (std::optional<std::string> m = take_message())
                    handle(*m);
                else
                    read_some(next);
            }
        }
        log(closed_ ? "the client went during the keep-alives" : "keep-alives ended");
        ayr_outstanding_ = false;
        ended_ = true;
    }

    // Sends a data message's bytes one a second, until the client goes.
    bool trickle(const std::string& bytes) {
        log("trickling " + std::to_string(bytes.size()) + " bytes");
        for (std::size_t at = 0; at < bytes.size() && !closed_; ++at) {
            if (!write_raw(std::string_view(bytes).substr(at, 1))) return false;
            if (at >= 30) {  // the header and a few bytes quickly, then slowly
                auto next = Clock::now() + std::chrono::seconds(1);
                while (!closed_ && Clock::now() < next)
                    read_some(next);
            }
        }
        return !closed_;
    }

    // Sends one file as a data transfer; false when the connection cannot go on.
    bool send_file(std::string name, const std::string& data, int kind) {
        if (opt_.name && !name_used_) {
            name_used_ = true;
            log("announcing " + name + " as " + shown(*opt_.name));
            name = *opt_.name;
        }
        std::vector<Outgoing> msgs;
        long seq = 1;
        {
            Outgoing o;
            std::string header = dat_header(seq++, static_cast<long>(data.size()));
            o.head = header + name + '\0';
            // Split writes cut names too: the client waits for the NUL.
            o.ack_bytes = static_cast<long>(o.head.size());
            o.ack_bytes_alt = o.ack_bytes - 1;  // a client may leave the NUL out
            msgs.push_back(o);
        }
        std::vector<std::string_view> chunks;
        for (std::size_t at = 0; at < data.size(); at += kChunk)
            chunks.push_back(std::string_view(data).substr(at, kChunk));
        static const std::string kPastEnd(100, 'X');
        if (has("past-end")) chunks.push_back(kPastEnd);
        std::size_t half = chunks.size() / 2;  // the stall and close point
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            if (has("skip") && i == 1) ++seq;
            Outgoing o;
            long length = static_cast<long>(chunks[i].size());
            bool first = i == 0;
            if (first && has("overlong")) {
                // The header keeps the chunk's length while fewer bytes
                // follow: the next message's bytes complete it.
                chunks[i] = chunks[i].substr(
                    0, chunks[i].size() > 1000 ? chunks[i].size() - 1000 : chunks[i].size() / 2);
                o.wait_ack = false;
            }
            if (first && has("negative-length")) {
                length = -length;
                o.wait_ack = false;
            }
            o.head = dat_header(seq++, length);
            if (first && has("no-bracket")) {
                o.head = "DAT" + std::to_string(seq - 1) + " " + std::to_string(length) + " ";
                o.wait_ack = false;
            }
            o.payload = chunks[i];
            o.ack_bytes = static_cast<long>(o.head.size() + o.payload.size());
            if (i == chunks.size() - 1 && has("past-end")) o.wait_ack = false;
            msgs.push_back(o);
            if (first && has("duplicate")) {
                msgs.back().wait_ack = false;  // the copy's ACK stands for both
                msgs.push_back(o);
            }
        }
        if (has("skip") && chunks.size() == 1) ++seq;
        std::size_t stop_at = SIZE_MAX;  // the first message not sent
        if (has("stall") || has("close-mid-file")) stop_at = 1 + half + (has("duplicate") ? 1 : 0);
        Outgoing last;
        last.head = dat_header(seq, 0);
        msgs.push_back(last);

        log("sending " + shown(name) + " (" + std::to_string(data.size()) + " bytes, " +
            std::to_string(msgs.size()) + " messages)");
        if (has("merge")) {
            std::string all;
            std::size_t count = std::min(stop_at, msgs.size());
            std::size_t total = 0;
            for (std::size_t i = 0; i < count; ++i)
                total += msgs[i].head.size() + msgs[i].payload.size();
            all.reserve(total);
            for (std::size_t i = 0; i < count; ++i) {
                all += msgs[i].head;
                all += msgs[i].payload;
            }
            if (!write(all)) return false;
            if (stop_at != SIZE_MAX) return stop_or_close();
            // Every message but the duplicate's copy is acknowledged, then the
            // final one twice.
            std::size_t acks = msgs.size() + 1 - (has("duplicate") ? 1 : 0);
            for (std::size_t i = 0; i < acks; ++i)
                if (!wait_ack("merged " + shown(name), kind, -1)) return !closed_;
            return true;
        }
        for (std::size_t i = 0; i + 1 < msgs.size(); ++i) {
            if (i == stop_at) return stop_or_close();
            const Outgoing& o = msgs[i];
            out_.assign(o.head);
            out_.append(o.payload);
            if (has("trickle") && i == 1) {
                if (!trickle(out_)) return abandon(name);
            } else if (!write(out_)) {
                return false;
            }
            std::string what = "DAT" + std::to_string(i) + " of " + shown(name);
            if (o.wait_ack && !wait_ack(what, kind, o.ack_bytes, o.ack_bytes_alt))
                return abandon(name);
        }
        if (!write(last.head)) return false;
        std::string what = "the last DAT of " + shown(name);
        if (!wait_ack(what + " (first)", kind, 0)) return abandon(name);
        if (!wait_ack(what + " (second)", kind, static_cast<long>(last.head.size())))
            return abandon(name);
        log("sent " + shown(name));
        return true;
    }

    // A file whose acknowledgements stopped: the client refused it or broke
    // off; the rest of the request is not sent.
    bool abandon(const std::string& name) {
        log("abandoning " + shown(name));
        return false;
    }

    // The stall keeps the socket open without sending until the client
    // closes it; the early close ends the connection at once.
    bool stop_or_close() {
        if (has("close-mid-file")) {
            log("closing in the middle of a file");
            ended_ = true;
            return false;
        }
        log("stalling");
        auto deadline = Clock::now() + std::chrono::seconds(60);
        while (!closed_ && Clock::now() < deadline) {
            read_some(deadline);
            in_.clear();
            in_at_ = 0;
        }
        ended_ = true;
        return false;
    }

    int fd_;
    int number_;
    const Options& opt_;
    std::mt19937 rng_;
    std::map<std::string, std::string> accounts_;
    std::string in_;
    std::string out_;        // the message being written
    std::size_t in_at_ = 0;  // where the unread part of in_ starts
    std::deque<std::string> queued_;
    bool closed_ = false;  // the client closed or the socket failed
    bool ended_ = false;   // this side ends the connection
    bool ayr_outstanding_ = false;
    bool name_used_ = false;
};

constexpr const char* kUsage =
    "usage: zonesmith-refserver [--port N] [--accounts FILE] [--areas DIR]\n"
    "         [--program FILE] [--connections N] [--ack-timeout MS] [--seed S]\n"
    "         [--flood-seconds N] [--quiet] [--misbehave MODE]...\n"
    "       zonesmith-refserver --help\n";

int usage(const std::string& why) {
    std::cerr << "zonesmith-refserver: " << why << "\n" << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    Options opt;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--quiet") {
            opt.quiet = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (i + 1 >= argc) return usage(a + " needs a value");
        std::string v = argv[++i];
        try {
            if (a == "--port") {
                opt.port = std::stoi(v);
            } else if (a == "--accounts") {
                opt.accounts = v;
            } else if (a == "--areas") {
                opt.areas = v;
            } else if (a == "--program") {
                opt.program = v;
            } else if (a == "--connections") {
                opt.connections = std::stol(v);
            } else if (a == "--ack-timeout") {
                opt.ack_timeout_ms = std::stoi(v);
            } else if (a == "--flood-seconds") {
                opt.flood_seconds = std::stoi(v);
            } else if (a == "--seed") {
                opt.seed = static_cast<unsigned>(std::stoul(v));
            } else if (a == "--misbehave") {
                if (v.rfind("name=", 0) == 0) {
                    opt.name = v.substr(5);
                } else if (std::find(std::begin(kModes), std::end(kModes), v) == std::end(kModes)) {
                    return usage("unknown mode " + v);
                } else {
                    opt.modes.insert(v);
                }
            } else {
                return usage("unknown option " + a);
            }
        } catch (const std::exception&) {
            return usage(a + " needs a number");
        }
    }

    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(opt.port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener, 4) != 0) {
        std::cerr << "zonesmith-refserver: cannot listen on port " << opt.port << ": "
                  << std::strerror(errno) << '\n';
        return 1;
    }
    socklen_t len = sizeof addr;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    std::printf("port %d\n", ntohs(addr.sin_port));
    std::fflush(stdout);

    for (long served = 0; opt.connections < 0 || served < opt.connections; ++served) {
        int fd = ::accept(listener, nullptr, nullptr);
        if (fd < 0) {
            if (errno == EINTR) {
                --served;
                continue;
            }
            std::cerr << "zonesmith-refserver: accept failed: " << std::strerror(errno) << '\n';
            return 1;
        }
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        int number = 41 + static_cast<int>(served);
        log("connection " + std::to_string(number) + " accepted");
        Session(fd, number, opt).run();
        ::close(fd);
    }
    ::close(listener);
    return 0;
}
