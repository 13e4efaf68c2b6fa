#include "app/PinWindow.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextLayout>
#include <QTimer>
#include <QVBoxLayout>

#include "core/Text.h"
#include "core/shell/L.h"

namespace velora {
namespace {

// Point sizes: the request reads at ordinary size, the notes smaller, the PIN large.
constexpr int kHeadPoints = 13;
constexpr int kNotePoints = 11;
constexpr int kPinPoints = 34;

QString localized(std::string_view key, const L::Params& params = {}) {
    return QString::fromStdString(L::T(key, params));
}

void setTextColor(QLabel* label, QPalette::ColorRole role) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(role));
    label->setPalette(palette);
}

}  // namespace

QString wrapText(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines.join('\n');
}

PinWindow::PinWindow(const QString& name, const QString& ip, const QString& pin,
                     std::chrono::milliseconds allowAfter)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::WindowStaysOnTopHint) {
    setWindowTitle(localized("pin_title"));
    setFixedSize(kWidth, kHeight);
    setModal(false);

    auto* stack = new QVBoxLayout(this);
    stack->setSpacing(10);
    stack->setContentsMargins(18, 18, 18, 18);

    // The phone's own name goes in last, so that braces in it stay as written; control
    // characters in it show as "?".
    const L::Params who{{"ip", text::oneLine(ip.toStdString())},
                        {"name", text::oneLine(name.toStdString())}};
    stack->addWidget(label(localized("pin_head", who), kHeadPoints));

    allow_ = new QPushButton(localized("pin_allow"), this);
    allow_->setDefault(true);
    allow_->setAutoDefault(true);
    allow_->setMinimumHeight(36);
    QFont large = allow_->font();
    large.setPointSize(kHeadPoints);
    allow_->setFont(large);
    connect(allow_, &QPushButton::clicked, this, &PinWindow::allowed);
    if (allowAfter.count() > 0) {
        // A disabled default button also takes Return out of play.
        allow_->setEnabled(false);
        QTimer::singleShot(allowAfter, allow_, [button = allow_] { button->setEnabled(true); });
    }
    stack->addWidget(allow_);

    QLabel* orText = label(localized("pin_or"), kNotePoints);
    setTextColor(orText, QPalette::PlaceholderText);
    stack->addWidget(orText);

    QLabel* pinText = label(pin, kPinPoints, true);
    setTextColor(pinText, QPalette::Highlight);
    stack->addWidget(pinText);

    QLabel* foot = label(localized("pin_foot"), kNotePoints);
    setTextColor(foot, QPalette::PlaceholderText);
    stack->addWidget(foot);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

// Everything shown here may come from the phone, so it is plain text: a name cannot bring
// markup, links or images into the prompt. Lines are broken here because a label only breaks
// between words, and a long name without spaces would otherwise run out of the window.
QLabel* PinWindow::label(const QString& text, int pointSize, bool bold) {
    auto* label = new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    if (pointSize > 0) {
        QFont font = label->font();
        font.setPointSize(pointSize);
        font.setBold(bold);
        label->setFont(font);
    }
    label->setText(wrapText(text, label->font(), kTextWidth));
    return label;
}

}  // namespace velora
