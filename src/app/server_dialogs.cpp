#include "app/server_dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "appkit/qt_ui.h"

namespace zs {

namespace {

QPushButton* add_button(QBoxLayout* row, const char* caption, QDialog* dialog) {
    auto* b = new QPushButton(QString::fromLatin1(caption), dialog);
    row->addWidget(b);
    return b;
}

}  // namespace

ServerSettingsDialog::ServerSettingsDialog(const net::LinkSettings& settings, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Server Settings"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("The game server to log in to and update from:"), this));
    auto* grid = new QGridLayout;
    host_ = new QLineEdit(QString::fromStdString(settings.endpoint.host), this);
    host_->setPlaceholderText(QStringLiteral("none"));
    host_->setMaxLength(255);
    host_->setMinimumWidth(240);
    port_ = new QLineEdit(QString::number(settings.endpoint.port), this);
    check_ = new QCheckBox(QStringLiteral("&Check for updates at start-up"), this);
    check_->setChecked(settings.check_at_start);
    timeout_ = new QLineEdit(
        settings.timeout_seconds > 0 ? QString::number(settings.timeout_seconds) : QString(), this);
    timeout_->setPlaceholderText(QStringLiteral("each wait its own"));
    auto* host_label = new QLabel(QStringLiteral("&Host:"), this);
    auto* port_label = new QLabel(QStringLiteral("&Port:"), this);
    auto* timeout_label = new QLabel(QStringLiteral("&Timeout (seconds):"), this);
    host_label->setBuddy(host_);
    port_label->setBuddy(port_);
    timeout_label->setBuddy(timeout_);
    grid->addWidget(host_label, 0, 0);
    grid->addWidget(host_, 0, 1);
    grid->addWidget(port_label, 1, 0);
    grid->addWidget(port_, 1, 1);
    grid->addWidget(timeout_label, 2, 0);
    grid->addWidget(timeout_, 2, 1);
    grid->addWidget(check_, 3, 0, 1, 2);
    layout->addLayout(grid);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("dialog status"));
    layout->addWidget(status_);
    layout->addWidget(ok_cancel(this));
    host_->setFocus();
}

std::optional<net::LinkSettings> ServerSettingsDialog::settings() const {
    net::LinkSettings s;
    s.endpoint.host = host_->text().trimmed().toStdString();
    s.check_at_start = check_->isChecked();
    auto refuse = [this](const QString& why) {
        status_->setText(why);
        return std::nullopt;
    };
    if (s.endpoint.host.find_first_of(" \t") != std::string::npos)
        return refuse(QStringLiteral("Host: \"%1\" is not a host name (it holds a blank).")
                          .arg(host_->text().trimmed()));
    // A number box as typed: its value, or the reason it is refused.
    auto number = [](const QLineEdit* box, int lowest, int highest, int& value) -> QString {
        QString text = box->text().trimmed();
        bool ok = false;
        long long n = text.toLongLong(&ok);
        if (!ok) return QStringLiteral("\"%1\" is not a number").arg(text);
        if (n < lowest || n > highest)
            return QStringLiteral("%1 is not between %2 and %3").arg(n).arg(lowest).arg(highest);
        value = static_cast<int>(n);
        return {};
    };
    if (QString why = number(port_, 1, 65535, s.endpoint.port); !why.isEmpty())
        return refuse(QStringLiteral("Port: %1.").arg(why));
    int timeout = 0;
    if (!timeout_->text().trimmed().isEmpty()) {
        if (QString why = number(timeout_, 1, net::kMaxTimeoutSeconds, timeout); !why.isEmpty())
            return refuse(QStringLiteral("Timeout: %1.").arg(why));
    }
    net::set_timeout(s, timeout);
    status_->clear();
    return s;
}

void ServerSettingsDialog::accept() {
    if (settings()) QDialog::accept();
}

