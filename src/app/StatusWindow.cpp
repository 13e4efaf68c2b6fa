#include "app/StatusWindow.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velora {
namespace {

// Menu titles double "&" for the buttons' shortcut letters; a label shows the text as written.
QString labelText(const std::string& title) {
    return QString::fromStdString(title).replace("&&", "&");
}

QFrame* line() {
    auto* frame = new QFrame();
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

}  // namespace

StatusWindow::StatusWindow(Choose choose)
    : QWidget(nullptr, Qt::Window), choose_(std::move(choose)), stack_(new QVBoxLayout(this)) {
    setWindowTitle("Velora");
    stack_->setContentsMargins(14, 14, 14, 14);
    stack_->setSizeConstraint(QLayout::SetFixedSize);
}

void StatusWindow::setEntries(const std::vector<MenuEntry>& entries) {
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    render(layout, entries);
    if (content_) {
        stack_->removeWidget(content_);
        content_->hide();
        content_->deleteLater();
    }
    stack_->addWidget(content);
    // A layout shows a widget added to a visible window only later, from the event loop.
    content->show();
    content_ = content;
}

void StatusWindow::render(QVBoxLayout* into, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        if (entry.separator) {
            into->addWidget(line());
        } else if (!entry.submenu.empty()) {
            auto* group = new QGroupBox(QString::fromStdString(entry.title));
            auto* inner = new QVBoxLayout(group);
            render(inner, entry.submenu);
            into->addWidget(group);
        } else {
            into->addWidget(control(entry));
        }
    }
}

QWidget* StatusWindow::control(const MenuEntry& entry) {
    const QString title = QString::fromStdString(entry.title);
    const QString token = entry.token ? QString::fromStdString(*entry.token) : QString();
    auto chosen = [this, what = entry.action, token] { choose_(what, token); };
    // A line that is only read stays enabled, in the normal colour rather than greyed out as
    // the menu shows it.
    if (entry.action == MenuAction::None) {
        auto* label = new QLabel(labelText(entry.title));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        return label;
    }
    if (isToggle(entry.action)) {
        auto* box = new QCheckBox(title);
        box->setChecked(entry.checked);
        box->setEnabled(entry.enabled);
        connect(box, &QCheckBox::clicked, this, chosen);
        return box;
    }
    auto* button = new QPushButton(title);
    button->setEnabled(entry.enabled);
    connect(button, &QPushButton::clicked, this, chosen);
    return button;
}

}  // namespace velora
