// Byte-to-pixel latency of Telnet clients under one X display. A loopback
// server puts each client into character mode and, round after round, sends
// three letters to row 12, column 1 (ESC [ 12 ; 1 H and the letters), while
// a poller grabs a band of the screen around that row (the same size for
// every client), every 0.2 ms by default, until its pixels change. The time from the send to the
// grab that shows the change is one round. The clients take their rounds in turn, in an order that
// rotates, so that the machine's load falls on them alike.
//
//   xvfb-run -a -s '-screen 0 2400x1000x24' quillterm-bench-latency
//       [--rounds N] [--clients quillterm,quillterm-tls,xterm,putty]
//       [--band WxH] [--interval MICROSECONDS]
//
// Quillterm is the program this benchmark was built with (or $QUILLTERM),
// quillterm-tls the same over TLS, which the loopback server ends itself;
// the peers are `xterm -e telnet` and `putty -telnet`, skipped when missing.
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "clients.h"
#include "loopback.h"
#include "screen_grab.h"

namespace quill::bench {
namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

constexpr auto kWindowTimeout = std::chrono::seconds(20);
constexpr auto kRoundTimeout = std::chrono::seconds(2);
// Windows are placed side by side, this far apart.
constexpr int kSlotWidth = 800;
// The screen row and column (1-based) the letters go to.
constexpr const char* kPlaceLetters = "\x1b[12;1H";

struct Arguments {
    int rounds = 200;
    std::vector<Client> clients{Client::kQuillterm, Client::kXterm, Client::kPutty};
    int bandWidth = 320;
    int bandHeight = 60;
    // Between the starts of two grabs; the poller sleeps in between, so that
    // it leaves the clients and the X server the processor.
    std::chrono::microseconds interval{200};
};

[[noreturn]] void Usage() {
    std::fprintf(stderr,
                 "usage: quillterm-bench-latency [--rounds N] [--clients LIST] [--band WxH]"
                 " [--interval MICROSECONDS]\n");
    std::exit(2);
}

Arguments Parse(int argc, char** argv) {
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) Usage();
        const std::string value = argv[++i];
        if (arg == "--rounds") {
            arguments.rounds = std::atoi(value.c_str());
            if (arguments.rounds < 1) Usage();
        } else if (arg == "--clients") {
            if (!ParseClients(value, arguments.clients)) Usage();
        } else if (arg == "--interval") {
            arguments.interval = std::chrono::microseconds(std::atoi(value.c_str()));
            if (arguments.interval.count() < 0) Usage();
        } else if (arg == "--band") {
            if (std::sscanf(value.c_str(), "%dx%d", &arguments.bandWidth, &arguments.bandHeight) !=
                    2 ||
                arguments.bandWidth < 8 || arguments.bandHeight < 8) {
                Usage();
            }
        } else {
            Usage();
        }
    }
    return arguments;
}

std::string LoadAverage() {
    std::string one, five, fifteen;
    std::ifstream("/proc/loadavg") >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// Grabs until the rectangle has not changed for `quiet`, at most `limit`.
void WaitStill(ScreenGrab& grab, std::chrono::milliseconds quiet, std::chrono::milliseconds limit) {
    const Clock::time_point end = Clock::now() + limit;
    grab.Take();
    std::vector<char> last = grab.Snapshot();
    Clock::time_point since = Clock::now();
    while (Clock::now() < end && Clock::now() - since < quiet) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        grab.Take();
        if (grab.Changed(last).width > 0) {
            last = grab.Snapshot();
            since = Clock::now();
        }
    }
}

// A client under test: its process, its connection (closed first), the grab
// of its band of the screen and its rounds.
struct Subject {
    Subject(Client c, int port) : client(c), process(c, port) {}
    Client client;
    ClientProcess process;
    std::unique_ptr<Connection> connection;
    std::optional<ScreenGrab> grab;
    std::vector<double> rounds;  // milliseconds
    int missed = 0;
};

