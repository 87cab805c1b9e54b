#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/interfaces/printed_text_sink.h"
#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_options.h"
#include "core/script/recent_text.h"
#include "core/script/script.h"
#include "core/engine/terminal.h"

namespace quill {

// What a running script asks of the program around it.
class ScriptHost {
  public:
    virtual ~ScriptHost() = default;
    // Run() wants to be called again at `when` (at once when it has passed),
    // or as soon as text arrives; a later call replaces an earlier one.
    virtual void WakeAt(std::chrono::steady_clock::time_point when) = 0;
    // A time-out or a stop message, for the user.
    virtual void ShowMessage(const std::string& text) = 0;
    // The password stored as `name` for this host: answered later with
    // ProvidePassword() or PasswordRefused().
    virtual void RequestPassword(const std::string& name) = 0;
    // The script has ended (its last command, stop, a time-out or a refusal).
    // The runner may be inside Run(): it must outlive this call.
    virtual void Finished() = 0;
};

// Runs one checked script between events: it takes the text the terminal
// prints, and whenever Run() is called it goes on as far as it can without
// waiting. Nothing here blocks; waiting is a deadline handed to the host.
class ScriptRunner final : public PrintedTextSink {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // Commands carried out in one Run() before the window gets its turn back:
    // a script that jumps in a circle cannot freeze the program.
    static constexpr int kStepsPerRun = 1000;
    // Steps taken without waiting for the host or a pause that end the
    // script: a circle with no wait in it would otherwise run for ever.
    static constexpr int kStepsWithoutWaiting = 100'000;

    // Text goes out through the keyboard's character path, as a paste does
    // (local echo included); \xHH bytes and passwords through `send` directly.
    ScriptRunner(Script script, Terminal& terminal, SendPath& send, const TerminalOptions& options,
                 ScriptHost& host, Clock clock);

    // Text counted as arrived before the script starts (a prompt already shown).
    void Preload(const std::u32string& text) { recent_.Add(text.data(), text.size()); }
    void OnPrintedText(const char32_t* text, unsigned count) override;

    void Run();
    // Sends the password and Enter, then overwrites `password`.
    void ProvidePassword(std::string& password);
    // The user would not give the password: the script ends without a word.
    void PasswordRefused();
    // Ends the script quietly (the connection closed, the user stopped it).
    void Stop();

    bool Running() const { return state_ != State::kStopped; }
    bool WaitingForPassword() const { return state_ == State::kPassword; }

  private:
    enum class State { kReady, kExpecting, kPausing, kPassword, kStopped };
    using TimePoint = std::chrono::steady_clock::time_point;

    bool Expecting();
    void Step();
    // Each carries out its command and moves pc_ on, or sets the state it waits in.
    void Execute(const ExpectCommand& c);
    void Execute(const IfMatchedCommand& c);
    void Execute(const GotoCommand& c);
    void Execute(const SendCommand& c);
    void Execute(const PasswordCommand& c);
    void Execute(const PauseCommand& c);
    void Execute(const StopCommand& c);
    void Send(const std::vector<std::uint8_t>& bytes);
    void PressEnter();
    void Finish(const std::optional<std::string>& message);
    TimePoint After(ScriptMillis millis) const;

    Script script_;
    Terminal& terminal_;
    SendPath& send_;
    const TerminalOptions& options_;
    ScriptHost& host_;
    Clock clock_;
    RecentText recent_;
    State state_ = State::kReady;
    std::size_t pc_ = 0;
    TimePoint deadline_{};
    std::vector<std::u32string> expected_;  // the texts of the expect in progress
    int matched_ = 0;
    int stepsWithoutWaiting_ = 0;
    // A wake-up for arriving text is asked for once until Run() comes.
    bool wakePending_ = false;
};

}  // namespace quill
