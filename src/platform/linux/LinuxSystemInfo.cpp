#include "platform/linux/LinuxSystemInfo.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace velora::linux_ {

std::string prettyHostname(const std::string& machineInfo) {
    std::istringstream in(machineInfo);
    std::string line;
    const std::string key = "PRETTY_HOSTNAME=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return value;
    }
    return {};
}

std::string LinuxSystemInfo::computerName() {
    std::ifstream file("/etc/machine-info");
    std::stringstream text;
    text << file.rdbuf();
    std::string pretty = prettyHostname(text.str());
    if (!pretty.empty()) return pretty;
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0 && host[0] != '\0') return host;
    return "Linux";
}

std::optional<std::string> LinuxSystemInfo::localAddress() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0 || list == nullptr) return std::nullopt;
    std::optional<std::string> found;
    for (ifaddrs* ifa = list; ifa != nullptr && !found; ifa = ifa->ifa_next) {
        if (ifa->ifa_addr == nullptr || ifa->ifa_name == nullptr) continue;
        if (!(ifa->ifa_flags & IFF_UP) || (ifa->ifa_flags & IFF_LOOPBACK)) continue;
        if (ifa->ifa_addr->sa_family != AF_INET) continue;
        const std::string name = ifa->ifa_name;
        if (name.rfind("en", 0) != 0 && name.rfind("eth", 0) != 0 && name.rfind("wl", 0) != 0)
            continue;
        char text[NI_MAXHOST] = {};
        if (getnameinfo(ifa->ifa_addr, sizeof(sockaddr_in), text, sizeof text, nullptr, 0,
                        NI_NUMERICHOST) == 0) {
            found = text;
        }
    }
    freeifaddrs(list);
    return found;
}

}  // namespace velora::linux_
