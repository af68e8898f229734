// The client's side of the protocol as a pure state machine: bytes from the
// server in, messages to send and events out. It answers the welcome with the
// pending request, acknowledges data messages, receives files through a
// FileStore (written to a temporary file, renamed into place only when whole)
// and refuses what a sound client must not accept. No sockets and no threads
// here: the Connection runs it on its I/O thread, tests and the fuzzer drive
// it directly.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "net/protocol.h"

namespace zs::net {

// What the welcome is answered with.
enum class Request { none = 0, update_check = 1, login = 2, program_download = 3 };

struct Credentials {
    std::string user;
    std::string password;
};
// Why credentials cannot be sent (a blank, "#" or 0x03 in them, empty, or
// longer than 255 characters); empty when they can.
std::string credentials_problem(const Credentials& credentials);

// Events, in the order they happen. The window thread gets them queued.
struct Welcomed {
    int connection = 0;
};
struct LoginReply {
    bool accepted = false;
};
struct CrcReply {
    bool unsupported = false;
    std::uint32_t crc = 0;
};
struct SizeReply {
    bool unsupported = false;
    long long size = 0;
};
struct StatusText {
    std::string text;
};  // for the status box
struct FileProgress {
    std::string name;  // as the server gave it
    FileKind kind = FileKind::world;
    int percent = 0;  // 0..100, computed in 64 bits
};
struct FileReceived {  // complete and renamed into place
    std::string name;
    FileKind kind = FileKind::world;
    std::filesystem::path path;
    long long size = 0;
};
struct FileFailed {    // refused or aborted; nothing left under a real name
    std::string name;  // may be empty when no name was read
    std::string reason;
};
struct InstallUpdate {  // a program file arrived whole, one second ago
    std::filesystem::path part_path;
    long long size = 0;
};
// Every file of the outstanding request arrived, or the server went quiet
// for the idle timeout before it sent them: `missing` names the others
// ("31.zon"). The connection stays open.
struct RequestEnded {
    std::vector<std::string> missing;
};
struct Disconnected {
    std::string reason;
};  // empty for an orderly end
using Event = std::variant<Welcomed, LoginReply, CrcReply, SizeReply, StatusText, FileProgress,
                           FileReceived, FileFailed, InstallUpdate, RequestEnded, Disconnected>;

// Where received files are written. The disk store writes "<path>.download"
// beside the final path and renames it over the final path on commit.
class FileStore {
public:
    virtual ~FileStore() = default;
    // Opens a new temporary file for `final_path`; false when it cannot.
    virtual bool begin(const std::filesystem::path& final_path) = 0;
    virtual bool append(std::string_view bytes) = 0;
    // Closes and renames into place; false when that fails.
    virtual bool commit() = 0;
    // Closes and deletes the temporary file.
    virtual void discard() = 0;
};
std::unique_ptr<FileStore> make_disk_store();

// Where received files go.
struct Places {
    std::filesystem::path area_dir;      // area files
    std::filesystem::path program_path;  // the running program ("<it>.part")
};

// How long each wait may last. None is longer than 30 s by default.
struct Timeouts {
    std::chrono::milliseconds connect{10000};  // resolve and connect
    std::chrono::milliseconds welcome{10000};  // connected, no "WLC" yet
    std::chrono::milliseconds reply{15000};    // "LGN"/"RCC" sent, no answer yet
    std::chrono::milliseconds idle{30000};     // a request or a file outstanding, nothing arrives
    std::chrono::milliseconds ayr{10000};      // an "AYR" waiting for the welcome
};

class ClientProtocol {
public:
    using Send = std::function<void(std::string framed)>;
    using Emit = std::function<void(Event)>;
    ClientProtocol(FileStore& store, Places places, Timeouts timeouts, Send send, Emit emit);

    // Before the connection opens: what the welcome is answered with (the
    // request list with Request::login is sent right after the login reply
    // when not empty; none of the flows does that today).
    void set_pending(Request request, Credentials credentials);

    // Bytes received, in order. Everything they complete is handled at once.
    void receive(std::string_view bytes);
    // Time passes: every wait above is checked (an expired one breaks the
    // connection with a status text saying which wait), a pending "AYR" is
    // answered once the welcome gave a connection number of 2 or more, and
    // an update's install is announced one second after its last data
    // message. The Connection calls it at least every 10 ms.
    void tick(std::chrono::steady_clock::time_point now);
    // The socket connected at `now` (the welcome's wait starts).
    void connected(std::chrono::steady_clock::time_point now);
    // The connection ended (orderly or not): an unfinished file is discarded.
    void closed(const std::string& reason);

    int connection() const { return connection_; }
    bool welcomed() const { return connection_ >= 0 && welcomed_; }
    bool transfer_active() const { return active_; }
    // True when the connection must close: the stream cannot be read on, a
    // wait ran out, or the server ended it. `broken_reason()` says why.
    bool broken() const { return broken_; }
    const std::string& broken_reason() const { return broken_reason_; }

    // Requests on an open connection (after the welcome). A download request
    // names the files it expects (its request list); files of its zones are
    // accepted, and RequestEnded follows when all of them arrived.
    void send_download(const Credentials& credentials, std::string_view request_list);
    void send_program_download();
    void send_update_check();
    void send_login(const Credentials& credentials);

private:
    // (implementation state: decoder, transfer state, pending AYR, install
    // deadline, ...)
    FileStore& store_;
    Send send_;
    Emit emit_;
    int connection_ = -1;
    bool welcomed_ = false;
    bool active_ = false;
    bool broken_ = false;
    std::string broken_reason_;
};

}  // namespace zs::net
