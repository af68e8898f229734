// The client's side of the protocol: answers to the server's messages, the
// file transfer with its acknowledgements, the waits and their timeouts, and
// the disk store that writes a received file beside its final place first.
#include "net/client.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <system_error>

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

const char* extension(FileKind kind) {
    switch (kind) {
        case FileKind::world:
            return ".wld";
        case FileKind::mobile:
            return ".mob";
        case FileKind::object:
            return ".obj";
        case FileKind::zone:
            return ".zon";
        case FileKind::program:
            break;
    }
    return "";
}

// The (zone, kind) files a request list asks for.
std::vector<std::pair<int, FileKind>> requested_files(std::string_view list) {
    std::vector<std::pair<int, FileKind>> files;
    int zone = 0;
    for (const std::string& t : tokens(list)) {
        if (t == "W" || t == "M" || t == "O" || t == "Z") {
            if (zone <= 0) continue;
            const FileKind kind = t == "W"   ? FileKind::world
                                  : t == "M" ? FileKind::mobile
                                  : t == "O" ? FileKind::object
                                             : FileKind::zone;
            files.emplace_back(zone, kind);
        } else {
            auto zones = requested_zones(t);
            zone = zones.empty() ? 0 : zones.front();
        }
    }
    return files;
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
    ~DiskStore() override { discard(); }

    bool begin(const std::filesystem::path& final_path) override {
        discard();
        final_ = final_path;
        temp_ = final_path;
        temp_ += ".download";
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
        return fd_ >= 0;
    }
    bool append(std::string_view bytes) override {
        if (fd_ < 0) return false;
        while (!bytes.empty()) {
            ssize_t n = ::write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
    bool commit() override {
        if (fd_ < 0) return false;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        std::error_code ec;
        if (closed) std::filesystem::rename(temp_, final_, ec);
        if (!closed || ec) {
            std::filesystem::remove(temp_, ec);
            return false;
        }
        temp_.clear();
        return true;
    }
    void discard() override {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        if (!temp_.empty()) {
            std::error_code ec;
            std::filesystem::remove(temp_, ec);
            temp_.clear();
        }
    }

private:
    int fd_ = -1;
    std::filesystem::path final_, temp_;
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
    last_arrival_ = now_;
    decoder_.feed(bytes);
    drain(true);
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
            handle_data(message);
            break;
        case Message::Type::malformed:
            if (active_) {
                abort_transfer("Download of " + name_ + " stopped: the server sent " +
                               message.error + ".");
            } else {
                const std::string reason =
                    "The server sent " + message.error + "; the connection cannot be read on.";
                // A file that could not even be named still failed.
                if (message.code == "DAT") emit_(FileFailed{{}, reason});
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
    program_expected_ = true;
    last_arrival_ = now_;
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
    for (int zone : requested_zones(request_list)) {
        if (std::find(zones_.begin(), zones_.end(), zone) == zones_.end()) zones_.push_back(zone);
    }
    for (const auto& file : requested_files(request_list)) {
        if (std::find(expected_.begin(), expected_.end(), file) == expected_.end()) {
            expected_.push_back(file);
        }
    }
    last_arrival_ = now_;
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
        abort_transfer("Download of " + name_ + " stopped: the server skipped from block " +
                       std::to_string(last_sequence_) + " to " + std::to_string(message.sequence) +
                       ".");
        return;
    }
    last_sequence_ = message.sequence;
    if (message.length == 0) {
        end_file(message);
        return;
    }
    if (received_ + message.length > total_) {
        abort_transfer("Download of " + name_ + " stopped: block " +
                       std::to_string(message.sequence) + " runs past the announced " +
                       std::to_string(total_) + " bytes.");
        return;
    }
    if (skipping_) {
        received_ += message.length;
        ack(static_cast<long long>(message.wire_bytes));
        return;
    }
    if (total_ > 0) {
        const int percent = static_cast<int>(received_ * 100 / total_);
        if (percent != last_percent_) {
            last_percent_ = percent;
            emit_(FileProgress{name_, kind_, percent});
        }
    }
    if (!store_.append(message.payload)) {
        abort_transfer("Download of " + name_ + " stopped: writing " + path_.string() +
                       ".download failed.");
        return;
    }
    received_ += message.length;
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
    const bool outstanding = !expected_.empty() || program_expected_;
    const NameCheck check =
        outstanding ? check_file_name(name_, zones_, program_expected_, places_.area_dir,
                                      places_.program_path)
                    : check_file_name(name_, {}, false, places_.area_dir, places_.program_path);
    if (!check.ok) {
        abort_transfer(check.refusal);
        return;
    }
    if (!store_.begin(check.path)) {
        abort_transfer("Download of " + name_ + " failed: " + check.path.string() +
                       ".download could not be created.");
        return;
    }
    start_transfer(message, check.kind, check.path);
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
        abort_transfer("Download of " + name_ + " stopped: it ended after " +
                       std::to_string(received_) + " of " + std::to_string(total_) + " bytes.");
        return;
    }
    if (skipping_) {
        ack(0);
        ack(static_cast<long long>(message.wire_bytes));
        clear_transfer();
        ended_sequence_ = message.sequence;
        return;
    }
    if (!store_.commit()) {
        abort_transfer("Download of " + name_ + " failed: it could not be put in place as " +
                       path_.string() + ".");
        return;
    }
    if (last_percent_ != 100) emit_(FileProgress{name_, kind_, 100});
    emit_(FileReceived{name_, kind_, path_, total_});
    ack(0);
    ack(static_cast<long long>(message.wire_bytes));
    const std::string name = name_;
    const FileKind kind = kind_;
    const auto path = path_;
    const long long size = total_;
    clear_transfer();
    ended_sequence_ = message.sequence;
    if (kind == FileKind::program) {
        program_expected_ = false;
        install_ = InstallUpdate{path, size};
        install_at_ = now_ + std::chrono::seconds(1);
        return;
    }
    if (expected_.empty()) return;
    const auto zone = requested_zones(name.substr(0, name.find('.')));
    if (!zone.empty()) {
        auto it = std::find(expected_.begin(), expected_.end(), std::pair{zone.front(), kind});
        if (it != expected_.end()) expected_.erase(it);
    }
    if (expected_.empty()) {
        zones_.clear();  // files of these zones are no longer asked for
        emit_(RequestEnded{});
    }
}

void ClientProtocol::clear_transfer() {
    active_ = false;
    skipping_ = false;
    name_.clear();
    path_.clear();
    total_ = received_ = 0;
    last_sequence_ = 0;
    last_percent_ = -1;
}

void ClientProtocol::abort_transfer(const std::string& reason) {
    if (active_ && !skipping_) store_.discard();
    emit_(FileFailed{name_, reason});
    emit_(StatusText{reason});
    clear_transfer();
    fail(reason);
}

void ClientProtocol::fail(const std::string& reason) {
    if (broken_) return;
    broken_ = true;
    broken_reason_ = reason;
}

std::vector<std::string> ClientProtocol::missing_files() const {
    std::vector<std::string> missing;
    for (const auto& [zone, kind] : expected_) {
        missing.push_back(std::to_string(zone) + extension(kind));
    }
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
    if (decoder_.buffered() > 0 && now - last_arrival_ >= kNameWait) drain(false);
    if (broken_) return;
    auto expire = [&](const std::string& reason) {
        if (active_) {
            abort_transfer(reason);
            return;
        }
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
    if (now - last_arrival_ <= timeouts_.idle) return;
    if (active_) {
        abort_transfer("Download of " + name_ + " stopped: nothing arrived from the server for " +
                       duration_text(timeouts_.idle) + ".");
    } else if (!expected_.empty() || program_expected_) {
        std::vector<std::string> missing = missing_files();
        std::string list;
        for (const std::string& name : missing)
            list += (list.empty() ? "" : ", ") + name;
        emit_(StatusText{"Nothing arrived from the server for " + duration_text(timeouts_.idle) +
                         "; not received: " + list + "."});
        expected_.clear();
        zones_.clear();
        program_expected_ = false;
        emit_(RequestEnded{std::move(missing)});
    }
}

void ClientProtocol::closed(const std::string& reason) {
    if (closed_) return;
    closed_ = true;
    if (install_) {  // the program file is whole: its install need not wait
        emit_(*install_);
        install_.reset();
    }
    if (active_ && !skipping_) {
        store_.discard();
        const std::string text = "The connection ended before " + name_ + " was complete.";
        emit_(FileFailed{name_, text});
        emit_(StatusText{text});
    }
    clear_transfer();
    fail(reason.empty() ? std::string("The connection was closed.") : reason);
    emit_(Disconnected{reason});
}

}  // namespace zs::net
