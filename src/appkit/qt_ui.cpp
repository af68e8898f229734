#include "appkit/qt_ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>

namespace zs {

QString from_area_text(std::string_view text) {
    QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string to_area_text(const QString& text, bool* replaced) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()) + 16);
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t u = text[i].unicode();
        if (u == u'\n') {
            out += "\r\n";
        } else if (u <= 0xFF) {
            out += static_cast<char>(u);
        } else {
            // One "?" per character, also for one written as a surrogate pair.
            if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
            out += '?';
            any = true;
        }
    }
    if (replaced) *replaced = any;
    return out;
}

void centre_dialog(QWidget* dialog) {
    QWidget* parent = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    if (!parent) return;
    QRect frame = parent->frameGeometry();
    // Its outer size, frame included, once the window system has one.
    QSize size = dialog->frameGeometry().size();
    dialog->move(frame.left() + (frame.width() - size.width()) / 2,
                 frame.top() + (frame.height() - size.height()) / 2);
}

void fit_into_window(QWidget* dialog) {
    QWidget* parent = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    if (!parent) return;
    // The hints as the dialog will show: styled, its layout in force.
    dialog->ensurePolished();
    if (dialog->layout()) dialog->layout()->activate();
    const QSize wanted = dialog->sizeHint();
    const int room = parent->height();
    if (wanted.height() <= room) return;
    dialog->resize(wanted.width(), room);  // the layout keeps its least height
}

int caption_width(const QString& caption) {
    // The title font is the window manager's; the application's bold font
    // is as wide as any it uses. The icon and three buttons take about 120
    // pixels, and the frame's ends some more.
    QFont title = QApplication::font();
    title.setBold(true);
    return QFontMetrics(title).horizontalAdvance(caption) + 160;
}

void CentredMessageBox::showEvent(QShowEvent* event) {
    if (!widened_) {
        widened_ = true;
        // The box sets its own fixed size from its layout as it is shown:
        // a row of the least width makes the layout that wide.
        if (auto* grid = qobject_cast<QGridLayout*>(layout()))
            grid->addItem(new QSpacerItem(caption_width(windowTitle()), 0, QSizePolicy::Fixed,
                                          QSizePolicy::Minimum),
                          grid->rowCount(), 0, 1, grid->columnCount());
    }
    QMessageBox::showEvent(event);  // sizes the box
    centre_dialog(this);
}

QtUi::QtUi(QWidget* parent, std::function<void(const QString&)> status, MessageLog* log)
    : parent_(parent), status_(std::move(status)), log_(log) {}

void QtUi::show_status(std::string_view text) {
    if (status_) status_(from_area_text(text));
}

namespace {
QString caption_or_default(std::string_view caption) {
    return caption.empty() ? QStringLiteral("Zonesmith") : from_area_text(caption);
}
}  // namespace

void QtUi::show_message(std::string_view text, std::string_view caption) {
    if (log_) log_->add(MessageKind::Message, text);
    CentredMessageBox box(QMessageBox::NoIcon, caption_or_default(caption), from_area_text(text),
                          QMessageBox::Ok, parent_);
    box.exec();
}

bool QtUi::ask_yes_no(std::string_view text, std::string_view caption) {
    if (log_) log_->add(MessageKind::Question, text);
    CentredMessageBox box(QMessageBox::Question, caption_or_default(caption), from_area_text(text),
                          QMessageBox::Yes | QMessageBox::No, parent_);
    // Alt+Y and Alt+N answer from the keyboard.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Yes"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&No"));
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtUi::choose_file_to_open(std::string_view filter_caption,
                                                     std::string_view pattern,
                                                     const std::filesystem::path& dir) {
    QString filter =
        QString::fromLatin1(filter_caption.data(), static_cast<qsizetype>(filter_caption.size()));
    // The caption already names the pattern, as "Quor world files (*.wld)".
    if (!filter.contains(QLatin1Char('(')))
        filter += QStringLiteral(" (") + QString::fromLatin1(pattern.data()) + ")";
    QString file = QFileDialog::getOpenFileName(parent_, QStringLiteral("Open"),
                                                QString::fromStdString(dir.string()), filter);
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
}

QFont game_text_font() {
    QFont fixed(QStringLiteral("DejaVu Sans Mono"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setPixelSize(12);
    return fixed;
}

QDialogButtonBox* ok_cancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

std::string box_bytes(const QString& box, const std::string& shown) {
    return box == from_area_text(shown) ? shown : to_area_text(box);
}

void show_text_in_place(QPlainTextEdit* box, const QString& text) {
    const int caret = box->textCursor().position();
    const int scrolled = box->verticalScrollBar()->value();
    box->setPlainText(text);
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(std::clamp(caret, 0, int(text.size())));
    box->setTextCursor(cursor);
    box->verticalScrollBar()->setValue(scrolled);
}

}  // namespace zs
