#include "core/terminal/sequence_collector.h"

#include <climits>

#include "core/terminal/control_codes.h"

namespace quill {

namespace {

// The longest string kept; the rest of a longer one is read and dropped.
constexpr std::size_t kStringLimit = 4096;

// The bytes after ESC that open a string: OSC, DCS, SOS, PM and APC.
bool OpensString(std::uint8_t b) {
    return b == ']' || b == 'P' || b == 'X' || b == '^' || b == '_';
}

bool IsDigit(std::uint8_t b) {
    return b >= '0' && b <= '9';
}

void AddDigit(int& parameter, std::uint8_t digit) {
    const long long value = static_cast<long long>(parameter) * 10 + (digit - '0');
    parameter = value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

}  // namespace

void SequenceCollector::Trace(std::string_view text) {
    if (tracing_) services_.Trace(text);
}

void SequenceCollector::TraceByte(std::uint8_t b) {
    const char c = static_cast<char>(b);
    Trace(std::string_view(&c, 1));
}

void SequenceCollector::Restart() {
    sequence_.parameters[0] = 0;
    sequence_.parameters[1] = 0;
    sequence_.count = 1;
    sequence_.marker = 0;
    sequence_.intermediate = 0;
    sequence_.subparameters = 0;
    sequence_.bare = true;
}

void SequenceCollector::Abandon() {
    Restart();
    string_.clear();
    state_ = State::kAfterEsc;
}

EscapeResult SequenceCollector::Continue(State next) {
    state_ = next;
    return EscapeResult::Continues;
}

EscapeResult SequenceCollector::End(std::uint8_t b) {
    Abandon();
    TraceByte(b);
    Trace("\r\n");
    return EscapeResult::Ended;
}

EscapeResult SequenceCollector::EscapeFeed(std::uint8_t b) {
    if (b == kEsc) {
        // ESC ends a string (as the first byte of ST or of a new sequence).
        if (state_ == State::kString) FinishString();
        Restart();
        Trace("<esc>");
        return Continue(State::kAfterEsc);
    }
    if (xterm_ && state_ != State::kString) return XtermByte(b);
    switch (state_) {
        case State::kAfterEsc:
            return AfterEsc(b);
        case State::kFirstParameter:
        case State::kMoreParameters:
            return ParameterByte(b);
        case State::kString:
            return StringByte(b);
        default:
            return AfterIntermediate(b);
    }
}

// The byte after ESC (, ESC ), ESC - or ESC #.
EscapeResult SequenceCollector::AfterIntermediate(std::uint8_t b) {
    if (state_ == State::kDesignateG0) handler_->Designate(CharsetSlot::G0, b);
    if (state_ == State::kDesignateG1) handler_->Designate(CharsetSlot::G1, b);
    if (state_ == State::kDesignate96G1) handler_->Designate96(CharsetSlot::G1, b);
    if (state_ == State::kAfterHash) handler_->Hash(b);
    return End(b);
}

// BEL ends the string and hands it on; CAN and SUB cancel it; other control
// bytes are ignored, the rest kept up to the limit.
EscapeResult SequenceCollector::StringByte(std::uint8_t b) {
    if (b == kBel) FinishString();
    if (b == kBel || b == kCan || b == kSub) return End(b);
    if (b >= 0x20 && string_.size() < kStringLimit) string_.push_back(static_cast<char>(b));
    return EscapeResult::Continues;
}

void SequenceCollector::FinishString() {
    if (osc_) handler_->OperatingSystemCommand(string_);
    string_.clear();
}

EscapeResult SequenceCollector::AfterEsc(std::uint8_t b) {
    switch (b) {
        case '[':
            Trace("[");
            return Continue(State::kFirstParameter);
        case '(':
            return Continue(State::kDesignateG0);
        case ')':
            return Continue(State::kDesignateG1);
        case '#':
            return Continue(State::kAfterHash);
        default:
            if (strings_ && OpensString(b)) {
                osc_ = b == ']';
                string_.clear();
                return Continue(State::kString);
            }
            handler_->Escape(b);
            return End(b);
    }
}

// Digits build the parameter begun last; ';' begins the next, up to
// kMaxParameters (later ones are read and skipped up to the final byte).
// The private mark '?' is ignored in the first parameter; anywhere else, as
// any other byte, it is the final byte.
EscapeResult SequenceCollector::ParameterByte(std::uint8_t b) {
    ControlSequence& s = sequence_;
    const bool first = state_ == State::kFirstParameter;
    if (!IsDigit(b) && b != ';' && !(first && b == '?')) {
        s.final = b;
        handler_->Control(s);
        return End(b);
    }
    TraceByte(b);
    s.bare = false;
    if (IsDigit(b)) {
        if (s.count <= ControlSequence::kMaxParameters) AddDigit(s.parameters[s.count - 1], b);
        return EscapeResult::Continues;
    }
    if (b == ';' && s.count <= ControlSequence::kMaxParameters) {
        if (s.count < ControlSequence::kMaxParameters) s.parameters[s.count] = 0;
        ++s.count;
    }
    return b == ';' ? Continue(State::kMoreParameters) : EscapeResult::Continues;
}

// xterm acts on control bytes anywhere in a sequence but a string, and
// ignores DEL there.
EscapeResult SequenceCollector::XtermByte(std::uint8_t b) {
    if (b < 0x20) return XtermControlByte(b);
    if (b == kDel) return EscapeResult::Continues;
    switch (state_) {
        case State::kAfterEsc:
            return XtermAfterEsc(b);
        case State::kEscIntermediate:
            // ESC SP F, ESC % G, ESC * B and their kin: taken, nothing to do.
            return b < 0x30 ? EscapeResult::Continues : End(b);
        case State::kXtermEntry:
        case State::kXtermParameters:
        case State::kXtermIntermediate:
        case State::kXtermIgnore:
            return XtermParameterByte(b);
        default:
            return AfterIntermediate(b);
    }
}

// CAN and SUB cancel the sequence; the others act and the sequence goes on.
EscapeResult SequenceCollector::XtermControlByte(std::uint8_t b) {
    if (b == kCan || b == kSub) return End(b);
    handler_->Execute(b);
    return EscapeResult::Continues;
}

EscapeResult SequenceCollector::XtermAfterEsc(std::uint8_t b) {
    if (b == '[') {
        Trace("[");
        return Continue(State::kXtermEntry);
    }
    if (b == '-') return Continue(State::kDesignate96G1);
    if (b >= 0x20 && b <= 0x2F && b != '(' && b != ')' && b != '#') {
        return Continue(State::kEscIntermediate);
    }
    return AfterEsc(b);
}

// Digits build the parameter begun last; ';' begins the next and ':' the
// next as a sub-parameter, up to kMaxXtermParameters (later ones are read
// and dropped). A private marker counts only before any other byte, an
// intermediate only before the final byte; a sequence with either out of
// place is read to its final byte and dropped.
EscapeResult SequenceCollector::XtermParameterByte(std::uint8_t b) {
    ControlSequence& s = sequence_;
    if (b >= 0x40) return XtermFinal(b);
    TraceByte(b);
    s.bare = false;
    if (state_ == State::kXtermIgnore) return EscapeResult::Continues;
    if (b < 0x30) {
        if (state_ == State::kXtermIntermediate) return Continue(State::kXtermIgnore);
        s.intermediate = b;
        return Continue(State::kXtermIntermediate);
    }
    if (state_ == State::kXtermIntermediate) return Continue(State::kXtermIgnore);
    if (IsDigit(b)) {
        if (s.count <= ControlSequence::kMaxXtermParameters) AddDigit(s.parameters[s.count - 1], b);
        return Continue(State::kXtermParameters);
    }
    if (b == ';' || b == ':') {
        if (s.count < ControlSequence::kMaxXtermParameters) {
            s.parameters[s.count] = 0;
            if (b == ':') s.subparameters |= 1U << s.count;
        }
        if (s.count <= ControlSequence::kMaxXtermParameters) ++s.count;
        return Continue(State::kXtermParameters);
    }
    if (state_ != State::kXtermEntry) return Continue(State::kXtermIgnore);
    s.marker = b;
    return Continue(State::kXtermParameters);
}

EscapeResult SequenceCollector::XtermFinal(std::uint8_t b) {
    if (state_ != State::kXtermIgnore) {
        sequence_.final = b;
        handler_->Control(sequence_);
    }
    return End(b);
}

}  // namespace quill
