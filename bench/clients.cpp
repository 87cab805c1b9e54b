#include "clients.h"

#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "child_process.h"

namespace quill::bench {

namespace {

struct ClientFacts {
    Client client;
    std::string_view name;
    std::string_view windowClass;
};

constexpr std::array<ClientFacts, 4> kClients{{
    {Client::kQuillterm, "quillterm", "quillterm"},
    {Client::kQuilltermTls, "quillterm-tls", "quillterm"},
    {Client::kXterm, "xterm", "XTerm"},
    {Client::kPutty, "putty", "Putty"},
}};

const ClientFacts& Facts(Client client) {
    return kClients[static_cast<std::size_t>(client)];
}

std::string QuilltermBinary() {
    const char* chosen = std::getenv("QUILLTERM");
    return chosen != nullptr ? chosen : QUILLTERM_BINARY;
}

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::filesystem::path candidate =
            std::filesystem::path(rest.substr(0, colon)) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        rest = colon == std::string_view::npos ? "" : rest.substr(colon + 1);
    }
    return false;
}

// A fresh folder for the client's settings: Quillterm's say that it closes
// silently when the connection ends.
std::filesystem::path SettingsFolder() {
    char pattern[] = "/tmp/quillterm-bench-XXXXXX";
    const std::filesystem::path dir = ::mkdtemp(pattern);
    std::filesystem::create_directories(dir / "Brannock");
    std::ofstream(dir / "Brannock" / "Quillterm.conf") << "[settings]\nautoexit=1\n";
    return dir;
}

std::vector<std::string> CommandLine(Client client, int port) {
    const std::string portText = std::to_string(port);
    switch (client) {
        case Client::kQuillterm:
            return {QuilltermBinary(), "127.0.0.1", portText};
        case Client::kQuilltermTls:
            return {QuilltermBinary(), "--tls", "127.0.0.1", portText};
        case Client::kXterm:
            return {"xterm", "-e", "telnet", "127.0.0.1", portText};
        case Client::kPutty:
            return {"putty", "-telnet", "127.0.0.1", "-P", portText};
    }
    return {};
}

}  // namespace

std::string_view ClientName(Client client) {
    return Facts(client).name;
}

std::string_view WindowClass(Client client) {
    return Facts(client).windowClass;
}

bool ParseClients(std::string_view list, std::vector<Client>& clients) {
    clients.clear();
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        bool known = false;
        for (const ClientFacts& facts : kClients) {
            if (facts.name == name) {
                clients.push_back(facts.client);
                known = true;
            }
        }
        if (!known) return false;
        list = comma == std::string_view::npos ? "" : list.substr(comma + 1);
    }
    return !clients.empty();
}

std::string MissingReason(Client client) {
    switch (client) {
        case Client::kQuillterm:
            return ::access(QuilltermBinary().c_str(), X_OK) == 0
                       ? ""
                       : "no program at " + QuilltermBinary();
        case Client::kQuilltermTls:
            if (!OnPath("openssl")) return "openssl is not installed (apt-get install openssl)";
            return MissingReason(Client::kQuillterm);
        case Client::kXterm:
            return OnPath("xterm") && OnPath("telnet")
                       ? ""
                       : "xterm or telnet is not installed (apt-get install xterm telnet)";
        case Client::kPutty:
            return OnPath("putty") ? "" : "putty is not installed (apt-get install putty)";
    }
    return "unknown client";
}

ClientProcess::ClientProcess(Client client, int port) : home_(SettingsFolder()) {
    if (client == Client::kQuilltermTls) {
        tls_.emplace(home_);
        if (!tls_->Valid()) {
            std::fprintf(stderr, "no certificate for TLS (openssl req failed)\n");
            return;
        }
    }
    pid_ = Spawn(CommandLine(client, port), [&] {
        // Quillterm reads its settings below XDG_CONFIG_HOME, PuTTY below HOME.
        ::setenv("XDG_CONFIG_HOME", home_.c_str(), 1);
        if (client == Client::kPutty) ::setenv("HOME", home_.c_str(), 1);
        if (client == Client::kQuilltermTls) {
            ::setenv("SSL_CERT_FILE", tls_->Certificate().c_str(), 1);
        }
    });
}

ClientProcess::~ClientProcess() {
    Stop(pid_, std::chrono::seconds(3));
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
}

}  // namespace quill::bench
