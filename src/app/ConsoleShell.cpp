#include "app/ConsoleShell.h"

#include <csignal>
#include <iostream>
#include <thread>
#include <utility>

#include "common/Utf8.h"
#include "core/Text.h"
#include "core/Version.h"
#include "core/shell/BackendNotice.h"
#include "core/shell/L.h"
#include "core/shell/PhoneLink.h"
#include "core/shell/QrCode.h"
#include "core/shell/SettingsNotice.h"

namespace velora {

ConsoleShell::ConsoleShell(std::shared_ptr<Store> store, Platform platform, std::ostream& out,
                           std::chrono::milliseconds allowDelay, ServerOptions server)
    : signals_(blockSignals()),
      store_(store),
      system_(platform.system),
      backend_(platform.backend),
      unavailable_(platform.unavailable),
      notice_(backendNotice(platform, L::lang())),
      events_(platform.events),
      askConsent_(platform.askConsent),
      server_(store, std::move(platform), server),
      out_(out),
      allowDelay_(allowDelay) {
    // log.txt keeps the fixed text; the person reads the entry in their language.
    server_.onLog = [this](const LogEvent& event) {
        store_->log(event.text());
        print("log: " + printable(event.text(L::lang())));
    };
    server_.onPinShow = [this](const std::string& name, const std::string& ip,
                               const std::string& pin, std::function<void()> approve) {
        const std::string who = printable(name) + " (" + ip + ")";
        {
            std::lock_guard lock(lock_);
            prompt_ = Prompt{who, std::chrono::steady_clock::now(), std::move(approve)};
        }
        print("pair: " + who + " PIN " + pin + " \xE2\x80\x94 type allow to approve");
    };
    server_.onPinHide = [this] {
        std::optional<Prompt> ended;
        {
            std::lock_guard lock(lock_);
            ended.swap(prompt_);
        }
        if (ended) print("pairing request of " + ended->who + " closed");
    };
    server_.onClientsChanged = [this] {
        print("clients: " + std::to_string(server_.clients().size()));
    };
    server_.onScreenViewer = [this](const std::string& name, bool on) {
        print(std::string("viewer: ") + printable(name) + (on ? " on" : " off"));
    };
}

// The server's callbacks use this shell's members: its thread ends before they go.
ConsoleShell::~ConsoleShell() {
    server_.stop();
}

std::string ConsoleShell::printable(const std::string& text) {
    return text::oneLine(text);
}

// Where phones can reach this computer; a port that could not be opened was logged already.
void ConsoleShell::printListening() {
    const std::string tcp = "TCP " + std::to_string(server_.controlPort());
    const std::string udp = "UDP " + std::to_string(server_.discoveryPort());
    if (server_.controlPort() && server_.discoveryPort()) {
        print("Listening on " + tcp + " and " + udp);
    } else if (server_.controlPort()) {
        print("Listening on " + tcp + " only: phones cannot discover this computer");
    } else if (server_.discoveryPort()) {
        print("Listening on " + udp + " only: phones cannot connect");
    } else {
        print("Could not open TCP " + std::to_string(kControlPort) + " or UDP " +
              std::to_string(kDiscoveryPort) + ": phones cannot reach this computer");
    }
}

// The address and its code go out as one block, so that no activity line lands inside the code.
void ConsoleShell::printPhoneLink() {
    const uint16_t port = server_.controlPort();
    if (!system_ || port == 0) return;
    const PhoneLink link = currentPhoneLink(*system_, port);
    const auto code = QrCode::encode(link.url);
    if (link.kind == LinkKind::None || !code) {
        print("Phone page: no network address yet; connect this computer to the phone's network");
        return;
    }
    std::string block =
        "Phone page: " + link.url +
        (link.kind == LinkKind::HostName
             ? " (this computer's name: the same after restarts and network changes)"
             : " (a network address: it may change when the network assigns a new one)");
    for (const std::string& other : link.others) block += "\nAlso at: " + other;
    for (const std::string& line : code->terminalLines()) block += "\n" + line;
    print(block + "\nOpen the address in your phone's browser, or scan the code.");
}

void ConsoleShell::print(const std::string& line) {
    std::lock_guard lock(lock_);
    out_ << line << std::endl;
}

void ConsoleShell::command(const std::string& line) {
    const std::string word = text::trimWhitespaceAndNewlines(utf8::sanitize(line));
    if (word == "allow") {
        allow();
    } else if (word == "power on" || word == "power off") {
        store_->setAllowPower(word == "power on");
        print(std::string("power control ") + (store_->allowPower() ? "allowed" : "off"));
    } else if (word == "screen on" || word == "screen off") {
        store_->setAllowScreen(word == "screen on");
        print(std::string("screen viewing ") + (store_->allowScreen() ? "allowed" : "off"));
    } else if (word == "devices") {
        for (const Device& d : store_->devices()) print(printable(d.name) + " (" + d.ip + ")");
    } else if (word == "qr") {
        printPhoneLink();
    } else if (word.starts_with("forget ")) {
        forget(text::trimWhitespace(std::string_view(word).substr(7)));
    } else if (word == "consent") {
        consent();
    } else if (!word.empty() && word != "quit") {
        print(commandList());
    }
}

std::string ConsoleShell::commandList() const {
    return std::string("commands: allow, power on|off, screen on|off, devices, forget NAME, qr, ") +
           (askConsent_ ? "consent, " : "") + "quit";
}

// Only the person asks the desktop again: a refused or closed dialog stays answered until then.
void ConsoleShell::consent() {
    if (!askConsent_) {
        print("consent: not needed with the " + backend_ + " backend");
    } else if (events_ && events_->trusted()) {
        print("consent: input control is allowed already");
    } else {
        print("consent: asked the desktop again; answer its dialog");
        askConsent_();
    }
}

// Every paired device shown under `name` (as "devices" lists it) goes, as the menu's item for one
// device does: its token no longer admits, so that phone must pair again.
void ConsoleShell::forget(const std::string& name) {
    size_t forgotten = 0;
    for (const Device& d : store_->devices()) {
        if (printable(d.name) != name) continue;
        store_->forget(d.token);
        ++forgotten;
    }
    if (forgotten == 0) {
        print("no paired device is named " + name);
    } else if (forgotten == 1) {
        print("forgot " + name);
    } else {
        print("forgot " + std::to_string(forgotten) + " devices named " + name);
    }
}

void ConsoleShell::allow() {
    std::optional<Prompt> prompt;
    {
        std::lock_guard lock(lock_);
        prompt = prompt_;
    }
    if (!prompt) {
        print("no pairing request is waiting");
    } else if (std::chrono::steady_clock::now() - prompt->shownAt < allowDelay_) {
        print("allow ignored: the request of " + prompt->who +
              " has only just appeared; type allow again to approve it");
    } else {
        print("allowed");
        prompt->approve();
    }
}

// SIGUSR1 is the reader's "a line is waiting".
sigset_t ConsoleShell::blockSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

int ConsoleShell::run(std::istream& in) {
    // Quit on a signal; a closed standard input (a background start) leaves the server running.
    // The signals are blocked in every thread, so that only sigwait below takes them.
    pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
    print(std::string("Velora ") + kVersion + " \xE2\x80\x94 console shell");
    print("Input and screen: " + backend_);
    if (!unavailable_.empty()) {
        print(notice_);
        store_->log(unavailable_);
    }
    if (askConsent_ && !(events_ && events_->trusted())) {
        print(L::lookup(LINUX_STRINGS(), L::lang(), "linux_consent_console", {}));
    }
    if (store_->damage()) {
        const SettingsNotice notice = settingsNotice(*store_->damage(), L::lang());
        print(notice.title + ": " + notice.body);
    }
    server_.start();
    printListening();
    printPhoneLink();
    // A read cannot be interrupted, so the reader is left to the process's end. It shares only
    // the queue with this shell, never the shell itself, which may be gone by then; the
    // commands run here, on this thread.
    auto lines = std::make_shared<LineQueue>();
    std::thread([lines, &in] {
        std::string line;
        while (std::getline(in, line)) {
            lines->push(std::move(line));
            kill(getpid(), SIGUSR1);
        }
    }).detach();
    for (;;) {
        int received = 0;
        sigwait(&signals_, &received);
        if (received != SIGUSR1) return 0;
        for (const std::string& line : lines->takeAll()) {
            if (text::trimWhitespaceAndNewlines(utf8::sanitize(line)) == "quit") return 0;
            command(line);
        }
    }
}

void ConsoleShell::LineQueue::push(std::string line) {
    std::lock_guard lock(mutex);
    lines.push_back(std::move(line));
}

std::vector<std::string> ConsoleShell::LineQueue::takeAll() {
    std::lock_guard lock(mutex);
    return std::exchange(lines, {});
}

}  // namespace velora
