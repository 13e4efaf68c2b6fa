#include "app/ConsoleShell.h"

#include <csignal>
#include <iostream>
#include <thread>
#include <utility>

#include "common/Utf8.h"
#include "core/Text.h"
#include "core/Version.h"
#include "core/shell/L.h"
#include "core/shell/SettingsNotice.h"

namespace velora {

ConsoleShell::ConsoleShell(std::shared_ptr<Store> store, Platform platform, std::ostream& out,
                           std::chrono::milliseconds allowDelay)
    : store_(store),
      backend_(platform.backend),
      unavailable_(platform.unavailable),
      server_(store, std::move(platform)),
      out_(out),
      allowDelay_(allowDelay) {
    server_.onLog = [this](const std::string& line) {
        store_->log(line);
        print("log: " + printable(line));
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
    } else if (!word.empty() && word != "quit") {
        print("commands: allow, power on|off, screen on|off, devices, quit");
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

int ConsoleShell::run(std::istream& in) {
    // Quit on a signal; a closed standard input (a background start) leaves the server running.
    // The signals are blocked before any thread starts, so that only sigwait below takes them.
    // SIGUSR1 is the reader's "a line is waiting".
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    print(std::string("Velora ") + kVersion + " \xE2\x80\x94 console shell");
    print("Input and screen: " + backend_);
    if (!unavailable_.empty()) {
        print(unavailable_);
        store_->log(unavailable_);
    }
    if (store_->damage()) {
        const SettingsNotice notice = settingsNotice(*store_->damage(), L::lang());
        print(notice.title + ": " + notice.body);
    }
    server_.start();
    printListening();
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
        sigwait(&signals, &received);
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
