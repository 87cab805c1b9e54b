#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/engine/headless_terminal.h"
#include "core/engine/screen_search_rows.h"
#include "core/search/scrollback_search.h"

namespace quill {
namespace {

// Rows made from text: 中 takes two cells, '~' starts a row that continues
// the one above, and "e\u0301" keeps the accent as a mark of the e.
class TextRows : public SearchedRows {
  public:
    TextRows(long long first, std::vector<std::u32string> rows, int columns = 10) : first_(first) {
        for (std::u32string& text : rows) {
            continues_.push_back(!text.empty() && text[0] == U'~');
            if (continues_.back()) text.erase(0, 1);
            std::vector<Cell> cells;
            for (const char32_t c : text) {
                if (c == U'\u0301') {
                    cells.back().marks = 1;
                    continue;
                }
                Cell cell;
                cell.character = c;
                cells.push_back(cell);
                if (c != U'中') continue;
                cell = Cell();
                cell.flags = cell_flags::kWideRight;
                cells.push_back(cell);
            }
            cells.resize(columns);
            cells_.push_back(cells);
        }
    }
    long long FirstRow() const override { return first_; }
    long long EndRow() const override { return first_ + static_cast<long long>(cells_.size()); }
    std::span<const Cell> Row(long long row) const override { return cells_[row - first_]; }
    bool Continues(long long row) const override { return continues_[row - first_]; }
    std::u32string_view Marks(const Cell& cell) const override {
        return cell.marks == 1 ? U"\u0301" : U"";
    }

  private:
    long long first_;
    std::vector<std::vector<Cell>> cells_;
    std::vector<bool> continues_;
};

// The matches, newest first, of a search that reads the rows a line at a
// time, checked against one that reads them all as one block of lines.
std::vector<SearchMatch> FindAll(const SearchedRows& rows, std::string_view pattern,
                                 SearchOptions options = {}) {
    const SearchPattern compiled(pattern, options);
    ScrollbackSearch lineByLine(rows, compiled);
    while (!lineByLine.Step(1)) {
    }
    ScrollbackSearch block(rows, compiled);
    EXPECT_TRUE(block.Step(1'000'000));
    EXPECT_EQ(block.Matches(), lineByLine.Matches()) << pattern;
    return lineByLine.Matches();
}

TEST(ScrollbackSearch, FindsTheNewestFirstWithoutRegardToCaseUnlessAsked) {
    const TextRows rows(1000, {U"eth0 up", U"ETH1 eth2", U"none"});
    EXPECT_EQ(FindAll(rows, "eth"),
              (std::vector<SearchMatch>{{1001, 5, 1001, 7}, {1001, 0, 1001, 2}, {1000, 0, 1000, 2}}));
    EXPECT_EQ(FindAll(rows, "ETH", {.matchCase = true}),
              (std::vector<SearchMatch>{{1001, 0, 1001, 2}}));
    // Case follows Unicode, not just ASCII.
    const TextRows greek(0, {U"ΣΟΦΙΑ"});
    EXPECT_EQ(FindAll(greek, "σοφ").size(), 1u);
}

TEST(ScrollbackSearch, AWrappedLineIsOneLineAndTrailingBlanksAreNotText) {
    const TextRows rows(0, {U"0123456789", U"~abc", U"x", U"~yz"}, 10);
    EXPECT_EQ(FindAll(rows, "89ab"), (std::vector<SearchMatch>{{0, 8, 1, 1}}));
    // Rows not continued are separate lines, with nothing between them.
    EXPECT_TRUE(FindAll(rows, "cx").empty());
    EXPECT_TRUE(FindAll(rows, "c ").empty());
    EXPECT_EQ(FindAll(rows, "x" + std::string(9, ' ') + "y"),
              (std::vector<SearchMatch>{{2, 0, 3, 0}}));
}

TEST(ScrollbackSearch, MatchesCoverWholeWideCharactersAndTheirMarks) {
    const TextRows rows(0, {U"a中b", U"cafe\u0301!"});
    EXPECT_EQ(FindAll(rows, "中"), (std::vector<SearchMatch>{{0, 1, 0, 2}}));
    EXPECT_EQ(FindAll(rows, "中b"), (std::vector<SearchMatch>{{0, 1, 0, 3}}));
    EXPECT_EQ(FindAll(rows, "e\u0301!"), (std::vector<SearchMatch>{{1, 3, 1, 4}}));
}

TEST(ScrollbackSearch, RegularExpressionsMatchAndReportTheirErrors) {
    const TextRows rows(0, {U"Gi0/1 up", U"Gi0/12 down", U"xx"});
    EXPECT_EQ(FindAll(rows, "gi0/1\\b", {.regularExpression = true}),
              (std::vector<SearchMatch>{{0, 0, 0, 4}}));
    // Without the option the same text is searched as it stands.
    EXPECT_TRUE(FindAll(rows, "gi0/1\\b").empty());
    // A match of no length marks nothing; the search still moves on.
    EXPECT_EQ(FindAll(rows, "x*", {.regularExpression = true}),
              (std::vector<SearchMatch>{{2, 0, 2, 1}}));
    const SearchPattern broken("(up", {.regularExpression = true});
    EXPECT_FALSE(broken.Usable());
    EXPECT_EQ(broken.Error(), "missing closing parenthesis at 3");
    const SearchPattern empty("", {});
    EXPECT_FALSE(empty.Usable());
    EXPECT_TRUE(empty.Error().empty());
}

TEST(ScrollbackSearch, SlicesFindWhatOneStepFinds) {
    std::vector<std::u32string> text;
    for (int i = 0; i < 50; ++i) text.push_back(i % 3 == 0 ? U"~needle" : U"hay needle");
    const TextRows rows(-20, text);
    const SearchPattern pattern("needle", {});
    ScrollbackSearch whole(rows, pattern);
    EXPECT_TRUE(whole.Step(1'000'000));
    ScrollbackSearch sliced(rows, pattern);
    int steps = 1;
    while (!sliced.Step(7)) ++steps;
    EXPECT_EQ(sliced.Matches(), whole.Matches());
    EXPECT_EQ(whole.Matches().size(), 50u);
    EXPECT_GE(steps, 5);
    EXPECT_EQ(whole.Matches().back(), (SearchMatch{-20, 0, -20, 5}));
}

// The terminal's own rows: a line the host wrote past the margin is found
// across the wrap, and a match keeps its number while the text scrolls up.
TEST(ScreenSearchRows, WrappedLinesJoinAndMatchesKeepTheirNumbersAsTextScrolls) {
    HeadlessTerminal session;
    session.Options().SetExtended(true);
    session.Feed(std::string(75, '.') + "wrap-around\r\n", 100);
    const ScreenSearchRows rows(session.terminal().View());
    const std::vector<SearchMatch> before = FindAll(rows, "around");
    ASSERT_EQ(before.size(), 1u);
    EXPECT_EQ(FindAll(rows, "wrap-around"),
              (std::vector<SearchMatch>{{before[0].firstRow - 1, 75, before[0].lastRow, 5}}));
    session.Feed(std::string(30, '\n'), 100);
    EXPECT_EQ(FindAll(rows, "around"), before);
}

}  // namespace
}  // namespace quill
