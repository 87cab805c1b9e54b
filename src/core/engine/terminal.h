#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/engine/terminal_screen_view.h"
#include "core/engine/transfer_tap.h"
#include "core/interfaces/display_sink.h"
#include "core/interfaces/key.h"
#include "core/interfaces/printed_text_sink.h"
#include "core/interfaces/scroll_off_observer.h"
#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_data_observer.h"
#include "core/interfaces/terminal_options.h"
#include "core/interfaces/terminal_services.h"
#include "core/telnet/compressed_input.h"
#include "core/telnet/option_negotiation.h"
#include "core/telnet/telnet_decoder.h"
#include "core/terminal/column_switch.h"
#include "core/terminal/dialect.h"
#include "core/terminal/keyboard.h"
#include "core/terminal/mouse_report.h"
#include "core/terminal/screen_model.h"
#include "core/terminal/sequence_collector.h"
#include "core/terminal/terminal_input.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// Largest block the session reads from the socket and hands on at once.
constexpr int kReceiveChunk = 100;

// The terminal, as every user holds it: the program, the replay tool, the
// benchmark, the fuzz target and the tests. Received bytes go in through
// Feed, the user's keys through Press, Character and Paste; the screen comes
// out for reading as a ScreenView. It talks to the world only through the
// four interfaces it is given, and to whoever listens through the optional
// observers below.
//
// Inside, the Telnet decoder splits the bytes into data for the terminal's
// input and option requests for the negotiation; the input hands escape
// sequences to the collector, which hands them whole to the dialect's
// sequence handler. The dialect in force (the plain or the extended
// terminal) is chosen from the options whenever the terminal is used
// (CurrentDialect), so a switch takes effect at the next block or key.
class Terminal final : private TelnetEvents, private ColumnSwitch {
  public:
    // The BBS terminal's screen rows, the PC's.
    static constexpr int kPcScreenRows = 25;
    // The smallest grid the extended terminal takes.
    static constexpr int kMinColumns = 20;
    static constexpr int kMinRows = 5;

    // The terminal starts as the plain one, 80 x 24.
    Terminal(DisplaySink& display, SendPath& send, TerminalServices& services,
             const TerminalOptions& options);
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // ProcessInbound: one block of received bytes, all of it. The caret is
    // moved and the window brought up to date once per block, and once per
    // block's worth of what compressed bytes inflate to.
    void Feed(const std::uint8_t* bytes, int count);
    // The same for a reader that keeps to a time budget: of what compressed
    // bytes inflate to, only one block's worth is taken; the rest is held,
    // and FeedHeld takes it a block's worth at a time. Anything still held
    // when the next block comes is taken first.
    void FeedSome(const std::uint8_t* bytes, int count);
    // One more block's worth of what was held: false when nothing was.
    bool FeedHeld();
    // Whether compressed bytes are held that FeedHeld would inflate.
    bool HoldsInput() const { return compressed_.Holds(); }
    // The connection runs over TLS (the host learns it through MTTS).
    void SetSecureConnection(bool secure) { negotiation_.SetSecure(secure); }
    // Raw TCP, chosen when connecting: no Telnet either way, every received
    // byte (255 too) goes to the terminal, nothing is negotiated.
    void SetRawConnection(bool raw) { raw_ = raw; }
    bool RawConnection() const { return raw_; }
    // The connection is open: a terminal that asks for options of its own
    // (the BBS terminal: BINARY both ways) asks now; raw TCP asks nothing.
    void ConnectionOpened();
    // One key press (see Keyboard::Press): true when anything was sent. A
    // local echo is brought to the window.
    bool Press(const KeyPress& press);
    // One whole character, typed without a key (an input method): false
    // when it was dropped. A local echo is brought to the window.
    bool Character(char32_t code);
    // Pasted text goes the character path, character by character.
    void Paste(std::u32string_view text);
    // Whether the host takes the mouse (the extended terminal, while the host
    // asks for reports), and the report of one mouse event: false when the
    // mode in force does not report it.
    bool MouseReporting() const;
    // Whether the host, taking the mouse, asks for every motion, a button
    // held or not (?1003).
    bool MouseTracksAllMotion() const;
    bool ReportMouse(const MouseEvent& event);
    // What pasting text sends, before it goes out a character at a time
    // through Paste: in the extended terminal each line end as Enter sends it
    // and, while the host asks for bracketed paste, the text without any end
    // bracket of its own, to go between the brackets (SendPasteBracket: the
    // start or the end). Nothing is bracketed when there is no text.
    struct PreparedPaste {
        std::u16string text;
        bool bracketed = false;
    };
    PreparedPaste PreparePaste(std::u16string_view text) const;
    void SendPasteBracket(bool start);
    // A line of the program's own (banner, connection messages), written
    // onto the screen and brought to the window.
    void WriteLocal(std::string_view text);
    // The received bytes have ended (the end of a replay's input): a UTF-8
    // sequence still open shows as one malformed character.
    void EndInput();
    // The grid the window holds, at least 20 x 5, for the extended terminal:
    // its screen takes it at once (see ScreenModel::Resize), the plain one
    // keeps 80 x 24 until the extended one is turned on. A switch of the
    // option takes effect here too. While NAWS is on the host hears of every
    // change of size.
    void Resize(int columns, int rows);

