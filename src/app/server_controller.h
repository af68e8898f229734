// ServerController: the window's server flows. It owns the server link and
// is its observer: the server settings, login, the area download and the
// program update, each driving its dialog ("Server Settings", login,
// "Download Area Files", "Update Zonesmith") and the menu bar's update status
// item. Without a server set up nothing connects; Login and Update offer the
// settings instead. The link's reports come on the
// window's thread, posted to this object.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/server_dialogs.h"
#include "net/server_link.h"
#include "world/workspace.h"

class QAction;
class QMainWindow;

namespace zs {

class ServerController : public QObject, public net::LinkObserver {
    Q_OBJECT
public:
    // What the flows need of the window they run in.
    struct Window {
        QMainWindow* window = nullptr;  // the dialogs' parent; its menu bar
        UiPort* ui = nullptr;           // the window's messages and questions
        // Before quitting for an update: true when the work may be lost.
        std::function<bool(const QString& doing)> settle_unsaved;
        // A flow ended: the map takes the keys again.
        std::function<void()> done;
        std::function<void(const QString&)> show_status;
    };

    // Reads the server file of the workspace's area directory; why it could
    // not be read is kept for settings_problem().
    ServerController(Workspace& ws, Window window);
    ~ServerController() override;

    net::ServerLink& link() { return *link_; }
    const std::string& settings_problem() const { return settings_problem_; }
    LoginDialog* login_dialog() const { return login_dialog_; }
    UpdateDialog* update_dialog() const { return update_dialog_; }
    ServerSettingsDialog* settings_dialog() const { return settings_dialog_; }
    // The menu bar's update status item (null when up to date).
    QAction* update_status_item() const { return update_item_; }
    // The program an update replaces (the running one unless a test says).
    void set_program_path(std::filesystem::path path);

    // File > Server Settings...: edits the area directory's server file and
    // gives the link its new settings. True when the file was written.
    bool edit_server_settings();
    // "&Download Area Files...": the login or the download dialog.
    void download_area_files();
    // "&Update..." and the "not up to date" item: asks, then downloads the
    // program with the "Update Zonesmith" dialog up.
    void run_update();

    // What the server link reports.
    void login_state_changed(net::LoginState state, const std::string& dialog_text) override;
    void open_download_dialog() override;
    void download_progress(const net::FileProgress& progress) override;
    void download_result(const std::string& line) override;
    void download_finished(const std::string& summary, bool complete) override;
    void update_status_changed(net::UpdateStatus status) override;
    void update_progress(int percent) override;
    void update_failed(const std::string& reason) override;
    void install_update(const net::InstallUpdate& update) override;

private:
    // No server is set up: asks whether to set one up now and opens Server
    // Settings on a Yes. True when a server is set up afterwards.
    bool offer_server_settings();
    void open_login_dialog();
    void open_download();
    // The Download dialog's "Download".
    void start_download();
    // After the update dialog: the failure shown, or the program installed.
    void finish_update();
    // Replaces the program with the downloaded one and quits, unless unsaved
    // work stays or the script cannot run.
    void install(const net::InstallUpdate& update);

    Workspace& ws_;
    Window window_;
    std::unique_ptr<net::ServerLink> link_;
    std::string settings_problem_;
    std::filesystem::path program_path_;
    QPointer<ServerSettingsDialog> settings_dialog_;
    QPointer<LoginDialog> login_dialog_;
    QPointer<DownloadDialog> download_dialog_;
    QPointer<UpdateDialog> update_dialog_;
    QAction* update_item_ = nullptr;
    // The link asked for the download dialog while the login dialog was up:
    // it opens once that has closed.
    bool download_after_login_ = false;
    // What ended the program download, kept until its dialog has closed.
    std::optional<net::InstallUpdate> pending_install_;
    std::string update_failure_;
};

}  // namespace zs
