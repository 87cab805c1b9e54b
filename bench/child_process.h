#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace quill::bench {

// Starts a program found on PATH (or by its path) with the arguments of
// `command`; `prepare` runs in the child first (its environment, its file
// descriptors). The child's process id.
pid_t Spawn(const std::vector<std::string>& command, const std::function<void()>& prepare);
// Gives the child `grace` to end by itself, then stops it (SIGTERM, then
// SIGKILL) and reaps it.
void Stop(pid_t pid, std::chrono::milliseconds grace);

}  // namespace quill::bench
