#include "child_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

namespace quill::bench {
namespace {

bool Exited(pid_t pid, std::chrono::milliseconds within) {
    const auto end = std::chrono::steady_clock::now() + within;
    do {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

}  // namespace

pid_t Spawn(const std::vector<std::string>& command, const std::function<void()>& prepare) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        prepare();
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        std::perror(argv[0]);
        ::_exit(127);
    }
    return pid;
}

void Stop(pid_t pid, std::chrono::milliseconds grace) {
    if (pid <= 0 || Exited(pid, grace)) return;
    ::kill(pid, SIGTERM);
    if (!Exited(pid, std::chrono::seconds(2))) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

}  // namespace quill::bench
