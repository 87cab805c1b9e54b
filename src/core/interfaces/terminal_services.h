#pragma once

#include <string>
#include <string_view>

namespace quill {

// Platform services the terminal engine needs besides the display.
class TerminalServices {
  public:
    virtual ~TerminalServices() = default;
    // The host sent BEL.
    virtual void Beep() = 0;
    // Diagnostic trace of escape sequences, asked for only while TraceEnabled
    // said so when the interpreter was made.
    virtual bool TraceEnabled() const = 0;
    virtual void Trace(std::string_view text) = 0;
    // The host set the window title: UTF-8 text, at most a few KiB.
    virtual void SetTitle(std::string_view text) = 0;
    // The title the window shows now: the host's, or the program's own
    // until a host set one (UTF-8).
    virtual std::string Title() const = 0;
};

}  // namespace quill
