#pragma once

#include <optional>
#include <string_view>

namespace quill {

// Whether text is, as a whole, an IPv6 address in its text form as inet_pton
// reads it ("::1", "2001:db8::5", "::ffff:192.0.2.7"). Zone ids
// ("fe80::1%eth0") are not addresses here.
bool IsIpv6Address(std::string_view text);

// The address inside "[ADDRESS]" when ADDRESS is an IPv6 address; none for
// any other text, a bracketed name included.
std::optional<std::string_view> BracketedIpv6Address(std::string_view text);

}  // namespace quill
