// Links: URLs found in a line of text, the host's hyperlinks (OSC 8) kept
// with their cells in a bounded table, and the link under a cell.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/engine/headless_terminal.h"
#include "core/engine/screen_links.h"
#include "core/search/url_finder.h"

namespace quill {
namespace {

std::vector<std::string> Urls(std::string_view line) {
    std::vector<std::string> found;
    for (const TextSpan& url : FindUrls(line)) {
        found.emplace_back(line.substr(url.start, url.end - url.start));
    }
    return found;
}

using Found = std::vector<std::string>;

TEST(FindUrls, TakesTheSixSchemesAndGivesBackWhatEndsTheSentence) {
    EXPECT_EQ(Urls("see https://example.org/a?b=1&c=%20#top, or HTTP://x.y."),
              (Found{"https://example.org/a?b=1&c=%20#top", "HTTP://x.y"}));
    EXPECT_EQ(Urls("ftp://f.org/p; mailto:ops@example.org! telnet://bbs:23 telnets://[::1]:992"),
              (Found{"ftp://f.org/p", "mailto:ops@example.org", "telnet://bbs:23",
                     "telnets://[::1]:992"}));
    // Parentheses and brackets close inside the URL only when they open there.
    EXPECT_EQ(Urls("(see http://w.org/Foo_(bar)) and [http://a.b/c]"),
              (Found{"http://w.org/Foo_(bar)", "http://a.b/c"}));
    EXPECT_EQ(Urls("'http://q.org/x' \"http://r.org/\"..."),
              (Found{"http://q.org/x", "http://r.org/"}));
    // Spaces, quotes, angle brackets and text beyond ASCII end it.
    EXPECT_EQ(Urls("<http://s.org/a>b http://t.org/ü"), (Found{"http://s.org/a", "http://t.org/"}));
}

TEST(FindUrls, LeavesWhatIsNoLink) {
    EXPECT_EQ(Urls("http:// https://. mailto: file:///etc/passwd javascript:alert(1)"), Found{});
    EXPECT_EQ(Urls("gopher://g.org xhttp://y.org svn+http://"), Found{});
    EXPECT_EQ(Urls(""), Found{});
}

TEST(FindUrls, UrlAtIsTheOneHoldingTheByte) {
    const std::string_view line = "a http://b.c d";
    EXPECT_FALSE(UrlAt(line, 1));
    ASSERT_TRUE(UrlAt(line, 2));
    EXPECT_EQ(UrlAt(line, 11)->end, 12);
    EXPECT_FALSE(UrlAt(line, 12));
}

TEST(FindUrls, OnlyWebMailAndTelnetSchemesAreOpened) {
    EXPECT_EQ(ActionFor("HTTPS://a.b"), LinkAction::kDesktop);
    EXPECT_EQ(ActionFor("mailto:a@b"), LinkAction::kDesktop);
    EXPECT_EQ(ActionFor("telnets://h:992"), LinkAction::kNewSession);
    for (const char* refused :
         {"file:///etc/passwd", "javascript:alert(1)", "telnet:h", "ssh://h", "", "http:x"}) {
        EXPECT_EQ(ActionFor(refused), LinkAction::kNever) << refused;
    }
}

TEST(Hyperlinks, TheTableIsBoundedSharesEqualLinksAndFreesUnusedOnes) {
    Hyperlinks links;
    EXPECT_EQ(links.Add("", ""), 0);
    EXPECT_EQ(links.Add("", std::string(Hyperlinks::kMaxTargetBytes + 1, 'x')), 0);
    EXPECT_EQ(links.Add(std::string(Hyperlinks::kMaxIdBytes + 1, 'i'), "http://a"), 0);
    EXPECT_EQ(links.Add("", "http://a\x1b"), 0);
    const std::uint16_t first = links.Add("", "http://0");
    EXPECT_EQ(links.Add("", "http://0"), first);
    EXPECT_NE(links.Add("other", "http://0"), first);
    for (std::size_t i = 2; i < Hyperlinks::kMaxEntries; ++i) {
        ASSERT_NE(links.Add("", "http://" + std::to_string(i)), 0) << i;
    }
    EXPECT_EQ(links.Add("", "http://full"), 0);
    // One refusal is worth reading a screen's cells, not a deep history's.
    EXPECT_TRUE(links.ReclaimDue(80 * 25));
    EXPECT_FALSE(links.ReclaimDue(80 * 10'000));
    std::vector<bool> used(Hyperlinks::kMaxEntries + 1);
    used[first] = true;
    links.Reclaim(used);
    EXPECT_EQ(links.Target(first), "http://0");
    EXPECT_NE(links.Add("", "http://full"), 0);
}

class ScreenLinks : public ::testing::Test {
  protected:
    void Feed(std::string_view bytes) { headless.Feed(bytes, 7); }
    const ScreenView& Screen() const { return headless.terminal().View(); }
    long long Line(int row) const {
        return Screen().LinesScrolled() + Screen().FirstScreenRow() + row;
    }
    std::optional<ScreenLink> At(int row, int column) const {
        return LinkAt(Screen(), Line(row), column);
    }

    HeadlessTerminal headless;
};

TEST_F(ScreenLinks, APrintedUrlWrappedAtTheMarginIsOneLink) {
    headless.Options().SetWrap(true);
    Feed(std::string(70, '-') + " http://example.org/a/long/path. next\r\n");
    const auto link = At(1, 3);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, "http://example.org/a/long/path");
    EXPECT_EQ(link->cells, (SearchMatch{Line(0), 71, Line(1), 20}));
    EXPECT_FALSE(At(1, 21));
    EXPECT_FALSE(At(0, 69));
    EXPECT_FALSE(At(5, 0));
}

TEST_F(ScreenLinks, TheExtendedTerminalKeepsTheHostsHyperlinksWithTheirCells) {
    headless.Options().SetExtended(true);
    // ST and BEL end the string; SGR leaves the link on; ;; ends it. The
    // link wins over the URL its text looks like.
    Feed(
        "a\e]8;;https://one.example/\e\\o\e[1mne\e]8;;\a http://two.example/ "
        "\e]8;id=x;telnet://h:23\aA\e]8;;\e\\ \e]8;id=x;telnet://h:23\aB\e]8;;\a");
    const auto one = At(0, 2);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->target, "https://one.example/");
    EXPECT_EQ(one->cells, (SearchMatch{Line(0), 1, Line(0), 3}));
    EXPECT_FALSE(Screen().Row(Screen().FirstScreenRow())[0].Link());
    EXPECT_EQ(At(0, 6)->target, "http://two.example/");
    EXPECT_EQ(Screen().Row(Screen().FirstScreenRow())[25].Link(),
              Screen().Row(Screen().FirstScreenRow())[27].Link());
    EXPECT_EQ(At(0, 27)->target, "telnet://h:23");

    // A link the host leaves open ends with the extended terminal; the plain
    // terminal takes no hyperlink and its cells stay as they were.
    Feed("\e]8;;http://open/\aX");
    headless.Options().SetExtended(false);
    Feed("\r\nY\e]8;;http://plain/\aZ");
    EXPECT_EQ(Screen().Row(Screen().FirstScreenRow() + 1)[0].Link(), 0);
    EXPECT_FALSE(At(1, 0));
}

TEST_F(ScreenLinks, AFullTableRefusesNewLinksUntilTheirCellsAreGone) {
    headless.Options().SetExtended(true);
    for (std::size_t i = 1; i <= Hyperlinks::kMaxEntries; ++i) {
        Feed("\e]8;;http://h/" + std::to_string(i) + "\ax\e]8;;\a");
    }
    Feed("\e]8;;http://refused/\ar\e]8;;\a");
    EXPECT_EQ(At(1, 46)->target, "http://h/127");
    EXPECT_FALSE(At(1, 47));
    // Once erased, the cells no longer hold their links, and new ones find room.
    Feed("\e[2J\e[3J\e[H");
    for (int i = 0; i < 20; ++i) Feed("\e]8;;http://new/\an\e]8;;\a");
    ASSERT_TRUE(At(0, 19));
    EXPECT_EQ(At(0, 19)->target, "http://new/");
}

// The half a double-width row hides keeps its links: freeing the table's
// room never takes them, and the row made single again shows them.
TEST_F(ScreenLinks, TheHiddenHalfOfADoubleRowKeepsItsLinks) {
    headless.Options().SetExtended(true);
    Feed(std::string(50, ' ') + "\e]8;;http://hidden/\aL\e]8;;\a\e#6");
    for (int i = 0; i < 600; ++i) {
        Feed("\e[3;1H\e[2K\e]8;;http://n/" + std::to_string(i) + "\ax\e]8;;\a");
    }
    ASSERT_EQ(At(2, 0)->target, "http://n/599") << "the table made room again";
    Feed("\e[1;1H\e#5");
    ASSERT_TRUE(At(0, 50));
    EXPECT_EQ(At(0, 50)->target, "http://hidden/");

    // While the row is double, its link ends where the row's shown cells do.
    Feed("\e[2;1H\e]8;;http://d/\a" + std::string(45, 'x') + "\e]8;;\a\r\e#6");
    EXPECT_FALSE(At(1, 40));
    ASSERT_TRUE(At(1, 10));
    EXPECT_EQ(At(1, 10)->cells, (SearchMatch{Line(1), 0, Line(1), 39}));
}

}  // namespace
}  // namespace quill
