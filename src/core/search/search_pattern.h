#pragma once

#include <string>
#include <string_view>
#include <vector>

struct pcre2_real_code_8;
struct pcre2_real_match_data_8;

namespace quill {

struct SearchOptions {
    bool matchCase = false;
    bool regularExpression = false;
};

// Where a match lies in a text: bytes [start, end), never empty.
struct TextSpan {
    int start = 0;
    int end = 0;
};

// What the user searches for, compiled once: the text as it stands or a
// Perl-compatible regular expression (PCRE2), over UTF-8 text, without
// regard to case unless asked.
class SearchPattern {
  public:
    SearchPattern(std::string_view pattern, SearchOptions options);
    ~SearchPattern();
    SearchPattern(const SearchPattern&) = delete;
    SearchPattern& operator=(const SearchPattern&) = delete;

    // False for an empty pattern or one that did not compile.
    bool Usable() const { return code_ != nullptr; }
    // Why the expression did not compile ("missing closing parenthesis at
    // 3"); empty when it did or the pattern is empty.
    const std::string& Error() const { return error_; }

    // Every match in text, in reading order, without overlaps; matches of
    // no length (an expression such as `x*`) are passed over.
    void FindAll(std::string_view text, std::vector<TextSpan>& out) const;

  private:
    pcre2_real_code_8* code_ = nullptr;
    pcre2_real_match_data_8* matchData_ = nullptr;
    std::string error_;
};

}  // namespace quill
