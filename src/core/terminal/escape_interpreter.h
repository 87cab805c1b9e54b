#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_options.h"
#include "core/interfaces/terminal_services.h"
#include "core/terminal/screen_model.h"

namespace quill {

// What EscapeFeed tells the inbound stream: whether the next byte still
// belongs to the sequence.
enum class EscapeResult { Ended, Continues };

// Interprets the VT100 control sequences the terminal supports, one byte at a
// time after the ESC that started them.
class EscapeInterpreter {
  public:
    // Reads the extended option when a rendition sequence ends.
    EscapeInterpreter(ScreenModel& screen, SendPath& send, TerminalServices& services,
                      const TerminalOptions& options);

    EscapeResult EscapeFeed(std::uint8_t b);

    // 0 normal, 1 application; read by keyboard translation.
    int CursorKeyMode() const { return cursorKeyMode_; }

  private:
    enum State : int {
        kAfterEsc = 0,
        kFirstParameter = 1,
        kSecondParameter = 3,
        kDesignateG0 = 5,
        kDesignateG1 = 6,
        kAfterHash = 7,
        kExtraParameters = 8,  // a third or later parameter
    };
    // Parameters after the second that are kept: 16 in all.
    static constexpr int kExtraSlots = 14;

    EscapeResult Continue(State next);
    EscapeResult End(std::uint8_t b);
    void AfterEsc(std::uint8_t b);
    void FinalByte(std::uint8_t b, bool twoParameters);
    void ExtraParameterByte(std::uint8_t b);
    void MoreRenditions();
    void CursorPosition();
    void EraseInLine(int mode);
    void Designate(CharsetSlot slot, std::uint8_t b);
    void Trace(std::string_view text);
    void TraceByte(std::uint8_t b);
    static void AddDigit(int& parameter, std::uint8_t digit);

    ScreenModel& screen_;
    SendPath& send_;
    TerminalServices& services_;
    const TerminalOptions& options_;
    State state_ = kAfterEsc;
    int firstParameter_ = 0;
    int secondParameter_ = 0;
    // The third and later parameters of the sequence being read, when it has
    // any (state kExtraParameters); the count is one more than kExtraSlots once
    // a parameter beyond them has begun.
    std::array<int, kExtraSlots> extraParameters_{};
    int extraCount_ = 0;
    int savedColumn_ = 0;
    int savedRow_ = 0;
    int cursorKeyMode_ = 0;
    const bool tracing_;
};

}  // namespace quill
