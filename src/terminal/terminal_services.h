#pragma once

#include <string_view>

namespace quill {

// Platform services the terminal engine needs besides the display.
class TerminalServices {
  public:
    virtual ~TerminalServices() = default;
    // The host sent BEL.
    virtual void Beep() = 0;
    // Diagnostic trace of escape sequences; implementations keep it cheap when off.
    virtual void Trace(std::string_view text) = 0;
};

class NullServices final : public TerminalServices {
  public:
    void Beep() override {}
    void Trace(std::string_view) override {}
};

}  // namespace quill
