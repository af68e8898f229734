// The server link's flows on the window thread: login state, download
// requests and their files with what became of each, the update check and
// the program download.
#include "net/server_link.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <system_error>

#include "files/area_change.h"
#include "files/area_files.h"
#include "net/updater.h"
#include "world/box_numbers.h"
#include "world/strfmt.h"
#include "world/workspace.h"

namespace zs::net {

namespace {

constexpr const char* kNoServer = "No game server is set up (File > Server Settings...).";

std::string trim(std::string_view s) {
    std::size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string_view::npos) return {};
    std::size_t b = s.find_last_not_of(" \t\r");
    return std::string(s.substr(a, b - a + 1));
}

const char* kind_word(FileKind kind) {
    switch (kind) {
        case FileKind::world:
            return "rooms";
        case FileKind::mobile:
            return "mobiles";
        case FileKind::object:
            return "objects";
        case FileKind::zone:
            return "zedit";
        case FileKind::program:
            break;
    }
    return "program";
}

TableKind table_of(FileKind kind) {
    switch (kind) {
        case FileKind::mobile:
            return TableKind::Mobile;
        case FileKind::object:
            return TableKind::Object;
        case FileKind::zone:
            return TableKind::Zone;
        default:
            return TableKind::World;
    }
}

}  // namespace

bool LinkSettings::configured() const {
    return !endpoint.host.empty() && endpoint.host != kPlaceholderHost;
}

void set_timeout(LinkSettings& settings, int seconds) {
    settings.timeout_seconds = seconds;
    if (seconds <= 0) {
        settings.timeouts = Timeouts{};
        return;
    }
    std::chrono::milliseconds wait{static_cast<long long>(seconds) * 1000};
    settings.timeouts = {wait, wait, wait, wait, wait};
}

LinkSettings read_link_settings_file(const std::filesystem::path& dir, std::string* problem) {
    LinkSettings settings;
    if (problem) problem->clear();
    const std::filesystem::path path = dir / kServerSettingsFileName;
    ReadFailure why = ReadFailure::None;
    int error = 0;
    std::optional<std::string> data = read_text_file(path, kServerSettingsFile, &why, &error);
    if (!data && problem)
        *problem = text_file_failure_text(why, error, path, kServerSettingsFile, "");
    std::string_view rest = data ? std::string_view(*data) : std::string_view();
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string key = trim(line.substr(0, colon));
        std::string value = trim(line.substr(colon + 1));
        std::optional<long long> number = box_number(value);
        if (key == "Host" && !value.empty()) {
            settings.endpoint.host = value;
        } else if (key == "Port" && number && *number > 0 && *number < 65536) {
            settings.endpoint.port = static_cast<int>(*number);
        } else if (key == "Check" && number) {
            settings.check_at_start = *number != 0;
        } else if (key == "Timeout" && number && *number > 0 && *number <= kMaxTimeoutSeconds) {
            set_timeout(settings, static_cast<int>(*number));
        }
    }
    return settings;
}

LinkSettings read_link_settings(const std::filesystem::path& dir, std::string* problem) {
    LinkSettings settings = read_link_settings_file(dir, problem);
    if (const char* check = std::getenv("ZONESMITH_UPDATE_CHECK");
        check && std::string(check) == "0")
        settings.check_at_start = false;
    return settings;
}

std::string link_settings_text(const LinkSettings& settings) {
    std::string text =
        "Host: " + settings.endpoint.host + "\n" +
        strfmt("Port: %d\nCheck: %d\n", settings.endpoint.port, settings.check_at_start ? 1 : 0);
    if (settings.timeout_seconds > 0) text += strfmt("Timeout: %d\n", settings.timeout_seconds);
    return text;
}

bool write_link_settings(const std::filesystem::path& dir, const LinkSettings& settings,
                         std::string* problem) {
    SaveError error;
    if (save_file_atomically(dir, kServerSettingsFileName, link_settings_text(settings), &error))
        return true;
    if (problem) *problem = save_error_text(error);
    return false;
}

std::string login_dialog_text(LoginState state, LoginState from) {
    switch (state) {
        case LoginState::logged_out:
            return from == LoginState::logging_in ? "Login timed out." : "Logged out.";
        case LoginState::logging_in:
            return "Logging in...";
        case LoginState::logged_in:
            return "Login succeeded.";
        case LoginState::failed:
            return "Authentication failed.";
    }
    return {};
}

std::string login_status_text(LoginState state, LoginState from) {
    switch (state) {
        case LoginState::logged_out:
            return from == LoginState::logging_in ? "Login timed out."
                                                  : "Logged out of Quor server.";
        case LoginState::logging_in:
            return "Logging in to Quor server...";
        case LoginState::logged_in:
            return "Logged in to Quor server.";
        case LoginState::failed:
            return "Authentication failed.";
    }
    return {};
}

