// zonesmith-cli download: area files from the game server.
#include "cli/commands.h"

#include <cstdlib>
#include <map>

#include "cli/command.h"
#include "net/connection.h"
#include "net/download_report.h"
#include "net/event_queue.h"
#include "world/box_numbers.h"
#include "world/numbers.h"

namespace zs::cli {

namespace {

// The status texts of the server link on stderr. A text the same as the one
// before is only counted (a server can make the client say one thing a
// million times); the count follows once another text comes or the command
// ends.
class StatusLines {
public:
    explicit StatusLines(std::ostream& err) : err_(err) {}
    ~StatusLines() { flush(); }
    StatusLines(const StatusLines&) = delete;
    StatusLines& operator=(const StatusLines&) = delete;
    void print(const std::string& text) {
        if (count_ > 0 && text == last_) {
            ++count_;
            return;
        }
        flush();
        err_ << "zonesmith-cli: " << text << '\n';
        last_ = text;
        count_ = 1;
    }
    void flush() {
        if (count_ > 1) err_ << "zonesmith-cli: the message above came " << count_ << " times\n";
        count_ = 0;
    }

private:
    std::ostream& err_;
    std::string last_;
    long long count_ = 0;
};

// "ZONE" or "ZONE:KINDS" as a row of the Download dialog; nothing when the
// zone is not 1..999 in digits or a kind is not one of w, m, o, z.
std::optional<net::DownloadRow> download_row(const std::string& arg) {
    std::size_t colon = arg.find(':');
    std::string zone = arg.substr(0, colon);
    if (zone.empty() || zone.size() > 3 ||
        zone.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    int number = *whole_number<int>(zone);
    if (number <= 0) return std::nullopt;
    net::DownloadRow row;
    row.zone = std::to_string(number);  // "030" would name files "030.wld"
    std::string kinds = colon == std::string::npos ? "wmoz" : arg.substr(colon + 1);
    if (kinds.empty()) return std::nullopt;
    for (char k : kinds) {
        switch (k) {
            case 'w':
                row.world = true;
                break;
            case 'm':
                row.mobile = true;
                break;
            case 'o':
                row.object = true;
                break;
            case 'z':
                row.zone_file = true;
                break;
            default:
                return std::nullopt;
        }
    }
    return row;
}

}  // namespace

int download(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    net::Endpoint endpoint{"", net::kDefaultPort};
    net::Credentials credentials;
    fs::path dir = ".";
    std::optional<int> timeout;
    std::vector<net::DownloadRow> rows;
    auto usage = [&](const std::string& why) { return usage_error(err, why); };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool has_value = i + 1 < args.size();
        if (a == "--host" || a == "--user" || a == "--dir") {
            if (!has_value) return usage(a + " needs a value");
            std::string v = args[++i];
            if (a == "--host") endpoint.host = v;
            if (a == "--user") credentials.user = v;
            if (a == "--dir") dir = v;
        } else if (a == "--port" || a == "--timeout") {
            const bool port = a == "--port";
            const long long high = port ? 65535 : 3600;
            long long n = has_value ? box_number(args[i + 1]).value_or(0) : 0;
            if (n < 1 || n > high)
                return usage(port ? "--port needs a port number (1 to 65535)"
                                  : "--timeout needs a number of seconds (1 to 3600)");
            if (port)
                endpoint.port = static_cast<int>(n);
            else
                timeout = static_cast<int>(n);
            ++i;
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option " + a);
        } else if (std::optional<net::DownloadRow> row = download_row(a)) {
            rows.push_back(*row);
        } else {
            return usage(a + " is not ZONE or ZONE:KINDS (a zone from 1 to 999, kinds from wmoz)");
        }
    }
    if (endpoint.host.empty()) return usage("no server given (--host HOST)");
    if (credentials.user.empty()) return usage("no user given (--user USER)");
    if (rows.empty()) return usage("no zones given");
    const char* password = std::getenv("ZONESMITH_PASSWORD");
    if (!password || !*password)
        return usage("no password: set the environment variable ZONESMITH_PASSWORD");
    credentials.password = password;
    if (std::string why = net::credentials_problem(credentials); !why.empty()) return usage(why);
    if (!fs::is_directory(dir)) return usage(dir.string() + " is not a directory");

    const std::string list = net::request_list(rows);
    net::Timeouts timeouts;
    if (timeout) {
        auto t = std::chrono::milliseconds(*timeout * 1000LL);
        timeouts = {t, t, t, t, t};
    }

    net::DownloadReport report(list);
    StatusLines statuses(err);
    net::EventQueue events;
    net::Connection link(endpoint, {dir, dir / "zonesmith"}, timeouts,
                         [&](net::Event e) { events.push(std::move(e)); });
    // However the command ends, the queue lets go of the connection's thread
    // before the connection joins it.
    struct Closing {
        net::Connection& link;
        net::EventQueue& events;
        ~Closing() {
            link.close();
            events.close();
        }
    } closing{link, events};
    link.open(net::Request::login, credentials);
    std::map<std::string, int> shown;  // the last tenth of each file's progress printed
    while (!report.finished()) {
        std::optional<net::Event> next = events.pop();
        if (!next) break;
        const net::Event& event = *next;
        if (auto* reply = std::get_if<net::LoginReply>(&event)) {
            if (!reply->accepted) {
                report.stop("the server refused the login of " + credentials.user);
            } else {
                link.post([&credentials, list](net::ClientProtocol& p) {
                    p.send_download(credentials, list);
                });
            }
        } else if (auto* progress = std::get_if<net::FileProgress>(&event)) {
            int tenth = progress->percent / 10;
            auto [it, fresh] = shown.try_emplace(progress->name, -1);
            if (progress->percent < 100 && tenth > it->second) {
                it->second = tenth;
                out << from_server(progress->name) << ": " << progress->percent << "%\n"
                    << std::flush;
            }
        } else if (auto* status = std::get_if<net::StatusText>(&event)) {
            statuses.print(from_server(status->text));
        }
        // The report escapes what the server named.
        for (const std::string& line : report.take(event))
            out << line << '\n' << std::flush;
    }
    statuses.flush();
    if (report.complete()) return 0;
    err << "zonesmith-cli: " << report.summary() << '\n';
    return 1;
}

}  // namespace zs::cli
