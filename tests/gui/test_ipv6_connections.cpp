// Connections over IPv6: every new command-line form and the Connect dialog
// reach a host on ::1, and a name with only IPv6 addresses is reached through
// the resolver the transport is given.
#include <QHostAddress>
#include <string>
#include <vector>

#include "session_fixture.h"
#include "ui/dialogs/connect_dialog.h"

namespace quill::test {
namespace {

const QByteArray kDoTerminalType("\xff\xfd\x18", 3);
const QByteArray kWillTerminalType("\xff\xfb\x18", 3);
const QHostAddress kIpv6Loopback(QHostAddress::LocalHostIPv6);
constexpr char kNoIpv6[] = "this machine cannot listen on ::1 (no IPv6 loopback)";

// A session whose scripted host listens on ::1.
class Ipv6SessionTest : public SessionTest {
  protected:
    void SetUp() override {
        if (!ipv6Host.Listening()) GTEST_SKIP() << kNoIpv6;
    }

    std::string Ipv6Port() const { return std::to_string(ipv6Host.Port()); }

    // The program started, connected to ::1, said so, titled the window with
    // the address and answers the host's negotiation.
    void ExpectConnectedToIpv6Loopback(int startUp) {
        ASSERT_EQ(startUp, Application::kStarted);
        ASSERT_TRUE(ipv6Host.WaitForClient());
        EXPECT_EQ(ScreenRow(3).substr(0, 11), "Trying ::1 ");
        EXPECT_EQ(Window().windowTitle(), "::1");
        EXPECT_TRUE(boxes.empty());
        ipv6Host.Send(kDoTerminalType);
        EXPECT_TRUE(ipv6Host.WaitForBytes(kWillTerminalType.size()));
        EXPECT_EQ(ipv6Host.Received(), kWillTerminalType);
    }

    ScriptedServer ipv6Host{kIpv6Loopback};
};

// The arguments after the program name; "PORT" stands for the host's port.
class Ipv6CommandLineTest : public Ipv6SessionTest,
                            public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(Ipv6CommandLineTest, ConnectsToTheIpv6Loopback) {
    std::vector<std::string> arguments = GetParam();
    for (std::string& argument : arguments) {
        if (const auto at = argument.find("PORT"); at != std::string::npos) {
            argument.replace(at, 4, Ipv6Port());
        }
    }
    ExpectConnectedToIpv6Loopback(StartUp(arguments));
}

INSTANTIATE_TEST_SUITE_P(Forms, Ipv6CommandLineTest,
                         ::testing::Values(std::vector<std::string>{"[::1]:PORT"},
                                           std::vector<std::string>{"::1", "PORT"},
                                           std::vector<std::string>{"telnet://[::1]:PORT/"}));

// The host as typed into the real Connect dialog.
class Ipv6ConnectDialogTest : public Ipv6SessionTest,
                              public ::testing::WithParamInterface<std::string> {};

TEST_P(Ipv6ConnectDialogTest, ConnectsToTheAddressTyped) {
    hooks.connectDialog = [this](ConnectionTarget& target, QWidget* owner) {
        ConnectDialog dialog(owner, store, target);
        dialog.Dialog().SetItemText(ConnectControl::kHost, GetParam());
        dialog.Dialog().SetItemText(ConnectControl::kPort, Ipv6Port());
        dialog.Dialog().SendCommand(ConnectControl::kOk);
        return dialog.Dialog().result() == 1;
    };
    app = std::make_unique<Application>(store, hooks);
    ExpectConnectedToIpv6Loopback(StartUp({}));
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutBrackets, Ipv6ConnectDialogTest,
                         ::testing::Values("::1", "[::1]"));

// A transport whose resolver gives every name the same addresses.
struct ResolvedTransport {
    explicit ResolvedTransport(const QList<QHostAddress>& addresses)
        : transport(TransportHooks{.writeLine = [this](const std::string& line) { lines += line; },
                                   .socketError = [](const QString&) {},
                                   .readable = [] {},
                                   .waiting = [] {},
                                   .closed = [] {},
                                   .writable = [] {}},
                    [addresses](const QString&) { return addresses; }) {}

    std::string lines;
    TcpTransport transport;
};

TEST(HostResolution, AnIpv6AddressIsTakenAsItIsWithoutALookUp) {
    ScriptedServer ipv6Host(kIpv6Loopback);
    if (!ipv6Host.Listening()) GTEST_SKIP() << kNoIpv6;
    ResolvedTransport knowsNoName({});
    EXPECT_TRUE(knowsNoName.transport.OpenConnection("0:0::1", ipv6Host.Port()));
    EXPECT_EQ(knowsNoName.lines, "Trying ::1\r\n");
    EXPECT_TRUE(ipv6Host.WaitForClient());
}

TEST(HostResolution, ANameWithoutIpv4AddressesUsesItsIpv6Address) {
    ScriptedServer ipv6Host(kIpv6Loopback);
    if (!ipv6Host.Listening()) GTEST_SKIP() << kNoIpv6;
    ResolvedTransport onlyIpv6({kIpv6Loopback});
    EXPECT_TRUE(onlyIpv6.transport.OpenConnection("only-ipv6.test", ipv6Host.Port()));
    EXPECT_EQ(onlyIpv6.lines, "Trying ::1\r\n");
    EXPECT_TRUE(ipv6Host.WaitForClient());

    // An IPv4 address comes first even when the system lists it second.
    ScriptedServer ipv4Host;
    ResolvedTransport both({kIpv6Loopback, QHostAddress(QHostAddress::LocalHost)});
    EXPECT_TRUE(both.transport.OpenConnection("dual-stack.test", ipv4Host.Port()));
    EXPECT_EQ(both.lines, "Trying 127.0.0.1\r\n");
    EXPECT_TRUE(ipv4Host.WaitForClient());
}

}  // namespace
}  // namespace quill::test
