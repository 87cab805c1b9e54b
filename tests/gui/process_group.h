#pragma once

#include <signal.h>
#include <unistd.h>

#include <QProcess>

namespace quill::test {

// A server process (socat) that forks a child per connection runs in a
// process group of its own, so that the children stop with it.
inline void InOwnProcessGroup(QProcess& process) {
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

// Asks the whole group to stop, then the process itself, by its id.
inline void StopProcessGroup(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    const auto pid = static_cast<pid_t>(process.processId());
    ::kill(-pid, SIGTERM);
    ::kill(pid, SIGTERM);
    if (!process.waitForFinished(3000)) {
        ::kill(pid, SIGKILL);
        process.waitForFinished(3000);
    }
}

}  // namespace quill::test
