// The options the extended terminal takes (ECHO, SGA, MCCP2, CHARSET, MTTS,
// EOR) and how both terminals answer the rest, at the decoder and
// negotiation seam: what the terminal sends and shows for what the host
// sends, the same wherever the bytes are split into blocks.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "replay_session.h"

namespace quill::test {
namespace {

std::string Iac(std::initializer_list<int> bytes) {
    std::string out = "\xff";
    for (const int b : bytes) out += static_cast<char>(b);
    return out;
}

// The host's compressed stream: a zlib stream of `text`.
std::string Compressed(const std::string& text) {
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()), 9);
    out.resize(size);
    return out;
}

const std::string kStartCompression = "\xff\xfa\x56\xff\xf0";

struct Outcome {
    std::string sent;  // as the replay output writes it
    std::string screen;
};

std::string Sent(const ReplaySession& session) {
    const std::string render = session.Render(false);
    const std::size_t at = render.find("sent");
    return render.substr(at, render.find('\n', at) - at);
}

// The replies and the screen after `stream`, fed in the given blocks.
Outcome Run(const std::string& stream, const std::vector<std::size_t>& cuts, bool extended,
            bool localEcho = false) {
    ReplaySession session(false, false);
    session.Options().SetExtended(extended);
    session.Options().SetLocalEcho(localEcho);
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        session.Feed(stream.substr(from, cut - from), kReceiveChunk);
        from = cut;
    }
    session.Feed(stream.substr(from), kReceiveChunk);
    const std::string render = session.Render(false);
    return {Sent(session), render.substr(render.find("screen"))};
}

// The outcome of the stream whole, after checking that it is the same with
// the stream cut in two at every byte, and one byte per block.
Outcome Everywhere(const std::string& stream, bool extended) {
    const Outcome whole = Run(stream, {}, extended);
    std::vector<std::size_t> bytes;
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        const Outcome split = Run(stream, {cut}, extended);
        EXPECT_EQ(split.sent, whole.sent) << "cut at " << cut;
        EXPECT_EQ(split.screen, whole.screen) << "cut at " << cut;
        bytes.push_back(cut);
    }
    const Outcome single = Run(stream, bytes, extended);
    EXPECT_EQ(single.sent, whole.sent);
    EXPECT_EQ(single.screen, whole.screen);
    return whole;
}

std::string Row0(const Outcome& outcome) {
    const std::size_t at = outcome.screen.find('|') + 1;
    const std::string row = outcome.screen.substr(at, outcome.screen.find('|', at) - at);
    return row.substr(0, row.find_last_not_of(' ') + 1);
}

// Every request the extended terminal takes is answered once, a repeat not
// at all; every other is refused, each time it comes; turning off what is
// off gets nothing. MCCP versions 1 and 3 are refused, version 2 taken.
TEST(TelnetOptions, ExtendedTakesItsOptionsOnceAndRefusesTheRest) {
    const std::string stream = Iac({251, 1}) + Iac({251, 1}) + Iac({251, 3}) + Iac({253, 3}) +
                               Iac({253, 3}) + Iac({251, 85}) + Iac({251, 86}) + Iac({251, 87}) +
                               Iac({253, 42}) + Iac({251, 42}) + Iac({251, 25}) + Iac({251, 5}) +
                               Iac({251, 5}) + Iac({253, 5}) + Iac({252, 5}) + Iac({254, 5}) +
                               Iac({252, 1}) + Iac({252, 1}) + Iac({254, 3}) + Iac({253, 24}) +
                               Iac({253, 24}) + "A";
    const Outcome outcome = Everywhere(stream, true);
    EXPECT_EQ(outcome.sent,
              "sent ff fd 01 ff fd 03 ff fb 03 ff fe 55 ff fd 56 ff fe 57 ff fb 2a ff fd 2a "
              "ff fd 19 ff fe 05 ff fe 05 ff fc 05 ff fe 01 ff fc 03 ff fb 18");
    EXPECT_EQ(Row0(outcome), "A");
}

// The plain terminal answers the same requests as it always has: DO gets
// WONT (the terminal type WILL, every time), WILL nothing.
TEST(TelnetOptions, PlainTerminalAnswersAsBefore) {
    const std::string stream = Iac({251, 1}) + Iac({251, 3}) + Iac({253, 3}) + Iac({251, 86}) +
                               Iac({253, 42}) + Iac({251, 42}) + Iac({251, 25}) + Iac({253, 24}) +
                               Iac({253, 24}) + Iac({252, 1}) + kStartCompression + "A" +
                               Iac({250, 42, 1}) + ";UTF-8" + Iac({240});
    const Outcome outcome = Everywhere(stream, false);
    EXPECT_EQ(outcome.sent, "sent ff fc 03 ff fc 2a ff fb 18 ff fb 18");
    EXPECT_EQ(Row0(outcome), "A");
}

