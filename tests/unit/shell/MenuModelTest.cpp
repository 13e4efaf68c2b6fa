#include <gtest/gtest.h>

#include "core/shell/MenuModel.h"

namespace velora {
namespace {

std::vector<std::string> titles(const std::vector<MenuEntry>& entries) {
    std::vector<std::string> out;
    for (const MenuEntry& e : entries) out.push_back(e.separator ? "---" : e.title);
    return out;
}

const MenuEntry& entryTitled(const StatusMenu& menu, const std::string& title) {
    for (const MenuEntry& e : menu.entries) {
        if (e.title == title) return e;
    }
    ADD_FAILURE() << "no entry " << title;
    static const MenuEntry none;
    return none;
}

TEST(MenuModelTest, IdleLinuxMenuHasEveryEntryInOrderWithItsState) {
    MenuInputs in;
    in.localAddress = "192.168.1.20";
    in.allowPower = false;
    in.launchAtLogin = true;
    const StatusMenu menu = buildStatusMenu(in);
    EXPECT_EQ(titles(menu.entries),
              (std::vector<std::string>{
                  "Velora", "No device connected", "This PC's address: 192.168.1.20", "---",
                  "Connect a phone\u2026", "Paired devices", "Allow PC power control",
                  "Allow screen viewing from phone", "Open at Login", "---", "Help", "Quit"}));
    EXPECT_EQ(menu.tooltip, "Velora \u2014 waiting");
    EXPECT_EQ(menu.icon, TrayIcon::Pointer);

    for (int i : {0, 1, 2}) {
        EXPECT_FALSE(menu.entries[i].enabled) << i;
        EXPECT_EQ(menu.entries[i].action, MenuAction::None) << i;
    }
    EXPECT_TRUE(menu.entries[4].enabled);
    EXPECT_EQ(menu.entries[4].action, MenuAction::ConnectPhone);
    const auto& devices = menu.entries[5];
    EXPECT_TRUE(devices.enabled);
    EXPECT_EQ(devices.action, MenuAction::None);
    ASSERT_EQ(devices.submenu.size(), 1u);
    EXPECT_EQ(devices.submenu[0].title, "None yet");
    EXPECT_FALSE(devices.submenu[0].enabled);

    EXPECT_FALSE(menu.entries[6].checked);
    EXPECT_EQ(menu.entries[6].action, MenuAction::TogglePower);
    EXPECT_TRUE(menu.entries[7].checked);
    EXPECT_EQ(menu.entries[7].action, MenuAction::ToggleScreen);
    EXPECT_TRUE(menu.entries[8].checked);
    EXPECT_EQ(menu.entries[8].action, MenuAction::ToggleAutoStart);
    EXPECT_EQ(menu.entries[10].action, MenuAction::OpenHelp);
    EXPECT_EQ(menu.entries[11].action, MenuAction::Quit);
    for (size_t i = 0; i < menu.entries.size(); ++i)
        EXPECT_EQ(menu.entries[i].keyEquivalent, i == 11 ? "q" : "") << i;
}

TEST(MenuModelTest, MacProfileUsesItsOwnTextsAndTheUnknownAddress) {
    MenuInputs in;
    in.profile = MenuProfile::Mac;
    in.trusted = false;
    const StatusMenu menu = buildStatusMenu(in);
    EXPECT_EQ(menu.entries[2].title, "This Mac's address: Unavailable");
    EXPECT_EQ(entryTitled(menu, "Allow Mac power control").action, MenuAction::TogglePower);
    EXPECT_EQ(menu.entries[4].title,
              "\u26A0\uFE0E Accessibility permission needed \u2014 click to open settings");

    in.profile = MenuProfile::Linux;
    const StatusMenu linux = buildStatusMenu(in);
    EXPECT_EQ(linux.entries[2].title, "This PC's address: Unavailable");
    EXPECT_EQ(linux.entries[4].title,
              "\u26A0\uFE0E Input control unavailable \u2014 click for help");
}

TEST(MenuModelTest, ClientsAndViewersSetTheCountTooltipAndIcon) {
    MenuInputs in;
    in.clientCount = 2;
    StatusMenu menu = buildStatusMenu(in);
    EXPECT_EQ(menu.entries[1].title, "Connected: 2");
    EXPECT_EQ(menu.tooltip, "Velora \u2014 2 connected");

    // A name viewing twice is listed twice; viewers replace the connected tooltip.
    in.viewers = {"A", "B", "A"};
    menu = buildStatusMenu(in);
    EXPECT_EQ(menu.entries[3].title, "Viewing screen: A, B, A");
    EXPECT_FALSE(menu.entries[3].enabled);
    EXPECT_EQ(menu.tooltip, "Velora \u2014 screen viewed by: A, B, A");
    EXPECT_EQ(menu.icon, TrayIcon::Eye);
}

TEST(MenuModelTest, WarningItemStandsBetweenInformationAndDevices) {
    MenuInputs in;
    in.trusted = false;
    in.viewers = {"Pixel"};
    const StatusMenu menu = buildStatusMenu(in);
    ASSERT_GE(menu.entries.size(), 7u);
    EXPECT_TRUE(menu.entries[4].separator);
    EXPECT_EQ(menu.entries[5].action, MenuAction::OpenPermissionHelp);
    EXPECT_TRUE(menu.entries[5].enabled);
    EXPECT_TRUE(menu.entries[6].separator);
    EXPECT_EQ(menu.entries[7].action, MenuAction::ConnectPhone);
    EXPECT_EQ(menu.entries[8].title, "Paired devices");
}

TEST(MenuModelTest, ConsentSessionsWarnWithTheConsentTextOnLinuxOnly) {
    MenuInputs in;
    in.trusted = false;
    in.consent = true;
    const MenuEntry warning = buildStatusMenu(in).entries[4];
    EXPECT_EQ(warning.title,
              "\u26A0\uFE0E Input control not allowed yet \u2014 click to be asked again");
    EXPECT_EQ(warning.action, MenuAction::OpenPermissionHelp);
    in.profile = MenuProfile::Mac;
    EXPECT_EQ(buildStatusMenu(in).entries[4].title,
              "\u26A0\uFE0E Accessibility permission needed \u2014 click to open settings");
    in.trusted = true;
    for (const MenuEntry& entry : buildStatusMenu(in).entries)
        EXPECT_NE(entry.action, MenuAction::OpenPermissionHelp) << "no warning once allowed";
}

TEST(MenuModelTest, PortsThatCouldNotBeOpenedAreSaidUnderTheAddress) {
    MenuInputs in;
    in.localAddress = "192.168.1.20";
    in.closedDiscoveryPort = 21999;
    StatusMenu menu = buildStatusMenu(in);
    EXPECT_EQ(menu.entries[3].title,
              "\u26A0\uFE0E UDP port 21999 could not be opened \u2014 phones cannot find this PC");
    EXPECT_FALSE(menu.entries[3].enabled);
    EXPECT_TRUE(menu.entries[4].separator);

    in.closedDiscoveryPort.reset();
    in.closedControlPort = 21998;
    menu = buildStatusMenu(in);
    EXPECT_EQ(menu.entries[3].title,
              "\u26A0\uFE0E TCP port 21998 could not be opened \u2014 phones cannot connect");

    in.closedDiscoveryPort = 21999;
    in.language = "de";
    menu = buildStatusMenu(in);
    EXPECT_EQ(menu.entries[3].title,
              "\u26A0\uFE0E TCP-Port 21998 und UDP-Port 21999 konnten nicht ge\u00F6ffnet werden "
              "\u2014 Telefone erreichen diesen PC nicht");
    EXPECT_TRUE(menu.entries[4].separator);
}

TEST(MenuModelTest, DevicesAreListedNewestFirstKeepingStoreOrderOnTies) {
    MenuInputs in;
    in.devices = {{"tx", "X", "10.0.0.1", 1000},
                  {"ty", "Y", "10.0.0.2", 2000},
                  {"tz", "Z", "10.0.0.3", 2000}};
    const StatusMenu menu = buildStatusMenu(in);
    const auto& sub = menu.entries[5].submenu;
    ASSERT_EQ(sub.size(), 5u);
    EXPECT_EQ(sub[0].title, "Y (10.0.0.2) \u2014 Disconnect");
    EXPECT_EQ(sub[1].token, "tz");
    EXPECT_EQ(sub[2].token, "tx");
    for (int i : {0, 1, 2}) {
        EXPECT_EQ(sub[i].action, MenuAction::ForgetDevice);
        EXPECT_TRUE(sub[i].enabled);
    }
    EXPECT_TRUE(sub[3].separator);
    EXPECT_EQ(sub[4].title, "Disconnect all");
    EXPECT_EQ(sub[4].action, MenuAction::ForgetAll);
    EXPECT_FALSE(sub[4].token.has_value());
}

TEST(MenuModelTest, PhoneNamesCannotCreateShortcutsOrAlterTemplates) {
    MenuInputs in;
    in.devices = {{"t1", "&Quit {ip} && more\tCtrl+Q", "10.0.0.9", 1}};
    in.viewers = {"R&D", "Tab\tbed"};
    const StatusMenu menu = buildStatusMenu(in);
    EXPECT_EQ(menu.entries[6].submenu[0].title,
              "&&Quit {ip} &&&& more?Ctrl+Q (10.0.0.9) \u2014 Disconnect");
    EXPECT_EQ(menu.entries[3].title, "Viewing screen: R&&D, Tab?bed");
    // The tooltip is not a menu title and stays as the phone wrote it.
    EXPECT_EQ(menu.tooltip, "Velora \u2014 screen viewed by: R&D, Tab?bed");
}

TEST(MenuModelTest, TextsFollowTheLanguage) {
    MenuInputs in;
    in.language = "ko";
    in.trusted = false;
    const StatusMenu menu = buildStatusMenu(in);
    EXPECT_NE(menu.entries[1].title, "No device connected");
    EXPECT_EQ(menu.entries[4].title.rfind("\u26A0", 0), 0u);
    MenuInputs english = in;
    english.language = "en";
    EXPECT_NE(menu.entries[4].title, buildStatusMenu(english).entries[4].title);
}

}  // namespace
}  // namespace velora
