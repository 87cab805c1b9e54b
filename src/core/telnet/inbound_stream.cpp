#include "core/telnet/inbound_stream.h"

#include <cstdio>

#include "core/telnet/telnet_codes.h"
#include "core/terminal/grid_character.h"

namespace quill {

namespace {

using namespace telnet;

// IAC SB TERMINAL-TYPE IS "vt100" IAC SE; IS is the byte 0 and goes out as data.
constexpr std::uint8_t kTerminalTypeReply[] = {kIac, kSb, kTerminalType, kIs,  'v', 't',
                                               '1',  '0', '0',           kIac, kSe};

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kBel = 0x07;
constexpr std::uint8_t kBs = 0x08;
constexpr std::uint8_t kSo = 0x0E;
constexpr std::uint8_t kSi = 0x0F;
constexpr std::uint8_t kFirstHighByte = 0x80;
constexpr std::uint8_t kMalformedMark = '?';

bool IsShown(std::uint8_t b) {
    return (b >= 0x20 && b <= 0x7E) || b == '\r' || b == '\n' || b == '\t';
}

}  // namespace

InboundStream::InboundStream(ScreenModel& screen, EscapeInterpreter& escape, SendPath& send,
                             TerminalServices& services, DisplaySink& display,
                             const TerminalOptions& options)
    : screen_(screen),
      escape_(escape),
      send_(send),
      services_(services),
      display_(display),
      options_(options),
      negotiation_(send) {}

void InboundStream::ProcessInbound(const std::uint8_t* bytes, int count) {
    showCodes_ = options_.ShowCodes();
    extended_ = options_.Extended();
    decodeUtf8_ = extended_ && !showCodes_;
    for (int i = 0; i < count; ++i) Step(bytes[i]);
    display_.UpdateNow();
    screen_.ScreenUpdateCaret();
}

void InboundStream::Step(std::uint8_t b) {
    if (showCodes_) ShowCode(b);
    // Text and escape sequences are by far the most common states: plain
    // tests keep them off the jump table's indirect branch.
    if (state_ == State::kData) {
        DataByte(b);
        return;
    }
    if (state_ == State::kEscape) {
        EscapeByte(b);
        return;
    }
    switch (state_) {
        case State::kData:
            DataByte(b);
            break;
        case State::kCommand:
            CommandByte(b);
            break;
        case State::kOption:
            negotiation_.Request(optionCommand_, b, extended_);
            ResumeText();
            break;
        case State::kSubnegotiation:
            subOption_ = b;
            subLength_ = 0;
            subIsSend_ = false;
            state_ = State::kSubnegotiationData;
            break;
        case State::kSubnegotiationData:
            SubnegotiationByte(b);
            break;
        case State::kSubnegotiationIac:
            SubnegotiationIacByte(b);
            break;
        case State::kEscape:
            EscapeByte(b);
            break;
        case State::kUtf8Sequence:
            Utf8SequenceByte(b);
            break;
    }
}

// BS, SO, SI and BEL act the same in text and inside escape sequences.
bool InboundStream::ControlByte(std::uint8_t b) {
    switch (b) {
        case kBs:
            screen_.ScreenSetColumn(screen_.ScreenColumn() - 1);
            return true;
        case kSo:
            screen_.ActivateG1();
            return true;
        case kSi:
            screen_.ActivateG0();
            return true;
        case kBel:
            services_.Beep();
            return true;
        default:
            return false;
    }
}

void InboundStream::DataByte(std::uint8_t b) {
    if (b == kIac) {
        state_ = State::kCommand;
    } else if (b == kEsc) {
        state_ = State::kEscape;
    } else if (IsShown(b)) {
        const std::uint8_t t = screen_.ScreenTranslateChar(b);
        if (showCodes_) {
            ShowCode(t);
        } else {
            screen_.ScreenWriteByte(t);
            Printed(t);
        }
    } else if (b >= kFirstHighByte && decodeUtf8_) {
        Utf8Byte(b);
    } else {
        ControlByte(b);  // NUL, DEL and the bytes from 0x80 that are not decoded are ignored
    }
}

// Text from 0x80 up in the extended terminal: a UTF-8 sequence, which may
// continue in the next block.
void InboundStream::Utf8Byte(std::uint8_t b) {
    const Utf8Decoder::Output out = utf8_.Feed(b);
    WriteMalformed(out.malformed);
    if (out.character != Utf8Decoder::kNoCharacter) {
        const GridCells cells = CellsFor(out.character);
        WriteCells(cells.byte, cells.count);
        Printed(out.character);
    }
    ResumeText();
}

// A byte below 0x80 cuts the open sequence short and is then read as text; a
// Telnet command is no text and leaves the sequence open.
void InboundStream::Utf8SequenceByte(std::uint8_t b) {
    if (b == kIac) {
        state_ = State::kCommand;
    } else if (b < kFirstHighByte) {
        WriteMalformed(utf8_.Abandon());
        state_ = State::kData;
        DataByte(b);
    } else {
        Utf8Byte(b);
    }
}

void InboundStream::WriteCells(std::uint8_t b, int count) {
    for (int i = 0; i < count; ++i) screen_.ScreenPlaceChar(b);
}

void InboundStream::WriteMalformed(int count) {
    WriteCells(kMalformedMark, count);
    for (int i = 0; i < count; ++i) Printed(kMalformedMark);
}

// After a command, or a character: back to text, inside a UTF-8 sequence
// when one is open.
void InboundStream::ResumeText() {
    state_ = utf8_.Open() ? State::kUtf8Sequence : State::kData;
}

void InboundStream::CommandByte(std::uint8_t b) {
    switch (b) {
        case kDo:
        case kDont:
        case kWill:
        case kWont:
            optionCommand_ = b;
            state_ = State::kOption;
            break;
        case kSb:
            state_ = State::kSubnegotiation;
            break;
        case kIac:  // a doubled IAC is the data byte 255, text from 0x80 up
            ResumeText();
            if (decodeUtf8_) Utf8Byte(b);
            break;
        default:  // NOP, GA and the other two-byte commands
            ResumeText();
    }
}

void InboundStream::EscapeByte(std::uint8_t b) {
    if (ControlByte(b)) return;
    if (escape_.EscapeFeed(b) == EscapeResult::Ended) state_ = State::kData;
}

// The data of a subnegotiation is read up to IAC SE, even when it arrives in
// several blocks; only a terminal-type SEND is answered.
void InboundStream::SubnegotiationByte(std::uint8_t b) {
    if (b == kIac) {
        state_ = State::kSubnegotiationIac;
    } else {
        AddSubnegotiationData(b);
    }
}

void InboundStream::AddSubnegotiationData(std::uint8_t b) {
    subIsSend_ = subLength_ == 0 && b == kSend;
    if (subLength_ < 2) ++subLength_;
}

void InboundStream::SubnegotiationIacByte(std::uint8_t b) {
    if (b == kIac) {  // a doubled IAC is a data byte 255
        state_ = State::kSubnegotiationData;
        AddSubnegotiationData(b);
        return;
    }
    if (b == kSe) {
        if (subOption_ == kTerminalType && subIsSend_) {
            send_.SendBytes(kTerminalTypeReply, sizeof kTerminalTypeReply);
        }
        ResumeText();
        return;
    }
    // Anything else after IAC abandons the subnegotiation and is a command.
    state_ = State::kCommand;
    CommandByte(b);
}

void InboundStream::ShowCode(std::uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "[%d]", b);
    screen_.ScreenWriteString(text);
}

}  // namespace quill
