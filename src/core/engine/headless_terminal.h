#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/terminal.h"
#include "core/interfaces/display_sink.h"
#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_services.h"
#include "core/settings/terminal_settings.h"

namespace quill {

// Keeps what the terminal sends, each SendBytes as one reply.
class RecordingSend final : public SendPath {
  public:
    void SendBytes(const std::uint8_t* bytes, std::size_t length) override {
        replies.emplace_back(bytes, bytes + length);
    }
    // Every reply, one after the other.
    std::vector<std::uint8_t> Sent() const {
        std::vector<std::uint8_t> sent;
        for (const auto& reply : replies) sent.insert(sent.end(), reply.begin(), reply.end());
        return sent;
    }
    std::vector<std::vector<std::uint8_t>> replies;
};

// Counts beeps, keeps the last title and, when asked to, the escape trace.
class RecordingServices final : public TerminalServices {
  public:
    explicit RecordingServices(bool tracing) : tracing_(tracing) {}
    void Beep() override { ++beeps; }
    bool TraceEnabled() const override { return tracing_; }
    void Trace(std::string_view text) override { trace += text; }
    void SetTitle(std::string_view text) override { title = text; }
    std::string Title() const override { return title; }
    int beeps = 0;
    std::string trace;
    std::string title;

  private:
    const bool tracing_;
};

// What a headless terminal is built with: a display of the caller's (none
// for one that does nothing), whether the escape trace is kept, and the
// extended terminal's grid (its columns and screen rows; the plain terminal
// keeps its own).
struct HeadlessSetup {
    DisplaySink* display = nullptr;
    bool tracing = false;
    ScreenGeometry geometry = {};
};

// A terminal without a window, as the window has it after creation: the
// display does nothing (unless the caller brings one), what is sent and
// beeped is recorded, and the options are its own.
class HeadlessTerminal {
  public:
    explicit HeadlessTerminal(HeadlessSetup setup = {})
        : services_(setup.tracing),
          terminal_(setup.display != nullptr ? *setup.display : nullDisplay_, send_, services_,
                    options_) {
        terminal_.Resize(setup.geometry.columns, setup.geometry.screenRows);
        terminal_.BlankScreen();
    }
    HeadlessTerminal(const HeadlessTerminal&) = delete;
    HeadlessTerminal& operator=(const HeadlessTerminal&) = delete;

    // The bytes in consecutive blocks of `chunk`.
    void Feed(std::string_view bytes, int chunk) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        const auto step = static_cast<std::size_t>(chunk);
        for (std::size_t at = 0; at < bytes.size(); at += step) {
            const std::size_t length = std::min(step, bytes.size() - at);
            terminal_.Feed(data + at, static_cast<int>(length));
        }
    }

    Terminal& terminal() { return terminal_; }
    const Terminal& terminal() const { return terminal_; }
    // The terminal's screen model and modes, which the program itself never
    // sees: it reads the screen through Terminal::View.
    const ScreenModel& Screen() const { return terminal_.Screen(); }
    const TerminalModes& Modes() const { return terminal_.Modes(); }
    UserOptions& Options() { return options_; }
    const UserOptions& Options() const { return options_; }
    RecordingSend& Send() { return send_; }
    const RecordingSend& Send() const { return send_; }
    const RecordingServices& Services() const { return services_; }
    RecordingServices& Services() { return services_; }

  private:
    NullDisplay nullDisplay_;
    RecordingSend send_;
    RecordingServices services_;
    UserOptions options_;
    Terminal terminal_;
};

}  // namespace quill
