#include "app/PhoneWindow.h"

#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/shell/L.h"

namespace velora {
namespace {

QString localized(std::string_view key) {
    return QString::fromStdString(L::lookup(LINUX_STRINGS(), L::lang(), key, {}));
}

QString joinedLines(const std::vector<std::string>& lines) {
    QStringList out;
    for (const std::string& line : lines) out << QString::fromStdString(line);
    return out.join('\n');
}

void makeSelectable(QLabel* label) {
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setCursor(Qt::IBeamCursor);
}

}  // namespace

QImage qrImage(const QrCode& code, int scale) {
    const int span = code.size() + 2 * QrCode::kQuietZone;
    QImage image(span * scale, span * scale, QImage::Format_Grayscale8);
    image.fill(255);
    for (int y = 0; y < code.size(); ++y) {
        for (int x = 0; x < code.size(); ++x) {
            if (!code.dark(x, y)) continue;
            const int left = (x + QrCode::kQuietZone) * scale;
            const int top = (y + QrCode::kQuietZone) * scale;
            for (int row = top; row < top + scale; ++row)
                std::fill_n(image.scanLine(row) + left, scale, 0);
        }
    }
    return image;
}

PhoneWindow::PhoneWindow(const PhoneLink& link)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(localized("phone_title"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* stack = new QVBoxLayout(this);
    stack->setSpacing(10);
    stack->setContentsMargins(18, 18, 18, 18);
    stack->setSizeConstraint(QLayout::SetFixedSize);

    if (link.kind == LinkKind::None) {
        stack->addWidget(label(localized("phone_none"), "none"));
        return;
    }
    const QString url = QString::fromStdString(link.url);
    stack->addWidget(codeLabel(url), 0, Qt::AlignHCenter);

    QLabel* address = label(url, "url");
    QFont large = address->font();
    large.setPointSize(13);
    large.setBold(true);
    address->setFont(large);
    makeSelectable(address);
    stack->addWidget(address);

    const bool named = link.kind == LinkKind::HostName;
    stack->addWidget(label(localized(named ? "phone_named" : "phone_numeric"), "kind"));
    stack->addWidget(label(localized("phone_howto"), "howto"));
    if (!link.others.empty()) {
        stack->addWidget(label(localized("phone_others"), "othersTitle"));
        QLabel* others = label(joinedLines(link.others), "others");
        makeSelectable(others);
        stack->addWidget(others);
    }
}

// Addresses and texts are plain text: nothing here is markup.
QLabel* PhoneWindow::label(const QString& text, const char* name) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setFixedWidth(kTextWidth);
    return label;
}

// The code is scaled here, in whole device pixels per module, rather than by the label, so that
// no module edge is smoothed into grey.
QLabel* PhoneWindow::codeLabel(const QString& url) {
    auto* label = new QLabel(this);
    label->setObjectName("code");
    const auto code = QrCode::encode(url.toStdString());
    if (!code) return label;
    const qreal ratio = devicePixelRatioF();
    const int scale = std::max(1, static_cast<int>(std::lround(kModulePixels * ratio)));
    QPixmap pixmap = QPixmap::fromImage(qrImage(*code, scale));
    pixmap.setDevicePixelRatio(ratio);
    label->setPixmap(pixmap);
    return label;
}

}  // namespace velora
