// ZMODEM transfers at the terminal: the start found in the host's data
// however it is split, the data taken from the screen from the header on,
// and the bytes of a transfer as Telnet and raw TCP carry them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/transfer/lrzsz_progress.h"
#include "core/transfer/transfer_stream.h"
#include "core/transfer/zmodem_start.h"
#include "replay_session.h"

namespace quill::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(std::string_view text) {
    return {text.begin(), text.end()};
}

// The start is found at its type byte whatever the blocks; look-alikes are
// not starts.
TEST(ZmodemStartDetector, FindsTheHeaderAcrossBlocksAndNothingElse) {
    struct Case {
        std::vector<std::string> blocks;
        std::optional<ZmodemStart> kind;
        std::size_t end;  // in the last block
    };
    for (const Case& c : std::vector<Case>{
             {{"rz\r**\x18" "B00000000000000\r"}, ZmodemStart::kDownload, 9},
             {{"***\x18" "B0100000023be50"}, ZmodemStart::kUpload, 7},
             {{"x*", "*\x18", "B", "0", "0"}, ZmodemStart::kDownload, 1},
             {{"**\x18" "B02", "**\x18" "A00", "* *\x18" "B00", "**B00"}, std::nullopt, 0},
             {{"**\x18" "B", "x0", "0"}, std::nullopt, 0},
         }) {
        ZmodemStartDetector detector;
        std::optional<ZmodemStartDetector::Found> found;
        for (const std::string& block : c.blocks) {
            ASSERT_FALSE(found) << c.blocks[0];
            found = detector.Scan(B(block));
        }
        ASSERT_EQ(found.has_value(), c.kind.has_value()) << c.blocks[0];
        if (!found) continue;
        EXPECT_EQ(found->kind, *c.kind) << c.blocks[0];
        EXPECT_EQ(found->end, c.end) << c.blocks[0];
    }
}

TEST(TransferStream, TelnetDoublesIacAndWithoutBinaryCarriesCrAsCrNul) {
    const Bytes data = {'a', 0xff, '\r', 0, '\r'};
    EXPECT_EQ(TransferStream::ToHost(data, false, false), data);
    EXPECT_EQ(TransferStream::ToHost(data, true, true), (Bytes{'a', 0xff, 0xff, '\r', 0, '\r'}));
    EXPECT_EQ(TransferStream::ToHost(data, true, false),
              (Bytes{'a', 0xff, 0xff, '\r', 0, 0, '\r', 0}));

    TransferStream stream;
    Bytes out;
    stream.FromHost(Bytes{'\r', 0, 0, '\r'}, false, out);
    stream.FromHost(Bytes{0, 'x', '\r', 0}, false, out);
    EXPECT_EQ(out, (Bytes{'\r', 0, '\r', 'x', '\r'}));
    out.clear();
    stream.FromHost(Bytes{'\r', 0}, true, out);
    EXPECT_EQ(out, (Bytes{'\r', 0}));
}

// lrzsz's report, cut anywhere: the file named, then each status piece.
TEST(LrzszProgressReader, ReadsTheFileAndEachStatusPieceHoweverCut) {
    const std::string report =
        "Receiving: big.bin\n\rBytes received:   1024/3000000   BPS:50159    ETA 00:59  "
        "\rBytes received: 2999296/3000000   BPS:5883739  ETA 00:00  \r\nSending: b\n"
        "\rBytes Sent:    512/   4096   BPS:77       ETA 00:01  \rBytes Sent: x/9\r";
    for (const std::size_t cut : {std::size_t{1}, std::size_t{7}, std::size_t{13}}) {
        LrzszProgressReader reader;
        std::vector<TransferProgress> seen;
        for (std::size_t at = 0; at < report.size(); at += cut) {
            if (reader.Take(std::string_view(report).substr(at, cut))) {
                seen.push_back(reader.Progress());
            }
        }
        ASSERT_EQ(seen.size(), 5u) << cut;
        EXPECT_EQ(seen[0].file, "big.bin");
        EXPECT_EQ(seen[1].done, 1024);
        EXPECT_EQ(seen[2].done, 2999296);
        EXPECT_EQ(seen[2].total, 3000000);
        EXPECT_EQ(seen[2].bytesPerSecond, 5883739);
        EXPECT_EQ(seen[4].file, "b");
        EXPECT_EQ(seen[4].done, 512);
        EXPECT_EQ(seen[4].total, 4096);
        EXPECT_EQ(seen[4].bytesPerSecond, 77);
    }
    // Taken whole, the last piece stands.
    LrzszProgressReader whole;
    EXPECT_TRUE(whole.Take(report));
    EXPECT_EQ(whole.Progress().file, "b");
    EXPECT_EQ(whole.Progress().done, 512);
}

