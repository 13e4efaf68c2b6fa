#include <gtest/gtest.h>

#include "core/shell/PhoneLink.h"
#include "platform/sim/SimSystemInfo.h"

namespace velora {
namespace {

TEST(PhoneLinkTest, PrefersTheNameThatResolvesThenTheFirstLanAddress) {
    struct Case {
        const char* what;
        LinkFacts facts;
        PhoneLink expected;
    };
    const std::vector<std::string> mixed = {"192.168.1.20", "10.8.0.2", "fd00::5"};
    const Case cases[] = {
        {"name over mDNS, every address beside it",
         {"Velora-PC", true, mixed, 21998},
         {LinkKind::HostName,
          "http://velora-pc.local:21998/",
          {"http://192.168.1.20:21998/", "http://10.8.0.2:21998/", "http://[fd00::5]:21998/"}}},
        {"no mDNS: the first LAN address, in the platform's order",
         {"velora-pc", false, mixed, 21998},
         {LinkKind::Address,
          "http://192.168.1.20:21998/",
          {"http://10.8.0.2:21998/", "http://[fd00::5]:21998/"}}},
        {"a name that cannot stand in an address is not used",
         {"my_box", true, {"192.168.1.20"}, 21998},
         {LinkKind::Address, "http://192.168.1.20:21998/", {}}},
        {"public, loopback and link-local addresses serve no phone; duplicates once",
         {"pc",
          false,
          {"203.0.113.7", "127.0.0.1", "169.254.3.4", "::1", "fe80::1", "2001:db8::1", "172.16.0.9",
           "172.16.0.9"},
          8080},
         {LinkKind::Address, "http://172.16.0.9:8080/", {}}},
        {"only an IPv6 LAN address",
         {"", false, {"fd12::7"}, 21998},
         {LinkKind::Address, "http://[fd12::7]:21998/", {}}},
        {"the name alone",
         {"pc", true, {}, 21998},
         {LinkKind::HostName, "http://pc.local:21998/", {}}},
        {"nothing a phone could reach", {"pc", false, {"127.0.0.1", "8.8.8.8"}, 21998}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(choosePhoneLink(c.facts), c.expected) << c.what;
}

TEST(PhoneLinkTest, OnlyValidDnsLabelsAreHostNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"Velora-PC", "velora-pc"},
        {"pc2", "pc2"},
        {"", ""},
        {"-pc", ""},
        {"pc-", ""},
        {"my box", ""},
        {"b\xC3\xBC", ""},
        {"my_box", ""},
    };
    for (const auto& [name, label] : cases) EXPECT_EQ(dnsLabel(name), label) << name;
    EXPECT_EQ(dnsLabel(std::string(63, 'a')), std::string(63, 'a'));
    EXPECT_EQ(dnsLabel(std::string(64, 'a')), "");
}

TEST(PhoneLinkTest, AsksTheSystemAboutTheLowerCaseLocalName) {
    sim::SimSystemInfo system;
    system.host = "Velora-PC";
    system.addresses = {"192.168.1.20"};
    EXPECT_EQ(currentPhoneLink(system, 21998).kind, LinkKind::Address);
    system.ownNames = {"velora-pc.local"};
    const PhoneLink link = currentPhoneLink(system, 21999);
    EXPECT_EQ(link.url, "http://velora-pc.local:21999/");
    EXPECT_EQ(link.others, std::vector<std::string>{"http://192.168.1.20:21999/"});
}

}  // namespace
}  // namespace velora
