// The server link as the builder sees it, run on the window thread: the login
// state and its texts, the Download dialog's request, the routing of progress
// to its bars and what became of each file, the downloaded files loaded into
// the workspace, the start-up update check with its status, and the program
// download. It owns the Connection; the connection's events come back through
// a bounded queue and handle(), which the window calls on its own thread.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/area_io.h"
#include "net/connection.h"
#include "net/download_report.h"
#include "net/event_queue.h"

namespace zs {
class Workspace;
}

namespace zs::net {

// The host, port, waits and the start-up check, read from "ZonesmithServer.txt"
// in the area directory (lines "Host: NAME", "Port: N", "Check: 0|1",
// "Timeout: SECONDS"); the environment variable ZONESMITH_UPDATE_CHECK=0 turns
// the check off (tests and CI set it). Without a host no server is set up:
// nothing connects, and the start-up check is not made.
struct LinkSettings {
    Endpoint endpoint{"", kDefaultPort};
    bool check_at_start = true;
    // "Timeout": every wait for the server, in seconds; 0 when the file
    // names none, and the waits keep their own lengths.
    int timeout_seconds = 0;
    Timeouts timeouts;
    // A server is set up: a host that is not the placeholder.
    bool configured() const;
};
// The host that server files of earlier versions named when no server was
// set up. It stands for none.
inline constexpr std::string_view kPlaceholderHost = "quor.example.net";
// "Timeout" takes 1 to 3600 seconds.
inline constexpr int kMaxTimeoutSeconds = 3600;
// The server file is read only when it is a regular file of at most 64 KiB;
// a real one is four short lines.
inline constexpr TextFileKind kServerSettingsFile{"a server settings file", std::size_t{64} << 10};
// A missing file gives the defaults. So does one that cannot be read (not a
// regular file, larger than kServerSettingsFile allows, a read error), and
// `problem` (when given) then gets a message naming it and the cause; it is
// left empty otherwise. ZONESMITH_UPDATE_CHECK=0 turns the check off.
LinkSettings read_link_settings(const std::filesystem::path& dir, std::string* problem = nullptr);
// The file's own values, whatever the environment says (what Server
// Settings shows and writes back).
LinkSettings read_link_settings_file(const std::filesystem::path& dir,
                                     std::string* problem = nullptr);
// The file's text: "Host: ", "Port: ", "Check: " and, when set, "Timeout: "
// lines.
std::string link_settings_text(const LinkSettings& settings);
// Writes the server file of `dir` as one change of that file. False, with
// the reason in `problem`, when it could not be written.
bool write_link_settings(const std::filesystem::path& dir, const LinkSettings& settings,
                         std::string* problem = nullptr);
// The settings with "Timeout" applied to every wait.
void set_timeout(LinkSettings& settings, int seconds);

enum class LoginState { logged_out = 0, logging_in = 1, logged_in = 2, failed = 3 };
enum class UpdateStatus { up_to_date = 0, not_up_to_date = 1, unknown = 2, checking = 3 };

// "Login timed out." / "Logged out." / "Logging in..." / "Login succeeded." /
// "Authentication failed." for the dialog; the status box's texts.
std::string login_dialog_text(LoginState state, LoginState from);
std::string login_status_text(LoginState state, LoginState from);
// The menu bar's status item ("    Zonesmith is not up to date." ...), empty
// for up to date.
std::string update_status_text(UpdateStatus status);

// Where a progress report goes in the Download dialog: the row whose zone
// field's text equals the name up to its first "." and the column of the
// name's last letter (0 Wld, 1 Mob, 2 Obj, 3 Zon); row -1 when none matches.
struct BarPlace {
    int row = -1;
    int column = -1;
};
BarPlace bar_for(std::string_view file_name, const std::vector<std::string>& zone_fields);
// "Status: %d%% complete." and "Receiving: %s" / "%s received".
std::string download_status_text(int percent);
std::string receiving_text(std::string_view name, int percent);

// What the window shows; every call comes on the window thread.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    virtual void login_state_changed(LoginState /*state*/, const std::string& /*dialog_text*/) {}
    virtual void open_download_dialog() {}
    virtual void download_progress(const FileProgress& /*progress*/) {}
    // What became of a file of the download ("31.wld: failed: the server
    // skipped from block 2 to 4"), the words the command line prints.
    virtual void download_result(const std::string& /*line*/) {}
    // The request is over: the summary, and whether every file arrived.
    virtual void download_finished(const std::string& /*summary*/, bool /*complete*/) {}
    virtual void update_status_changed(UpdateStatus /*status*/) {}
    virtual void update_progress(int /*percent*/) {}
    // The program download failed or its file was not what the server
    // announced (the ".part" is deleted already).
    virtual void update_failed(const std::string& /*reason*/) {}
    // The downloaded program checked out (size and CRC-32): install it.
    virtual void install_update(const InstallUpdate& /*update*/) {}
};

