// End-to-end throughput of the program: a loopback server sends N MiB of text
// followed by ESC Z to a running quillterm and measures the time until the
// identify reply ESC [ ? 1 ; 7 c comes back, that is until the client has
// processed and displayed the whole stream. Run it under a display, e.g.
//   xvfb-run -s '-screen 0 1280x1024x24' quillterm-bench-e2e [MiB]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kIdentifyReply = "\x1b[?1;7c";
constexpr int kConnectTimeoutMs = 20000;
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

struct Listener {
    int fd = -1;
    int port = 0;
};

Listener Listen() {
    Listener l;
    l.fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(l.fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(l.fd, 1) != 0 ||
        ::getsockname(l.fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        std::perror("listen");
        std::exit(1);
    }
    l.port = ntohs(address.sin_port);
    return l;
}

// A settings directory in which the program closes silently at the end.
std::filesystem::path ConfigWithAutoexit() {
    char pattern[] = "/tmp/quillterm-e2e-XXXXXX";
    const std::filesystem::path dir = ::mkdtemp(pattern);
    std::filesystem::create_directories(dir / "Brannock");
    std::ofstream(dir / "Brannock" / "Quillterm.conf") << "[settings]\nautoexit=1\n";
    return dir;
}

pid_t StartClient(const char* program, int port, const std::filesystem::path& config) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        const std::string portText = std::to_string(port);
        ::execl(program, program, "127.0.0.1", portText.c_str(), static_cast<char*>(nullptr));
        std::perror(program);
        ::_exit(127);
    }
    return pid;
}

void StopClient(pid_t pid) {
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
        ::usleep(100000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

// Sends everything while reading what the client says; returns the seconds
// from the first byte sent to the end of the identify reply, or -1.
double SendAndTime(int fd, const std::string& stream) {
    std::string replies;
    std::size_t sent = 0;
    const Clock::time_point start = Clock::now();
    while (replies.find(kIdentifyReply) == std::string::npos) {
        if (Clock::now() - start > kReplyTimeout) return -1;
        pollfd p{fd, static_cast<short>(POLLIN | (sent < stream.size() ? POLLOUT : 0)), 0};
        if (::poll(&p, 1, 1000) <= 0) continue;
        if (p.revents & POLLIN) {
            char buffer[4096];
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) return -1;
            replies.append(buffer, static_cast<std::size_t>(n));
        }
        if ((p.revents & POLLOUT) && sent < stream.size()) {
            const ssize_t n = ::send(fd, stream.data() + sent, stream.size() - sent, MSG_NOSIGNAL);
            if (n < 0) return -1;
            sent += static_cast<std::size_t>(n);
        }
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Measure(const char* program, const std::string& stream) {
    const Listener listener = Listen();
    const std::filesystem::path config = ConfigWithAutoexit();
    const pid_t client = StartClient(program, listener.port, config);
    pollfd p{listener.fd, POLLIN, 0};
    double seconds = -1;
    if (::poll(&p, 1, kConnectTimeoutMs) == 1) {
        const int fd = ::accept(listener.fd, nullptr, nullptr);
        ::usleep(500000);  // let the window finish its start-up painting
        seconds = SendAndTime(fd, stream);
        ::close(fd);
    }
    ::close(listener.fd);
    StopClient(client);
    std::filesystem::remove_all(config);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const double mib = argc > 1 ? std::atof(argv[1]) : 8.0;
    const char* program = std::getenv("QUILLTERM") ? std::getenv("QUILLTERM") : QUILLTERM_BINARY;
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "needs a display: run it under xvfb-run\n");
        return 2;
    }
    const auto bytes = static_cast<std::size_t>(mib * 1024 * 1024);
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
        const double seconds = Measure(program, stream);
        if (seconds < 0) {
            std::printf("%-30s failed\n", c.name);
            status = 1;
            continue;
        }
        std::printf("%-30s %7.2f MiB in %6.2f s: %6.2f MiB/s\n", c.name,
                    static_cast<double>(stream.size()) / (1024 * 1024), seconds,
                    static_cast<double>(stream.size()) / (1024 * 1024) / seconds);
    }
    return status;
}