// The BBS terminal asks for BINARY both ways once the connection opens, once
// only; the host's agreement turns it on and its refusal leaves it off,
// neither answered, as a later request of the host's then shows. The other
// terminals, and raw TCP, ask for nothing.
TEST(TelnetOptions, BbsTerminalAsksForBinaryAndLeavesTheAnswerUnanswered) {
    for (const bool agreed : {true, false}) {
        ReplaySession session(false, false);
        session.Options().SetDialect(DialectId::kBbs);
        session.terminal().ConnectionOpened();
        session.terminal().ConnectionOpened();
        session.Feed(agreed ? Iac({253, 0}) + Iac({251, 0}) : Iac({254, 0}) + Iac({252, 0}),
                     kReceiveChunk);
        session.Feed(Iac({253, 0}), kReceiveChunk);
        EXPECT_EQ(Sent(session), agreed ? "sent ff fb 00 ff fd 00" : "sent ff fb 00 ff fd 00 ff fb 00");
    }
    for (const DialectId dialect : {DialectId::kPlain, DialectId::kExtended, DialectId::kBbs}) {
        ReplaySession session(false, false);
        session.Options().SetDialect(dialect);
        session.terminal().SetRawConnection(dialect == DialectId::kBbs);
        session.terminal().ConnectionOpened();
        EXPECT_EQ(Sent(session), "sent");
    }
}

// A REQUEST, with or without a translation table, is accepted when its list
// holds UTF-8 in either spelling and any case (and comes back as spelled),
// rejected otherwise; before CHARSET is on it is not answered.
TEST(TelnetOptions, CharsetAcceptsUtf8AsTheHostSpellsIt) {
    const std::string request = Iac({250, 42, 1});
    const std::string end = Iac({240});
    EXPECT_EQ(Everywhere(request + ";UTF-8" + end, true).sent, "sent");
    const std::string on = Iac({253, 42});
    EXPECT_EQ(Everywhere(on + request + ";ISO-8859-1;utf8;UTF-8" + end, true).sent,
              "sent ff fb 2a ff fa 2a 02 75 74 66 38 ff f0");
    EXPECT_EQ(Everywhere(on + request + "[TTABLE]\x01 US-ASCII Utf-8" + end, true).sent,
              "sent ff fb 2a ff fa 2a 02 55 74 66 2d 38 ff f0");
    EXPECT_EQ(Everywhere(on + request + ";ISO-8859-1;UTF-16;UTF-8X" + end, true).sent,
              "sent ff fb 2a ff fa 2a 03 ff f0");
    EXPECT_EQ(Everywhere(on + request + end, true).sent, "sent ff fb 2a ff fa 2a 03 ff f0");
}

std::string TypeReplies(bool extended, bool secure) {
    ReplaySession session(false, false);
    session.Options().SetExtended(extended);
    session.terminal().SetSecureConnection(secure);
    const std::string send = Iac({250, 24, 1}) + Iac({240});
    session.Feed(send + send + send, 1);
    const std::vector<std::uint8_t> sent = session.Send().Sent();
    return std::string(sent.begin(), sent.end());
}

std::string TypeReply(std::string_view type) {
    return Iac({250, 24, 0}) + std::string(type) + Iac({240});
}

// The extended terminal's first answer is the terminal type, each later one
// its abilities as MTTS; the plain one answers vt100 every time.
TEST(TelnetOptions, TerminalTypeRequestsCycleThroughMtts) {
    EXPECT_EQ(TypeReplies(true, false),
              TypeReply("xterm-256color") + TypeReply("MTTS 319") + TypeReply("MTTS 319"));
    EXPECT_EQ(TypeReplies(true, true),
              TypeReply("xterm-256color") + TypeReply("MTTS 2367") + TypeReply("MTTS 2367"));
    EXPECT_EQ(TypeReplies(false, true), TypeReply("vt100") + TypeReply("vt100") + TypeReply("vt100"));
}

