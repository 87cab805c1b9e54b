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

constexpr std::uint8_t kBinary = 0;
constexpr std::uint8_t kTerminalType = 24;
constexpr std::uint8_t kNaws = 31;
constexpr std::uint8_t kEncrypt = 38;
// Subcodes of a terminal-type subnegotiation.
constexpr std::uint8_t kIs = 0;
constexpr std::uint8_t kSend = 1;

}  // namespace quill::telnet