struct Recorder final : TransferSink, PrintedTextSink {
    void TransferStarted(ZmodemStart kind) override { starts.push_back(kind); }
    void TransferData(std::span<const std::uint8_t> data) override {
        taken.insert(taken.end(), data.begin(), data.end());
    }
    void OnPrintedText(const char32_t* text, unsigned count) override {
        printed.append(text, count);
    }
    std::vector<ZmodemStart> starts;
    Bytes taken;
    std::u32string printed;
};

// From the header on the data is the transfer's, Telnet taken out (IAC
// undoubled, requests still answered); after the end the screen has it
// again. The printed text never sees the transfer.
TEST(TerminalTransfer, TheHeaderAndWhatFollowsGoToTheSinkUntilTheEnd) {
    ReplaySession session(false, false);
    Recorder recorder;
    session.terminal().SetTransferSink(&recorder);
    session.terminal().SetPrintedTextSink(&recorder);
    session.Feed("ok*", kReceiveChunk);
    session.Feed(std::string("*\x18" "B00\xff\xff\xff\xfd\x18" "z\r\0", 13), kReceiveChunk);
    ASSERT_EQ(recorder.starts, std::vector<ZmodemStart>{ZmodemStart::kDownload});
    EXPECT_EQ(recorder.taken, B(std::string("**\x18" "B00\xff" "z\r", 9)));
    EXPECT_EQ(session.Send().Sent(), (Bytes{0xff, 0xfb, 0x18}));
    EXPECT_EQ(recorder.printed, U"ok*");
    session.terminal().EndTransfer();
    session.Feed("after", kReceiveChunk);
    EXPECT_EQ(recorder.printed, U"ok*after");
    EXPECT_EQ(recorder.taken.size(), 9u);
    EXPECT_FALSE(session.terminal().Transferring());
}

// The host's sz says "OO" after the ZFIN exchange: O's it still owes when
// the download ends are dropped, even a block later, but no more than two,
// none once other text came, none after an upload (whose host also sends
// ZFIN) and none that rz has already read.
TEST(TerminalTransfer, TheHostsLastOverAndOutNeverReachesTheScreen) {
    const std::string zfin = "**\x18" "B0800000000022d\r\x8a\x11";
    const auto after = [&zfin](const std::string& start, const std::string& during,
                               std::initializer_list<std::string> blocks) {
        ReplaySession session(false, false);
        Recorder recorder;
        session.terminal().SetTransferSink(&recorder);
        session.terminal().SetPrintedTextSink(&recorder);
        session.Feed(start + zfin + during, kReceiveChunk);
        session.terminal().EndTransfer();
        for (const std::string& block : blocks) session.Feed(block, kReceiveChunk);
        return recorder.printed;
    };
    const std::string download = "**\x18" "B00";
    EXPECT_EQ(after(download, "", {"O", "O$ "}), U"$ ");
    EXPECT_EQ(after(download, "", {"OOOK"}), U"OK");
    EXPECT_EQ(after(download, "O", {"OOK"}), U"OK");
    EXPECT_EQ(after(download, "OO", {"OK"}), U"OK");
    EXPECT_EQ(after(download, "", {"\r\nOOPS"}), U"\r\nOOPS");
    EXPECT_EQ(after("**\x18" "B01", "", {"OK"}), U"OK");
}

// What the transfer sends: IAC doubled and CR NUL over Telnet without
// BINARY, as it is with BINARY's IAC doubling only, and untouched raw.
TEST(TerminalTransfer, SendsAsTheConnectionCarriesData) {
    ReplaySession session(false, false);
    const Bytes data = {0xff, '\r'};
    session.terminal().SendTransferData(data);
    EXPECT_EQ(session.Send().Sent(), (Bytes{0xff, 0xff, '\r', 0}));
    session.Send().replies.clear();
    session.Options().SetExtended(true);  // its policy takes BINARY
    session.Feed(std::string("\xff\xfd\x00", 3), kReceiveChunk);
    session.Send().replies.clear();
    session.terminal().SendTransferData(data);
    EXPECT_EQ(session.Send().Sent(), (Bytes{0xff, 0xff, '\r'}));
    session.Send().replies.clear();
    session.terminal().SetRawConnection(true);
    session.terminal().SendTransferData(data);
    EXPECT_EQ(session.Send().Sent(), data);
}

}  // namespace
}  // namespace quill::test
