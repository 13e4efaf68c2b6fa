// The rules that keep other web sites away from the phone page and its WebSocket: which Host
// names this computer, which Origin may open a session, and the headers every answer carries.
// Pure functions of the request's text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velora {

// True when `host` (a Host header) is an IP address literal (IPv6 in brackets), "localhost",
// `hostName` or `hostName` + ".local", each with or without a port. Any other name may be a
// domain that an attacker points at this computer's address (DNS rebinding).
bool hostAllowed(std::string_view host, std::string_view hostName);

// True when a WebSocket upgrade may open a session: no Origin (not a browser) or the page's own,
// "http://" plus the request's Host. Any other page would drive this computer with the
// visitor's browser.
bool originAllowed(std::optional<std::string_view> origin, std::string_view host);

// The Content-Security-Policy of every answer: the page's own origin only. `host` is the
// validated Host, named for the WebSocket since some browsers do not count ws: as 'self'; empty
// when the request has none that passed.
std::string contentSecurityPolicy(std::string_view host);

// True when an If-None-Match header names `etag` (a quoted tag) or is "*".
bool etagMatches(std::string_view ifNoneMatch, std::string_view etag);

}  // namespace velora
