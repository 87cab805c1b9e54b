#include "core/terminal/terminal_input.h"

#include <utility>

#include "core/terminal/control_codes.h"
#include "core/terminal/cp437.h"

namespace quill {

namespace {

constexpr std::uint8_t kFirstHighByte = 0x80;
// What bytes that form no character become.
constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsText(std::uint8_t b) {
    return b >= 0x20 && b <= 0x7E;
}

// The controls below the space, of which BS, SO, SI and BEL act inside an
// escape sequence too.
bool IsC0Control(std::uint8_t b) {
    return b < 0x20;
}

bool IsShown(std::uint8_t b) {
    return IsText(b) || b == '\r' || b == '\n' || b == '\t';
}

}  // namespace

void TerminalInput::Abandon() {
    if (state_ == State::kEscape) collector_.Abandon();
    EndInput();
    state_ = State::kText;
}

void TerminalInput::EndInput() {
    if (state_ == State::kMusic && music_.Undecided()) NotMusic(music_.TakeHeld());
    if (state_ != State::kUtf8Sequence) return;
    Replace(utf8_.Abandon());
    state_ = State::kText;
}

// Runs of text and the bytes of an escape sequence are taken with pointers
// alone, in one loop each; other bytes one at a time.
void TerminalInput::Write(const std::uint8_t* bytes, int count) {
    const std::uint8_t* const end = bytes + count;
    const std::uint8_t* at = bytes;
    while (at < end) {
        if (state_ == State::kText && !showCodes_ && IsText(*at)) {
            const std::uint8_t* run = at + 1;
            while (run < end && IsText(*run)) ++run;
            WriteText(at, static_cast<int>(run - at));
            at = run;
        } else if (state_ == State::kText) {
            DataByte(*at++);
        } else if (state_ == State::kEscape) {
            at = SequenceBytes(at, end);
        } else if (state_ == State::kUtf8Sequence) {
            Utf8SequenceByte(*at++);
        } else {
            MusicByte(*at++);
        }
    }
}

// A run of displayable bytes, through the active character set.
void TerminalInput::WriteText(const std::uint8_t* text, int count) {
    if (modes_.PlainSetActive()) {
        Bytes(text, count);
    } else {
        dialect_->MapText(modes_, text, count, *this);
    }
}

void TerminalInput::Bytes(const std::uint8_t* text, int count) {
    screen_.ScreenWriteText(text, count);
    Printed(text, count);
}

void TerminalInput::Characters(const char32_t* text, int count) {
    for (int i = 0; i < count; ++i) {
        screen_.PlaceInCell(text[i]);
        Printed(text[i]);
    }
}

// BS, SO, SI and BEL act the same in text and inside escape sequences
// (strings aside).
bool TerminalInput::ControlByte(std::uint8_t b) {
    switch (b) {
        case kBs:
            screen_.ScreenSetColumn(screen_.CursorColumn() - 1);
            return true;
        case kSo:
        case kSi:
            if (cp437_) return false;  // pictures in code page 437
            b == kSo ? modes_.ActivateG1() : modes_.ActivateG0();
            return true;
        case kBel:
            services_.Beep();
            return true;
        default:
            return false;
    }
}

void TerminalInput::DataByte(std::uint8_t b) {
    if (b == kEsc) {
        state_ = State::kEscape;
    } else if (cp437_ && !showCodes_ && !IsShown(b)) {
        PcByte(b);
    } else if (IsShown(b)) {
        const std::uint8_t t = modes_.ScreenTranslateChar(b);
        if (showCodes_) {
            screen_.ScreenShowCode(t);
        } else {
            screen_.ScreenWriteByte(t);
            if (t != '\t') Printed(t);
        }
    } else if (b >= kFirstHighByte && decodeUtf8_) {
        Utf8Byte(b);
    } else if ((b == kVt || b == kFf) && linesFromVerticalControls_ && !showCodes_) {
        DataByte('\n');
    } else {
        ControlByte(b);  // NUL, DEL and the bytes from 0x80 that are not decoded are ignored
    }
}

// Code page 437 outside text runs: NUL is ignored, FF clears the screen and
// homes the cursor, BEL and BS act, and every other byte is a character
// (the controls' pictures, ⌂ and the bytes from 0x80).
void TerminalInput::PcByte(std::uint8_t b) {
    if (b == 0 || ControlByte(b)) return;
    if (b == kFf) {
        screen_.EraseInDisplay(2);
        screen_.CursorTo(0, 0);
        return;
    }
    const char32_t c = Cp437Character(b);
    Characters(&c, 1);
}

// The bytes of an escape sequence, to its end or the end of the block.
// Inside a string, control bytes are the string's business.
const std::uint8_t* TerminalInput::SequenceBytes(const std::uint8_t* at, const std::uint8_t* end) {
    while (at < end) {
        const std::uint8_t b = *at++;
        if (IsC0Control(b) && !collector_.InString() && ControlByte(b)) continue;
        if (collector_.EscapeFeed(b) == EscapeResult::Ended) {
            EndSequence();
            break;
        }
    }
    return at;
}

// A sequence of the BBS terminal may announce music.
void TerminalInput::EndSequence() {
    state_ = State::kText;
    const MusicStart music = modes_.TakeMusicStart();
    if (music == MusicStart::kNone) return;
    music_.Begin(music);
    state_ = State::kMusic;
}

void TerminalInput::MusicByte(std::uint8_t b) {
    const bool undecided = music_.Undecided();
    const AnsiMusic::Outcome outcome = music_.Feed(b);
    if (outcome == AnsiMusic::Outcome::kTaken) return;
    state_ = State::kText;
    if (outcome == AnsiMusic::Outcome::kEnded) return;
    if (!undecided) {
        DataByte(b);
        return;
    }
    std::string bytes = music_.TakeHeld();
    bytes.push_back(static_cast<char>(b));
    NotMusic(std::move(bytes));
}

// The bare CSI M was a delete-line, performed before the bytes after it.
void TerminalInput::NotMusic(std::string bytes) {
    state_ = State::kText;
    screen_.DeleteLines(1);
    Write(reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
}

// Text from 0x80 up in a dialect with UTF-8: a sequence, which may continue
// in the next block.
void TerminalInput::Utf8Byte(std::uint8_t b) {
    const Utf8Decoder::Output out = utf8_.Feed(b);
    Replace(out.malformed);
    if (out.character != Utf8Decoder::kNoCharacter) {
        screen_.PlaceCharacter(out.character);
        Printed(out.character);
    }
    state_ = utf8_.Open() ? State::kUtf8Sequence : State::kText;
}

// A byte below 0x80 cuts the open sequence short and is then read as text.
void TerminalInput::Utf8SequenceByte(std::uint8_t b) {
    if (b < kFirstHighByte) {
        EndInput();
        DataByte(b);
    } else {
        Utf8Byte(b);
    }
}

void TerminalInput::Replace(int malformed) {
    for (int i = 0; i < malformed; ++i) {
        screen_.PlaceInCell(kReplacementCharacter);
        Printed(kReplacementCharacter);
    }
}

void TerminalInput::Printed(const std::uint8_t* text, int count) {
    if (printed_ == nullptr) return;
    MapInBatches<char32_t>(
        text, count, [](std::uint8_t b) { return char32_t{b}; },
        [this](const char32_t* characters, int length) {
            printed_->OnPrintedText(characters, static_cast<unsigned>(length));
        });
}

void TerminalInput::Printed(char32_t c) {
    if (printed_ != nullptr) printed_->OnPrintedText(&c, 1);
}

}  // namespace quill
