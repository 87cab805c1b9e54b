#pragma once

namespace quill {

// The Telnet options the client takes beyond the terminal type, which it
// always takes, and how it answers the rest. The type it reports is "vt100",
// or the one the user set.
struct OptionPolicy {
    // It reports its window size (NAWS) and transmits binary data both ways,
    // or refuses both.
    bool windowSizeAndBinary = false;
    bool userTerminalType = false;
    // The host may echo (ECHO) and suppress go-ahead (SGA, both ways); while
    // it echoes, the client does not.
    bool hostEcho = false;
    // The host may compress what it sends (MCCP2); versions 1 and 3 are
    // refused.
    bool compression = false;
    // CHARSET both ways; of the host's list only UTF-8 is accepted.
    bool charset = false;
    // Terminal-type requests after the first are answered "MTTS N", the
    // terminal's abilities as a sum of flags.
    bool mtts = false;
    // The host may end its prompts with EOR.
    bool endOfRecord = false;
    // Every request is answered by the rules that keep negotiation from
    // looping: every other WILL gets DONT, every other DO gets WONT, and a
    // request for the state an option is already in gets no answer (the
    // terminal type included). Otherwise a DO of the terminal type is always
    // answered, and a WILL of anything but the taken options and ENCRYPT
    // (which gets DONT) is let be.
    bool answerOnce = false;
    // When the connection opens, the client asks for binary transmission
    // both ways itself (WILL and DO BINARY) rather than wait to be asked.
    bool asksForBinary = false;
};

// What the extended terminal takes: all of it.
inline constexpr OptionPolicy kExtendedOptionPolicy{true, true, true, true, true, true, true, true};

}  // namespace quill
