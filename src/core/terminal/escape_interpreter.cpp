#include "core/terminal/escape_interpreter.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace quill {

namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kIdentifyReply[] = {kEsc, '[', '?', '1', ';', '7', 'c'};

bool IsDigit(std::uint8_t b) {
    return b >= '0' && b <= '9';
}

// Cursor movement adds host-supplied counts to positions: keep the sum in int.
int SaturatingAdd(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return sum > INT_MAX ? INT_MAX : (sum < INT_MIN ? INT_MIN : static_cast<int>(sum));
}

int CountOrOne(int parameter) {
    return parameter == 0 ? 1 : parameter;
}

}  // namespace

EscapeInterpreter::EscapeInterpreter(ScreenModel& screen, SendPath& send,
                                     TerminalServices& services, const TerminalOptions& options)
    : screen_(screen),
      send_(send),
      services_(services),
      options_(options),
      tracing_(services.TraceEnabled()) {}

void EscapeInterpreter::AddDigit(int& parameter, std::uint8_t digit) {
    const long long value = static_cast<long long>(parameter) * 10 + (digit - '0');
    parameter = value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

void EscapeInterpreter::Trace(std::string_view text) {
    if (tracing_) services_.Trace(text);
}

void EscapeInterpreter::TraceByte(std::uint8_t b) {
    const char c = static_cast<char>(b);
    Trace(std::string_view(&c, 1));
}

EscapeResult EscapeInterpreter::Continue(State next) {
    state_ = next;
    return EscapeResult::Continues;
}

EscapeResult EscapeInterpreter::End(std::uint8_t b) {
    firstParameter_ = 0;
    secondParameter_ = 0;
    state_ = kAfterEsc;
    TraceByte(b);
    Trace("\r\n");
    return EscapeResult::Ended;
}

EscapeResult EscapeInterpreter::EscapeFeed(std::uint8_t b) {
    if (b == kEsc) {
        firstParameter_ = 0;
        secondParameter_ = 0;
        Trace("<esc>");
        return Continue(kAfterEsc);
    }
    switch (state_) {
        case kAfterEsc:
            if (b == '[') {
                Trace("[");
                return Continue(kFirstParameter);
            }
            if (b == '(') return Continue(kDesignateG0);
            if (b == ')') return Continue(kDesignateG1);
            if (b == '#') return Continue(kAfterHash);
            AfterEsc(b);
            break;
        case kFirstParameter:
            if (IsDigit(b) || b == ';' || b == '?') {
                TraceByte(b);
                if (IsDigit(b)) AddDigit(firstParameter_, b);
                return b == ';' ? Continue(kSecondParameter) : EscapeResult::Continues;
            }
            FinalByte(b, false);
            break;
        case kSecondParameter:
        case kExtraParameters:
            if (IsDigit(b) || b == ';') {
                TraceByte(b);
                if (state_ == kSecondParameter && IsDigit(b)) {
                    AddDigit(secondParameter_, b);
                } else {
                    ExtraParameterByte(b);
                }
                return b == ';' ? Continue(kExtraParameters) : EscapeResult::Continues;
            }
            FinalByte(b, true);
            break;
        case kDesignateG0:
            Designate(CharsetSlot::G0, b);
            break;
        case kDesignateG1:
            Designate(CharsetSlot::G1, b);
            break;
        case kAfterHash:
            if (b == '8') screen_.ScreenAlignmentFill();
            break;
    }
    return End(b);
}

void EscapeInterpreter::AfterEsc(std::uint8_t b) {
    switch (b) {
        case '7':
            savedColumn_ = screen_.ScreenColumn();
            savedRow_ = screen_.ScreenRow();
            break;
        case '8':
            screen_.ScreenSetColumn(savedColumn_);
            screen_.ScreenMoveToRow(savedRow_);
            break;
        case 'D':
            screen_.ScreenMoveToRow(screen_.ScreenRow() + 1);
            break;
        case 'E':
            screen_.ScreenSetColumn(0);
            screen_.ScreenMoveToRow(screen_.ScreenRow() + 1);
            break;
        case 'M':
            screen_.ScreenMoveToRow(screen_.ScreenRow() - 1);
            break;
        case 'Z':
            send_.SendBytes(kIdentifyReply, sizeof kIdentifyReply);
            break;
        default:
            break;
    }
}

// The final byte of a control sequence. With two (or more) parameters only
// cursor position, rendition and region act.
void EscapeInterpreter::FinalByte(std::uint8_t b, bool twoParameters) {
    const int n = CountOrOne(firstParameter_);
    switch (b) {
        case 'H':
        case 'f':
            CursorPosition();
            return;
        case 'm':
            screen_.ScreenSetAttribute(firstParameter_);
            if (twoParameters) MoreRenditions();
            return;
        case 'r':
            screen_.ScreenSetRegion(firstParameter_, secondParameter_);
            return;
        default:
            break;
    }
    if (twoParameters) return;
    switch (b) {
        case 'A':
            screen_.ScreenMoveToRow(SaturatingAdd(screen_.ScreenRow(), -n));
            break;
        case 'B':
            screen_.ScreenMoveToRow(SaturatingAdd(screen_.ScreenRow(), n));
            break;
        case 'C':
            screen_.ScreenSetColumn(SaturatingAdd(screen_.ScreenColumn(), n));
            break;
        case 'D':
            screen_.ScreenSetColumn(SaturatingAdd(screen_.ScreenColumn(), -n));
            break;
        case 'J':
            if (firstParameter_ == 0) screen_.ScreenEraseFromCursor();
            if (firstParameter_ == 1) screen_.ScreenEraseToCursor();
            if (firstParameter_ == 2) screen_.ScreenEraseAll();
            break;
        case 'K':
            EraseInLine(firstParameter_);
            break;
        case 'L':
            screen_.ScreenDeleteLines(firstParameter_);
            break;
        case 'M':
            screen_.ScreenRepaint();
            break;
        case 'P':
            screen_.ScreenDeleteChars(firstParameter_);
            break;
        case 'h':
            if (firstParameter_ == 1) cursorKeyMode_ = 1;
            break;
        case 'l':
            if (firstParameter_ == 1) cursorKeyMode_ = 0;
            break;
        default:
            break;
    }
}

// A byte of the third or later parameters, or the ';' that begins the
// third: kept up to the sixteenth parameter, the rest read and skipped up to
// the final byte.
void EscapeInterpreter::ExtraParameterByte(std::uint8_t b) {
    if (b != ';') {
        if (extraCount_ <= kExtraSlots) AddDigit(extraParameters_[extraCount_ - 1], b);
        return;
    }
    if (state_ == kSecondParameter) extraCount_ = 0;
    if (extraCount_ > kExtraSlots) return;
    if (extraCount_ < kExtraSlots) extraParameters_[extraCount_] = 0;
    ++extraCount_;
}

// The plain terminal takes the first parameter of a rendition only. The
// extended one takes each in order as if it came alone; attributes never
// combine, so the last parameter decides.
void EscapeInterpreter::MoreRenditions() {
    if (!options_.Extended()) return;
    screen_.ScreenSetAttribute(secondParameter_);
    // The final byte has not ended the sequence yet: its state tells whether
    // a third parameter began.
    const int extras = state_ == kExtraParameters ? std::min(extraCount_, kExtraSlots) : 0;
    for (int i = 0; i < extras; ++i) screen_.ScreenSetAttribute(extraParameters_[i]);
}

void EscapeInterpreter::CursorPosition() {
    screen_.ScreenMoveToRow(CountOrOne(firstParameter_) - 1);
    screen_.ScreenSetColumn(CountOrOne(secondParameter_) - 1);
}

// Line erasing writes spaces through the character path, so the blanked cells
// take the current attribute; the last column is left alone when erasing to
// the end of the line.
void EscapeInterpreter::EraseInLine(int mode) {
    if (mode == 0) {
        const int column = screen_.ScreenColumn();
        screen_.ScreenWriteSpaces(kColumns - 1 - column);
        screen_.ScreenSetColumn(column);
    } else if (mode == 1) {
        const int column = screen_.ScreenColumn();
        screen_.ScreenSetColumn(0);
        screen_.ScreenWriteSpaces(column);
    } else if (mode == 2) {
        screen_.ScreenSetColumn(0);
        screen_.ScreenWriteSpaces(kColumns);
        screen_.ScreenSetColumn(0);
    }
}

void EscapeInterpreter::Designate(CharsetSlot slot, std::uint8_t b) {
    if (b == '1' || b == 'A' || b == 'B') screen_.Designate(slot, kCharsetPlain);
    if (b == '0' || b == '2') screen_.Designate(slot, kCharsetLineDrawing);
}

}  // namespace quill
