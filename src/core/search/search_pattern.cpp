#include "core/search/search_pattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <array>

namespace quill {
namespace {

std::string CompileError(int code, PCRE2_SIZE offset) {
    std::array<PCRE2_UCHAR, 256> message{};
    pcre2_get_error_message(code, message.data(), message.size());
    return std::string(reinterpret_cast<const char*>(message.data())) + " at " +
           std::to_string(offset);
}

// The start of the character after the one at `at`, for a match of no length.
PCRE2_SIZE NextCharacter(std::string_view text, PCRE2_SIZE at) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    return at;
}

}  // namespace

SearchPattern::SearchPattern(std::string_view pattern, SearchOptions options) {
    if (pattern.empty()) return;
    // In UTF mode case is Unicode's, not just ASCII's; an expression's \w,
    // \b and classes follow Unicode too (text as it stands takes no such
    // option).
    uint32_t flags = PCRE2_UTF;
    if (!options.matchCase) flags |= PCRE2_CASELESS;
    flags |= options.regularExpression ? PCRE2_UCP : PCRE2_LITERAL;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), flags,
                          &errorCode, &errorOffset, nullptr);
    if (code_ == nullptr) {
        error_ = CompileError(errorCode, errorOffset);
        return;
    }
    // The JIT is an optimisation: without it (no executable memory) the
    // interpreter matches the same.
    pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE);
    matchData_ = pcre2_match_data_create_from_pattern(code_, nullptr);
}

SearchPattern::~SearchPattern() {
    pcre2_match_data_free(matchData_);
    pcre2_code_free(code_);
}

void SearchPattern::FindAll(std::string_view text, std::vector<TextSpan>& out) const {
    if (code_ == nullptr) return;
    const auto* subject = reinterpret_cast<PCRE2_SPTR>(text.data());
    PCRE2_SIZE at = 0;
    while (at <= text.size()) {
        // The rows' text is valid UTF-8 as it is made, so it is not checked.
        const int found = pcre2_match(code_, subject, text.size(), at, PCRE2_NO_UTF_CHECK,
                                      matchData_, nullptr);
        if (found < 0) return;  // no more, or the expression gave up (too much backtracking)
        const PCRE2_SIZE* bounds = pcre2_get_ovector_pointer(matchData_);
        if (bounds[1] > bounds[0]) {
            out.push_back({static_cast<int>(bounds[0]), static_cast<int>(bounds[1])});
            at = bounds[1];
        } else {
            if (bounds[0] >= text.size()) return;
            at = NextCharacter(text, bounds[0]);
        }
    }
}

}  // namespace quill