LoginDialog::LoginDialog(Login login, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Login"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enter Quor Username and Password:"), this));
    auto* grid = new QGridLayout;
    name_ = new QLineEdit(this);
    password_ = new QLineEdit(this);
    password_->setEchoMode(QLineEdit::Password);
    for (QLineEdit* box : {name_, password_})
        box->setMaxLength(255);
    grid->addWidget(new QLabel(QStringLiteral("Name:"), this), 0, 0);
    grid->addWidget(name_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Password:"), this), 1, 0);
    grid->addWidget(password_, 1, 1);
    layout->addLayout(grid);
    status_ = new QLabel(QStringLiteral("Not logged in."), this);
    layout->addWidget(status_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* go = add_button(buttons, "Login", this);
    go->setDefault(true);
    QPushButton* cancel = add_button(buttons, "Cancel", this);
    layout->addLayout(buttons);
    connect(go, &QPushButton::clicked, this, [this, login = std::move(login)] {
        // The game's texts are 8-bit: a character it has no byte for is "?".
        login({to_area_text(name_->text()), to_area_text(password_->text())});
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    name_->setFocus();
}

void LoginDialog::show_state(net::LoginState state, const std::string& text) {
    status_->setText(from_area_text(text));
    if (state == net::LoginState::logged_in) accept();
}

DownloadDialog::DownloadDialog(std::function<void()> download, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Download"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select Area Files to Download:"), this));
    auto* grid = new QGridLayout;
    // Columns: "Zone #:", the field, then a box and its bar for each file,
    // then All and None.
    const char* const kColumnCaptions[kColumns] = {"Wld:", "Mob:", "Obj:", "Zon:"};
    for (int c = 0; c < kColumns; ++c)
        grid->addWidget(new QLabel(QString::fromLatin1(kColumnCaptions[c]), this), 0, 2 + 2 * c);
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int r = 0; r < kRows; ++r) {
        const int line = r + 1;
        auto ur = static_cast<std::size_t>(r);
        grid->addWidget(new QLabel(QStringLiteral("Zone #:"), this), line, 0);
        QLineEdit* zone = zone_[ur] = new QLineEdit(this);
        zone->setMaxLength(3);
        zone->setValidator(digits);
        zone->setFixedWidth(40);
        grid->addWidget(zone, line, 1);
        for (int c = 0; c < kColumns; ++c) {
            auto uc = static_cast<std::size_t>(c);
            box_[ur][uc] = new QCheckBox(this);
            grid->addWidget(box_[ur][uc], line, 2 + 2 * c);
            QProgressBar* bar = bar_[ur][uc] = new QProgressBar(this);
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->setTextVisible(false);
            bar->setFixedSize(50, 14);
            grid->addWidget(bar, line, 3 + 2 * c);
        }
        auto* all = new QPushButton(QStringLiteral("All"), this);
        auto* none = new QPushButton(QStringLiteral("None"), this);
        for (QPushButton* b : {all, none})
            b->setAutoDefault(false);
        grid->addWidget(all, line, 2 + 2 * kColumns);
        grid->addWidget(none, line, 3 + 2 * kColumns);
        auto check_row = [this, ur](bool on) {
            for (QCheckBox* box : box_[ur])
                box->setChecked(on);
        };
        connect(all, &QPushButton::clicked, this, [check_row] { check_row(true); });
        connect(none, &QPushButton::clicked, this, [check_row] { check_row(false); });
    }
    layout->addLayout(grid);
    status_ = new QLabel(QStringLiteral("Status: Inactive"), this);
    status_->setWordWrap(true);  // a summary of what did not arrive may be long
    receiving_ = new QLabel(QStringLiteral("Receiving: None"), this);
    layout->addWidget(status_);
    layout->addWidget(receiving_);
    results_ = new QListWidget(this);
    results_->setSelectionMode(QAbstractItemView::NoSelection);
    results_->setFocusPolicy(Qt::NoFocus);
    results_->setMaximumHeight(100);
    layout->addWidget(results_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* go = add_button(buttons, "Download", this);
    go->setDefault(true);
    QPushButton* cancel = add_button(buttons, "Cancel", this);
    cancel->setAutoDefault(false);
    layout->addLayout(buttons);
    connect(go, &QPushButton::clicked, this, [download = std::move(download)] { download(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    zone_[0]->setFocus();
}

QCheckBox* DownloadDialog::file_box(int row, int column) const {
    return box_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

QProgressBar* DownloadDialog::bar(int row, int column) const {
    return bar_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

std::vector<net::DownloadRow> DownloadDialog::rows() const {
    std::vector<net::DownloadRow> rows;
    for (int r = 0; r < kRows; ++r) {
        net::DownloadRow row;
        row.zone = zone_box(r)->text().toStdString();  // digits only
        row.world = file_box(r, 0)->isChecked();
        row.mobile = file_box(r, 1)->isChecked();
        row.object = file_box(r, 2)->isChecked();
        row.zone_file = file_box(r, 3)->isChecked();
        rows.push_back(std::move(row));
    }
    return rows;
}

void DownloadDialog::clear_bars() {
    for (auto& row : bar_)
        for (QProgressBar* bar : row)
            bar->setValue(0);
    results_->clear();
}

void DownloadDialog::show_progress(const net::FileProgress& progress) {
    status_->setText(QString::fromStdString(net::download_status_text(progress.percent)));
    receiving_->setText(from_area_text(net::receiving_text(progress.name, progress.percent)));
    std::vector<std::string> fields;
    for (QLineEdit* zone : zone_)
        fields.push_back(zone->text().toStdString());
    net::BarPlace place = net::bar_for(progress.name, fields);
    if (place.row >= 0 && place.column >= 0)
        bar(place.row, place.column)->setValue(progress.percent);
}

void DownloadDialog::show_result(const std::string& line) {
    results_->addItem(from_area_text(line));
    results_->scrollToBottom();
}

void DownloadDialog::show_finished(const std::string& summary, bool complete) {
    if (complete) return;  // the last file's "100% complete" is true
    status_->setText(QStringLiteral("Status: ") + from_area_text(summary));
    receiving_->setText(QStringLiteral("Receiving: None"));
}

UpdateDialog::UpdateDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Update Zonesmith"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setMinimumWidth(260);
    layout->addWidget(bar_);
    status_ = new QLabel(QStringLiteral("Status:"), this);
    layout->addWidget(status_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* cancel = add_button(buttons, "Cancel", this);
    layout->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void UpdateDialog::show_percent(int percent) {
    bar_->setValue(percent);
    status_->setText(QString::fromStdString(net::download_status_text(percent)));
}

}  // namespace zs
