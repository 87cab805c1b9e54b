// The Telnet decoder on its own: what it makes of received bytes, in order,
// however they are split into blocks, and the one question it asks of the
// terminal (is an escape sequence open?).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/telnet/telnet_decoder.h"

namespace quill::test {
namespace {

using Events = std::vector<std::string>;

class RecordingEvents final : public TelnetEvents, public EscapeSequenceState {
  public:
    void OnData(const std::uint8_t* bytes, int count) override {
        events.push_back("data " + std::string(bytes, bytes + count));
        // A terminal that enters an escape sequence on ESC and leaves it at
        // the next byte.
        for (int i = 0; i < count; ++i) escapeOpen = bytes[i] == 0x1B;
    }
    void OnOptionRequest(std::uint8_t command, std::uint8_t option) override {
        events.push_back("option " + std::to_string(command) + " " + std::to_string(option));
    }
    void OnSubnegotiation(std::uint8_t option, std::span<const std::uint8_t> data) override {
        events.push_back("sub " + std::to_string(option) + " " +
                         std::string(data.begin(), data.end()));
    }
    bool EscapeSequenceOpen() const override { return escapeOpen; }

    Events events;
    bool escapeOpen = false;
};

Events Decode(const std::string& bytes, int block) {
    RecordingEvents events;
    TelnetDecoder decoder(events, events);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t at = 0; at < bytes.size(); at += static_cast<std::size_t>(block)) {
        decoder.Decode(data + at,
                       static_cast<int>(std::min(bytes.size() - at, std::size_t(block))));
    }
    return events.events;
}

// Consecutive data events as one.
Events Merged(const Events& events) {
    Events merged;
    for (const std::string& e : events) {
        const bool data = e.rfind("data ", 0) == 0;
        if (data && !merged.empty() && merged.back().rfind("data ", 0) == 0) {
            merged.back() += e.substr(5);
        } else {
            merged.push_back(e);
        }
    }
    return merged;
}

TEST(TelnetDecoder, SplitsDataFromCommandsInOrderInEveryBlockSize) {
    const std::string stream =
        "ab\xff\xfd\x18"
        "c\xff\xff"
        "d\xff\xf1\xff\xfb\x26"
        "\xff\xfa\x18\x01\xff\xff\xff\xf0"
        "e";
    const Events whole = Decode(stream, 100);
    EXPECT_EQ(whole, (Events{"data ab", "option 253 24", "data c", "data \xff", "data d",
                             "option 251 38", "sub 24 \x01\xff", "data e"}));
    // In other block sizes the data comes in other pieces, the rest the same.
    for (int block : {1, 2, 3}) EXPECT_EQ(Merged(Decode(stream, block)), Merged(whole)) << block;
}

// Anything but IAC or SE after an IAC in a subnegotiation abandons it and is
// read as a command.
TEST(TelnetDecoder, CommandInsideASubnegotiationAbandonsIt) {
    EXPECT_EQ(Decode("\xff\xfa\x18\x01\xff\xfd\x01x", 100), (Events{"option 253 1", "data x"}));
}

// While the terminal has an escape sequence open, IAC is its byte, and so is
// what follows; outside one the same bytes are a command.
TEST(TelnetDecoder, IacInsideAnOpenEscapeSequenceIsData) {
    EXPECT_EQ(Decode("A\x1b\xff\xfd\x18"
                     "B",
                     100),
              (Events{"data A\x1b", "data \xff",
                      "data \xfd\x18"
                      "B"}));
    EXPECT_EQ(Decode("A\xff\xfd\x18"
                     "B",
                     100),
              (Events{"data A", "option 253 24", "data B"}));
}

}  // namespace
}  // namespace quill::test
