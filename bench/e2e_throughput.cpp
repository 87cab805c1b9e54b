// End-to-end throughput of a Telnet client: a loopback server puts it into
// character mode, sends N MiB of text followed by ESC Z and measures the time
// until the identify reply (ESC [ ? ... c) comes back, that is until the
// client has processed and displayed the whole stream. The same stream goes
// to each client asked for: Quillterm (quillterm-tls: over TLS, which the
// loopback server ends itself), and for comparison `xterm -e telnet` and
// `putty -telnet` when they are installed. Run it under a display, e.g.
//   xvfb-run -a -s '-screen 0 1600x1200x24' quillterm-bench-e2e
//       [--clients quillterm,quillterm-tls,xterm,putty] [MiB]
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "clients.h"
#include "loopback.h"

namespace quill::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kReplyTimeout = std::chrono::minutes(5);

// Lines of printable text with lengths drawn from [shortest, longest].
std::string Lines(std::size_t bytes, int shortest, int longest) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> length(shortest, longest);
    std::uniform_int_distribution<int> letter(0, 26);
    std::string text;
    text.reserve(bytes + 100);
    while (text.size() < bytes) {
        for (int n = length(random); n > 0; --n) {
            const int l = letter(random);
            text.push_back(l == 26 ? ' ' : static_cast<char>('a' + l));
        }
        text += "\r\n";
    }
    return text;
}

// Whether the client's bytes hold an identify reply: ESC [ ?, digits and
// semicolons, c. Each terminal names itself differently.
bool HasIdentifyReply(std::string_view replies) {
    for (std::size_t at = replies.find("\x1b[?"); at != std::string_view::npos;
         at = replies.find("\x1b[?", at + 1)) {
        const std::size_t end = replies.find_first_not_of("0123456789;", at + 3);
        if (end != std::string_view::npos && replies[end] == 'c') return true;
    }
    return false;
}

// Sends everything while reading what the client says; returns the seconds
// from the first byte sent to the end of the identify reply, or -1.
double SendAndTime(Connection& connection, const std::string& stream) {
    std::string replies;
    std::size_t sent = 0;
    const Clock::time_point start = Clock::now();
    while (!HasIdentifyReply(replies)) {
        if (Clock::now() - start > kReplyTimeout) return -1;
        pollfd p{connection.Fd(), static_cast<short>(POLLIN | (sent < stream.size() ? POLLOUT : 0)),
                 0};
        if (::poll(&p, 1, 1000) <= 0) continue;
        char buffer[4096];
        ssize_t n = 0;
        while ((n = connection.ReadSome(buffer, sizeof buffer)) > 0) {
            replies.append(buffer, static_cast<std::size_t>(n));
        }
        if (n < 0) return -1;
        if (sent < stream.size()) {
            n = connection.WriteSome(std::string_view(stream).substr(sent));
            if (n < 0) return -1;
            sent += static_cast<std::size_t>(n);
        }
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Measure(Client client, const std::string& stream) {
    const LoopbackServer server;
    const ClientProcess process(client, server.Port());
    const std::unique_ptr<Connection> connection = server.AcceptClient(process.Tls());
    if (!connection) return -1;
    // Let the window finish its start-up painting and the negotiation settle.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    connection->Drain();
    return SendAndTime(*connection, stream);
}

struct Arguments {
    std::vector<Client> clients{Client::kQuillterm};
    double mib = 8.0;
};

Arguments Parse(int argc, char** argv) {
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--clients" && i + 1 < argc) {
            if (!ParseClients(argv[++i], arguments.clients)) {
                std::fprintf(stderr,
                             "--clients takes a list of quillterm, quillterm-tls, xterm, putty\n");
                std::exit(2);
            }
        } else if (std::atof(argv[i]) > 0) {
            arguments.mib = std::atof(argv[i]);
        } else {
            std::fprintf(stderr, "usage: quillterm-bench-e2e [--clients LIST] [MiB]\n");
            std::exit(2);
        }
    }
    return arguments;
}

}  // namespace
}  // namespace quill::bench

int main(int argc, char** argv) {
    using namespace quill::bench;
    const Arguments arguments = Parse(argc, argv);
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "needs a display: run it under xvfb-run\n");
        return 2;
    }
    const auto bytes = static_cast<std::size_t>(arguments.mib * 1024 * 1024);
    struct Case {
        const char* name;
        int shortest;
        int longest;
    };
    const Case cases[] = {{"plain text (lines of 0-79)", 0, 79},
                          {"scroll-heavy (lines of 1-10)", 1, 10}};
    int status = 0;
    for (const Case& c : cases) {
        const std::string stream = Lines(bytes, c.shortest, c.longest) + "\x1bZ";
        const double mib = static_cast<double>(stream.size()) / (1024 * 1024);
        for (const Client client : arguments.clients) {
            const std::string_view name = ClientName(client);
            const std::string missing = MissingReason(client);
            if (!missing.empty()) {
                std::printf("%-30s %-15.*s skipped: %s\n", c.name, static_cast<int>(name.size()),
                            name.data(), missing.c_str());
                continue;
            }
            const double seconds = Measure(client, stream);
            if (seconds < 0) {
                std::printf("%-30s %-15.*s failed\n", c.name, static_cast<int>(name.size()),
                            name.data());
                status = 1;
                continue;
            }
            std::printf("%-30s %-15.*s %7.2f MiB in %6.2f s: %6.2f MiB/s\n", c.name,
                        static_cast<int>(name.size()), name.data(), mib, seconds, mib / seconds);
            std::fflush(stdout);
        }
    }
    return status;
}
