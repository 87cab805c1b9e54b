#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string_view>

namespace quill::bench {

// One client's connection to the benchmark's loopback server, read and
// written alike whether it is clear text or inside TLS that the server ends.
// The socket does not block; the connection closes it.
class Connection {
  public:
    explicit Connection(int fd);
    virtual ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int Fd() const { return fd_; }
    // As much of `bytes` as goes without waiting: the count, 0 when nothing
    // can go now, -1 when the connection failed.
    virtual ssize_t WriteSome(std::string_view bytes) = 0;
    // What has arrived, up to `size` bytes, without waiting: the count, 0
    // when nothing has, -1 when the connection ended or failed.
    virtual ssize_t ReadSome(char* buffer, std::size_t size) = 0;

    // All of the bytes, waiting for the socket (at most ten seconds in all);
    // false when the connection failed.
    bool Send(std::string_view bytes);
    // Reads and drops what the client has sent so far.
    void Drain();

  protected:
    // What poll waits for before the call that last returned 0 can go on.
    short awaits_ = 0;

  private:
    int fd_;
};

// The accepted socket `fd` in clear text.
std::unique_ptr<Connection> PlainConnection(int fd);

}  // namespace quill::bench
