#include "app/server_controller.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenuBar>

#include "appkit/qt_ui.h"
#include "net/updater.h"

namespace zs {

namespace {

constexpr const char* kLoginBusy = "Login still in progress.  Please wait for completion.";
constexpr const char* kUpdateQuestion =
    "Run Zonesmith Update?  This will close the program and all\r\nunsaved data will be lost.  "
    "Are you sure you want to do this?";

}  // namespace

ServerController::ServerController(Workspace& ws, Window window)
    : ws_(ws), window_(std::move(window)), program_path_(net::running_program()) {
    // The connection's events come on its own thread; they are handled here,
    // queued on the window's.
    link_ = std::make_unique<net::ServerLink>(
        ws_, net::read_link_settings(ws_.area_dir(), &settings_problem_),
        [this](std::function<void()> f) {
            QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
        });
    link_->set_observer(this);
}

ServerController::~ServerController() {
    // The connection ends (its thread joined) while everything it reports to
    // is still here; what it posted and was not handled goes with this object.
    link_->set_observer(nullptr);
    link_.reset();
}

void ServerController::set_program_path(std::filesystem::path path) {
    link_->set_program_path(path);
    program_path_ = std::move(path);
}

bool ServerController::edit_server_settings() {
    if (settings_dialog_) {
        settings_dialog_->raise();
        return false;
    }
    std::string problem;
    net::LinkSettings file = net::read_link_settings_file(ws_.area_dir(), &problem);
    if (!problem.empty()) window_.ui->show_message(problem, {});
    ServerSettingsDialog dialog(file, window_.window);
    settings_dialog_ = &dialog;
    dialog.adjustSize();
    centre_dialog(&dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    settings_dialog_ = nullptr;
    std::optional<net::LinkSettings> typed = accepted ? dialog.settings() : std::nullopt;
    if (!typed) return false;
    if (!net::write_link_settings(ws_.area_dir(), *typed, &problem)) {
        window_.ui->show_message(problem, {});
        return false;
    }
    // Read back as at start-up, so that ZONESMITH_UPDATE_CHECK=0 still holds.
    link_->set_settings(net::read_link_settings(ws_.area_dir()));
    window_.show_status(QStringLiteral("Server settings saved."));
    return true;
}

bool ServerController::offer_server_settings() {
    if (window_.ui->ask_yes_no("No game server is set up.  Set one up now?", {}))
        edit_server_settings();
    return link_->settings().configured();
}

void ServerController::download_area_files() {
    switch (link_->download_command()) {
        case net::ServerLink::DownloadCommand::open_login:
            open_login_dialog();
            break;
        case net::ServerLink::DownloadCommand::open_download:
            open_download();
            break;
        case net::ServerLink::DownloadCommand::busy:
            window_.ui->show_message(kLoginBusy, {});
            break;
    }
    window_.done();
}

void ServerController::open_login_dialog() {
    if (login_dialog_) {
        login_dialog_->raise();
        return;
    }
    // Modal, but the connection's events still come: they are posted to this
    // window and the dialog's own loop hands them on.
    LoginDialog dialog(
        [this](net::Credentials c) {
            if (!link_->settings().configured() && !offer_server_settings()) {
                if (login_dialog_)
                    login_dialog_->show_state(net::LoginState::logged_out,
                                              "No game server is set up.");
                return;
            }
            // Credentials the server could not read are refused before any
            // connection; the dialog says why.
            std::string problem = net::credentials_problem(c);
            if (!link_->login(std::move(c)) && login_dialog_)
                login_dialog_->show_state(net::LoginState::logged_out, problem);
        },
        window_.window);
    login_dialog_ = &dialog;
    dialog.adjustSize();
    centre_dialog(&dialog);
    dialog.exec();
    login_dialog_ = nullptr;
    if (download_after_login_) {
        download_after_login_ = false;
        open_download();
    }
}

void ServerController::open_download() {
    if (download_dialog_) {
        download_dialog_->raise();
        return;
    }
    DownloadDialog dialog([this] { start_download(); }, window_.window);
    download_dialog_ = &dialog;
    dialog.adjustSize();
    centre_dialog(&dialog);
    dialog.exec();
    download_dialog_ = nullptr;
}

void ServerController::start_download() {
    DownloadDialog* dialog = download_dialog_;
    if (!dialog) return;
    if (link_->login_state() == net::LoginState::logged_in) dialog->clear_bars();
    switch (link_->download(dialog->rows())) {
        case net::ServerLink::DownloadStart::logged_out:
            open_login_dialog();  // the download dialog is open already
            break;
        case net::ServerLink::DownloadStart::logging_in:
            window_.ui->show_message(kLoginBusy, {});
            break;
        case net::ServerLink::DownloadStart::sent:
        case net::ServerLink::DownloadStart::empty_list:
            break;
    }
}

void ServerController::login_state_changed(net::LoginState state, const std::string& dialog_text) {
    if (login_dialog_) login_dialog_->show_state(state, dialog_text);
}

void ServerController::open_download_dialog() {
    // Never a modal loop inside the link's handling: the dialog opens when
    // the login dialog has closed, or from the event loop.
    if (login_dialog_) {
        download_after_login_ = true;
        return;
    }
    QMetaObject::invokeMethod(
        this, [this] { open_download(); }, Qt::QueuedConnection);
}

void ServerController::download_progress(const net::FileProgress& progress) {
    if (download_dialog_) download_dialog_->show_progress(progress);
}

void ServerController::download_result(const std::string& line) {
    if (download_dialog_) download_dialog_->show_result(line);
}

void ServerController::download_finished(const std::string& summary, bool complete) {
    if (download_dialog_) download_dialog_->show_finished(summary, complete);
}

void ServerController::update_status_changed(net::UpdateStatus status) {
    if (update_item_) {
        // It may be the item whose command runs now: it goes later.
        window_.window->menuBar()->removeAction(update_item_);
        update_item_->setParent(nullptr);
        update_item_->deleteLater();
        update_item_ = nullptr;
    }
    std::string text = net::update_status_text(status);
    if (!text.empty()) {
        // After the last menu; only "not up to date" does something.
        update_item_ = window_.window->menuBar()->addAction(QString::fromStdString(text));
        if (status == net::UpdateStatus::not_up_to_date)
            connect(update_item_, &QAction::triggered, this, [this] { run_update(); });
        else
            update_item_->setEnabled(false);
    }
    window_.window->menuBar()->update();
}

void ServerController::update_progress(int percent) {
    if (update_dialog_) update_dialog_->show_percent(percent);
}

void ServerController::update_failed(const std::string& reason) {
    update_failure_ = reason;
    if (update_dialog_)
        update_dialog_->accept();  // no Cancel: the link has given up already
    else
        QMetaObject::invokeMethod(
            this, [this] { finish_update(); }, Qt::QueuedConnection);
}

void ServerController::install_update(const net::InstallUpdate& update) {
    pending_install_ = update;
    if (update_dialog_)
        update_dialog_->accept();
    else
        QMetaObject::invokeMethod(
            this, [this] { finish_update(); }, Qt::QueuedConnection);
}

void ServerController::run_update() {
    if (update_dialog_) {
        update_dialog_->raise();
        return;
    }
    if (!link_->connected() && !link_->settings().configured() && !offer_server_settings()) return;
    if (!window_.ui->ask_yes_no(kUpdateQuestion, {})) return;
    pending_install_.reset();
    update_failure_.clear();
    link_->start_update();
    UpdateDialog dialog(window_.window);
    update_dialog_ = &dialog;
    dialog.adjustSize();
    centre_dialog(&dialog);
    bool cancelled = dialog.exec() != QDialog::Accepted;
    update_dialog_ = nullptr;
    // Cancel stops the download and deletes what came of it.
    if (cancelled && !pending_install_ && update_failure_.empty()) link_->cancel_update();
    finish_update();
    window_.done();
}

void ServerController::finish_update() {
    if (!update_failure_.empty()) {
        std::string reason = std::move(update_failure_);
        update_failure_.clear();
        window_.ui->show_message(reason, {});
    }
    if (pending_install_) {
        net::InstallUpdate update = *pending_install_;
        pending_install_.reset();
        install(update);
    }
}

void ServerController::install(const net::InstallUpdate& update) {
    // The question before the download said unsaved work would be lost; it
    // is asked again, now that quitting is certain.
    if (!window_.settle_unsaved(QStringLiteral("installing the update"))) {
        window_.show_status(
            QStringLiteral("The update was not installed; the new program is kept as %1.")
                .arg(QString::fromStdString(update.part_path.string())));
        return;
    }
    std::vector<std::string> arguments;
    QStringList given = QCoreApplication::arguments();
    for (qsizetype i = 1; i < given.size(); ++i)
        arguments.push_back(given[i].toLocal8Bit().toStdString());
    std::error_code ec;
    std::filesystem::path here = std::filesystem::current_path(ec);
    if (!net::run_update_script(program_path_, update.part_path, arguments, here)) {
        std::string program = program_path_.filename().string();
        std::string part = update.part_path.filename().string();
        window_.ui->show_message(
            "Error running Zonesmith Update.  You can't execute batch files or something.\r\n"
            "The file " +
                part + " should be in the same folder as " + program +
                ".\r\n"
                "Just delete " +
                program +
                ", and remove the .part portion of the first file, and\r\n"
                "it should work.  If it doesn't, you are boned.",
            {});
        return;
    }
    // The script waits for this process to end; nothing is asked any more.
    QCoreApplication::exit(0);
}

}  // namespace zs
