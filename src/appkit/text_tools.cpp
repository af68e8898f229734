#include "appkit/text_tools.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "appkit/workspace_signals.h"
#include "world/colour_codes.h"

namespace zs {

namespace {

// The colour buttons' code letters, in the row's order.
constexpr char kColourLetters[] = "RrGgBbYyCcMmWwDdn";

QString swatch_style(char letter) {
    Rgb c = preview_colour(letter);
    return QStringLiteral("background-color: rgb(%1, %2, %3);").arg(c.r).arg(c.g).arg(c.b);
}

}  // namespace

TextTools::TextTools(WorkspaceSignals& bridge, QWidget* parent) : QWidget(parent), bridge_(bridge) {
    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(0, 0, 0, 0);
    hide_ = new QCheckBox(QStringLiteral("Hide"), this);
    hide_->setFocusPolicy(Qt::NoFocus);
    row_->addWidget(hide_);
    auto* format = new QPushButton(QStringLiteral("Format"), this);
    auto* clear = new QPushButton(QStringLiteral("Clear"), this);
    for (QPushButton* b : {format, clear}) {
        b->setFocusPolicy(Qt::NoFocus);
        row_->addWidget(b);
    }
    for (const char* l = kColourLetters; *l; ++l) {
        QString code = QStringLiteral("&%1").arg(QLatin1Char(*l));
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("colour ") + code);
        b->setFixedSize(15, 30);
        b->setFocusPolicy(Qt::NoFocus);
        b->setStyleSheet(swatch_style(*l));
        b->setToolTip(code);
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [this, code] { choose(code, false); });
        row_->addWidget(b);
    }
    row_->addWidget(new QLabel(QStringLiteral("Color:"), this));
    swatch_ = new QLabel(this);
    swatch_->setObjectName(QStringLiteral("colour swatch"));
    swatch_->setFixedSize(15, 15);
    row_->addWidget(swatch_);
    row_->addStretch(1);
    // Every pane's swatch shows the shared paint colour.
    connect(&bridge_, &WorkspaceSignals::paint_colour_changed, this, [this](const QString& code) {
        swatch_->setStyleSheet(code.size() == 2 ? swatch_style(code.at(1).toLatin1()) : QString());
    });
    connect(hide_, &QCheckBox::toggled, this, &TextTools::hide_toggled);
    connect(format, &QPushButton::clicked, this, &TextTools::format_pressed);
    connect(clear, &QPushButton::clicked, this, &TextTools::clear_pressed);
}

bool TextTools::hide_ticked() const {
    return hide_->isChecked();
}

const QString& TextTools::paint_colour() const {
    return bridge_.paint_colour();
}

void TextTools::choose(const QString& code, bool twice) {
    bridge_.set_paint_colour(code);
    emit colour_pressed(code, twice);
}

bool TextTools::eventFilter(QObject* watched, QEvent* event) {
    // A colour button's double click is a press of its own.
    if (event->type() == QEvent::MouseButtonDblClick) {
        QString name = watched->objectName();
        if (name.startsWith(QStringLiteral("colour &"))) {
            choose(name.mid(7), true);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zs
