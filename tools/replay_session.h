#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/terminal_engine.h"
#include "core/interfaces/display_sink.h"
#include "core/interfaces/terminal_services.h"
#include "core/settings/terminal_settings.h"

namespace quill {

class RecordingSend final : public SendPath {
  public:
    void SendBytes(const std::uint8_t* bytes, std::size_t length) override {
        sent.insert(sent.end(), bytes, bytes + length);
    }
    std::vector<std::uint8_t> sent;
};

class CountingServices final : public TerminalServices {
  public:
    void Beep() override { ++beeps; }
    bool TraceEnabled() const override { return false; }
    void Trace(std::string_view) override {}
    int beeps = 0;
};

// A fresh terminal as the window has it after creation, with no window:
// bytes go in, the state comes out in the replay tool's text format.
class ReplaySession {
  public:
    ReplaySession(bool wrap, bool showCodes) : ReplaySession(wrap, showCodes, nullDisplay) {}
    // The same with a display of the caller's, to see what the window is asked.
    ReplaySession(bool wrap, bool showCodes, DisplaySink& display);

    // Hands the bytes to the inbound stream in consecutive blocks of `chunk`.
    void Feed(std::string_view bytes, int chunk);
    std::string Render(bool withHistory) const;

    NullDisplay nullDisplay;
    DisplaySink& display;
    CountingServices services;
    RecordingSend send;
    UserOptions options;
    TerminalEngine engine{display, send, services, options};
    ScreenModel& screen = engine.screen;
    EscapeInterpreter& escape = engine.escape;
    InboundStream& inbound = engine.inbound;
};

}  // namespace quill
