// A host that floods the window with requests and does not read the replies:
// the window stops reading instead of queueing replies without bound, and
// goes on once the host reads again, or ends when the host closes.
#include <QByteArray>

#include "session_fixture.h"
#include "ui/net/tcp_transport.h"

namespace quill::test {
namespace {

const QByteArray kRequest = "\x1bZ";
const QByteArray kReply = "\x1b[?1;7c";

class ReadPauseTest : public SessionTest {
  protected:
    // Sends requests in small batches, each followed by a line the window
    // shows once it has read the batch, until the window stops reading.
    // The requests sent; none when the window never stopped.
    qsizetype FloodUntilPaused() {
        host.PauseReading(true);
        host.ClearReceived();
        const Transport& transport = app->Transport();
        qsizetype requests = 0;
        for (int batch = 0; batch < 2000 && !transport.ReadingPaused(); ++batch) {
            const QByteArray seen = "batch " + QByteArray::number(batch);
            host.Send(kRequest.repeated(kBatch) + "\r\n" + seen);
            requests += kBatch;
            if (!PumpUntil([&] {
                    return transport.ReadingPaused() ||
                           ScreenText().find(seen) != std::string::npos;
                })) {
                ADD_FAILURE() << "the window neither read nor stopped reading";
                return 0;
            }
        }
        return transport.ReadingPaused() ? requests : 0;
    }

    // Small enough that what is left of a batch when reading stops fits in
    // what the socket reads ahead.
    static constexpr int kBatch = 4096;
};

TEST_F(ReadPauseTest, AHostThatDoesNotReadIsHeldBackAndAnsweredInOrderLater) {
    Connect();
    const qsizetype requests = FloodUntilPaused();
    ASSERT_GT(requests, 0) << "the window never stopped reading";
    // What one read slice answers after the queue passed its cap is all that is over it.
    EXPECT_LT(app->Transport().Queued(), TcpTransport::kQueueCap + 64 * 1024);

    host.PauseReading(false);
    ASSERT_TRUE(
        PumpUntil([&] { return host.Received().size() >= requests * kReply.size(); }, 60000));
    EXPECT_EQ(host.Received(), kReply.repeated(requests));
    EXPECT_FALSE(app->Transport().ReadingPaused());
}

TEST_F(ReadPauseTest, AHostThatClosesWhileReadingIsPausedIsShownAndTheWindowGoes) {
    Connect();
    ASSERT_GT(FloodUntilPaused(), 0) << "the window never stopped reading";
    host.Send("\r\nlast words");
    host.EndSending();
    ASSERT_TRUE(PumpUntil([this] { return Window().Destroyed(); }, 30000))
        << "the close waits behind the pause";
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, "Connection closed");
    EXPECT_NE(boxes.back().screenAtThatTime.find("last words"), std::string::npos);
}

}  // namespace
}  // namespace quill::test