std::optional<Window> AwaitWindow(Display* display, Client client,
                                  const std::vector<Window>& taken) {
    const Clock::time_point end = Clock::now() + kWindowTimeout;
    while (Clock::now() < end) {
        const std::optional<Window> window = FindWindow(display, WindowClass(client), taken);
        // Quillterm's start-up window shares its class; the terminal window is larger.
        if (window && WindowRect(display, *window).height >= 150) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return std::nullopt;
}

// Sends bytes that change the window, and waits until it shows the change and
// has been still for a while; the pixels then.
std::optional<std::vector<char>> ShowAndSettle(Connection& connection, ScreenGrab& grab,
                                               const std::string& bytes) {
    grab.Take();
    const std::vector<char> before = grab.Snapshot();
    if (!connection.Send(bytes)) return std::nullopt;
    const Clock::time_point end = Clock::now() + std::chrono::seconds(10);
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        grab.Take();
    } while (grab.Changed(before).width == 0 && Clock::now() < end);
    WaitStill(grab, std::chrono::milliseconds(300), std::chrono::seconds(10));
    return grab.Snapshot();
}

// Finds where row 12 shows in the window: letters written there on a clear
// screen are replaced by others, and the band is centred on what changed,
// from the letters' left edge.
std::optional<Rect> Calibrate(Display* display, Subject& s, Rect window, const Arguments& a) {
    ScreenGrab grab(display, window);
    const std::optional<std::vector<char>> first =
        ShowAndSettle(*s.connection, grab, std::string("\x1b[H\x1b[2J") + kPlaceLetters + "MMM");
    if (!first || !ShowAndSettle(*s.connection, grab, std::string(kPlaceLetters) + "WWW")) {
        return std::nullopt;
    }
    const Rect letters = grab.Changed(*first);
    if (letters.width == 0) return std::nullopt;
    Rect band{window.x + std::max(0, letters.x - 4),
              window.y + letters.y + letters.height / 2 - a.bandHeight / 2, a.bandWidth,
              a.bandHeight};
    band.x = std::min(band.x, window.x + window.width - band.width);
    band.y = std::clamp(band.y, window.y, window.y + window.height - band.height);
    if (band.x < window.x || band.y < window.y) return std::nullopt;  // window too small
    return band;
}

// The client's window goes into the next free slot, and on to `windows`
// once the band is found.
bool Prepare(Display* display, const LoopbackServer& server, Subject& s,
             std::vector<Window>& windows, const Arguments& a) {
    s.connection = server.AcceptClient(s.process.Tls());
    if (!s.connection) {
        std::printf("%s: did not connect\n", ClientName(s.client).data());
        return false;
    }
    const std::optional<Window> window = AwaitWindow(display, s.client, windows);
    if (!window) {
        std::printf("%s: no window of class %s\n", ClientName(s.client).data(),
                    WindowClass(s.client).data());
        return false;
    }
    MoveWindow(display, *window, static_cast<int>(windows.size()) * kSlotWidth, 0);
    const Rect rect = WindowRect(display, *window);
    if (rect.x + rect.width > DisplayWidth(display, DefaultScreen(display))) {
        std::printf("%s: the screen is too narrow for the windows side by side\n",
                    ClientName(s.client).data());
        return false;
    }
    const std::optional<Rect> band = Calibrate(display, s, rect, a);
    if (!band) {
        std::printf("%s: row 12 could not be found on the screen\n", ClientName(s.client).data());
        return false;
    }
    s.grab.emplace(display, *band);
    windows.push_back(*window);
    s.connection->Drain();
    return true;
}

struct PollCount {
    long grabs = 0;
    Clock::duration spent{};
};

