// The client's side of the protocol as a pure state machine: bytes from the
// server in, messages to send and events out. It answers the welcome with the
// pending request, acknowledges data messages, receives files through a
// FileStore (written to a temporary file of its own, renamed into place only
// when whole), bounds every wait for the server (a transfer by its progress,
// never by keep-alives) and refuses what a sound client must not accept: a
// file not asked for or sent twice, a login reply before the welcome, a
// broken stream. No sockets and no threads here: the Connection runs it on
// its I/O thread, tests and the fuzzer drive it directly.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
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
struct FileFailed {        // refused or aborted; nothing left under a real name
    std::string name;      // as the server gave it; may be empty when no name was read
    std::string reason;    // why, as a clause ("the server skipped from block 2 to 4")
    bool refused = false;  // the file was not taken at all (not asked for, sent again)
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

// Where received files are written. The disk store creates a temporary file
// of its own beside the final file (exclusively, under a name nothing else
// has, so a stale file or link there is never written through), and on commit
// flushes it, renames it over the final path and flushes the directory. With
// `keep_link`, a final name that is a symbolic link keeps its link and the
// file it names is replaced, as a save does.
class FileStore {
public:
    virtual ~FileStore() = default;
    // Creates a new temporary file for `final_path`; false when it cannot.
    virtual bool begin(const std::filesystem::path& final_path, bool keep_link) = 0;
    virtual bool append(std::string_view bytes) = 0;
    // Puts the file in place; false when that fails (the temporary file is
    // gone then).
    virtual bool commit() = 0;
    // Closes and deletes the temporary file.
    virtual void discard() = 0;
    // Why the last begin, append or commit failed ("No space left on device").
    virtual std::string error() const = 0;
    // What begin found worth telling the builder ("A stale 30.wld.download is
    // left as it is: ..."), once; empty when nothing.
    virtual std::string take_notice() { return {}; }
    // A new request was sent: what begin looked up in the directories once
    // for the files of a request is looked up again.
    virtual void new_request() {}
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
    // A request or a file outstanding and no progress: no file begins, no
    // data of the file arrives. Other messages ("AYR" keep-alives, unknown
    // codes) are not progress.
    std::chrono::milliseconds idle{30000};
    std::chrono::milliseconds ayr{10000};  // an "AYR" waiting for the welcome
};

// The slowest a file may arrive, in bytes a second, measured over each span of
// the idle timeout from the file's start: a server that trickles a file is
// given up on within two spans. 1 KB/s is far below any line a builder works
// over, and a 64 KB area file still comes within a minute at it.
inline constexpr long long kMinTransferRate = 1024;

class ClientProtocol {
public:
    using Send = std::function<void(std::string framed)>;
    using Emit = std::function<void(Event)>;
    ClientProtocol(FileStore& store, Places places, Timeouts timeouts, Send send, Emit emit);

    // Before the welcome: what it is answered with, after what was asked
    // for already. The credentials go with a login.
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
    // True when the connection must close: the stream cannot be read on, a
    // wait ran out, or the server ended it. `broken_reason()` says why.
    bool broken() const { return broken_; }
    const std::string& broken_reason() const { return broken_reason_; }

    // Requests on an open connection (after the welcome). A download request
    // names the files it expects (its request list); exactly those names are
    // accepted, each once, and RequestEnded follows when all of them came.
    void send_download(const Credentials& credentials, std::string_view request_list);
    void send_program_download();
    void send_update_check();
    void send_login(const Credentials& credentials);
    // Cancel of an update: the program file is not wanted any more. A
    // transfer of it under way is read to its end without writing (so the
    // connection stays usable); one not begun is skipped when it comes.
    void abandon_program();

private:
    using Clock = std::chrono::steady_clock;
    // How long a file name without its NUL waits for more bytes.
    static constexpr std::chrono::milliseconds kNameWait{100};
    void drain(bool more_may_come);
    void handle(const Message& message);
    void handle_text(const Message& message);
    void handle_data(const Message& message);
    void begin_file(const Message& message);
    void start_transfer(const Message& message, FileKind kind, std::filesystem::path path);
    void end_file(const Message& message);
    // A file of the request is done with (arrived or failed): RequestEnded
    // once none is left.
    void settle(const std::string& name);
    // The store failed the file in progress: it fails, is read to its end
    // unwritten, and the other files go on.
    void lose_file(const std::string& why);
    void check_progress(Clock::time_point now);
    // Bytes of a data message still arriving are progress too: a message
    // sent a byte at a time is measured as it comes.
    void count_partial();
    void answer_welcome();
    void add_pending(Request request);
    void answer_ayr();
    void send_text(const std::string& text);
    void ack(long long bytes);
    // Ends the file in transfer before its end, as every teardown does
    // (nothing when none is): its temporary file deleted and, when it is
    // still wanted (neither failed by the store already nor the program the
    // builder cancelled), reported failed with `why`. True when it was
    // reported.
    bool drop_transfer(const std::string& why);
    // Stops the file in progress (drop_transfer), says why ("Download of
    // 30.wld stopped: " and `why`) and breaks the connection.
    void abort_transfer(const std::string& why);
    void fail(const std::string& reason);
    void clear_transfer();
    std::vector<std::string> missing_files() const;

    FileStore& store_;
    Places places_;
    Timeouts timeouts_;
    Send send_;
    Emit emit_;
    FrameDecoder decoder_;
    Clock::time_point now_{};

    std::vector<Request> pending_;
    Credentials credentials_;
    std::string pending_list_;  // a download asked for before the welcome
    int connection_ = -1;
    bool connected_ = false;
    Clock::time_point connected_at_{};
    bool welcomed_ = false;

    // Waits: a login or update check without its reply, "AYR"s before the
    // welcome, a request or file with nothing arriving.
    std::string reply_wait_;  // "login" / "update check"; empty when none
    Clock::time_point reply_since_{};
    int ayr_pending_ = 0;
    Clock::time_point ayr_since_{};
    Clock::time_point last_bytes_{};     // anything arrived
    Clock::time_point last_progress_{};  // a request sent, a file begun, data of it

    // The outstanding requests: the file names of download requests still
    // to come and those done with, and a program download.
    std::vector<std::string> expected_;
    std::vector<std::string> settled_;
    bool program_expected_ = false;

    // The file in progress.
    bool active_ = false;
    bool skipping_ = false;      // read to its end, written nowhere
    bool lost_ = false;          // ... because the store failed it
    bool skip_program_ = false;  // the next program file is skipped
    std::string name_;
    FileKind kind_ = FileKind::program;  // also the last file's kind after it ends
    std::filesystem::path path_;
    long long total_ = 0;
    long long received_ = 0;
    long long last_sequence_ = 0;
    long long first_sequence_ = 0;             // the name message's
    std::optional<long long> ended_sequence_;  // the last file's end message's
    int last_percent_ = -1;
    // The span in which the file must bring kMinTransferRate bytes a second
    // (data messages' bytes on the wire), and the bytes of the message still
    // arriving that were counted already.
    Clock::time_point span_since_{};
    long long span_bytes_ = 0;
    std::size_t counted_ = 0;

    std::optional<InstallUpdate> install_;
    Clock::time_point install_at_{};

    bool broken_ = false;
    bool closed_ = false;
    std::string broken_reason_;
};

}  // namespace zs::net