class ServerLink {
public:
    // `post` runs a function on the caller's (window) thread later, queued;
    // the connection's events wait in a bounded queue (its I/O thread waits
    // while the queue is full) and are handed to handle() through it.
    using Post = std::function<void(std::function<void()>)>;
    ServerLink(Workspace& ws, LinkSettings settings, Post post);
    ~ServerLink();

    void set_observer(LinkObserver* observer) { observer_ = observer; }
    const LinkSettings& settings() const { return settings_; }
    // New settings (Server Settings): the next connection uses them; one
    // that is open goes on as it is.
    void set_settings(LinkSettings settings) { settings_ = std::move(settings); }
    LoginState login_state() const { return login_state_; }
    UpdateStatus update_status() const { return update_status_; }
    bool connected() const;
    const Credentials& credentials() const { return credentials_; }

    // "&Download Area Files...": what the menu command does now.
    enum class DownloadCommand { open_login, open_download, busy };
    DownloadCommand download_command();  // sets the open-download-after-login flag

    // The Login button: stores the credentials and, when no connection
    // exists, connects and logs in. False (with the reason on the status box)
    // when the credentials cannot be sent or no server is set up.
    bool login(Credentials credentials);
    // The Download button. The rows' request list is sent on the open
    // connection.
    enum class DownloadStart { sent, empty_list, logged_out, logging_in };
    DownloadStart download(const std::vector<DownloadRow>& rows);

    // The start-up check with the running program's CRC (0: unreadable).
    // Without a server set up nothing is done: no connection, no status.
    void start_update_check(std::uint32_t own_crc);
    // The update, after the builder said Yes: DLW on the open connection, or
    // a new connection that sends it after the welcome.
    void start_update();
    // Cancel in the update dialog: the program download stops and its
    // ".part" is deleted. A connection made for the update ends; a login's
    // stays open and only drops the program file.
    void cancel_update();
    // Ends the connection (on the window thread).
    void disconnect();

    // One event of the connection, on the window thread.
    void handle(const Event& event);
    // Events in the order they came.
    void handle_all(std::deque<Event> events);

    // The server's CRC-32 of its program file, once a reply gave it.
    std::optional<std::uint32_t> server_crc() const { return server_crc_; }
    // Tests: the program file and its CRC instead of the running program's.
    void set_program_path(std::filesystem::path path) { program_path_ = std::move(path); }
    void set_own_crc(std::function<std::uint32_t()> crc) { own_crc_ = std::move(crc); }

private:
    // What the current connection was made for.
    enum class Purpose { none, login, update_check, program_download };

    // The program file a download replaces.
    std::filesystem::path program() const;
    void set_login_state(LoginState state);
    void set_update_status(UpdateStatus status);
    void connect(Request request, Purpose purpose);
    void drop_connection();
    void judge(bool same, bool own_bad, bool server_unknown);
    void after_check_reply();
    void fail_update(const std::string& reason);
    void load_downloaded(const FileReceived& file);
    // The connection's queued events, taken once no event is being handled.
    void take_events();
    void run_waiting();
    // Hands an event to the download's report: its lines and, once the
    // request is over, its summary.
    void report(const Event& event);
    void on(const Welcomed&);
    void on(const LoginReply& reply);
    void on(const CrcReply& reply);
    void on(const SizeReply& reply);
    void on(const StatusText& text);
    void on(const FileProgress& progress);
    void on(const FileReceived& file);
    void on(const FileFailed& failed);
    void on(const InstallUpdate& update);
    void on(const RequestEnded& ended);
    void on(const Disconnected& disconnected);

    Workspace& ws_;
    LinkSettings settings_;
    Post post_;
    LinkObserver* observer_ = nullptr;
    LoginState login_state_ = LoginState::logged_out;
    UpdateStatus update_status_ = UpdateStatus::unknown;
    Credentials credentials_;
    bool open_download_after_login_ = false;
    std::unique_ptr<Connection> connection_;
    std::shared_ptr<EventQueue> events_;  // the connection's, shared with its listener
    Purpose purpose_ = Purpose::none;
    bool welcomed_ = false;  // the current connection's welcome came
    std::optional<DownloadReport> report_;
    // Counts connections: events of an earlier one are ignored.
    std::uint64_t generation_ = 0;
    std::optional<std::uint32_t> server_crc_;
    bool update_pending_ = false;
    bool dlw_after_crc_ = false;
    std::optional<std::filesystem::path> program_path_;
    std::function<std::uint32_t()> own_crc_;
    // Events that came while one was being handled, in order.
    std::deque<Event> waiting_;
    bool handling_ = false;
    bool take_later_ = false;  // events came while one was handled
};

}  // namespace zs::net
