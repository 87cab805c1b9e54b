#pragma once

#include <cstdint>
#include <string>

#include "core/interfaces/escape_sequence_state.h"
#include "core/interfaces/printed_text_sink.h"
#include "core/interfaces/terminal_services.h"
#include "core/terminal/ansi_music.h"
#include "core/terminal/dialect.h"
#include "core/terminal/screen_model.h"
#include "core/terminal/sequence_collector.h"
#include "core/terminal/terminal_modes.h"
#include "core/text/utf8_codec.h"

namespace quill {

// The terminal's side of the received bytes, once Telnet is taken out:
// text, the control bytes that act outside escape sequences, escape
// sequences (handed to the collector) and, in a dialect that has it, UTF-8
// or code page 437 with its ANSI music. An escape or UTF-8 sequence, or
// music, open at the end of a block goes on in the next.
class TerminalInput final : public EscapeSequenceState, private MappedText {
  public:
    TerminalInput(ScreenModel& screen, TerminalModes& modes, SequenceCollector& collector,
                  TerminalServices& services)
        : screen_(screen), modes_(modes), collector_(collector), services_(services) {}

    // What holds for the bytes to come, until the next call: the dialect,
    // and whether text is shown as codes instead (which shows the bytes from
    // 0x80 as they came, so they are then not decoded).
    void SetBlockOptions(const Dialect& dialect, bool showCodes) {
        dialect_ = &dialect;
        showCodes_ = showCodes;
        decodeUtf8_ = dialect.Properties().utf8 && !showCodes;
        linesFromVerticalControls_ = dialect.Properties().verticalControlsFeedLines;
        cp437_ = dialect.Properties().cp437;
    }
    // Ends an open escape or UTF-8 sequence as an invalid one ends: at a
    // switch of dialect.
    void Abandon();
    // The input has ended: a UTF-8 sequence still open is one malformed
    // character, and bytes held for a CSI M that may be music are taken as
    // what follows a delete-line.
    void EndInput();

    void Write(const std::uint8_t* bytes, int count);

    // A string is not: Telnet commands inside it are the connection's.
    bool EscapeSequenceOpen() const override {
        return state_ == State::kEscape && !collector_.InString();
    }

    void SetPrintedTextSink(PrintedTextSink* sink) { printed_ = sink; }

  private:
    enum class State { kText, kEscape, kUtf8Sequence, kMusic };

    void WriteText(const std::uint8_t* text, int count);
    void Bytes(const std::uint8_t* text, int count) override;
    void Characters(const char32_t* text, int count) override;
    void DataByte(std::uint8_t b);
    bool ControlByte(std::uint8_t b);
    const std::uint8_t* SequenceBytes(const std::uint8_t* at, const std::uint8_t* end);
    void PcByte(std::uint8_t b);
    void EndSequence();
    void MusicByte(std::uint8_t b);
    void NotMusic(std::string bytes);
    void Utf8Byte(std::uint8_t b);
    void Utf8SequenceByte(std::uint8_t b);
    // U+FFFD for each of `malformed` characters.
    void Replace(int malformed);
    void Printed(const std::uint8_t* text, int count);
    void Printed(char32_t c);

    ScreenModel& screen_;
    TerminalModes& modes_;
    SequenceCollector& collector_;
    TerminalServices& services_;
    PrintedTextSink* printed_ = nullptr;
    // The dialect of the block, which maps text through the character sets.
    const Dialect* dialect_ = nullptr;
    bool showCodes_ = false;
    bool decodeUtf8_ = false;
    bool linesFromVerticalControls_ = false;
    bool cp437_ = false;
    State state_ = State::kText;
    Utf8Decoder utf8_;
    AnsiMusic music_;
};

}  // namespace quill
