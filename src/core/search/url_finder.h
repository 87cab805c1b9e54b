#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/search/search_pattern.h"

namespace quill {

// The URLs in a line of text: http, https, ftp, telnet and telnets followed
// by "://" and something more, and mailto: followed by an address, the
// scheme in any case and not the tail of a longer word. A URL runs over the
// characters a URL may hold (ASCII letters, digits and -._~:/?#[]@!$&'()*+,;=%)
// and then gives back what ends a sentence around it: a final . , : ; ! ? '
// or ", and a ) or ] that no opening one inside the URL matches.
std::vector<TextSpan> FindUrls(std::string_view line);

// The URL that holds the byte at `at`, if one does.
std::optional<TextSpan> UrlAt(std::string_view line, int at);

// What Ctrl+click does with a link's target, by its scheme: the desktop opens
// http, https, ftp and mailto, a new session takes telnet and telnets, and
// anything else (file, javascript, a scheme not known) is never opened.
enum class LinkAction { kNever, kDesktop, kNewSession };
LinkAction ActionFor(std::string_view target);

}  // namespace quill
