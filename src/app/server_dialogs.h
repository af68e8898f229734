// The server link's dialogs: Server Settings, Login, Download and Update
// Zonesmith. They only show and gather; the main window hands what the builder does to the server
// link and what the link reports back to them.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/server_link.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;

namespace zs {

// "Server Settings": the game server's host and port, the start-up update
// check, and the wait for the server in seconds (empty: each wait keeps its
// own length). OK refuses a value that is not a number of its range, naming
// the box and why on the dialog's status line, and stays open with what was
// typed.
class ServerSettingsDialog : public QDialog {
    Q_OBJECT
public:
    ServerSettingsDialog(const net::LinkSettings& settings, QWidget* parent);

    // The settings as typed; nothing, with the reason on the status line,
    // when a box is refused.
    std::optional<net::LinkSettings> settings() const;
    void accept() override;

    QLineEdit* host_box() const { return host_; }
    QLineEdit* port_box() const { return port_; }
    QCheckBox* check_box() const { return check_; }
    QLineEdit* timeout_box() const { return timeout_; }
    QLabel* status_label() const { return status_; }

private:
    QLineEdit* host_;
    QLineEdit* port_;
    QCheckBox* check_;
    QLineEdit* timeout_;
    QLabel* status_;
};

// "Login": name and password, and the state of the login under way. "Login"
// calls `login` and leaves the dialog open; it closes when the login
// succeeds.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    using Login = std::function<void(net::Credentials)>;
    LoginDialog(Login login, QWidget* parent);

    // A change of the login state, with its text for this dialog.
    void show_state(net::LoginState state, const std::string& text);

    QLineEdit* name_box() const { return name_; }
    QLineEdit* password_box() const { return password_; }
    QLabel* status_label() const { return status_; }

private:
    QLineEdit* name_;
    QLineEdit* password_;
    QLabel* status_;
};

// "Download": four rows of a zone number, the Wld, Mob, Obj and Zon boxes
// with a progress bar beside each, and All / None. "Download" calls
// `download`; the dialog stays open to show the files arriving and, in a list
// under the texts, what became of each.
class DownloadDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = 4;
    static constexpr int kColumns = 4;
    DownloadDialog(std::function<void()> download, QWidget* parent);

    // The rows as typed and checked.
    std::vector<net::DownloadRow> rows() const;
    // Every bar back to 0, the results of an earlier request gone.
    void clear_bars();
    // A file's progress: the status and receiving texts, and its bar.
    void show_progress(const net::FileProgress& progress);
    // What became of a file ("31.wld: failed: ..."), added to the list.
    void show_result(const std::string& line);
    // The request is over. When a file is missing the status says so in
    // place of the last file's percentage.
    void show_finished(const std::string& summary, bool complete);

    QLineEdit* zone_box(int row) const { return zone_[static_cast<std::size_t>(row)]; }
    QCheckBox* file_box(int row, int column) const;
    QProgressBar* bar(int row, int column) const;
    QLabel* status_label() const { return status_; }
    QLabel* receiving_label() const { return receiving_; }
    QListWidget* results() const { return results_; }

private:
    std::array<QLineEdit*, kRows> zone_{};
    std::array<std::array<QCheckBox*, kColumns>, kRows> box_{};
    std::array<std::array<QProgressBar*, kColumns>, kRows> bar_{};
    QLabel* status_;
    QLabel* receiving_;
    QListWidget* results_;
};

// "Update Zonesmith": the program download's progress. Cancel rejects the
// dialog (the window then stops the download).
class UpdateDialog : public QDialog {
    Q_OBJECT
public:
    explicit UpdateDialog(QWidget* parent);
    void show_percent(int percent);

    QProgressBar* bar() const { return bar_; }
    QLabel* status_label() const { return status_; }

private:
    QProgressBar* bar_;
    QLabel* status_;
};

}  // namespace zs
