#include "core/search/url_finder.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace quill {

namespace {

struct Scheme {
    std::string_view name;
    // What follows the scheme's name: "://" for a host, ":" for mailto.
    std::string_view separator;
    LinkAction action;
};

constexpr std::array kSchemes{
    Scheme{"https", "://", LinkAction::kDesktop},
    Scheme{"http", "://", LinkAction::kDesktop},
    Scheme{"ftp", "://", LinkAction::kDesktop},
    Scheme{"mailto", ":", LinkAction::kDesktop},
    Scheme{"telnets", "://", LinkAction::kNewSession},
    Scheme{"telnet", "://", LinkAction::kNewSession},
};

constexpr char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithCaseless(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return Lower(a) == Lower(b); });
}

bool IsAlnum(char c) {
    return (c >= '0' && c <= '9') || (Lower(c) >= 'a' && Lower(c) <= 'z');
}

bool IsUrlCharacter(char c) {
    constexpr std::string_view kMarks = "-._~:/?#[]@!$&'()*+,;=%";
    return IsAlnum(c) || kMarks.find(c) != std::string_view::npos;
}

// The scheme whose name and separator begin `text`.
const Scheme* SchemeAt(std::string_view text) {
    for (const Scheme& scheme : kSchemes) {
        if (StartsWithCaseless(text, scheme.name) &&
            text.substr(scheme.name.size()).starts_with(scheme.separator)) {
            return &scheme;
        }
    }
    return nullptr;
}

bool Unmatched(std::string_view url, char closing, char opening) {
    return url.back() == closing && std::count(url.begin(), url.end(), opening) <
                                        std::count(url.begin(), url.end(), closing);
}

// How long the URL is once what ends a sentence around it is given back.
std::size_t WithoutTrailingPunctuation(std::string_view url) {
    constexpr std::string_view kSentenceMarks = ".,:;!?'\"";
    while (!url.empty()) {
        if (kSentenceMarks.find(url.back()) == std::string_view::npos &&
            !Unmatched(url, ')', '(') && !Unmatched(url, ']', '[')) {
            break;
        }
        url.remove_suffix(1);
    }
    return url.size();
}

}  // namespace

std::vector<TextSpan> FindUrls(std::string_view line) {
    std::vector<TextSpan> urls;
    std::size_t at = 0;
    while (at < line.size()) {
        const Scheme* scheme = SchemeAt(line.substr(at));
        if (scheme == nullptr || (at > 0 && IsAlnum(line[at - 1]))) {
            ++at;
            continue;
        }
        const std::size_t prefix = scheme->name.size() + scheme->separator.size();
        std::size_t end = at + prefix;
        while (end < line.size() && IsUrlCharacter(line[end])) ++end;
        const std::size_t length = WithoutTrailingPunctuation(line.substr(at, end - at));
        if (length > prefix) {
            urls.push_back({static_cast<int>(at), static_cast<int>(at + length)});
            at += length;
        } else {
            at += prefix;
        }
    }
    return urls;
}

std::optional<TextSpan> UrlAt(std::string_view line, int at) {
    for (const TextSpan& url : FindUrls(line)) {
        if (url.start <= at && at < url.end) return url;
    }
    return std::nullopt;
}

LinkAction ActionFor(std::string_view target) {
    const Scheme* scheme = SchemeAt(target);
    return scheme == nullptr ? LinkAction::kNever : scheme->action;
}

}  // namespace quill
