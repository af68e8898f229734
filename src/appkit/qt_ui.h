// QtUi: the editor's side of the UI port. Status texts go to the side panel's
// status box; message boxes and questions are modal Qt boxes over the main
// window, centred on it, their texts noted in the message log; file dialogs
// are Qt's.
#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

class QPlainTextEdit;
#include <functional>
#include <string>

#include "world/message_log.h"
#include "world/ui_port.h"

namespace zs {

class QtUi : public UiPort {
public:
    // `status` receives every status text; `parent` owns the boxes; `log`
    // (when given) notes the text of every box.
    QtUi(QWidget* parent, std::function<void(const QString&)> status, MessageLog* log = nullptr);

    void show_status(std::string_view text) override;
    void show_message(std::string_view text, std::string_view caption) override;
    bool ask_yes_no(std::string_view text, std::string_view caption) override;
    std::optional<std::string> choose_file_to_open(std::string_view filter_caption,
                                                   std::string_view pattern,
                                                   const std::filesystem::path& dir) override;

private:
    QPointer<QWidget> parent_;
    std::function<void(const QString&)> status_;
    MessageLog* log_;
};

// Area texts are bytes in the game's 8-bit character set; the boxes show them
// as Latin-1, each byte one character, and a CR LF line break as one "\n".
QString from_area_text(std::string_view text);

// The bytes an area text holds for a box's text, the inverse of
// from_area_text: each "\n" becomes CR LF (so a bare LF read in comes back
// as CR LF), every other character up to U+00FF its Latin-1 byte. A character
// the game's character set has no byte for becomes "?", and `replaced` (when
// given) tells whether any did, so that an editor can warn. A "~" ends a text
// in the area files; it is kept here, and refusing it is the editors' part.
std::string to_area_text(const QString& text, bool* replaced = nullptr);

// A box's text as area bytes; a box still showing `shown` gives those bytes
// back as they are (line ends included), so an untouched record stays
// unchanged.
std::string box_bytes(const QString& box, const std::string& shown);

// Puts `text` into the box, its caret and view kept where they were as near
// as the text allows (the box says its text changed).
void show_text_in_place(QPlainTextEdit* box, const QString& text);

// The fixed font game text is shown in: the text panes' boxes and the colour
// previews, as players see it.
QFont game_text_font();

// Centres a dialog over its parent window, size unchanged.
void centre_dialog(QWidget* dialog);

// A dialog taller than its parent window is cut down to the window's height
// (its stretching boxes give up rows, never below the least the dialog
// needs); a dialog that fits keeps its own size.
void fit_into_window(QWidget* dialog);

// The "OK" and "Cancel" buttons of a dialog, wired to accept and reject.
QDialogButtonBox* ok_cancel(QDialog* dialog);

// The least width of a window whose title bar shows `caption` whole: the
// text in the title font and the window manager's icon and buttons beside
// it.
int caption_width(const QString& caption);

// A message box centred over its parent window when it opens, at least as
// wide as its caption needs (a short message would otherwise give a box whose
// title bar shows "Zo...ith"). A message box takes its final size only as it
// is shown, so it is widened and centred then, before it appears on the
// screen.
class CentredMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool widened_ = false;
};

}  // namespace zs