std::string update_status_text(UpdateStatus status) {
    switch (status) {
        case UpdateStatus::up_to_date:
            return {};
        case UpdateStatus::not_up_to_date:
            return "    Zonesmith is not up to date.";
        case UpdateStatus::unknown:
            return "    Zonesmith update status is unknown.";
        case UpdateStatus::checking:
            return "    Checking for updates...";
    }
    return {};
}

BarPlace bar_for(std::string_view file_name, const std::vector<std::string>& zone_fields) {
    BarPlace place;
    if (file_name.empty()) return place;
    switch (file_name.back()) {
        case 'd':
            place.column = 0;
            break;
        case 'b':
            place.column = 1;
            break;
        case 'j':
            place.column = 2;
            break;
        case 'n':
            place.column = 3;
            break;
        default:
            return place;
    }
    std::string_view base = file_name.substr(0, file_name.find('.'));
    for (std::size_t row = 0; row < zone_fields.size(); ++row) {
        if (zone_fields[row] == base) {
            place.row = static_cast<int>(row);
            return place;
        }
    }
    place.column = -1;
    return place;
}

std::string download_status_text(int percent) {
    return strfmt("Status: %d%% complete.", percent);
}

std::string receiving_text(std::string_view name, int percent) {
    std::string n(name);
    return percent == 100 ? n + " received" : "Receiving: " + n;
}

ServerLink::ServerLink(Workspace& ws, LinkSettings settings, Post post)
    : ws_(ws), settings_(std::move(settings)), post_(std::move(post)) {}

ServerLink::~ServerLink() {
    drop_connection();
}

std::filesystem::path ServerLink::program() const {
    return program_path_ ? *program_path_ : running_program();
}

bool ServerLink::connected() const {
    return connection_ && connection_->is_open();
}

void ServerLink::set_login_state(LoginState state) {
    LoginState from = login_state_;
    login_state_ = state == LoginState::failed ? LoginState::logged_out : state;
    ws_.ui().show_status(login_status_text(state, from));
    if (observer_) observer_->login_state_changed(state, login_dialog_text(state, from));
}

void ServerLink::set_update_status(UpdateStatus status) {
    update_status_ = status;
    if (observer_) observer_->update_status_changed(status);
}

void ServerLink::connect(Request request, Purpose purpose) {
    drop_connection();
    purpose_ = purpose;
    welcomed_ = false;
    report_.reset();
    std::uint64_t generation = ++generation_;
    Places places{ws_.area_dir(), program()};
    // Events come on the connection's thread and wait in the queue (that
    // thread waits while it is full); the window thread takes them all at
    // once, and only while this connection is still the current one.
    auto queue = std::make_shared<EventQueue>();
    events_ = queue;
    auto listener = [this, generation, queue, post = post_](Event event) {
        if (queue->push(std::move(event)) != EventQueue::Pushed::first) return;
        post([this, generation] {
            if (generation == generation_) take_events();
        });
    };
    connection_ = std::make_unique<Connection>(settings_.endpoint, places, settings_.timeouts,
                                               std::move(listener));
    connection_->open(request, credentials_);
}

void ServerLink::drop_connection() {
    ++generation_;  // whatever the old connection still sends is ignored
    waiting_.clear();
    take_later_ = false;
    // Its thread may wait for room in the queue: closed, it waits no more.
    if (events_) events_->close();
    events_.reset();
    if (connection_) connection_->close();
    connection_.reset();
    purpose_ = Purpose::none;
}

ServerLink::DownloadCommand ServerLink::download_command() {
    switch (login_state_) {
        case LoginState::logging_in:
            return DownloadCommand::busy;
        case LoginState::logged_in:
            return DownloadCommand::open_download;
        default:
            open_download_after_login_ = true;
            return DownloadCommand::open_login;
    }
}

bool ServerLink::login(Credentials credentials) {
    if (!settings_.configured()) {
        ws_.ui().show_status(kNoServer);
        return false;
    }
    if (std::string problem = credentials_problem(credentials); !problem.empty()) {
        ws_.ui().show_status(problem);
        return false;
    }
    credentials_ = std::move(credentials);
    if (connected()) {
        // A connection is open already (a check, or an earlier login): the
        // login goes over it.
        if (login_state_ == LoginState::logging_in) return true;
        purpose_ = Purpose::login;
        set_login_state(LoginState::logging_in);
        Credentials c = credentials_;
        connection_->post([c](ClientProtocol& p) { p.send_login(c); });
        return true;
    }
    set_login_state(LoginState::logging_in);
    connect(Request::login, Purpose::login);
    return true;
}

