#pragma once

#include "core/interfaces/display_sink.h"
#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_options.h"
#include "core/interfaces/terminal_services.h"
#include "core/telnet/inbound_stream.h"
#include "core/terminal/escape_interpreter.h"
#include "core/terminal/keyboard.h"
#include "core/terminal/screen_model.h"

namespace quill {

// The terminal, wired once for every user: the program, the replay tool, the
// benchmark, the fuzz target and the tests. The screen, the escape
// interpreter that changes it, the inbound stream that feeds both, and the
// keyboard whose local echo writes onto the screen. Its parts talk to the
// world only through the four interfaces it is given.
struct TerminalEngine {
    TerminalEngine(DisplaySink& display, SendPath& send, TerminalServices& services,
                   const TerminalOptions& options)
        : screen(display, options),
          escape(screen, send, services, options),
          inbound(screen, escape, send, services, display, options),
          echo(screen),
          keyboard(escape, options, send, echo) {}
    TerminalEngine(const TerminalEngine&) = delete;
    TerminalEngine& operator=(const TerminalEngine&) = delete;

    ScreenModel screen;
    EscapeInterpreter escape;
    InboundStream inbound;
    ScreenEcho echo;
    Keyboard keyboard;
};

}  // namespace quill
