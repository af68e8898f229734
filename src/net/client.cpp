// The client's side of the protocol: answers to the server's messages, the
// file transfer with its acknowledgements, the waits and their timeouts, and
// the disk store that writes a received file beside its final place first.
#include "net/client.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <system_error>

#include "files/area_change.h"
#include "world/box_numbers.h"

namespace zs::net {

namespace {

std::string duration_text(std::chrono::milliseconds ms) {
    const auto count = ms.count();
    if (count % 1000 != 0) return std::to_string(count) + " ms";
    return std::to_string(count / 1000) + (count == 1000 ? " second" : " seconds");
}

std::vector<std::string> tokens(std::string_view text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(' ', pos);
        if (end == std::string_view::npos) end = text.size();
        if (end > pos) out.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return out;
}

std::optional<long long> number(const std::vector<std::string>& fields, std::size_t i) {
    return i < fields.size() ? box_number(fields[i]) : std::nullopt;
}

std::string field_problem(const std::string& value, const char* what) {
    const std::string name(what);
    if (value.empty()) return "The " + name + " is empty.";
    if (value.size() > 255) return "The " + name + " is longer than 255 characters.";
    for (char c : value) {
        auto u = static_cast<unsigned char>(c);
        if (c == ' ' || c == '#' || u < 0x20 || u == 0x7f) {
            return "The " + name + " may not contain blanks, \"#\" or control characters.";
        }
    }
    return {};
}

class DiskStore final : public FileStore {
public:
    DiskStore() : random_(std::random_device{}()) {}
    ~DiskStore() override { discard(); }

