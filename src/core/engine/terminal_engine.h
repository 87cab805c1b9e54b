#pragma once

#include "core/interfaces/display_sink.h"
#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_services.h"
#include "core/telnet/inbound_stream.h"
#include "core/terminal/escape_interpreter.h"
#include "core/terminal/screen_model.h"

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
