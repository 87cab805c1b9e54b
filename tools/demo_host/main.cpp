// quillterm-demo-host: a small Telnet server on 127.0.0.1 (and ::1 on the
// same port, where the machine has IPv6) to try the terminal with.
// Usage: quillterm-demo-host PORT (0 picks a free port).
// The port in use is printed on the first line of standard output, in the
// same words whatever happens on ::1; the second line says how that went.
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "demo_session.h"
#include "listeners.h"
#include "server.h"

namespace {

bool ParsePort(const char* text, int& port) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 0 || value > 65535) return false;
    port = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quill::demo;
    int port = 0;
    if (argc != 2 || !ParsePort(argv[1], port)) {
        std::fprintf(stderr, "usage: quillterm-demo-host PORT   (0 picks a free port)\n");
        return 2;
    }
    std::string error;
    const int listener = ListenOnLoopback(AF_INET, port, error);
    if (listener < 0) {
        std::fprintf(stderr, "quillterm-demo-host: %s\n", error.c_str());
        return 1;
    }
    const int boundPort = BoundPort(listener);
    std::printf("quillterm-demo-host listening on 127.0.0.1 port %d\n", boundPort);
    std::vector<int> listeners{listener};
    const int ipv6 = ListenOnLoopback(AF_INET6, boundPort, error);
    if (ipv6 >= 0) {
        listeners.push_back(ipv6);
        std::printf("quillterm-demo-host also listening on ::1 port %d\n", boundPort);
    } else {
        std::printf("quillterm-demo-host: IPv4 only, %s\n", error.c_str());
    }
    std::fflush(stdout);
    Server(listeners, [] { return std::make_unique<DemoSession>(); }).Run();
    for (int fd : listeners) close(fd);
    return 1;
}
