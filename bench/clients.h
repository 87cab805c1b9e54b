#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tls_identity.h"

namespace quill::bench {

// The Telnet clients the benchmarks compare, each started as its users start
// it against a server on 127.0.0.1: Quillterm itself, also over TLS
// (`--tls`, with the server ending it), `xterm -e telnet` and
// `putty -telnet`. The peers are there for measuring only; a missing one is
// skipped.
enum class Client { kQuillterm, kQuilltermTls, kXterm, kPutty };

std::string_view ClientName(Client client);
// The class of its terminal window (WM_CLASS).
std::string_view WindowClass(Client client);
// The clients of a list such as "quillterm,quillterm-tls,xterm,putty";
// false for an unknown name.
bool ParseClients(std::string_view list, std::vector<Client>& clients);
// Why the client cannot run on this machine, or empty when it can.
std::string MissingReason(Client client);

// A running client, connected (or connecting) to 127.0.0.1:port, with a
// settings folder of its own that it leaves behind: Quillterm closes by
// itself when the connection ends, the peers are stopped. Quillterm is the
// binary this benchmark was built with, or $QUILLTERM; over TLS it trusts
// the certificate made for it, which the server then presents.
class ClientProcess {
  public:
    ClientProcess(Client client, int port);
    ~ClientProcess();
    ClientProcess(const ClientProcess&) = delete;
    ClientProcess& operator=(const ClientProcess&) = delete;

    // What the server presents to this client: nullptr in clear text.
    const TlsIdentity* Tls() const { return tls_ ? &*tls_ : nullptr; }

  private:
    pid_t pid_ = -1;
    std::filesystem::path home_;
    std::optional<TlsIdentity> tls_;
};

}  // namespace quill::bench
