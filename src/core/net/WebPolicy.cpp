#include "core/net/WebPolicy.h"

#include <algorithm>

#include "core/Text.h"
#include "core/net/Asio.h"

namespace velora {

namespace {

bool isPort(std::string_view text) {
    return !text.empty() && text.size() <= 5 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           std::stoul(std::string(text)) <= 65535;
}

bool sameText(std::string_view a, std::string_view b) {
    return text::lower(a) == text::lower(b);
}

bool isBracketedV6(std::string_view host) {
    const size_t close = host.find(']');
    if (!host.starts_with('[') || close == std::string_view::npos) return false;
    const std::string_view rest = host.substr(close + 1);
    if (!rest.empty() && !(rest.front() == ':' && isPort(rest.substr(1)))) return false;
    ErrorCode ec;
    asio::ip::make_address_v6(std::string(host.substr(1, close - 1)), ec);
    return !ec;
}

}  // namespace

bool hostAllowed(std::string_view host, std::string_view hostName) {
    if (host.starts_with('[')) return isBracketedV6(host);
    const size_t colon = host.rfind(':');
    if (colon != std::string_view::npos) {
        if (!isPort(host.substr(colon + 1))) return false;
        host = host.substr(0, colon);
    }
    if (host.empty()) return false;
    ErrorCode ec;
    asio::ip::make_address_v4(std::string(host), ec);
    if (!ec) return true;
    if (sameText(host, "localhost")) return true;
    return !hostName.empty() &&
           (sameText(host, hostName) || sameText(host, std::string(hostName) + ".local"));
}

bool originAllowed(std::optional<std::string_view> origin, std::string_view host) {
    return !origin || sameText(*origin, "http://" + std::string(host));
}

std::string contentSecurityPolicy(std::string_view host) {
    std::string connect = "connect-src 'self'";
    if (!host.empty()) connect += " ws://" + std::string(host);
    return "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' blob: data:; " +
           connect +
           "; manifest-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'none'";
}

bool etagMatches(std::string_view ifNoneMatch, std::string_view etag) {
    for (std::string_view tag : text::splitNonEmpty(ifNoneMatch, ',')) {
        const std::string trimmed = text::trimWhitespace(tag);
        std::string_view candidate = trimmed;
        if (candidate.starts_with("W/")) candidate.remove_prefix(2);
        if (candidate == "*" || candidate == etag) return true;
    }
    return false;
}

}  // namespace velora
