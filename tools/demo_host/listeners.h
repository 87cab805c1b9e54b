#pragma once

#include <string>

namespace quill::demo {

// A non-blocking listening TCP socket on the loopback address of `family`
// (AF_INET: 127.0.0.1, AF_INET6: ::1); 0 lets the kernel pick the port.
// -1 on failure, with `error` saying why.
int ListenOnLoopback(int family, int port, std::string& error);

// The port a listening socket of either family is bound to.
int BoundPort(int fd);

}  // namespace quill::demo
