#include "relay.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "child_process.h"

namespace quill::bench {
namespace {

// Its output goes to `file` (or nowhere).
void Redirect(const char* file) {
    const int fd = ::open(file, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(fd, STDOUT_FILENO);
    ::dup2(fd, STDERR_FILENO);
}

// A self-signed certificate for 127.0.0.1 and its key, both in `folder`.
bool MakeCertificate(const std::filesystem::path& folder) {
    const pid_t pid = Spawn({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout",
                             folder / "relay.key", "-out", folder / "relay.crt", "-days", "2",
                             "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"},
                            [] { Redirect("/dev/null"); });
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// socat -d -d logs "listening on AF=2 127.0.0.1:PORT" once it listens on
// the port the kernel gave it; 0 when it has not within ten seconds.
int ListeningPort(const std::filesystem::path& log) {
    const std::string mark = "listening on AF=2 127.0.0.1:";
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
        std::ifstream in(log);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        if (const std::size_t at = text.find(mark); at != std::string::npos) {
            return std::stoi(text.substr(at + mark.size()));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < end);
    return 0;
}

}  // namespace

Relay::Relay(Encryption encryption, const std::filesystem::path& folder, int backendPort) {
    std::string listen = "TCP-LISTEN:0,bind=127.0.0.1,reuseaddr";
    if (encryption == Encryption::kTls) {
        if (!MakeCertificate(folder)) return;
        certificate_ = folder / "relay.crt";
        listen =
            "OPENSSL-LISTEN:0,bind=127.0.0.1,reuseaddr,verify=0,cert=" + certificate_.string() +
            ",key=" + (folder / "relay.key").string();
    }
    const std::filesystem::path log = folder / "relay.log";
    pid_ = Spawn({"socat", "-d", "-d", listen, "TCP:127.0.0.1:" + std::to_string(backendPort)},
                 [&log] { Redirect(log.c_str()); });
    port_ = ListeningPort(log);
}

Relay::~Relay() {
    Stop(pid_, std::chrono::seconds(3));
}

}  // namespace quill::bench