ServerLink::DownloadStart ServerLink::download(const std::vector<DownloadRow>& rows) {
    if (login_state_ == LoginState::logging_in) return DownloadStart::logging_in;
    if (login_state_ != LoginState::logged_in || !connected()) return DownloadStart::logged_out;
    std::string list = request_list(rows);
    if (list.empty()) return DownloadStart::empty_list;
    if (report_ && !report_->finished())
        report_->add(list);
    else
        report_.emplace(list);
    Credentials c = credentials_;
    connection_->post([c, list](ClientProtocol& p) { p.send_download(c, list); });
    return DownloadStart::sent;
}

void ServerLink::start_update_check(std::uint32_t own_crc) {
    if (!settings_.configured()) return;
    if (own_crc == 0) {
        ws_.ui().show_message("CRC Error, please report this");
        set_update_status(UpdateStatus::unknown);
        return;
    }
    if (connected()) return;
    set_update_status(UpdateStatus::checking);
    connect(Request::update_check, Purpose::update_check);
}

void ServerLink::start_update() {
    update_pending_ = true;
    // The downloaded program is installed only when its CRC-32 is the one
    // the server gives now, so the server is asked for it before the file.
    dlw_after_crc_ = true;
    if (connected()) {
        connection_->post([](ClientProtocol& p) { p.send_update_check(); });
        return;
    }
    if (!settings_.configured()) {
        fail_update(kNoServer);
        return;
    }
    connect(Request::update_check, Purpose::program_download);
}

void ServerLink::cancel_update() {
    if (!update_pending_) return;
    update_pending_ = false;
    dlw_after_crc_ = false;
    if (purpose_ == Purpose::program_download || !connected()) {
        disconnect();  // the connection was made for the update alone
    } else {
        // A login's connection stays: only the program file is dropped.
        connection_->post([](ClientProtocol& p) { p.abandon_program(); });
    }
    std::error_code ec;
    std::filesystem::path part = program();
    part += ".part";
    std::filesystem::remove(part, ec);
}

void ServerLink::disconnect() {
    bool had = connection_ != nullptr;
    drop_connection();
    if (had && login_state_ != LoginState::logged_out) set_login_state(LoginState::logged_out);
    if (update_status_ == UpdateStatus::checking) set_update_status(UpdateStatus::unknown);
}

void ServerLink::judge(bool same, bool own_bad, bool server_unknown) {
    if (own_bad)
        set_update_status(UpdateStatus::not_up_to_date);
    else if (server_unknown)
        set_update_status(UpdateStatus::unknown);
    else
        set_update_status(same ? UpdateStatus::up_to_date : UpdateStatus::not_up_to_date);
}

void ServerLink::after_check_reply() {
    if (dlw_after_crc_ && update_pending_) {
        dlw_after_crc_ = false;
        if (connection_) connection_->post([](ClientProtocol& p) { p.send_program_download(); });
        return;
    }
    // A connection made only for the check ends with its reply.
    if (purpose_ == Purpose::update_check) disconnect();
}

void ServerLink::fail_update(const std::string& reason) {
    update_pending_ = false;
    dlw_after_crc_ = false;
    ws_.ui().show_status(reason);
    if (observer_) observer_->update_failed(reason);
}

void ServerLink::load_downloaded(const FileReceived& file) {
    std::optional<long long> zone_number =
        box_number(std::string_view(file.name).substr(0, file.name.find('.')));
    if (!zone_number) return;
    int zone = static_cast<int>(*zone_number);
    TableKind table = table_of(file.kind);
    if (ws_.has_zone(table, zone)) {
        if (ws_.modified().is_set(table, zone) &&
            !ws_.ui().ask_yes_no(strfmt("Zone %d's %s have unsaved changes in the editor. Replace "
                                        "them with the downloaded %s?",
                                        zone, kind_word(file.kind), file.name.c_str()),
                                 "Download")) {
            ws_.ui().show_status(strfmt("%s downloaded; zone %d's %s in the editor were kept.",
                                        file.name.c_str(), zone, kind_word(file.kind)));
            return;
        }
        unload_zone_of_kind(ws_, table, zone);
    }
    load_area_file(ws_, file.path.string());
}

void ServerLink::handle(const Event& event) {
    waiting_.push_back(event);
    run_waiting();
}

void ServerLink::handle_all(std::deque<Event> events) {
    for (Event& event : events)
        waiting_.push_back(std::move(event));
    run_waiting();
}

void ServerLink::take_events() {
    // While an event is handled (a question or a loader's box runs its own
    // event loop), the connection's events stay in its bounded queue, so
    // that a flood meanwhile fills the queue and not this list.
    if (handling_) {
        take_later_ = true;
        return;
    }
    if (events_) handle_all(events_->take());
}

