#include "core/engine/terminal.h"

#include <algorithm>

#include "core/terminal/bracketed_paste.h"

namespace quill {

namespace {

// What the plain terminal reports itself as.
constexpr std::string_view kPlainTerminalType = "vt100";

}  // namespace

Terminal::Terminal(DisplaySink& display, SendPath& send, TerminalServices& services,
                   const TerminalOptions& options)
    : display_(display),
      send_(send),
      options_(options),
      screen_(options),
      dialects_({screen_, modes_, send, services}),
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
    Dialect& wanted = dialects_[WantedDialect()];
    if (&wanted != dialect_) {
        input_.Abandon();
        dialect_ = &wanted;
        const DialectProperties& properties = wanted.Properties();
        collector_.SetDialect(wanted);
        screen_.SetRules(properties.screen);
        modes_.ResetCharsets(properties.initialG1);
        ApplyGeometry();
    }
    return wanted;
}

DialectId Terminal::WantedDialect() const {
    return options_.Extended() ? DialectId::kExtended : DialectId::kPlain;
}

void Terminal::Resize(int columns, int rows) {
    columns_ = std::max(columns, kMinColumns);
    rows_ = std::max(rows, kMinRows);
    CurrentDialect();
    ApplyGeometry();
    ShowChanges();
}

// The screen takes the dialect's shape; the host learns the size it has.
void Terminal::ApplyGeometry() {
    ScreenGeometry geometry;
    if (dialect_->Properties().resizable) geometry = {columns_, rows_, options_.Scrollback()};
    screen_.Resize(geometry);
    negotiation_.SetWindowSize(screen_.Geometry().columns, screen_.Geometry().screenRows);
}

// Show codes shows every received byte, before the decoder takes it.
void Terminal::Feed(const std::uint8_t* bytes, int count) {
    const bool showCodes = options_.ShowCodes();
    input_.SetBlockOptions(CurrentDialect(), showCodes);
    if (showCodes) {
        for (int i = 0; i < count; ++i) {
            screen_.ScreenShowCode(bytes[i]);
            decoder_.Decode(bytes + i, 1);
        }
    } else {
        decoder_.Decode(bytes, count);
    }
    ShowChanges();
}

bool Terminal::Press(const KeyPress& press) {
    const bool sent = keyboard_.Press(press, CurrentDialect());
    ShowChanges();
    return sent;
}

// The window hears of the caret once per change, not at every move of the
// cursor, and then brings itself up to date.
void Terminal::ShowChanges() {
    if (screen_.CaretVisible()) display_.SetCaretPos(screen_.CursorRow(), screen_.CursorColumn());
    display_.UpdateNow();
}

bool Terminal::MouseReporting() const {
    return options_.Extended() && modes_.Mouse() != MouseTracking::kOff;
}

bool Terminal::ReportMouse(const MouseEvent& event) {
    if (!MouseReporting()) return false;
    const std::string report = mouse_.Report(event, modes_);
    if (report.empty()) return false;
    send_.SendText(report);
    return true;
}

bool Terminal::PasteBracketed() const {
    return options_.Extended() && modes_.BracketedPaste();
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

void Terminal::OnData(const std::uint8_t* bytes, int count) {
    input_.Write(bytes, count);
}

void Terminal::OnOptionRequest(std::uint8_t command, std::uint8_t option) {
    negotiation_.Request(command, option, dialect_->Properties().options);
}

void Terminal::OnSubnegotiation(std::uint8_t option, std::span<const std::uint8_t> data) {
    const std::string_view type = dialect_->Properties().options.userTerminalType
                                      ? options_.TerminalType()
                                      : kPlainTerminalType;
    negotiation_.Subnegotiation(option, data, type);
}

}  // namespace quill
