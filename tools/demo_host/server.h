#pragma once

#include <poll.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "client_session.h"

namespace quill::demo {

using SessionFactory = std::function<std::unique_ptr<ClientSession>()>;

// Serves every client that connects to one of the listening sockets with a
// session of its own. Sockets never block: a client that is slow to read
// holds up no one else.
class Server {
  public:
    Server(std::vector<int> listeners, SessionFactory newSession);

    // Returns only when poll fails.
    void Run();

  private:
    using Clock = ClientSession::Clock;

    struct Client {
        std::unique_ptr<ClientSession> session;
        std::string unsent;
    };

    std::vector<pollfd> PollSet() const;
    int TimeoutMs() const;
    void Handle(const pollfd& ready);
    void Accept(int listener);
    void Read(int fd);
    void Queue(int fd, const std::string& bytes);
    void Flush(int fd);
    void TickIdle();
    void Drop(int fd);

    std::vector<int> listeners_;
    SessionFactory newSession_;
    std::map<int, Client> clients_;
};

}  // namespace quill::demo
