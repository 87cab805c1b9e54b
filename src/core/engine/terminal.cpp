#include "core/engine/terminal.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/terminal/bracketed_paste.h"

namespace quill {

Terminal::Terminal(DisplaySink& display, SendPath& send, TerminalServices& services,
                   const TerminalOptions& options)
    : display_(display),
      send_(send),
      options_(options),
      screen_(options),
      dialects_({screen_, modes_, send, services, *this}),
      dialect_(&dialects_[DialectId::kPlain]),
      collector_(*dialect_, services),
      input_(screen_, modes_, collector_, services),
      negotiation_(send, kColumns, kScreenRows),
      decoder_(*this, input_),
      echo_(screen_),
      keyboard_(modes_, options, send, echo_) {}

// The dialect the options ask for, taken whole at a switch: an escape or
// UTF-8 sequence still open is abandoned, the character sets start afresh,
// the screen takes the dialect's rules and shape; the options agreed with
// the host stay as they are.
Dialect& Terminal::CurrentDialect() {
    const DialectId id = WantedDialect();
    Dialect& wanted = dialects_[id];
    if (&wanted != dialect_) {
        input_.Abandon();
        dialect_ = &wanted;
        inForce_ = id;
        const DialectProperties& properties = wanted.Properties();
        collector_.SetDialect(wanted);
        screen_.SetRules(properties.screen);
        // What the host left open or on ends with its terminal: a link, and
        // the editing modes and margins, which the plain terminal could
        // never turn off again.
        screen_.SetLink({}, {});
        screen_.ResetEditing();
        modes_.ResetCharsets(properties.initialG1);
        ApplyGeometry();
    }
    return wanted;
}

void Terminal::ConnectionOpened() {
    if (!raw_ && CurrentDialect().Properties().options.asksForBinary) negotiation_.AskForBinary();
}

DialectId Terminal::WantedDialect() const {
    return options_.ChosenDialect();
}

void Terminal::Resize(int columns, int rows) {
    columns_ = std::max(columns, kMinColumns);
    rows_ = std::max(rows, kMinRows);
    CurrentDialect();
    ApplyGeometry();
    ShowChanges();
}

// The host's column mode: the grid takes the width at once, the window and
// the host hear of it.
void Terminal::SwitchColumns(int columns) {
    columns_ = columns;
    ApplyGeometry();
    display_.ColumnsSwitched();
}

// The screen takes the dialect's shape; the host learns the size it has.
void Terminal::ApplyGeometry() {
    ScreenGeometry geometry;
    switch (dialect_->Properties().grid) {
        case GridShape::kVt100:
            break;
        case GridShape::kWindow:
            geometry = {columns_, rows_, options_.Scrollback()};
            break;
        case GridShape::kPc:
            geometry = {kColumns, kPcScreenRows, options_.Scrollback()};
            break;
    }
    screen_.Resize(geometry);
    negotiation_.SetWindowSize(screen_.Geometry().columns, screen_.Geometry().screenRows);
}

void Terminal::Feed(const std::uint8_t* bytes, int count) {
    FeedSome(bytes, count);
    while (FeedHeld()) {
    }
}

void Terminal::FeedSome(const std::uint8_t* bytes, int count) {
    while (FeedHeld()) {
    }
    BeginBlock();
    TakeReceived(bytes, count);
    ShowChanges();
}

bool Terminal::FeedHeld() {
    if (!compressed_.Holds()) return false;
    BeginBlock();
    InflatePiece();
    ShowChanges();
    return true;
}

void Terminal::BeginBlock() {
    showCodes_ = options_.ShowCodes();
    input_.SetBlockOptions(CurrentDialect(), showCodes_);
}

// Bytes as they came off the wire (or after a compressed stream's end): the
// decoder takes them up to the start of a compressed stream, whose bytes are
// then held and inflated.
void Terminal::TakeReceived(const std::uint8_t* bytes, int count) {
    if (!compressed_.Active()) {
        const int taken = Decode(bytes, count);
        bytes += taken;
        count -= taken;
    }
    if (count == 0) return;
    compressed_.Take(bytes, count);
    InflatePiece();
}

// Show codes shows every byte before the decoder takes it, one at a time; a
// compressed stream that starts ends the bytes it takes. A raw connection has
// no decoder: its bytes are all data.
int Terminal::Decode(const std::uint8_t* bytes, int count) {
    if (!showCodes_) return raw_ ? (OnData(bytes, count), count) : decoder_.Decode(bytes, count);
    const bool compressed = compressed_.Active();
    for (int i = 0; i < count; ++i) {
        screen_.ScreenShowCode(bytes[i]);
        if (raw_) {
            OnData(bytes + i, 1);
        } else {
            decoder_.Decode(bytes + i, 1);
        }
        if (compressed_.Active() != compressed) return i + 1;
    }
    return count;
}

// One block's worth of inflated bytes goes to the decoder. At the stream's
// end the bytes after it are plain again; a damaged stream is refused, and
// the rest of its read dropped.
void Terminal::InflatePiece() {
    std::array<std::uint8_t, kReceiveChunk> out{};
    const CompressedInput::Piece piece = compressed_.Inflate(out);
    Decode(out.data(), piece.count);
    if (piece.outcome == CompressedInput::Outcome::kEnded) {
        const std::vector<std::uint8_t> rest = compressed_.TakeRest();
        TakeReceived(rest.data(), static_cast<int>(rest.size()));
    } else if (piece.outcome == CompressedInput::Outcome::kDamaged) {
        ReportDamage();
    }
}

void Terminal::ReportDamage() {
    negotiation_.RefuseCompression();
    if (screen_.CursorColumn() > 0) screen_.ScreenWriteString("\r\n");
    screen_.ScreenWriteString("[compressed data from the host was damaged]\r\n");
}

bool Terminal::Press(const KeyPress& press) {
    const bool sent = keyboard_.Press(press, CurrentDialect());
    ShowChanges();
    return sent;
}

// The window hears of the caret once per change, not at every move of the
// cursor, and then brings itself up to date. Kept out of line: inlined into
// the loops that take blocks (FeedSome, Feed), it costs each block more
// instructions than the call does.
[[gnu::noinline]] void Terminal::ShowChanges() {
    display_.SetCaretPos(screen_.CursorRow(), screen_.CursorColumn());
    display_.UpdateNow();
}

bool Terminal::MouseReporting() const {
    return options_.Extended() && modes_.Mouse() != MouseTracking::kOff;
}

bool Terminal::MouseTracksAllMotion() const {
    return MouseReporting() && modes_.Mouse() == MouseTracking::kAllMotion;
}

bool Terminal::ReportMouse(const MouseEvent& event) {
    if (!MouseReporting()) return false;
    const std::string report = mouse_.Report(event, modes_);
    if (report.empty()) return false;
    send_.SendText(report);
    return true;
}

Terminal::PreparedPaste Terminal::PreparePaste(std::u16string_view text) const {
    if (text.empty() || !options_.Extended()) return {std::u16string(text), false};
    const std::u16string lines = WithEnterLineEnds(text);
    if (!modes_.BracketedPaste()) return {lines, false};
    return {WithoutPasteEnds(lines), true};
}

void Terminal::SendPasteBracket(bool start) {
    const std::string_view bracket = start ? kPasteStart : kPasteEnd;
    send_.SendText(bracket);
}

bool Terminal::Character(char32_t code) {
    const bool sent = keyboard_.KeyboardSendChar(code, CurrentDialect());
    ShowChanges();
    return sent;
}

void Terminal::Paste(std::u32string_view text) {
    for (const char32_t c : text) Character(c);
}

void Terminal::WriteLocal(std::string_view text) {
    screen_.ScreenWriteString(text);
    ShowChanges();
}

void Terminal::EndInput() {
    input_.EndInput();
    ShowChanges();
}

// A transfer's data never reaches the input (nor the screen, the printed
// text or a script).
void Terminal::OnData(const std::uint8_t* bytes, int count) {
    const bool binary = raw_ || negotiation_.BinaryIn();
    const std::span<const std::uint8_t> shown =
        transfer_.Take({bytes, static_cast<std::size_t>(count)}, binary);
    const int size = static_cast<int>(shown.size());
    if (dataObserver_ != nullptr) dataObserver_->OnTerminalData(shown.data(), size);
    input_.Write(shown.data(), size);
}

void Terminal::SendTransferData(std::span<const std::uint8_t> data) {
    const std::vector<std::uint8_t> out =
        TransferStream::ToHost(data, !raw_, negotiation_.BinaryOut());
    send_.SendBytes(out.data(), out.size());
}

void Terminal::OnOptionRequest(std::uint8_t command, std::uint8_t option) {
    negotiation_.Request(command, option, dialect_->Properties().options);
    keyboard_.SetHostEchoes(negotiation_.HostEchoes());
}

std::string_view Terminal::ReportedTerminalType() const {
    return dialect_->Properties().options.userTerminalType ? options_.TerminalType()
                                                            : dialect_->Properties().terminalType;
}

// The start of a compressed stream ends what the decoder takes of the block.
void Terminal::OnSubnegotiation(std::uint8_t option, std::span<const std::uint8_t> data) {
    const OptionPolicy& policy = dialect_->Properties().options;
    if (!negotiation_.Subnegotiation(option, data, policy, ReportedTerminalType())) return;
    if (compressed_.Active()) return;
    compressed_.Start();
    decoder_.EndBlockHere();
}

}  // namespace quill