    bool begin(const std::filesystem::path& final_path, bool keep_link) override {
        discard();
        given_ = final_path;
        keep_link_ = keep_link;
        final_ = keep_link ? link_target(final_path) : final_path;
        note_stale(final_path);
        // A name of its own beside the final file, created exclusively (as
        // mkstemp does): whatever stands in the directory, a stale file or a
        // link planted there, is never opened.
        static constexpr char kLetters[] =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        std::uniform_int_distribution<std::size_t> letter(0, sizeof kLetters - 2);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string unique = final_.filename().string() + ".";
            for (int i = 0; i < 6; ++i)
                unique += kLetters[letter(random_)];
            temp_ = directory_of(final_) / (unique + ".download");
            fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
            if (fd_ >= 0) return true;
            if (errno != EEXIST) break;
        }
        error_ = std::strerror(errno);
        temp_.clear();
        return false;
    }
    bool append(std::string_view bytes) override {
        if (fd_ < 0) return false;
        while (!bytes.empty()) {
            ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error_ = std::strerror(n == 0 ? ENOSPC : errno);
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
    bool commit() override {
        if (fd_ < 0) return false;
        // On disk before it takes the final name; the rename on disk too.
        bool ok = ::fsync(fd_) == 0;
        if (!ok) error_ = std::strerror(errno);
        if (::close(fd_) != 0 && ok) {
            error_ = std::strerror(errno);
            ok = false;
        }
        fd_ = -1;
        if (ok && keep_link_) return place_area_file();
        if (ok && std::rename(temp_.c_str(), final_.c_str()) != 0) {
            error_ = std::strerror(errno);
            ok = false;
        }
        if (!ok) {
            ::unlink(temp_.c_str());
            temp_.clear();
            return false;
        }
        temp_.clear();
        flush_directory(directory_of(final_));
        return true;
    }
    void discard() override {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        if (!temp_.empty()) {
            ::unlink(temp_.c_str());
            temp_.clear();
        }
    }
    std::string error() const override { return error_; }
    std::string take_notice() override { return std::exchange(notice_, {}); }
    void new_request() override { downloads_in_.clear(); }

private:
    // An area file takes its place as every change of the area directory
    // does: in turn with the editor's own saves, its directory flushed, a
    // symbolic link at its name kept.
    bool place_area_file() {
        AreaChange change(directory_of(given_));
        if (!change.adopt(temp_, given_.filename().string())) {
            error_ = std::strerror(errno);
            ::unlink(temp_.c_str());
            temp_.clear();
            return false;
        }
        temp_.clear();  // the change has it now, and removes it when not made
        ChangeResult placed = change.commit();
        if (!placed.made) error_ = save_error_text(placed.error);
        return placed.made;
    }

    // A temporary file of the name earlier versions used ("30.wld.download")
    // is never used now; one found there is reported and left alone.
    void note_stale(const std::filesystem::path& final_path) {
        note_left_over(final_path);
        std::filesystem::path stale = final_path;
        stale += ".download";
        struct stat st {};
        if (::lstat(stale.c_str(), &st) != 0) return;
        const char* what = S_ISLNK(st.st_mode)    ? "it is a symbolic link"
                           : !S_ISREG(st.st_mode) ? "it is not a regular file"
                           : st.st_nlink > 1      ? "it is a hard link to another file"
                                                  : "it is left from an earlier download";
        notice_ = "A stale " + stale.filename().string() + " is left as it is: " + what + ".";
    }

    // Temporary files of this form ("30.wld.AbC123.download") that a download
    // cut off by a crash left behind: never used again, and told of. The
    // directory is read once per request: an area directory can be large.
    void note_left_over(const std::filesystem::path& final_path) {
        const std::string prefix = final_path.filename().string() + ".";
        const std::vector<std::string>& downloads = downloads_in(directory_of(final_path));
        const auto found = std::count_if(downloads.begin(), downloads.end(), [&](const auto& name) {
            return name.size() == prefix.size() + 6 + 9 && name.starts_with(prefix);
        });
        if (found == 0) return;
        const bool one = found == 1;
        notice_ = std::to_string(found) + (one ? " file " : " files ") + prefix +
                  "*.download, left by a download that was cut off, " + (one ? "is" : "are") +
                  " left alone; delete " + (one ? "it" : "them") + " when no download runs.";
    }

    // The names ending in ".download" in the directory, as it was when this
    // request first wrote there.
    const std::vector<std::string>& downloads_in(const std::filesystem::path& dir) {
        auto [it, fresh] = downloads_in_.try_emplace(dir);
        if (!fresh) return it->second;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
            std::string name = entry.path().filename().string();
            if (name.ends_with(".download")) it->second.push_back(std::move(name));
        }
        return it->second;
    }

    std::map<std::filesystem::path, std::vector<std::string>> downloads_in_;
    std::mt19937 random_;
    int fd_ = -1;
    bool keep_link_ = false;
    std::filesystem::path given_, final_, temp_;
    std::string error_, notice_;
};

}  // namespace

std::unique_ptr<FileStore> make_disk_store() {
    return std::make_unique<DiskStore>();
}

std::string credentials_problem(const Credentials& credentials) {
    std::string problem = field_problem(credentials.user, "user name");
    if (problem.empty()) problem = field_problem(credentials.password, "password");
    return problem;
}

ClientProtocol::ClientProtocol(FileStore& store, Places places, Timeouts timeouts, Send send,
                               Emit emit)
    : store_(store),
      places_(std::move(places)),
      timeouts_(timeouts),
      send_(std::move(send)),
      emit_(std::move(emit)) {}

void ClientProtocol::set_pending(Request request, Credentials credentials) {
    if (request == Request::login || request == Request::none)
        credentials_ = std::move(credentials);
    add_pending(request);
}

void ClientProtocol::add_pending(Request request) {
    // Requests made before the welcome wait for it together, in order: a
    // login asked for while an update check connects does not replace it.
    if (request != Request::none &&
        std::find(pending_.begin(), pending_.end(), request) == pending_.end()) {
        pending_.push_back(request);
    }
}

void ClientProtocol::connected(Clock::time_point now) {
    now_ = now;
    connected_ = true;
    connected_at_ = now;
}

void ClientProtocol::receive(std::string_view bytes) {
    if (broken_) return;
    last_bytes_ = now_;
    decoder_.feed(bytes);
    drain(true);
    count_partial();
}

void ClientProtocol::count_partial() {
    const std::size_t pending = decoder_.pending_data();
    if (pending > counted_) {
        span_bytes_ += static_cast<long long>(pending - counted_);
        if (active_) last_progress_ = now_;
    }
    counted_ = pending;
}

void ClientProtocol::drain(bool more_may_come) {
    while (!broken_) {
        FrameDecoder::Repeats repeats;
        if (active_)
            repeats.name_sequence = first_sequence_;
        else
            repeats.end_sequence = ended_sequence_;
        auto message = decoder_.next(!active_, repeats, more_may_come);
        if (!message) break;
        handle(*message);
    }
}

void ClientProtocol::handle(const Message& message) {
    switch (message.type) {
        case Message::Type::text:
            handle_text(message);
            break;
        case Message::Type::data:
            span_bytes_ +=
                static_cast<long long>(message.wire_bytes - std::min(counted_, message.wire_bytes));
            counted_ = 0;
            handle_data(message);
            break;
        case Message::Type::malformed:
            if (active_) {
                abort_transfer("the server sent " + message.error);
            } else {
                const std::string reason =
                    "The server sent " + message.error + "; the connection cannot be read on.";
                // A file that could not even be named still failed.
                if (message.code == "DAT")
                    emit_(FileFailed{{}, "the server sent " + message.error});
                emit_(StatusText{reason});
                fail(reason);
            }
            break;
    }
}

void ClientProtocol::handle_text(const Message& message) {
    if (message.text.size() < 4) return;
    const std::vector<std::string> fields = tokens(std::string_view(message.text).substr(3));
    const std::string& code = message.code;
    if (code == "WLC") {
        auto number_field = number(fields, 0);
        if (!number_field || *number_field < std::numeric_limits<int>::min() ||
            *number_field > std::numeric_limits<int>::max()) {
            emit_(StatusText{"The server's welcome carried no connection number."});
            return;
        }
        connection_ = static_cast<int>(*number_field);
        const bool first = !welcomed_;
        welcomed_ = true;
        if (first) emit_(Welcomed{connection_});
        answer_welcome();
        if (ayr_pending_ > 0 && connection_ >= 2) answer_ayr();
    } else if (code == "LNS") {
        if (!welcomed_) {
            // No login can have been sent yet: a reply now is not one.
            const std::string reason = "The server sent a login reply before its welcome.";
            emit_(StatusText{reason});
            fail(reason);
            return;
        }
        auto accepted = number(fields, 1);
        if (!accepted) {
            emit_(StatusText{"The server's login reply could not be read."});
            return;
        }
        reply_wait_.clear();
        emit_(LoginReply{*accepted != 0});
    } else if (code == "CRC") {
        auto unsupported = number(fields, 1);
        auto crc = fields.size() > 2 ? parse_crc(fields[2]) : std::nullopt;
        if (!unsupported || !crc) {
            emit_(StatusText{"The server's program check reply could not be read."});
            return;
        }
        reply_wait_.clear();
        emit_(CrcReply{*unsupported != 0, *crc});
    } else if (code == "SIZ") {
        auto unsupported = number(fields, 1);
        auto size = number(fields, 2);
        if (!unsupported || !size) {
            emit_(StatusText{"The server's program size reply could not be read."});
            return;
        }
        reply_wait_.clear();
        emit_(SizeReply{*unsupported != 0, *size});
    } else if (code == "LMD") {
        // No request of this client asks for it.
    } else if (code == "AYR") {
        if (ayr_pending_++ == 0) ayr_since_ = now_;
        if (connection_ >= 2) answer_ayr();
    } else {
        emit_(StatusText{"Updater: Invalid message code received."});
    }
}

void ClientProtocol::answer_welcome() {
    const std::vector<Request> requests = std::move(pending_);
    pending_.clear();
    for (Request request : requests) {
        switch (request) {
            case Request::none:
                break;
            case Request::update_check:
                send_update_check();
                break;
            case Request::login:
                send_login(credentials_);
                break;
            case Request::program_download:
                send_program_download();
                break;
        }
    }
    if (!pending_list_.empty()) {
        std::string list = std::move(pending_list_);
        pending_list_.clear();
        send_download(credentials_, list);
    }
}

void ClientProtocol::answer_ayr() {
    for (; ayr_pending_ > 0; --ayr_pending_)
        ack(0);
}

void ClientProtocol::send_text(const std::string& text) {
    send_(frame(text));
}

void ClientProtocol::ack(long long bytes) {
    send_text(ack_text(connection_, static_cast<int>(kind_), bytes));
}

void ClientProtocol::send_login(const Credentials& credentials) {
    if (broken_) return;
    if (std::string problem = credentials_problem(credentials); !problem.empty()) {
        emit_(StatusText{problem});
        return;
    }
    if (!welcomed_) {
        set_pending(Request::login, credentials);
        return;
    }
    credentials_ = credentials;
    send_text(lgn_text(connection_, credentials.user, credentials.password));
    reply_wait_ = "login";
    reply_since_ = now_;
}

void ClientProtocol::send_update_check() {
    if (broken_) return;
    if (!welcomed_) {
        add_pending(Request::update_check);
        return;
    }
    send_text(rcc_text(connection_));
    reply_wait_ = "update check";
    reply_since_ = now_;
}

void ClientProtocol::send_program_download() {
    if (broken_) return;
    if (!welcomed_) {
        add_pending(Request::program_download);
        return;
    }
    send_text(dlw_text(connection_));
    store_.new_request();
    program_expected_ = true;
    last_progress_ = now_;
}

void ClientProtocol::send_download(const Credentials& credentials, std::string_view request_list) {
    if (broken_ || request_list.empty()) return;
    if (std::string problem = credentials_problem(credentials); !problem.empty()) {
        emit_(StatusText{problem});
        return;
    }
    credentials_ = credentials;
    if (!welcomed_) {
        pending_list_ = std::string(request_list);
        return;
    }
    send_text(rdl_text(connection_, credentials.user, credentials.password, request_list));
    store_.new_request();
    // A file asked for again may come again.
    for (std::string& name : requested_names(request_list)) {
        std::erase(settled_, name);
        if (std::find(expected_.begin(), expected_.end(), name) == expected_.end())
            expected_.push_back(std::move(name));
    }
    last_progress_ = now_;
}

void ClientProtocol::handle_data(const Message& message) {
    if (!active_ && ended_sequence_ && message.sequence == *ended_sequence_ &&
        message.length == 0 && message.payload.empty()) {
        return;  // the end of the last file again: no acknowledgement
    }
    if (!active_) {
        begin_file(message);
        return;
    }
    if (message.sequence <= last_sequence_) return;  // a repeat: no acknowledgement
    if (message.sequence != last_sequence_ + 1) {
        abort_transfer("the server skipped from block " + std::to_string(last_sequence_) + " to " +
                       std::to_string(message.sequence));
        return;
    }
    last_sequence_ = message.sequence;
    last_progress_ = now_;
    if (message.length == 0) {
        end_file(message);
        return;
    }
    if (received_ + message.length > total_) {
        abort_transfer("block " + std::to_string(message.sequence) + " runs past the announced " +
                       std::to_string(total_) + " bytes");
        return;
    }
    received_ += message.length;
    if (!skipping_) {
        if (total_ > 0) {
            const int percent = static_cast<int>((received_ - message.length) * 100 / total_);
            if (percent != last_percent_) {
                last_percent_ = percent;
                emit_(FileProgress{name_, kind_, percent});
            }
        }
        if (!store_.append(message.payload))
            lose_file("writing its temporary file failed: " + store_.error());
    }
    ack(static_cast<long long>(message.wire_bytes));
}

void ClientProtocol::begin_file(const Message& message) {
    name_ = message.payload;
    if (skip_program_ && kind_of_name(name_) == FileKind::program) {
        // The program the builder cancelled: read past it, writing nothing.
        skip_program_ = false;
        start_transfer(message, FileKind::program, {});
        skipping_ = true;
        return;
    }
    const NameCheck check = check_file_name(name_, expected_, settled_, program_expected_,
                                            places_.area_dir, places_.program_path);
    if (!check.ok) {
        // Anything but a file asked for ends the connection, written nowhere.
        emit_(FileFailed{name_, check.reason, true});
        emit_(StatusText{check.refusal});
        name_.clear();
        fail(check.refusal);
        return;
    }
    // An area file that is a link keeps it; the program's ".part" never
    // writes through one.
    const bool begun = store_.begin(check.path, check.kind != FileKind::program);
    if (std::string notice = store_.take_notice(); !notice.empty()) emit_(StatusText{notice});
    start_transfer(message, check.kind, check.path);
    if (!begun) lose_file("its temporary file could not be created: " + store_.error());
}

void ClientProtocol::lose_file(const std::string& why) {
    store_.discard();
    const std::string text = "Download of " + name_ + " failed: " + why + ".";
    emit_(FileFailed{name_, why});
    emit_(StatusText{text});
    skipping_ = lost_ = true;
}

void ClientProtocol::start_transfer(const Message& message, FileKind kind,
                                    std::filesystem::path path) {
    active_ = true;
    kind_ = kind;
    path_ = std::move(path);
    total_ = message.length;
    received_ = 0;
    last_sequence_ = first_sequence_ = message.sequence;
    ended_sequence_.reset();
    last_percent_ = -1;
    last_progress_ = span_since_ = now_;
    span_bytes_ = 0;
    ack(static_cast<long long>(message.wire_bytes));
}

void ClientProtocol::abandon_program() {
    // A program already whole is still announced: its taker deletes it.
    if (active_ && kind_ == FileKind::program) {
        if (!skipping_) store_.discard();
        skipping_ = true;
    } else if (program_expected_) {
        skip_program_ = true;
    }
    program_expected_ = false;
}

void ClientProtocol::end_file(const Message& message) {
    if (received_ != total_) {
        abort_transfer("it ended after " + std::to_string(received_) + " of " +
                       std::to_string(total_) + " bytes");
        return;
    }
    if (!skipping_ && !store_.commit())
        lose_file("it could not be put in place as " + path_.string() + ": " + store_.error());
    const bool written = !skipping_;
    const bool cancelled = skipping_ && !lost_;  // the program the builder cancelled
    if (written) {
        if (last_percent_ != 100) emit_(FileProgress{name_, kind_, 100});
        emit_(FileReceived{name_, kind_, path_, total_});
    }
    ack(0);
    ack(static_cast<long long>(message.wire_bytes));
    const std::string name = name_;
    const FileKind kind = kind_;
    const auto path = path_;
    const long long size = total_;
    clear_transfer();
    ended_sequence_ = message.sequence;
    if (cancelled) return;
    if (kind == FileKind::program) {
        program_expected_ = false;
        if (written) {
            install_ = InstallUpdate{path, size};
            install_at_ = now_ + std::chrono::seconds(1);
        }
        return;
    }
    settle(name);
}

void ClientProtocol::settle(const std::string& name) {
    const auto it = std::find(expected_.begin(), expected_.end(), name);
    if (it == expected_.end()) return;
    expected_.erase(it);
    settled_.push_back(name);
    if (expected_.empty()) emit_(RequestEnded{});
}

void ClientProtocol::clear_transfer() {
    active_ = false;
    skipping_ = lost_ = false;
    name_.clear();
    path_.clear();
    total_ = received_ = 0;
    last_sequence_ = 0;
    last_percent_ = -1;
}

bool ClientProtocol::drop_transfer(const std::string& why) {
    if (!active_) return false;
    // A file the store had failed already was reported then; the program
    // the builder cancelled is not wanted.
    const bool wanted = !skipping_;
    if (wanted) {
        store_.discard();
        emit_(FileFailed{name_, why});
    }
    clear_transfer();
    return wanted;
}

void ClientProtocol::abort_transfer(const std::string& why) {
    const std::string reason = "Download of " + name_ + " stopped: " + why + ".";
    drop_transfer(why);
    emit_(StatusText{reason});
    fail(reason);
}

void ClientProtocol::fail(const std::string& reason) {
    if (broken_) return;
    broken_ = true;
    broken_reason_ = reason;
}

std::vector<std::string> ClientProtocol::missing_files() const {
    std::vector<std::string> missing = expected_;
    if (program_expected_) {
        std::string name = places_.program_path.filename().string();
        missing.push_back(name.empty() ? std::string("the program file") : name);
    }
    return missing;
}

void ClientProtocol::tick(Clock::time_point now) {
    now_ = now;
    if (install_ && now >= install_at_) {
        emit_(*install_);
        install_.reset();
    }
    if (broken_) return;
    // A file name whose NUL has not come: after a quiet moment it ends
    // where the bytes end (a server may send none).
    if (decoder_.buffered() > 0 && now - last_bytes_ >= kNameWait) {
        drain(false);
        count_partial();
    }
    if (broken_) return;
    auto expire = [&](const std::string& reason) {
        std::string why = reason;
        if (why.ends_with('.')) why.pop_back();
        drop_transfer("the connection ended (" + why + ")");
        emit_(StatusText{reason});
        fail(reason);
    };
    if (connected_ && !welcomed_ && now - connected_at_ > timeouts_.welcome) {
        expire("No welcome from the server within " + duration_text(timeouts_.welcome) + ".");
        return;
    }
    if (!reply_wait_.empty() && now - reply_since_ > timeouts_.reply) {
        expire("No reply from the server to the " + reply_wait_ + " within " +
               duration_text(timeouts_.reply) + ".");
        return;
    }
    if (ayr_pending_ > 0) {
        if (connection_ >= 2) {
            answer_ayr();
        } else if (now - ayr_since_ > timeouts_.ayr) {
            expire(welcomed_ ? "The server asked whether this client is ready, but its welcome "
                               "gave connection number " +
                                   std::to_string(connection_) + ", which cannot answer."
                             : "The server asked whether this client is ready, but no welcome "
                               "came within " +
                                   duration_text(timeouts_.ayr) + ".");
            return;
        }
    }
    check_progress(now);
}

void ClientProtocol::check_progress(Clock::time_point now) {
    const auto idle = timeouts_.idle;
    if (active_) {
        if (now - last_progress_ > idle) {
            abort_transfer("nothing of it arrived for " + duration_text(idle));
            return;
        }
        if (now - span_since_ <= idle) return;
        // The span is over: it must have brought the floor's bytes.
        const long long floor = kMinTransferRate * idle.count() / 1000;
        if (span_bytes_ < floor) {
            abort_transfer("it came slower than " + std::to_string(kMinTransferRate / 1024) +
                           " KB/s (" + std::to_string(span_bytes_) + " bytes in " +
                           duration_text(idle) + ")");
            return;
        }
        span_since_ = now;
        span_bytes_ = 0;
        return;
    }
    if ((expected_.empty() && !program_expected_) || now - last_progress_ <= idle) return;
    std::vector<std::string> missing = missing_files();
    std::string list;
    for (const std::string& name : missing)
        list += (list.empty() ? "" : ", ") + name;
    emit_(StatusText{"No file arrived from the server for " + duration_text(idle) +
                     "; not received: " + list + "."});
    expected_.clear();
    program_expected_ = false;
    emit_(RequestEnded{std::move(missing)});
}

void ClientProtocol::closed(const std::string& reason) {
    if (closed_) return;
    closed_ = true;
    if (install_) {  // the program file is whole: its install need not wait
        emit_(*install_);
        install_.reset();
    }
    const std::string name = name_;
    if (drop_transfer("the connection ended before it was complete"))
        emit_(StatusText{"The connection ended before " + name + " was complete."});
    fail(reason.empty() ? std::string("The connection was closed.") : reason);
    emit_(Disconnected{reason});
}

}  // namespace zs::net