// While the host echoes, a typed character is not echoed locally, whatever
// the option says; its WONT ECHO gives the option back. The plain terminal
// never lets the host echo.
TEST(TelnetOptions, HostEchoTurnsLocalEchoOff) {
    for (const bool extended : {true, false}) {
        ReplaySession session(false, false);
        session.Options().SetExtended(extended);
        session.Options().SetLocalEcho(true);
        session.Feed(Iac({251, 1}), kReceiveChunk);
        session.terminal().Character(U'a');
        session.Feed(Iac({252, 1}), kReceiveChunk);
        session.terminal().Character(U'b');
        const ScreenModel& screen = session.Screen();
        const int row = screen.FirstScreenRow();
        EXPECT_EQ(screen.CharAt(row, 0), extended ? U'b' : U'a') << extended;
    }
}

// GA and EOR end a prompt and show nothing, in both terminals.
TEST(TelnetOptions, GoAheadAndEndOfRecordShowNothing) {
    for (const bool extended : {true, false}) {
        const Outcome outcome =
            Everywhere("login: " + Iac({249}) + "x" + Iac({239}) + "y", extended);
        EXPECT_EQ(Row0(outcome), "login: xy");
    }
}

// A compressed stream that starts in the middle of a read (after the
// subnegotiation that announces it) and ends in the middle of another, the
// plain bytes after it read as Telnet again.
TEST(TelnetOptions, CompressedStreamStartsAndEndsMidRead) {
    const std::string inner = "zipped " + Iac({253, 3}) + "text";
    const std::string stream = "ab" + Iac({251, 86}) + kStartCompression + Compressed(inner) +
                               "cd" + Iac({253, 1});
    const Outcome outcome = Everywhere(stream, true);
    EXPECT_EQ(outcome.sent, "sent ff fd 56 ff fb 03 ff fc 01");
    EXPECT_EQ(Row0(outcome), "abzipped textcd");
}

// Bytes that do not inflate: DONT MCCP2 once, the rest of the read dropped,
// a line of the terminal's own, and later reads plain.
TEST(TelnetOptions, DamagedStreamIsRefusedOnceAndTheSessionGoesOn) {
    ReplaySession session(false, false);
    session.Options().SetExtended(true);
    std::string damaged = Compressed("hello there");
    damaged[4] = static_cast<char>(damaged[4] ^ 0x5a);
    session.Feed("ab" + Iac({251, 86}) + kStartCompression + damaged.substr(0, 3), kReceiveChunk);
    session.Feed(damaged.substr(3) + "lost", kReceiveChunk);
    session.Feed("plain" + Iac({251, 86}) + Iac({252, 86}), kReceiveChunk);
    EXPECT_EQ(Sent(session), "sent ff fd 56 ff fe 56 ff fd 56 ff fe 56");
    const ScreenModel& screen = session.Screen();
    const auto text = [&screen](int row) {
        std::string s;
        for (int c = 0; c < 80; ++c) s += static_cast<char>(screen.CharAt(screen.FirstScreenRow() + row, c));
        return s.substr(0, s.find_last_not_of(' ') + 1);
    };
    EXPECT_EQ(text(0).substr(0, 2), "ab");
    EXPECT_EQ(text(0).find("lost"), std::string::npos);
    EXPECT_EQ(text(1), "[compressed data from the host was damaged]");
    EXPECT_EQ(text(2), "plain");
}

// Counts the characters printed.
struct PrintedCount final : PrintedTextSink {
    void OnPrintedText(const char32_t*, unsigned count) override { printed += count; }
    std::size_t printed = 0;
};

// However far one read inflates, the reader that keeps a budget takes one
// block's worth at a time, and all of it in the end.
TEST(TelnetOptions, InflatedBytesComeOneBlockAtATime) {
    ReplaySession session(false, false);
    session.Options().SetExtended(true);
    PrintedCount count;
    session.terminal().SetPrintedTextSink(&count);
    const std::string stream = Iac({251, 86}) + kStartCompression + Compressed(std::string(100000, 'x'));
    ASSERT_LE(stream.size(), std::size_t(kReceiveChunk) * 2);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.data());
    session.terminal().FeedSome(bytes, kReceiveChunk);
    EXPECT_LE(count.printed, std::size_t(kReceiveChunk));
    int pieces = 0;
    while (session.terminal().HoldsInput()) {
        const std::size_t before = count.printed;
        ASSERT_TRUE(session.terminal().FeedHeld());
        ASSERT_LE(count.printed - before, std::size_t(kReceiveChunk));
        ++pieces;
    }
    EXPECT_FALSE(session.terminal().FeedHeld());
    session.terminal().FeedSome(bytes + kReceiveChunk, static_cast<int>(stream.size()) - kReceiveChunk);
    while (session.terminal().FeedHeld()) ++pieces;
    EXPECT_EQ(count.printed, std::size_t(100000));
    EXPECT_GT(pieces, 900);
}

}  // namespace
}  // namespace quill::test
