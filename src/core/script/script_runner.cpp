#include "core/script/script_runner.h"

#include "core/script/script_output.h"

namespace quill {
namespace {

// "30", "0.5", "1.25": the seconds of a time-out as the script wrote them.
std::string Seconds(ScriptMillis millis) {
    std::string text = std::to_string(millis / 1000);
    if (const ScriptMillis part = millis % 1000) {
        std::string fraction = std::to_string(1000 + part).substr(1);
        while (fraction.back() == '0') fraction.pop_back();
        text += "." + fraction;
    }
    return text;
}

// A \xHH byte in an expected text stands for the character of that number.
std::u32string Expected(const ScriptText& text) {
    std::u32string out = text;
    for (char32_t& c : out) {
        if (IsRawByte(c)) c -= kRawByteBase;
    }
    return out;
}

}  // namespace

ScriptRunner::ScriptRunner(Script script, Terminal& terminal, SendPath& send,
                           const TerminalOptions& options, ScriptHost& host, Clock clock)
    : script_(std::move(script)),
      terminal_(terminal),
      send_(send),
      options_(options),
      host_(host),
      clock_(std::move(clock)) {}

void ScriptRunner::OnPrintedText(const char32_t* text, unsigned count) {
    if (state_ == State::kStopped) return;
    recent_.Add(text, count);
    if (state_ == State::kExpecting && !wakePending_) {
        wakePending_ = true;
        host_.WakeAt(clock_());
    }
}

void ScriptRunner::Run() {
    wakePending_ = false;
    int steps = 0;
    while (state_ != State::kStopped && state_ != State::kPassword) {
        if (state_ == State::kExpecting) {
            if (!Expecting()) return;
        } else if (state_ == State::kPausing) {
            if (clock_() < deadline_) {
                host_.WakeAt(deadline_);
                return;
            }
            state_ = State::kReady;
            ++pc_;
        } else if (pc_ >= script_.steps.size()) {
            Finish(std::nullopt);
        } else if (++steps > kStepsPerRun) {
            host_.WakeAt(clock_());
            return;
        } else {
            Step();
        }
    }
}

// Carries out the command at pc_; the one that reaches the limit of steps
// without waiting ends the script instead of going on.
void ScriptRunner::Step() {
    const ScriptStep& step = script_.steps[pc_];
    ++stepsWithoutWaiting_;
    std::visit([this](const auto& command) { Execute(command); }, step.command);
    if (stepsWithoutWaiting_ >= kStepsWithoutWaiting && state_ != State::kStopped) {
        Finish(ScriptError{script_.file, step.line,
                           std::to_string(kStepsWithoutWaiting) +
                               " steps without waiting for the host or a pause"}
                   .Text());
    }
}

// True when the expect is over (matched, or timed out to its label).
bool ScriptRunner::Expecting() {
    const auto& expect = std::get<ExpectCommand>(script_.steps[pc_].command);
    if (const std::optional<int> match = recent_.TakeMatch(expected_)) {
        matched_ = *match;
        state_ = State::kReady;
        ++pc_;
        return true;
    }
    if (clock_() < deadline_) {
        stepsWithoutWaiting_ = 0;
        host_.WakeAt(deadline_);
        return false;
    }
    if (expect.orTarget) {
        state_ = State::kReady;
        pc_ = *expect.orTarget;
        return true;
    }
    Finish(ScriptError{script_.file, script_.steps[pc_].line,
                       "nothing expected arrived within " + Seconds(expect.within) + " seconds"}
               .Text());
    return false;
}

void ScriptRunner::Execute(const ExpectCommand& c) {
    expected_.clear();
    for (const ScriptText& text : c.texts) expected_.push_back(Expected(text));
    deadline_ = After(c.within);
    state_ = State::kExpecting;
}

void ScriptRunner::Execute(const IfMatchedCommand& c) {
    pc_ = matched_ == c.number ? c.target : pc_ + 1;
}

void ScriptRunner::Execute(const GotoCommand& c) {
    pc_ = c.target;
}

void ScriptRunner::Execute(const SendCommand& c) {
    for (const char32_t character : c.text) {
        if (IsRawByte(character)) {
            Send(RawByteBytes(character, !terminal_.RawConnection()));
        } else {
            terminal_.Character(character);
        }
    }
    if (c.enter) PressEnter();
    ++pc_;
}

// Exactly what the Enter key sends.
void ScriptRunner::PressEnter() {
    terminal_.Press({Key::kReturn, {}, U'\r'});
}

void ScriptRunner::Execute(const PasswordCommand& c) {
    state_ = State::kPassword;
    stepsWithoutWaiting_ = 0;
    host_.RequestPassword(c.name);
}

void ScriptRunner::Execute(const PauseCommand& c) {
    deadline_ = After(c.millis);
    state_ = State::kPausing;
    stepsWithoutWaiting_ = 0;
}

void ScriptRunner::Execute(const StopCommand& c) {
    Finish(c.message);
}

void ScriptRunner::ProvidePassword(std::string& password) {
    if (state_ == State::kPassword) {
        std::vector<std::uint8_t> bytes = Utf8SendBytes(password, options_.Extended(), !terminal_.RawConnection());
        send_.SendSecret(bytes.data(), bytes.size());
        ClearSecret(bytes);
        PressEnter();
        state_ = State::kReady;
        ++pc_;
        host_.WakeAt(clock_());
    }
    ClearSecret(password);
}

void ScriptRunner::PasswordRefused() {
    if (state_ == State::kPassword) Finish(std::nullopt);
}

void ScriptRunner::Stop() {
    if (state_ != State::kStopped) Finish(std::nullopt);
}

void ScriptRunner::Send(const std::vector<std::uint8_t>& bytes) {
    send_.SendBytes(bytes.data(), bytes.size());
}

// The host hears of the end first, so that a message box shown for it
// finds the script already over.
void ScriptRunner::Finish(const std::optional<std::string>& message) {
    state_ = State::kStopped;
    recent_.Clear();
    host_.Finished();
    if (message) host_.ShowMessage(*message);
}

ScriptRunner::TimePoint ScriptRunner::After(ScriptMillis millis) const {
    return clock_() + std::chrono::milliseconds(millis);
}

}  // namespace quill