void ServerLink::run_waiting() {
    // A question or a loader's box opens its own event loop, where the next
    // events arrive: they wait until this one is done, so that files load
    // one after another and their boxes do not pile up.
    if (handling_) return;
    handling_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{handling_};
    for (;;) {
        if (waiting_.empty() && take_later_) {
            take_later_ = false;
            if (events_)
                for (Event& event : events_->take())
                    waiting_.push_back(std::move(event));
        }
        if (waiting_.empty()) break;
        Event next = std::move(waiting_.front());
        waiting_.pop_front();
        std::visit([this](const auto& e) { on(e); }, next);
    }
}

void ServerLink::report(const Event& event) {
    if (!report_) return;
    for (const std::string& line : report_->take(event))
        if (observer_) observer_->download_result(line);
    if (!report_->finished()) return;
    const std::string summary = report_->summary();
    const bool complete = report_->complete();
    report_.reset();
    ws_.ui().show_status(summary);
    if (observer_) observer_->download_finished(summary, complete);
}

void ServerLink::on(const Welcomed&) {
    welcomed_ = true;
}

void ServerLink::on(const LoginReply& reply) {
    if (reply.accepted) {
        set_login_state(LoginState::logged_in);
        if (open_download_after_login_ && observer_) {
            open_download_after_login_ = false;
            observer_->open_download_dialog();
        }
        open_download_after_login_ = false;
        return;
    }
    set_login_state(LoginState::failed);
    drop_connection();
}

void ServerLink::on(const CrcReply& reply) {
    if (reply.unsupported) {
        ws_.ui().show_status("Updater: File type not yet supported.");
        if (update_pending_) fail_update("Updater: File type not yet supported.");
        return;
    }
    server_crc_ = reply.crc;
    std::uint32_t own = own_crc_ ? own_crc_() : running_program_crc();
    judge(own == reply.crc, own == 0, reply.crc == 0);
    after_check_reply();
}

void ServerLink::on(const SizeReply& reply) {
    if (reply.unsupported) return;
    std::error_code ec;
    auto size = std::filesystem::file_size(program(), ec);
    long long own = ec ? 0 : static_cast<long long>(size);
    judge(own == reply.size, own <= 0, reply.size < 1);
    after_check_reply();
}

void ServerLink::on(const StatusText& text) {
    ws_.ui().show_status(text.text);
}

void ServerLink::on(const FileProgress& progress) {
    if (!observer_) return;
    if (progress.kind == FileKind::program)
        observer_->update_progress(progress.percent);
    else
        observer_->download_progress(progress);
}

void ServerLink::on(const FileReceived& file) {
    if (file.kind == FileKind::program) return;  // installed on InstallUpdate
    report(file);
    load_downloaded(file);
}

void ServerLink::on(const FileFailed& failed) {
    if (update_pending_ && kind_of_name(failed.name) == FileKind::program && !failed.name.empty())
        fail_update("The new program did not arrive: " + failed.reason + ".");
    else
        report(failed);
}

void ServerLink::on(const InstallUpdate& update) {
    if (!update_pending_) {
        // Cancelled meanwhile: the file is not wanted.
        std::error_code ec;
        std::filesystem::remove(update.part_path, ec);
        return;
    }
    update_pending_ = false;
    std::string problem = verify_download(update.part_path, update.size, server_crc_);
    if (!problem.empty()) {
        std::error_code ec;
        std::filesystem::remove(update.part_path, ec);
        update_pending_ = true;  // so that fail_update reports it
        fail_update(problem);
        return;
    }
    if (observer_) observer_->install_update(update);
}

void ServerLink::on(const RequestEnded& ended) {
    if (update_pending_ && std::find(ended.missing.begin(), ended.missing.end(),
                                     program().filename().string()) != ended.missing.end()) {
        fail_update("The server did not send the new program.");
        if (purpose_ == Purpose::program_download) disconnect();
        return;
    }
    report(ended);
}

void ServerLink::on(const Disconnected& disconnected) {
    // The connection has ended on its own (the server, an error or a wait).
    bool was_checking = update_status_ == UpdateStatus::checking;
    drop_connection();
    if (login_state_ != LoginState::logged_out) set_login_state(LoginState::logged_out);
    if (was_checking) set_update_status(UpdateStatus::unknown);
    // After the logout's text, so that the status box keeps what became of
    // the download.
    report(disconnected);
    if (!update_pending_) return;
    // Without a welcome the reason says it all ("Could not connect to
    // HOST:PORT: Connection refused.").
    const std::string& why = disconnected.reason;
    if (!welcomed_ && !why.empty())
        fail_update(why);
    else
        fail_update("The connection ended before the update arrived." +
                    (why.empty() ? std::string() : " " + why));
}

}  // namespace zs::net