// One round: the time from the send to the first grab that differs.
void Round(Subject& s, char letter, std::chrono::microseconds interval, PollCount& polls) {
    ScreenGrab& grab = *s.grab;
    s.connection->Drain();
    grab.Take();
    const std::vector<char> before = grab.Snapshot();
    const std::string bytes = std::string(kPlaceLetters) + std::string(3, letter);
    const Clock::time_point sent = Clock::now();
    if (!s.connection->Send(bytes)) {
        ++s.missed;
        return;
    }
    Clock::time_point now;
    bool changed = false;
    Clock::time_point next = sent;
    do {
        std::this_thread::sleep_until(next);
        next += interval;
        grab.Take();
        now = Clock::now();
        ++polls.grabs;
        changed = !std::equal(before.begin(), before.end(), grab.Pixels().begin());
    } while (!changed && now - sent < kRoundTimeout);
    polls.spent += now - sent;
    if (changed) {
        s.rounds.push_back(Millis(now - sent).count());
    } else {
        ++s.missed;
    }
    WaitStill(grab, std::chrono::milliseconds(20), std::chrono::seconds(1));
}

// The value below which `share` of the sorted values lie (nearest rank).
double Percentile(const std::vector<double>& sorted, double share) {
    const auto rank =
        static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

void Report(std::vector<std::unique_ptr<Subject>>& subjects, const PollCount& polls,
            bool sharedMemory, const Arguments& a) {
    std::printf(
        "polling: %s of %d x %d pixels, every %.3f ms on average\n",
        sharedMemory ? "XShmGetImage" : "XGetImage", a.bandWidth, a.bandHeight,
        polls.grabs > 0 ? Millis(polls.spent).count() / static_cast<double>(polls.grabs) : 0.0);
    std::printf("%-16s %7s %7s %10s %8s %8s %8s\n", "client", "rounds", "missed", "median ms",
                "p90 ms", "min ms", "max ms");
    for (auto& s : subjects) {
        std::vector<double> sorted = s->rounds;
        std::sort(sorted.begin(), sorted.end());
        if (sorted.empty()) {
            std::printf("%-16s %7d %7d\n", ClientName(s->client).data(), 0, s->missed);
            continue;
        }
        std::printf("%-16s %7zu %7d %10.2f %8.2f %8.2f %8.2f\n", ClientName(s->client).data(),
                    sorted.size(), s->missed, Percentile(sorted, 0.5), Percentile(sorted, 0.9),
                    sorted.front(), sorted.back());
    }
}

}  // namespace
}  // namespace quill::bench

int main(int argc, char** argv) {
    using namespace quill::bench;
    const Arguments arguments = Parse(argc, argv);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "needs a display: run it under xvfb-run\n");
        return 2;
    }
    std::printf("load average at start: %s\n", LoadAverage().c_str());
    const LoopbackServer server;
    std::vector<std::unique_ptr<Subject>> subjects;
    std::vector<Window> windows;
    for (const Client client : arguments.clients) {
        const std::string missing = MissingReason(client);
        if (!missing.empty()) {
            std::printf("%s: skipped, %s\n", ClientName(client).data(), missing.c_str());
            continue;
        }
        auto subject = std::make_unique<Subject>(client, server.Port());
        if (Prepare(display, server, *subject, windows, arguments)) {
            subjects.push_back(std::move(subject));
        }
    }
    if (subjects.empty()) {
        std::printf("no client to measure\n");
        XCloseDisplay(display);
        return 1;
    }
    PollCount polls;
    for (int round = 0; round < arguments.rounds; ++round) {
        const char letter = static_cast<char>('a' + round % 26);
        for (std::size_t i = 0; i < subjects.size(); ++i) {
            Round(*subjects[(i + static_cast<std::size_t>(round)) % subjects.size()], letter,
                  arguments.interval, polls);
        }
    }
    const bool sharedMemory = subjects.front()->grab->SharedMemory();
    Report(subjects, polls, sharedMemory, arguments);
    std::printf("load average at end: %s\n", LoadAverage().c_str());
    subjects.clear();
    XCloseDisplay(display);
    return 0;
}
