// The session's pump on a transport the test plays: when it reads what has
// arrived, and when it reports the server's close.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "core/engine/headless_terminal.h"
#include "scripted_server.h"
#include "ui/app/session.h"

namespace quill::test {
namespace {

// What the server sent, handed out as a socket hands it out; the read pause
// and the close are the test's to set.
class PlayedTransport final : public Transport {
  public:
    bool InitTransport() override { return true; }
    QString Description() const override { return {}; }
    bool OpenConnection(const std::string&, int) override { return true; }
    bool Connected() const override { return connected; }
    std::span<std::uint8_t> ReceiveBytes(std::span<std::uint8_t> buffer) override {
        if (paused) return {};
        const std::size_t count = std::min(buffer.size(), inbox.size());
        std::copy_n(inbox.begin(), count, buffer.begin());
        inbox.erase(0, count);
        return buffer.first(count);
    }
    void SendBytes(const std::uint8_t*, std::size_t) override {}
    void CloseConnection() override { connected = false; }
    qint64 Pending() const override { return static_cast<qint64>(inbox.size()); }
    qint64 Queued() const override { return 0; }
    bool ReadingPaused() const override { return paused; }
    void HoldFlush() override {}
    void ReleaseFlush() override {}

    std::string inbox;
    bool paused = false;
    bool connected = true;
};

// The events the tests deliver with sendPostedEvents are those the session
// has queued so far, not those they queue in turn.
class SessionPumpTest : public ::testing::Test {
  protected:
    QWidget owner;
    HeadlessTerminal terminal;
    PlayedTransport transport;
    SessionLogger logger{owner, SessionLoggerHooks{{}, {}, {}, [](bool) {}}};
    ScriptSession scripts{owner, terminal.terminal(), transport, terminal.Options(), {}};
    // What was still to read each time the session reported the close.
    std::vector<qint64> pendingAtClose;
    // Each reading is half a frame on: a slice reads one chunk.
    std::chrono::steady_clock::time_point now;
    Session session{
        SessionParts{transport, terminal.terminal(), logger, scripts},
        SessionHooks{.fed = [] {},
                     .closed = [this] { pendingAtClose.push_back(transport.Pending()); },
                     .writable = [] {},
                     .clock = [this] { return now += Session::kReadSlice / 2; }}};
};

TEST_F(SessionPumpTest, TheSignalReadsAtOnceLaterEventsTheRestAndTheCloseComesOnceAfterIt) {
    transport.inbox = std::string(250, 'x');
    session.Readable();
    EXPECT_EQ(transport.Pending(), 150);
    // A read event is waiting: more data arriving now is read there, in order.
    session.Readable();
    EXPECT_EQ(transport.Pending(), 150);
    session.PeerClosed();
    ASSERT_TRUE(PumpUntil([this] { return !pendingAtClose.empty(); }));
    session.PeerClosed();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(pendingAtClose, std::vector<qint64>{0});
}

TEST_F(SessionPumpTest, NothingIsReadWhilePausedNorOnceThisSideHasClosed) {
    transport.inbox = std::string(250, 'x');
    transport.paused = true;
    session.Readable();
    session.Waiting();
    transport.paused = false;
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(transport.Pending(), 250);

    session.Waiting();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(transport.Pending(), 150);
    // The slice left a read event waiting; this side closes before it runs.
    transport.CloseConnection();
    QCoreApplication::sendPostedEvents();
    session.PeerClosed();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(transport.Pending(), 150);
    EXPECT_TRUE(pendingAtClose.empty());
}

}  // namespace
}  // namespace quill::test
