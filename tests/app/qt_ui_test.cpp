// Area texts between the file's bytes and the boxes' QStrings.
#include <gtest/gtest.h>

#include <QApplication>

#include "appkit/qt_ui.h"

namespace zs {
namespace {

TEST(AreaText, EveryByteComesBackFromTheBoxes) {
    for (int b = 0; b < 256; ++b) {
        std::string bytes = std::string("a") + static_cast<char>(b) + "b";
        // A bare LF comes back as the CR LF line break of the area texts.
        std::string want = b == '\n' ? "a\r\nb" : bytes;
        bool replaced = true;
        EXPECT_EQ(to_area_text(from_area_text(bytes), &replaced), want) << b;
        EXPECT_FALSE(replaced) << b;
    }
    for (std::string bytes : {"x\r\ny", "\r\r\n", "\r\n\r\n\r", "~\r\n"})
        EXPECT_EQ(to_area_text(from_area_text(bytes)), bytes);
}

TEST(AreaText, CharactersWithoutAByteBecomeQuestionMarks) {
    struct Case {
        QString text;
        std::string bytes;
        bool replaced;
    };
    const Case cases[] = {
        {QString::fromUtf16(u"caf\u00e9\u00ff"), "caf\xe9\xff", false},
        {QString::fromUtf16(u"\u20ac5 \u2014"), "?5 ?", true},
        {QString::fromUtf16(u"\U0001F409!"), "?!", true},  // one "?" for a surrogate pair
        {QStringLiteral("a~b\n"), "a~b\r\n", false},       // "~" is the editors' to refuse
    };
    for (const Case& c : cases) {
        bool replaced = !c.replaced;
        EXPECT_EQ(to_area_text(c.text, &replaced), c.bytes) << c.text.toStdString();
        EXPECT_EQ(replaced, c.replaced) << c.text.toStdString();
    }
}

// A short message gives a box as wide as its caption needs, so that the
// window manager shows the caption whole; a long one is wider anyway.
TEST(MessageBox, IsAtLeastAsWideAsItsCaption) {
    struct Case {
        const char* caption;
        const char* text;
    } cases[] = {
        {"Zonesmith", "OK."},
        {"Zonesmith", ""},
        {"Warning", "Room 3001 has no exits at all, and nothing leads to it from the zone."},
    };
    for (const Case& c : cases) {
        CentredMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(c.caption),
                              QString::fromLatin1(c.text), QMessageBox::Ok);
        box.show();
        QApplication::processEvents();
        EXPECT_GE(box.width(), caption_width(box.windowTitle())) << c.text;
        box.hide();
        box.show();  // shown again, it stays as it was
        EXPECT_GE(box.width(), caption_width(box.windowTitle())) << c.text;
    }
}

}  // namespace
}  // namespace zs
