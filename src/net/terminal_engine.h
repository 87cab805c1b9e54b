#pragma once

#include "net/inbound_stream.h"
#include "net/send_path.h"
#include "terminal/display_sink.h"
#include "terminal/escape_interpreter.h"
#include "terminal/screen_model.h"
#include "terminal/terminal_services.h"

namespace quill {

// The engine's parts wired together: the screen, the escape interpreter that
// changes it and the inbound stream that feeds both.
struct TerminalEngine {
    TerminalEngine(DisplaySink& display, SendPath& send, TerminalServices& services)
        : screen(display),
          escape(screen, send, services),
          inbound(screen, escape, send, services, display) {}

    ScreenModel screen;
    EscapeInterpreter escape;
    InboundStream inbound;
};

}  // namespace quill