    // The screen as the window, print, copy, the search and scripts read it.
    const ScreenView& View() const { return view_; }
    // What changed on the screen since the window last took it.
    const ScreenDamage& Damage() const { return screen_.Damage(); }
    void ClearDamage() { screen_.ClearDamage(); }
    // The terminal in force: it follows the option at the next block or key.
    DialectId InForce() const { return inForce_; }
    bool Extended() const { return inForce_ == DialectId::kExtended; }
    // The terminal type the terminal in force reports to the host.
    std::string_view ReportedTerminalType() const;
    bool ApplicationCursorKeys() const { return modes_.ApplicationCursorKeys(); }

    // Blank every cell, as the window does when created.
    void BlankScreen() { screen_.BlankScreenMemory(); }

    // Observers, none (null) by default: rows leaving the screen through its
    // top, and the text the host has printed.
    void SetScrollOffObserver(ScrollOffObserver* observer) {
        screen_.SetScrollOffObserver(observer);
    }
    void SetPrintedTextSink(PrintedTextSink* sink) { input_.SetPrintedTextSink(sink); }
    // The bytes the decoder hands the terminal; none (null) by default.
    void SetDataObserver(TerminalDataObserver* observer) { dataObserver_ = observer; }

    // File transfers: the sink hears of a ZMODEM start in the host's data and
    // has the data from then on (see TransferTap) until EndTransfer, or from
    // BeginTransfer on for one the user starts. SendTransferData sends the
    // transfer's bytes as the connection carries data.
    void SetTransferSink(TransferSink* sink) { transfer_.SetSink(sink); }
    bool Transferring() const { return transfer_.Active(); }
    void BeginTransfer() { transfer_.Begin(); }
    void EndTransfer() { transfer_.End(); }
    void SendTransferData(std::span<const std::uint8_t> data);

  private:
    // The model and the modes themselves, for the tools and tests that look
    // inside, through the headless terminal; the program reads the view.
    friend class HeadlessTerminal;
    const ScreenModel& Screen() const { return screen_; }
    const TerminalModes& Modes() const { return modes_; }

    void OnData(const std::uint8_t* bytes, int count) override;
    void OnOptionRequest(std::uint8_t command, std::uint8_t option) override;
    void OnSubnegotiation(std::uint8_t option, std::span<const std::uint8_t> data) override;
    void SwitchColumns(int columns) override;
    void BeginBlock();
    void TakeReceived(const std::uint8_t* bytes, int count);
    int Decode(const std::uint8_t* bytes, int count);
    void InflatePiece();
    void ReportDamage();
    Dialect& CurrentDialect();
    DialectId WantedDialect() const;
    void ApplyGeometry();
    void ShowChanges();

    DisplaySink& display_;
    SendPath& send_;
    const TerminalOptions& options_;
    ScreenModel screen_;
    TerminalModes modes_;
    Dialects dialects_;
    Dialect* dialect_;
    DialectId inForce_ = DialectId::kPlain;
    TerminalScreenView view_{screen_, modes_, inForce_};
    SequenceCollector collector_;
    TerminalInput input_;
    OptionNegotiation negotiation_;
    TelnetDecoder decoder_;
    CompressedInput compressed_;
    bool showCodes_ = false;  // in the block being taken
    bool raw_ = false;
    TransferTap transfer_;
    ScreenEcho echo_;
    TerminalDataObserver* dataObserver_ = nullptr;
    Keyboard keyboard_;
    MouseReporter mouse_;
    // The extended terminal's grid.
    int columns_ = kColumns;
    int rows_ = kScreenRows;
};

}  // namespace quill
