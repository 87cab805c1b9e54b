// quillterm-demo-host: a small Telnet server on 127.0.0.1 (and ::1 on the
// same port, where the machine has IPv6) to try the terminal with.
//   quillterm-demo-host PORT       the demo: terminal-type request,
//                                  showcase, echo (0 picks a free port)
//   quillterm-demo-host --play LOG [--timing TIMING] [--speed X] PORT
//                                  plays a session log back to each client
//   quillterm-demo-host --cast FILE.cast [--speed X] PORT
//                                  plays an asciicast v1 or v2 recording
//   --login-file FILE (with either) asks each client for the user and the
//                                  password on the two lines of FILE first
// The port in use is printed on the first line of standard output, in the
// same words whatever happens on ::1; the second line says how that went.
// Bad use: a one-line message on standard error and exit status 2.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cast_file.h"
#include "demo_session.h"
#include "listeners.h"
#include "login_session.h"
#include "options.h"
#include "playback_session.h"
#include "recording.h"
#include "server.h"

namespace {

using namespace quill::demo;

int Fail(const std::string& message, int status) {
    std::fprintf(stderr, "quillterm-demo-host: %s\n", message.c_str());
    return status;
}

// 127.0.0.1 on `port`, then ::1 on the port that got; empty when even
// 127.0.0.1 failed.
std::vector<int> Listen(int port) {
    std::string error;
    const int ipv4 = ListenOnLoopback(AF_INET, port, error);
    if (ipv4 < 0) {
        Fail(error, 1);
        return {};
    }
    const int bound = BoundPort(ipv4);
    std::printf("quillterm-demo-host listening on 127.0.0.1 port %d\n", bound);
    const int ipv6 = ListenOnLoopback(AF_INET6, bound, error);
    if (ipv6 >= 0) {
        std::printf("quillterm-demo-host also listening on ::1 port %d\n", bound);
    } else {
        std::printf("quillterm-demo-host: IPv4 only, %s\n", error.c_str());
    }
    std::fflush(stdout);
    return ipv6 >= 0 ? std::vector<int>{ipv4, ipv6} : std::vector<int>{ipv4};
}

SessionFactory NewSession(const std::optional<Recording>& recording, double speed) {
    if (!recording) return [] { return std::make_unique<DemoSession>(); };
    return [&recording, speed] { return std::make_unique<PlaybackSession>(*recording, speed); };
}

// The same sessions, each behind a login.
SessionFactory BehindLogin(const std::optional<Login>& login, SessionFactory session) {
    if (!login) return session;
    return [&login, session] { return std::make_unique<LoginSession>(*login, session()); };
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const std::optional<Options> options = ParseOptions(argc, argv, error);
    if (!options) return Fail(error, 2);
    std::optional<Recording> recording;
    if (options->play) {
        recording = Recording::Load(*options->play, options->timing, error);
        if (!recording) return Fail(error, 2);
    }
    if (options->cast) {
        std::optional<CastOutput> cast = LoadCast(*options->cast, error);
        if (!cast) return Fail(error, 2);
        recording = Recording::InMemory(std::move(cast->bytes), std::move(cast->steps));
    }
    std::optional<Login> login;
    if (options->loginFile) {
        login = LoadLoginFile(*options->loginFile, error);
        if (!login) return Fail(error, 2);
    }
    const std::vector<int> listeners = Listen(options->port);
    if (listeners.empty()) return 1;
    Server(listeners, BehindLogin(login, NewSession(recording, options->speed))).Run();
    for (int fd : listeners) close(fd);
    return 1;
}
