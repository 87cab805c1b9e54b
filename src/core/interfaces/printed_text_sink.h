#pragma once

namespace quill {

// Told of every character the terminal prints, after Telnet commands and
// escape sequences are taken out, with carriage return and line feed as
// the characters '\r' and '\n'. Set on the terminal; none by default.
class PrintedTextSink {
  public:
    virtual ~PrintedTextSink() = default;
    virtual void OnPrintedText(const char32_t* text, unsigned count) = 0;
};

}  // namespace quill
