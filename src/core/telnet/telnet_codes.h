#pragma once

#include <cstdint>

namespace quill::telnet {

// Telnet commands and the options this program deals with.
constexpr std::uint8_t kIac = 255;
constexpr std::uint8_t kDont = 254;
constexpr std::uint8_t kDo = 253;
constexpr std::uint8_t kWont = 252;
constexpr std::uint8_t kWill = 251;
constexpr std::uint8_t kSb = 250;
constexpr std::uint8_t kSe = 240;
// The two-byte commands, and the prompt's end (EOR after the option of that name).
constexpr std::uint8_t kGa = 249;
constexpr std::uint8_t kEl = 248;
constexpr std::uint8_t kEc = 247;
constexpr std::uint8_t kAyt = 246;
constexpr std::uint8_t kAo = 245;
constexpr std::uint8_t kIp = 244;
constexpr std::uint8_t kBrk = 243;
constexpr std::uint8_t kDm = 242;
constexpr std::uint8_t kNop = 241;
constexpr std::uint8_t kEor = 239;

constexpr std::uint8_t kBinary = 0;
constexpr std::uint8_t kEcho = 1;
constexpr std::uint8_t kSuppressGoAhead = 3;
constexpr std::uint8_t kTerminalType = 24;
constexpr std::uint8_t kEndOfRecord = 25;
constexpr std::uint8_t kNaws = 31;
constexpr std::uint8_t kEncrypt = 38;
constexpr std::uint8_t kCharset = 42;
constexpr std::uint8_t kCompress2 = 86;
// Subcodes of a terminal-type subnegotiation.
constexpr std::uint8_t kIs = 0;
constexpr std::uint8_t kSend = 1;
// Subcodes of a CHARSET subnegotiation.
constexpr std::uint8_t kCharsetRequest = 1;
constexpr std::uint8_t kCharsetAccepted = 2;
constexpr std::uint8_t kCharsetRejected = 3;

}  // namespace quill::telnet
