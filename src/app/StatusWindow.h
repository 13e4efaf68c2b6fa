// The status menu's entries in a small window of its own, for desktops without a system tray:
// labels for the lines that only inform, check boxes for the switches, buttons for the other
// items, a group for a submenu. Choosing one hands its action to the shell, which performs it
// as it does for the menu. Closing the window only hides it.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "core/shell/MenuModel.h"

class QVBoxLayout;

namespace velora {

class StatusWindow : public QWidget {
    Q_OBJECT

public:
    using Choose = std::function<void(MenuAction, const QString& token)>;

    explicit StatusWindow(Choose choose);

    // Replaces the content with `entries`. Safe from within a choice of the old content: that
    // goes once the choice has returned.
    void setEntries(const std::vector<MenuEntry>& entries);

private:
    void render(QVBoxLayout* into, const std::vector<MenuEntry>& entries);
    QWidget* control(const MenuEntry& entry);

    Choose choose_;
    QVBoxLayout* stack_;
    QPointer<QWidget> content_;
};

}  // namespace velora
