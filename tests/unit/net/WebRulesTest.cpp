// The pure rules of the web side: what a connection's first bytes speak, which Host and Origin
// are this computer's own, and when a cached file is still fresh.
#include <gtest/gtest.h>

#include "core/net/Opening.h"
#include "core/net/WebPolicy.h"

using namespace velora;

TEST(Opening, FirstBytesDecideTheProtocol) {
    const std::string longTarget = "GET /" + std::string(9000, 'a');
    const std::string longName = "HELLO " + std::string(9000, 'a');
    const struct {
        std::string bytes;
        Opening expected;
    } cases[] = {
        {"GET / HTTP/1.1\r\n", Opening::Http},
        {"POST /pair HTTP/1.0\n", Opening::Http},
        {"M-SEARCH * HTTP/1.1\r\n", Opening::Http},
        {"GET / HTTP/1.1\r\nHost: x\r\n\r\n", Opening::Http},
        {longTarget, Opening::Http},
        {"HELLO Anna tok 1\n", Opening::Line},
        {"HELLO Anna\n", Opening::Line},
        {"SCREEN tok 800 60 Anna\n", Opening::Line},
        {"HELLO a HTTP/1.1\n", Opening::Http},
        {"GET / HTTP/2\r\n", Opening::Line},
        {"GET / HTTP/1.1\r\r\n", Opening::Line},
        {"GET  / HTTP/1.1\r\n", Opening::Line},
        {"\n", Opening::Line},
        {longName, Opening::Line},
        {"\x16\x03\x01\x02\x00", Opening::Tls},
        {"", Opening::Undecided},
        {"HELLO", Opening::Undecided},
        {"GET / HTTP/1.", Opening::Undecided},
        {"GET / HTTP/1.1\r", Opening::Undecided},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyOpening(c.bytes, 8192), c.expected) << c.bytes.substr(0, 40);
    }
}

TEST(WebPolicy, HostMustNameThisComputer) {
    for (const char* ok :
         {"192.168.1.20", "192.168.1.20:21998", "[::1]", "[fe80::1]:21998", "localhost",
          "LOCALHOST:21998", "studio", "Studio.local", "studio.local:21998"}) {
        EXPECT_TRUE(hostAllowed(ok, "studio")) << ok;
    }
    for (const char* no : {"", "evil.example", "evil.example:21998", "studio.evil.example",
                           "192.168.1.20:99999", "192.168.1.20:", "192.168.1", "[::1", "[::1]x",
                           "[nonsense]", "::1", "localhost:x", "studio.localx"}) {
        EXPECT_FALSE(hostAllowed(no, "studio")) << no;
    }
    EXPECT_FALSE(hostAllowed("", ""));
    EXPECT_FALSE(hostAllowed(".local", ""));
}

TEST(WebPolicy, OnlyThePagesOwnOriginOpensASession) {
    EXPECT_TRUE(originAllowed(std::nullopt, "192.168.1.20:21998"));
    EXPECT_TRUE(originAllowed("http://192.168.1.20:21998", "192.168.1.20:21998"));
    EXPECT_TRUE(originAllowed("http://Studio.local:21998", "studio.local:21998"));
    for (const char* no : {"http://evil.example", "https://192.168.1.20:21998",
                           "http://192.168.1.20", "null", "", "http://192.168.1.20:21998/"}) {
        EXPECT_FALSE(originAllowed(no, "192.168.1.20:21998")) << no;
    }
}

TEST(WebPolicy, PolicyNamesTheWebSocketOfTheValidatedHost) {
    const std::string policy = contentSecurityPolicy("10.0.0.5:21998");
    EXPECT_NE(policy.find("connect-src 'self' ws://10.0.0.5:21998;"), std::string::npos);
    EXPECT_NE(policy.find("default-src 'none'"), std::string::npos);
    EXPECT_NE(policy.find("frame-ancestors 'none'"), std::string::npos);
    EXPECT_NE(contentSecurityPolicy("").find("connect-src 'self';"), std::string::npos);
}

TEST(WebPolicy, EtagMatching) {
    const std::string tag = "\"abc\"";
    for (const char* fresh : {"\"abc\"", "W/\"abc\"", "\"x\", \"abc\"", "*", " \"abc\" "}) {
        EXPECT_TRUE(etagMatches(fresh, tag)) << fresh;
    }
    for (const char* stale : {"", "\"abd\"", "abc", "\"abc", ","}) {
        EXPECT_FALSE(etagMatches(stale, tag)) << stale;
    }
}
